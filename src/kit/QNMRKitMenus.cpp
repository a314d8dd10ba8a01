#include "kit/QNMRKitMenus.h"

#include "kit/KitEvents.h"
#include "kit/KitText.h"
#include "kit/QNMRAboutWindow.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRHelpWindow.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "services/Opener.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace QNMRKitMenus {
namespace {

void setZoom(double factor)
{
    // A step past either end, or the level in use, stores the same factor: nothing to redo.
    const double before = QNZoom::value();
    QNZoom::setValue(factor);
    if (QNZoom::value() != before)
        emit KitEvents::shared().zoomChanged();
}

QAction* addCommand(QMenu* menu, const QString& title, const QList<QKeySequence>& keys,
                    std::function<void()> action)
{
    QAction* a = menu->addAction(title);
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(a, &QAction::triggered, menu, [action = std::move(action)] { action(); });
    return a;
}

void syncThemeChecks(QActionGroup* group)
{
    const QString stored = QNMRThemes::currentID();
    // An exclusive group cannot show "none checked" once one is checked: lift the
    // exclusion while setting the marks, so a stray stored id checks nothing.
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    for (QAction* a : group->actions())
        a->setChecked(a->data().toString() == stored);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
}

} // namespace

void populateViewMenu(QMenu* menu)
{
    addCommand(menu, QStringLiteral("Zoom In"),
               {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)},
               [] { setZoom(QNZoom::value() + QNZoom::step); });
    addCommand(menu, QStringLiteral("Zoom Out"), {QKeySequence(Qt::CTRL | Qt::Key_Minus)},
               [] { setZoom(QNZoom::value() - QNZoom::step); });
    addCommand(menu, QStringLiteral("Actual Size (100%)"), {QKeySequence(Qt::CTRL | Qt::Key_0)},
               [] { setZoom(1.0); });
    QMenu* levels = menu->addMenu(QStringLiteral("Zoom Level"));
    for (const int level : QNZoom::levels())
        addCommand(levels, QNZoom::levelTitle(level), {}, [level] { setZoom(level / 100.0); });
    // The zoom group closes with a divider, so whatever a host adds after it stands apart.
    menu->addSeparator();
}

void populateThemeMenu(QMenu* menu)
{
    auto* group = new QActionGroup(menu);
    for (const QNMRTheme& theme : QNMRThemes::all()) {
        QAction* a = menu->addAction(KitText::literal(theme.name));
        a->setCheckable(true);
        a->setData(theme.id);
        group->addAction(a);
        const QString id = theme.id;
        QObject::connect(a, &QAction::triggered, menu, [id] { QNMRThemes::setCurrentID(id); });
    }
    syncThemeChecks(group);
    // The id may also change elsewhere (another menu bar, the self-check); the marks
    // follow the stored value whenever the menu opens or the theme changes.
    QObject::connect(menu, &QMenu::aboutToShow, group, [group] { syncThemeChecks(group); });
    QObject::connect(&KitEvents::shared(), &KitEvents::themeChanged, group,
                     [group] { syncThemeChecks(group); });
}

void populateHelpMenu(QMenu* menu)
{
    // The help window is the opener unless a host has routed help elsewhere.
    if (!QNMRHelp::opener())
        QNMRHelpWindow::installOpener();

    addCommand(menu, KitText::literal(QNMRKitHost::appName() + QStringLiteral(" Help")),
               {QKeySequence(Qt::Key_F1)}, [] { QNMRHelp::show(std::nullopt); });
    menu->addSeparator();
    for (const QNMRHelpTopic& topic : QNMRHelp::allTopics()) {
        const QString id = topic.id;
        addCommand(menu, KitText::literal(topic.title), {}, [id] { QNMRHelp::show(id); });
    }
    menu->addSeparator();
    addCommand(menu, QStringLiteral("Quenmoor Softworks Website"), {},
               [] { Opener::open(QNMRKitHost::creditURL()); });
    menu->addSeparator();
    QAction* about = addCommand(menu, KitText::literal(QStringLiteral("About ") + QNMRKitHost::appName()), {},
                                [] { QNMRAboutWindow::show(); });
    about->setMenuRole(QAction::NoRole);
}

} // namespace QNMRKitMenus
