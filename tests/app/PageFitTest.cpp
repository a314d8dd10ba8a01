// Every page in the real window frame, walked at each zoom on the sample greenhouse
// and on a store with more rows than any window shows: each wrapping label shown gets
// at least the height its text needs at the width it is given (where the content is
// taller than the room, the page scrolls instead), and no text shown is wider than its
// room unless it ends in "…". The delete and restore questions are wide enough for
// their title and wrap their text into a few lines, and a short one is no narrower
// than a comfortable line. A Harvests year tile beside a taller one keeps its lines
// together at its top.

#include "AppModelReset.h"
#include "LookWindow.h"
#include "TestSupport.h"
#include "app/AppWindow.h"
#include "app/ConfirmAlert.h"
#include "app/MainWindow.h"
#include "app/ScreenHost.h"
#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVLabel.h"
#include "kit/OVRowBox.h"
#include "kit/QNZoom.h"
#include "records/OVPrefs.h"
#include "screens/records/HarvestsView.h"
#include "screens/settings/SettingsView.h"
#include "services/AppModel.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

void settle() { testsupport::LookWindow::settle(); }

// A grower's store with every list longer than a window, and long notes that wrap.
void fillBusy(OVStore& store)
{
    SampleData::add(store);
    const QString note = QStringLiteral("Watered by hand after the drip line clogged; check the filter, the pressure "
                                        "and the far end of the bench before the next hot afternoon.");
    for (int i = 0; i < 40; ++i) {
        Plant plant{.crop = QStringLiteral("Bean %1").arg(i, 3, 10, QLatin1Char('0')),
                    .variety = QStringLiteral("Blue Lake"),
                    .status = PlantStatus::growing,
                    .notes = note};
        store.save(plant);
        OVTask task{.kind = i % 2 ? TaskKind::maintenance : TaskKind::water,
                    .title = QStringLiteral("Check vent %1").arg(i),
                    .notes = note};
        store.save(task);
        Seed seed;
        seed.crop = QStringLiteral("Lettuce %1").arg(i);
        seed.notes = note;
        store.save(seed);
        PestRecord pest;
        pest.problem = QStringLiteral("Aphids on bench %1").arg(i);
        pest.notes = note;
        store.save(pest);
        Harvest harvest;
        harvest.crop = QStringLiteral("Bean %1").arg(i);
        harvest.quantity = 1.5;
        harvest.notes = note;
        store.save(harvest);
        LedgerEntry cost;
        cost.item = QStringLiteral("Shade cloth %1").arg(i);
        cost.cost = 12.5;
        cost.notes = note;
        store.save(cost);
    }
    // Years of pickings of a few crops, weighed in every unit and counted as well: the
    // year's tiles then carry their longest weight lines ("5335.20 lb · 1691.4 counted").
    for (const QString& crop : {QStringLiteral("Tomato"), QStringLiteral("Cucumber"), QStringLiteral("Pepper")})
        for (HarvestUnit unit : {HarvestUnit::lb, HarvestUnit::oz, HarvestUnit::kg, HarvestUnit::g,
                                 HarvestUnit::count}) {
            Harvest harvest{.crop = crop, .quantity = unit == HarvestUnit::count ? 1691.4 : 1333.8, .unit = unit};
            store.save(harvest);
        }
}

class PageFitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OVPrefs::remove(QNZoom::key);
        testsupport::closeSheetAndAlerts(AppModel::shared());
    }

    void TearDown() override
    {
        testsupport::closeSheetAndAlerts(AppModel::shared());
        window.reset();
        settle();
        OVStore::setShared(nullptr);
        OVPrefs::remove(QNZoom::key);
        KitMetrics::setZoom(1.0);
    }

    void open(OVStore& store, QSize size)
    {
        OVStore::setShared(&store);
        window = std::make_unique<AppWindow>();
        window->resize(size);
        window->show();
        settle();
    }

    void zoom(double factor)
    {
        QNZoom::setValue(factor);
        emit KitEvents::shared().zoomChanged();
        settle();
    }

    // "Screen at zoom: height of needed" for every shown wrapping label of the current
    // page that is lower than its text needs at its width.
    QStringList squeezed(const QString& where) const
    {
        QStringList found;
        QWidget* page = window->mainWindow()->screenHost()->current();
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (!label->wordWrap() || !label->isVisibleTo(window.get()) || label->width() <= 0)
                continue;
            const int needed = label->heightForWidth(label->width());
            if (label->height() < needed)
                found << QStringLiteral("%1: %2 of %3 px, \"%4\"")
                             .arg(where)
                             .arg(label->height())
                             .arg(needed)
                             .arg(label->text().left(40));
        }
        return found;
    }

    // "Screen at zoom: needed of room px, "text"" for every label shown on the current
    // page whose text, as drawn, is wider than the label's room (a wrapping label: a
    // word that does not fit on a line of its own), and for every empty line edit whose
    // prompt does not fit whole: the edit would end it in "…" on its own, which still
    // hides what the field is for. A label that ends its text in "…" to fit passes.
    QStringList cut(const QString& where) const
    {
        QStringList found;
        const auto note = [&](int needed, int room, const QString& text) {
            if (needed > room)
                found << QStringLiteral("%1: %2 of %3 px, \"%4\"").arg(where).arg(needed).arg(room).arg(text);
        };
        QWidget* page = window->mainWindow()->screenHost()->current();
        for (const QLabel* label : page->findChildren<QLabel*>()) {
            if (label->text().isEmpty() || !label->isVisibleTo(window.get()) || label->width() <= 0)
                continue;
            if (label->textFormat() == Qt::RichText
                || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text())))
                continue;
            const auto* kitLabel = qobject_cast<const OVLabel*>(label);
            const QString shown = kitLabel ? kitLabel->shownText() : label->text();
            const int room = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
            const QFontMetrics metrics = label->fontMetrics();
            int needed = 0;
            if (label->wordWrap())
                needed = metrics.boundingRect(QRect(0, 0, room, 1 << 20), Qt::TextWordWrap, shown).width();
            else
                for (const QString& line : shown.split(QLatin1Char('\n')))
                    needed = std::max(needed, metrics.horizontalAdvance(line));
            note(needed, room, shown);
        }
        for (const QLineEdit* edit : page->findChildren<QLineEdit*>()) {
            if (!edit->text().isEmpty() || edit->placeholderText().isEmpty() || !edit->isVisibleTo(window.get()))
                continue;
            // The room the edit gives its text, found as QLineEdit finds it: the style's
            // contents rectangle less the text margins and the edit's own 2 px a side.
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth =
                edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
            option.midLineWidth = 0;
            option.state |= QStyle::State_Sunken;
            const QMargins margins = edit->textMargins();
            const int room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width()
                             - margins.left() - margins.right() - 2 * 2;
            note(edit->fontMetrics().horizontalAdvance(edit->placeholderText()), room, edit->placeholderText());
        }
        return found;
    }

    // "Screen at zoom: tile "crop"" for every tile of the Harvests year card whose lines
    // do not follow one another from its top, each no taller than its text: a tile
    // beside a taller one (whose weight line wrapped) leaves the room below its lines.
    // Such shorter tiles are counted in `shorterTiles`.
    QStringList spread(const QString& where)
    {
        QStringList found;
        QWidget* page = window->mainWindow()->screenHost()->current();
        const auto* view = qobject_cast<const HarvestsView*>(page);
        if (!view || !view->yearCard())
            return found;
        for (const OVRowBox* tile : view->yearCard()->findChildren<OVRowBox*>()) {
            const QList<OVLabel*> lines = tile->findChildren<OVLabel*>();
            const int spacing = tile->body()->spacing();
            int next = tile->body()->contentsMargins().top();
            for (const OVLabel* line : lines) {
                if (line->y() != next || line->height() > line->heightForWidth(line->width()))
                    found << QStringLiteral("%1: tile \"%2\", line \"%3\" at %4 of %5 px, %6 high of %7")
                                 .arg(where, lines.first()->text(), line->text())
                                 .arg(line->y())
                                 .arg(next)
                                 .arg(line->height())
                                 .arg(line->heightForWidth(line->width()));
                next = line->y() + line->height() + spacing;
            }
            if (next - spacing < tile->height() - tile->body()->contentsMargins().bottom())
                ++shorterTiles;
        }
        return found;
    }

    enum class Check { squeezed, cut };

    QStringList walk(OVStore& store, QSize size, Check check = Check::squeezed)
    {
        open(store, size);
        QStringList found;
        for (double factor : {0.85, 1.0, 1.15, 1.3, 1.5, 2.0}) {
            zoom(factor);
            for (const Screen& screen : Screen::allCases()) {
                AppModel::shared().setScreen(screen);
                settle();
                const QString where = screen.title() + QStringLiteral(" at ") + QString::number(factor) +
                                      QStringLiteral(" in ") + QString::number(size.width());
                found << (check == Check::cut ? cut(where) : squeezed(where)) << spread(where);
            }
        }
        window.reset();
        settle();
        return found;
    }

    testsupport::ScratchDir scratch;
    std::unique_ptr<AppWindow> window;
    int shorterTiles = 0;
};

} // namespace

TEST_F(PageFitTest, NoWrappingLabelIsLowerThanItsTextOnTheSampleGreenhouseAtAnyZoom)
{
    OVStore sample(scratch.file(QStringLiteral("sample.sqlite")));
    SampleData::add(sample);
    const QStringList found = walk(sample, QSize(1380, 900));
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PageFitTest, NoWrappingLabelIsLowerThanItsTextOnABusyStoreInASmallerWindowAtAnyZoom)
{
    // A shorter data path than above: the Settings columns balance differently.
    OVStore busy(scratch.file(QStringLiteral("b.sqlite")));
    fillBusy(busy);
    const QStringList found = walk(busy, QSize(1180, 800));
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
}

TEST_F(PageFitTest, NoTextIsCutShortOnABusyStoreInAnyWindowAtAnyZoom)
{
    OVStore busy(scratch.file(QStringLiteral("busy.sqlite")));
    fillBusy(busy);
    QStringList found;
    for (const QSize size : {QSize(1380, 900), QSize(1280, 800), QSize(1180, 800)})
        found << walk(busy, size, Check::cut);
    EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
    // Some window and zoom wraps a weight line: a shorter tile stands beside a taller one.
    EXPECT_GT(shorterTiles, 0);
}

TEST_F(PageFitTest, QuestionsShowTheirTitleWholeAndWrapTheirTextIntoAFewLines)
{
    OVStore store(scratch.file(QStringLiteral("questions.sqlite")));
    open(store, QSize(1380, 900));
    const QMap<QString, qint64> counts{{QStringLiteral("greenhouse"), 3},   {QStringLiteral("plant"), 2000},
                                       {QStringLiteral("reading"), 1000000}, {QStringLiteral("harvest"), 20000},
                                       {QStringLiteral("photo"), 200}};
    const auto restore = [&counts] {
        AppModel::shared().setConfirm(ConfirmRequest(QStringLiteral("Restore this backup?"),
                                                     SettingsView::restoreMessage(counts), QStringLiteral("Restore"),
                                                     [] {}));
    };
    const auto remove = [] {
        AppModel::shared().askDelete(QStringLiteral("Tomato — Sungold (Sample)"),
                                     QStringLiteral("Its photos go with it; its harvests and costs stay."), [] {});
    };
    for (double factor : {1.0, 1.5}) {
        zoom(factor);
        for (const auto& ask : {std::function<void()>(restore), std::function<void()>(remove)}) {
            ask();
            settle();
            QMessageBox* box = window->confirmAlert()->box();
            ASSERT_NE(box, nullptr);
            const QString title = box->windowTitle();
            SCOPED_TRACE(title.toStdString() + " at " + std::to_string(factor));
            QFont bold = box->font();
            bold.setBold(true);
            // The title bar shows the title in about this font, between its buttons.
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(title) + 6 * QFontMetrics(bold).height());

            const auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
            ASSERT_NE(text, nullptr);
            const int lineHeight = text->fontMetrics().lineSpacing();
            int lines = 0;
            for (const QString& paragraph : text->text().split(QLatin1Char('\n')))
                if (!paragraph.isEmpty())
                    lines += (QFontMetrics(text->font()).boundingRect(QRect(0, 0, text->width(), 100000),
                                                                      Qt::TextWordWrap, paragraph).height()
                              + lineHeight / 2) / lineHeight;
            EXPECT_LE(lines, 4) << text->width() << " px wide";
            EXPECT_GE(text->height(), text->heightForWidth(text->width()));
            AppModel::shared().setConfirm(std::nullopt);
            settle();
        }
    }
}

// A short question is not squeezed to the width of its title: its text gets at least
// a comfortable line length, so a sentence stays on one or two lines instead of a
// narrow column of short ones.
TEST_F(PageFitTest, AShortQuestionKeepsAComfortableLineLength)
{
    OVStore store(scratch.file(QStringLiteral("short.sqlite")));
    open(store, QSize(1380, 900));
    for (double factor : {1.0, 1.5}) {
        SCOPED_TRACE(factor);
        zoom(factor);
        AppModel::shared().askDelete(QStringLiteral("“Pea”"), QString(), [] {});
        settle();
        QMessageBox* box = window->confirmAlert()->box();
        ASSERT_NE(box, nullptr);
        const auto* text = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        ASSERT_NE(text, nullptr);
        const QFontMetrics metrics(text->font());
        EXPECT_GE(text->width(), 32 * metrics.averageCharWidth());
        const int wrapped =
            metrics.boundingRect(QRect(0, 0, text->width(), 100000), Qt::TextWordWrap, text->text()).height();
        EXPECT_LE(wrapped, 2 * metrics.lineSpacing()) << text->width() << " px wide";
        EXPECT_GE(text->height(), text->heightForWidth(text->width()));
        AppModel::shared().setConfirm(std::nullopt);
        settle();
    }
}
