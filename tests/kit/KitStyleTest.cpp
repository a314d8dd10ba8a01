// Qt's own controls follow the interface zoom in the real window, whichever screen or
// editor made them: their text, check mark, drop-down arrow and open list grow with
// the zoom. Qt's file dialog keeps Qt's sizes.

#include "AppModelReset.h"
#include "LookWindow.h"
#include "TestSupport.h"
#include "app/EditorDialog.h"
#include "app/EditorHost.h"
#include "app/OVSetup.h"
#include "kit/KitMetrics.h"
#include "kit/KitStyle.h"
#include "kit/OVDayPicker.h"
#include "screens/climate/ReadingEditor.h"
#include "screens/schedules/TaskEditor.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QPixmapCache>
#include <QRadioButton>
#include <QStyleOption>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

namespace {

bool isQtControl(const QWidget* w)
{
    return qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w) ||
           qobject_cast<const QLineEdit*>(w);
}

// What the test compares of one control between two zooms.
struct Measure {
    QString what;
    double font = 0;
    QSize mark;       // check box or radio button: its indicator
    int listRow = 0;  // drop-down: a row of its open list
    double listFont = 0;
};

double fontSize(const QFont& font) { return QFontInfo(font).pointSizeF(); }

QSize markSize(QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    const bool radio = qobject_cast<QRadioButton*>(button);
    return button->style()
        ->subElementRect(radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &option, button)
        .size();
}

// Every control under `root`, in a stable order, keyed by where it was found.
void measureAll(const QString& place, QWidget* root, QMap<QString, Measure>& into)
{
    int n = 0;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!isQtControl(w) || w->isWindow())
            continue;
        Measure m;
        m.what = place + QStringLiteral(" #") + QString::number(n++) + QStringLiteral(" ") +
                 QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(" ") + w->accessibleName();
        m.font = fontSize(w->font());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            m.mark = markSize(button);
        if (auto* box = qobject_cast<QComboBox*>(w); box && box->count() > 0) {
            m.listFont = fontSize(box->view()->font());
            m.listRow = box->view()->sizeHintForRow(0);
        }
        into.insert(m.what, m);
    }
}

class KitStyleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("style.sqlite")));
        OVStore::setShared(store.get());
        SampleData::add(*store);
        testsupport::closeSheetAndAlerts(AppModel::shared());
        OVSetup::configure();
        OVSetup::styleApplication();
    }
    void TearDown() override
    {
        testsupport::closeSheetAndAlerts(AppModel::shared());
        testsupport::LookWindow::settle();
        OVStore::setShared(nullptr);
        KitMetrics::setZoom(1.0);
    }

    // Every page and every New… editor in the window at `zoom`.
    QMap<QString, Measure> everything(double zoom)
    {
        QMap<QString, Measure> found;
        testsupport::LookWindow look(Screen::today, zoom);
        for (const Screen screen : Screen::allCases()) {
            AppModel::shared().setScreen(screen);
            testsupport::LookWindow::settle();
            measureAll(screen.title(), look.window->mainWindow(), found);
            if (keeping)
                look.keep(QStringLiteral("style-%1-%2.png").arg(screen.id()).arg(qRound(zoom * 100)));
        }
        const QList<EditSheet> sheets{Greenhouse{}, Zone{},    Spot{},       Plant{},       Seed{},
                                      GermTest{},   Reading{}, OVTask{},     PestRecord{},  Harvest{},
                                      LedgerEntry{}, EditSheet::importCSV(std::nullopt)};
        for (const EditSheet& sheet : sheets) {
            AppModel::shared().setSheet(sheet);
            testsupport::LookWindow::settle();
            EditorDialog* dialog = look.window->editorHost()->dialog();
            EXPECT_NE(dialog, nullptr) << sheet.id().toStdString();
            if (dialog)
                measureAll(QStringLiteral("editor ") + sheet.id(), dialog, found);
            if (dialog && keeping)
                testsupport::keepLook(dialog->grab().toImage(),
                                      QStringLiteral("style-editor-%1-%2.png").arg(sheet.id()).arg(qRound(zoom * 100)));
            AppModel::shared().setSheet(std::nullopt);
            testsupport::LookWindow::settle();
        }
        return found;
    }

    // With OV_LOOK_DIR set, every page and editor is kept as a picture.
    const bool keeping = !qEnvironmentVariableIsEmpty("OV_LOOK_DIR");
    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
};

} // namespace

TEST_F(KitStyleTest, EveryControlOnEveryPageAndEditorGrowsWithTheZoom)
{
    const QMap<QString, Measure> actual = everything(1.0);
    const QMap<QString, Measure> large = everything(1.5);
    ASSERT_EQ(actual.keys(), large.keys());
    int buttons = 0;
    int lists = 0;
    for (const Measure& at1 : actual) {
        const Measure& at15 = large[at1.what];
        const std::string what = at1.what.toStdString();
        EXPECT_GE(at15.font, 1.4 * at1.font) << what << ": " << at1.font << " then " << at15.font;
        if (at1.mark.isValid()) {
            ++buttons;
            EXPECT_GE(at15.mark.width(), 1.4 * at1.mark.width()) << what;
            EXPECT_GE(at15.mark.height(), 1.4 * at1.mark.height()) << what;
        }
        if (at1.listRow > 0) {
            ++lists;
            EXPECT_GE(at15.listFont, 1.4 * at1.listFont) << what;
            // Fusion's room around a row's text grows with the text, which is at the
            // zoom already and is not enlarged a second time.
            EXPECT_GE(at15.listRow, 1.4 * at1.listRow) << what << ": " << at1.listRow << " then " << at15.listRow;
            EXPECT_LE(at15.listRow, 1.6 * at1.listRow) << what << ": " << at1.listRow << " then " << at15.listRow;
        }
    }
    // Plants & Crops, Settings & Backup, Pests and the editors have both kinds.
    EXPECT_GE(buttons, 4);
    EXPECT_GE(lists, 8);
}

namespace {

// The bounding box of the pixels where two pictures of the same size differ plainly
// (the faint edge smoothing leaves is not counted: it is a pixel wide at any size).
QRect differences(const QImage& a, const QImage& b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y);
            const QColor q = b.pixelColor(x, y);
            if (std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue())}) > 80)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

QImage paint(const QSize& size, const std::function<void(QPainter&)>& draw)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter p(&image);
    draw(p);
    return image;
}

// The drawn tick of a check box and the drawn arrow of a drop-down, at `zoom`.
std::pair<QRect, QRect> drawnMarks(double zoom)
{
    KitMetrics::setZoom(zoom);
    QCheckBox check(QStringLiteral("Show resolved problems"));
    check.ensurePolished();
    check.resize(check.sizeHint());
    QStyleOptionButton option;
    option.initFrom(&check);
    option.rect = check.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &check);
    const auto drawBox = [&](bool on) {
        return paint(check.size(), [&](QPainter& p) {
            QStyleOptionButton o = option;
            o.state |= on ? QStyle::State_On : QStyle::State_Off;
            check.style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &o, &p, &check);
        });
    };
    const QRect tick = differences(drawBox(false), drawBox(true));

    QComboBox combo;
    combo.addItems({QStringLiteral("Planned & growing"), QStringLiteral("All")});
    combo.ensurePolished();
    combo.resize(combo.sizeHint());
    QStyleOptionComboBox comboOption;
    comboOption.initFrom(&combo);
    comboOption.rect = combo.rect();
    comboOption.subControls = QStyle::SC_All;
    const auto drawCombo = [&](bool arrow) {
        // Fusion keeps drawn boxes by size and state only, arrow or not.
        QPixmapCache::clear();
        return paint(combo.size(), [&](QPainter& p) {
            QStyleOptionComboBox o = comboOption;
            if (!arrow)
                o.subControls &= ~QStyle::SC_ComboBoxArrow;
            combo.style()->drawComplexControl(QStyle::CC_ComboBox, &o, &p, &combo);
        });
    };
    const QRect arrow = differences(drawCombo(false), drawCombo(true));
    KitMetrics::setZoom(1.0);
    return {tick, arrow};
}

} // namespace

TEST_F(KitStyleTest, TheDrawnTickAndArrowGrowWithTheZoom)
{
    const auto [tick1, arrow1] = drawnMarks(1.0);
    const auto [tick15, arrow15] = drawnMarks(1.5);
    ASSERT_FALSE(tick1.isEmpty());
    ASSERT_FALSE(arrow1.isEmpty());
    EXPECT_GE(tick15.width(), 1.4 * tick1.width()) << tick1.width() << " then " << tick15.width();
    EXPECT_GE(tick15.height(), 1.4 * tick1.height());
    EXPECT_GE(arrow15.width(), 1.4 * arrow1.width()) << arrow1.width() << " then " << arrow15.width();
    EXPECT_GE(arrow15.height(), 1.4 * arrow1.height());
}

// Qt's own file dialog is not the kit's: its fields keep the size of its lists.
TEST_F(KitStyleTest, TheFileDialogKeepsQtsSizes)
{
    KitMetrics::setZoom(1.5);
    QFileDialog files(nullptr, QStringLiteral("Export"), scratch.path());
    files.setOption(QFileDialog::DontUseNativeDialog);
    files.setAttribute(Qt::WA_DontShowOnScreen);
    files.show();
    testsupport::LookWindow::settle();
    const QList<QLineEdit*> fields = files.findChildren<QLineEdit*>();
    ASSERT_FALSE(fields.isEmpty());
    for (const QLineEdit* field : fields)
        EXPECT_EQ(fontSize(field->font()), fontSize(files.font()));
    files.hide();
    KitMetrics::setZoom(1.0);
}

// At 1.0 too, Qt's controls take the kit's control font, not the application's.
TEST_F(KitStyleTest, AtActualSizeQtsControlsHaveTheKitsControlFont)
{
    const QFontInfo kit(KitMetrics::font(KitStyle::controlPoints));
    testsupport::LookWindow look(Screen::plants, 1.0);
    QList<QWidget*> controls;
    for (QComboBox* box : look.window->mainWindow()->findChildren<QComboBox*>())
        if (box->accessibleName() == QStringLiteral("Status"))
            controls.append(box);
    AppModel::shared().setSheet(EditSheet(OVTask{}));
    testsupport::LookWindow::settle();
    for (QCheckBox* check : look.window->editorHost()->dialog()->findChildren<QCheckBox*>())
        controls.append(check);
    ASSERT_GE(controls.size(), 3);  // Plants & Crops' Status, the task's Remind me and Active
    for (const QWidget* control : controls) {
        const QFontInfo font(control->font());
        EXPECT_EQ(font.family(), kit.family()) << control->metaObject()->className();
        EXPECT_EQ(font.pixelSize(), kit.pixelSize()) << control->metaObject()->className();
    }
}

namespace {

// A control drawn twice, the colour of one role pure red and then pure blue.
std::pair<QImage, QImage> redThenBlue(QWidget* control, QPalette::ColorRole role)
{
    const QPalette kept = control->palette();
    const auto shot = [&](const QColor& colour) {
        QPalette palette = kept;
        palette.setColor(role, colour);
        control->setPalette(palette);
        return control->grab().toImage();
    };
    std::pair found{shot(Qt::red), shot(Qt::blue)};
    control->setPalette(kept);
    return found;
}

// Where a control's picture changes when only the colour of one role does: what is
// drawn in that colour (a spin box's arrows and a tool button's menu mark are drawn in
// the window text's colour, their text in other roles').
QRect drawnIn(QWidget* control, QPalette::ColorRole role)
{
    const auto [red, blue] = redThenBlue(control, role);
    return differences(red, blue);
}

// One arrow of a spin box, found as drawnIn() finds it: by what changes when only the
// window text's colour does. A pixel the arrow covers whole changes by as much as the
// arrow's colour lets through (Fusion's: the text's at alpha 160); one at its edge, by
// less.
struct DrawnArrow {
    QRect box;          // where the arrow is drawn at half its strength or more
    QList<int> rows;    // how many such pixels each of its rows has, top to bottom
    int strength = 0;   // the most a channel of one of its pixels changes
};

// What the arrow test looks at of a spin box: where both arrows are drawn, and each
// on its own, the up arrow in the box's upper half and the down arrow in its lower.
struct SpinArrows {
    QRect both;
    DrawnArrow up, down;
};

SpinArrows spinArrows(QWidget* box)
{
    const auto [red, blue] = redThenBlue(box, QPalette::WindowText);
    const auto change = [&](int x, int y) {
        const QColor p = red.pixelColor(x, y);
        const QColor q = blue.pixelColor(x, y);
        return std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()), std::abs(p.blue() - q.blue())});
    };
    const auto arrowIn = [&](const QRect& half) {
        DrawnArrow arrow;
        for (int y = half.top(); y <= half.bottom(); ++y)
            for (int x = half.left(); x <= half.right(); ++x)
                arrow.strength = std::max(arrow.strength, change(x, y));
        for (int y = half.top(); arrow.strength > 0 && y <= half.bottom(); ++y) {
            int drawn = 0;
            for (int x = half.left(); x <= half.right(); ++x)
                if (2 * change(x, y) >= arrow.strength) {
                    ++drawn;
                    arrow.box |= QRect(x, y, 1, 1);
                }
            if (drawn > 0)
                arrow.rows.append(drawn);
        }
        return arrow;
    };
    const int middle = red.height() / 2;
    return {differences(red, blue), arrowIn(QRect(0, 0, red.width(), middle)),
            arrowIn(QRect(0, middle, red.width(), red.height() - middle))};
}

} // namespace

// The Climate Reading editor's When box and the task editor's Time box draw their up
// and down arrows at the zoom, not at Fusion's one size, once (Fusion's own arrow is
// not drawn beneath), pointing the way they step, and faded for a step that cannot be
// taken: the Time box at the day's last minute cannot step up.
TEST_F(KitStyleTest, TheArrowsOfTheWhenAndTimeBoxesGrowWithTheZoom)
{
    struct Boxes {
        SpinArrows when, time, lastMinute;
    };
    const auto arrows = [](double zoom) {
        Boxes found;
        testsupport::LookWindow look(Screen::today, zoom);
        AppModel::shared().setSheet(EditSheet(Reading{}));
        testsupport::LookWindow::settle();
        found.when = spinArrows(look.window->editorHost()->dialog()->findChild<ReadingEditor*>()->whenEdit());
        AppModel::shared().setSheet(EditSheet(OVTask{}));
        testsupport::LookWindow::settle();
        QTimeEdit* time = look.window->editorHost()->dialog()->findChild<TaskEditor*>()->timeEdit();
        found.time = spinArrows(time);
        time->setTime(time->maximumTime());
        found.lastMinute = spinArrows(time);
        AppModel::shared().setSheet(std::nullopt);
        return found;
    };
    const Boxes at1 = arrows(1.0);
    const Boxes at15 = arrows(1.5);
    const Boxes at2 = arrows(2.0);
    for (const auto& [name, box] : {std::pair{"When", &Boxes::when}, std::pair{"Time", &Boxes::time}}) {
        const QRect small = (at1.*box).both;
        const QRect large = (at15.*box).both;
        ASSERT_FALSE(small.isEmpty()) << name;
        EXPECT_GE(large.width(), 1.4 * small.width()) << name << ": " << small.width() << " then " << large.width();
        EXPECT_GE(large.height(), 1.4 * small.height()) << name << ": " << small.height() << " then " << large.height();
    }
    // Each arrow on its own: Fusion's 8 by 4 pixels at 1.0, the zoom times that above
    // (less where the button is too small); pointing the way it steps; one layer of
    // the arrow colour, or half its strength for a step that cannot be taken.
    struct Case {
        const char* name;
        SpinArrows Boxes::*box;
        bool upTaken;
    };
    const Case cases[]{{"When", &Boxes::when, true}, {"Time", &Boxes::time, true},
                       {"Time at 23:59", &Boxes::lastMinute, false}};
    for (const auto& [zoom, boxes] : {std::pair{1.0, at1}, std::pair{1.5, at15}, std::pair{2.0, at2}}) {
        for (const Case& c : cases) {
            const SpinArrows& spin = boxes.*c.box;
            const SpinArrows& actual = at1.*c.box;
            for (const auto& [up, arrow, small, taken] :
                 {std::tuple{true, spin.up, actual.up, c.upTaken}, std::tuple{false, spin.down, actual.down, true}}) {
                const std::string what = std::string(c.name) + (up ? " up" : " down") + " at " +
                                         std::to_string(zoom) + ": " + std::to_string(arrow.box.width()) + " x " +
                                         std::to_string(arrow.box.height());
                ASSERT_GE(arrow.rows.size(), 2) << what;
                EXPECT_LE(arrow.box.width(), zoom * small.box.width() + 1) << what;
                EXPECT_LE(arrow.box.height(), zoom * small.box.height() + 1) << what;
                if (zoom == 1.5) {
                    EXPECT_GE(arrow.box.width(), 1.3 * small.box.width()) << what;
                    EXPECT_GE(arrow.box.height(), 1.4 * small.box.height()) << what;
                }
                // An up arrow's rows widen downwards from its tip, a down arrow's narrow.
                QList<int> tipFirst = arrow.rows;
                if (!up)
                    std::reverse(tipFirst.begin(), tipFirst.end());
                EXPECT_TRUE(std::is_sorted(tipFirst.begin(), tipFirst.end())) << what;
                EXPECT_LT(tipFirst.first(), tipFirst.last()) << what;
                // Fusion's colour (the text's at alpha 160) moves a channel by 160 between
                // red and blue text; a second arrow beneath would make it more, the faded
                // one (half way to the button's colour) half of it.
                EXPECT_NEAR(arrow.strength, taken ? 160 : 80, 8) << what;
            }
        }
    }
}

namespace {

// A date box's calendar, opened by a click on the box's arrow at `zoom`: the drawn
// previous-month arrow, the month menu's mark, and the day numbers of the first week
// within their row (the weekday band ends where the row begins).
struct CalendarLook {
    QRect monthArrow, monthMark, week, digits;
};

CalendarLook openCalendar(double zoom)
{
    KitMetrics::setZoom(zoom);
    QWidget window;
    window.setAttribute(Qt::WA_DontShowOnScreen);
    auto* picker = new OVDayPicker(OVDay(2026, 6, 17));  // picked in the third week
    (new QVBoxLayout(&window))->addWidget(picker);
    window.show();
    testsupport::LookWindow::settle();
    QStyleOptionComboBox box;
    box.initFrom(picker);
    const QRect arrow = picker->style()->subControlRect(QStyle::CC_ComboBox, &box, QStyle::SC_ComboBoxArrow, picker);
    QTest::mouseClick(picker, Qt::LeftButton, {}, arrow.center());
    testsupport::LookWindow::settle();

    CalendarLook look;
    QCalendarWidget* calendar = picker->calendarWidget();
    EXPECT_TRUE(calendar->isVisible());
    auto* previous = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_prevmonth"));
    const QImage withIcon = previous->grab().toImage();
    const QIcon icon = previous->icon();
    previous->setIcon(QIcon());
    look.monthArrow = differences(withIcon, previous->grab().toImage());
    previous->setIcon(icon);
    look.monthMark = drawnIn(calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton")),
                             QPalette::WindowText);
    const auto* days = calendar->findChild<QTableView*>();
    look.week = days->visualRect(days->model()->index(1, 0)) | days->visualRect(days->model()->index(1, 6));
    const QImage week = days->viewport()->grab(look.week).toImage();
    QImage plain = week;
    plain.fill(week.pixelColor(0, 0));
    look.digits = differences(week, plain);
    calendar->window()->hide();
    KitMetrics::setZoom(1.0);
    return look;
}

} // namespace

// A date box's calendar follows the zoom: its month arrows, the mark of its month menu,
// and rows that leave its day numbers room above and below.
TEST_F(KitStyleTest, ADateBoxCalendarFollowsTheZoom)
{
    const CalendarLook actual = openCalendar(1.0);
    const CalendarLook large = openCalendar(1.5);
    ASSERT_FALSE(actual.monthArrow.isEmpty());
    ASSERT_FALSE(actual.monthMark.isEmpty());
    EXPECT_GE(large.monthArrow.width(), 1.4 * actual.monthArrow.width()) << large.monthArrow.width();
    EXPECT_GE(large.monthArrow.height(), 1.4 * actual.monthArrow.height()) << large.monthArrow.height();
    EXPECT_GE(large.monthMark.width(), 1.4 * actual.monthMark.width()) << large.monthMark.width();
    for (const auto& [zoom, look] : {std::pair{1.0, actual}, std::pair{1.5, large}, std::pair{2.0, openCalendar(2.0)}}) {
        ASSERT_FALSE(look.digits.isEmpty()) << zoom;
        const int above = look.digits.top();
        const int below = look.week.height() - 1 - look.digits.bottom();
        EXPECT_GE(std::min(above, below), 0.4 * look.digits.height())
            << zoom << ": row " << look.week.height() << ", digits " << look.digits.height() << ", room " << above
            << " and " << below;
    }
}

// Qt's file dialog is one size throughout: its drop-downs keep Qt's arrow column and
// list rows at any zoom, as their text does.
TEST_F(KitStyleTest, TheFileDialogsDropDownsKeepQtsSizes)
{
    const auto measure = [this](double zoom) {
        KitMetrics::setZoom(zoom);
        QFileDialog files(nullptr, QStringLiteral("Export"), scratch.path());
        files.setOption(QFileDialog::DontUseNativeDialog);
        files.setAttribute(Qt::WA_DontShowOnScreen);
        files.show();
        testsupport::LookWindow::settle();
        QList<std::pair<int, int>> found;  // arrow column, list row
        for (const QComboBox* box : files.findChildren<QComboBox*>()) {
            QStyleOptionComboBox option;
            option.initFrom(box);
            const QRect arrow = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, box);
            found.append({arrow.width(), box->view()->sizeHintForRow(0)});
        }
        KitMetrics::setZoom(1.0);
        return found;
    };
    const auto actual = measure(1.0);
    ASSERT_FALSE(actual.isEmpty());
    EXPECT_EQ(measure(1.5), actual);
}

// A drop-down's open list and its text field follow the zoom once: the room around a
// row's text grows with the zoom (the text is at the zoom already), and the text field
// gives up the room the arrow column takes.
TEST_F(KitStyleTest, ADropDownsRowsAndTextFieldFollowTheZoomOnce)
{
    int rowAt1 = 0;
    for (const double zoom : {1.0, 1.5, 2.0}) {
        KitMetrics::setZoom(zoom);
        QComboBox combo;
        combo.addItems({QStringLiteral("Planned & growing"), QStringLiteral("All")});
        combo.ensurePolished();
        combo.resize(combo.sizeHint());
        const int row = combo.view()->sizeHintForRow(0);
        rowAt1 = zoom == 1.0 ? row : rowAt1;
        EXPECT_GE(row, (zoom - 0.1) * rowAt1) << zoom << ": " << rowAt1 << " then " << row;
        EXPECT_LE(row, (zoom + 0.1) * rowAt1) << zoom << ": " << rowAt1 << " then " << row;
        QStyleOptionComboBox option;
        option.initFrom(&combo);
        const QStyle* style = combo.style();
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &combo);
        const QRect arrow = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &combo);
        EXPECT_LT(field.right(), arrow.left()) << zoom;
    }
    KitMetrics::setZoom(1.0);
}
