#include "app/ScreenFactory.h"

#include "kit/OVEditorFrame.h"
#include "kit/OVEmpty.h"
#include "kit/OVPage.h"
#include "services/AppModel.h"

#include <QVBoxLayout>

// Screen widgets (one include per screen folder).
#include "screens/plants/PlantsScreens.h"

namespace ScreenFactory {

QWidget* makeScreen(Screen screen, QWidget* parent)
{
    switch (screen) {
    case Screen::today:
        return placeholderScreen(screen, parent);

    case Screen::greenhouses:
        return placeholderScreen(screen, parent);

    case Screen::plants:
        return new PlantsView(parent);

    case Screen::seeds:
        return new SeedsView(parent);

    case Screen::harvests:
        return placeholderScreen(screen, parent);

    case Screen::climate:
        return placeholderScreen(screen, parent);

    case Screen::schedules:
        return placeholderScreen(screen, parent);

    case Screen::maintenance:
        return placeholderScreen(screen, parent);

    case Screen::pests:
        return placeholderScreen(screen, parent);

    case Screen::supplies:
        return placeholderScreen(screen, parent);

    case Screen::reports:
        return placeholderScreen(screen, parent);

    case Screen::library:
        return placeholderScreen(screen, parent);

    case Screen::videos:
        return placeholderScreen(screen, parent);

    case Screen::settings:
        return placeholderScreen(screen, parent);
    }
    return placeholderScreen(screen, parent);
}

QWidget* makeEditor(const EditSheet& sheet, QWidget* parent)
{
    switch (sheet.kind()) {
    case EditSheet::Kind::greenhouse:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::zone:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::spot:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::plant:
        return new PlantEditor(*sheet.get<Plant>(), OVStore::shared(), parent);

    case EditSheet::Kind::seed:
        return new SeedEditor(*sheet.get<Seed>(), parent);

    case EditSheet::Kind::germ:
        return new GermTestEditor(*sheet.get<GermTest>(), parent);

    case EditSheet::Kind::reading:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::task:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::pest:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::harvest:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::ledger:
        return placeholderEditor(sheet, parent);

    case EditSheet::Kind::importCSV:
        return placeholderEditor(sheet, parent);
    }
    return placeholderEditor(sheet, parent);
}

QWidget* placeholderScreen(Screen screen, QWidget* parent)
{
    auto* page = new OVPage(screen, QString(), parent);
    page->content()->addWidget(new OVEmpty(screen.symbol(), screen.title(),
                                           QStringLiteral("This screen is on its way.")));
    return page;
}

QWidget* placeholderEditor(const EditSheet& sheet, QWidget* parent)
{
    auto* frame = new OVEditorFrame(sheet.id(), QStringLiteral("square.and.pencil"), 620, parent);
    QObject::connect(frame, &OVEditorFrame::cancelRequested, frame, [] { closeSheet(); });
    QObject::connect(frame, &OVEditorFrame::saveRequested, frame, [] { closeSheet(); });
    return frame;
}

} // namespace ScreenFactory
