// Renders the Climate screen and its two sheets as the snapshot mode does (1380 px
// wide, full height) and checks that the chart, rows and sheet contents are whole.
// With OV_LOOK_DIR set, the renders are also written there as PNG files to look at.

#include "screens/climate/CSVImportSheet.h"
#include "screens/climate/ClimateChart.h"
#include "screens/climate/ClimateView.h"
#include "screens/climate/ReadingEditor.h"
#include "screens/climate/ReadingRow.h"

#include "app/EditorDialog.h"
#include "kit/KitMetrics.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVRender.h"
#include "kit/OVScroll.h"
#include "kit/OVThemeRoot.h"
#include "services/FilePanels.h"

#include "JobTestSupport.h"
#include "ClimateTestSupport.h"

#include <QChart>
#include "LookShot.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>

using climatetest::ClimateFixture;

namespace {

class ClimateLookTest : public ClimateFixture {
protected:
    void SetUp() override
    {
        ClimateFixture::SetUp();
        OVRender::snapshotMode = true;
        // The sample's readings fall on the hour; ending them an hour ago keeps a
        // reading added now the newest, in a minute of its own, at any time of day.
        addSample(QDateTime::currentDateTimeUtc().addSecs(-3600));
    }
    void TearDown() override
    {
        OVRender::snapshotMode = false;
        ClimateFixture::TearDown();
    }

    static QPixmap render(OVThemeRoot& root, int width, const QString& name)
    {
        return testsupport::lookShot(root, width, name);
    }

    static bool inside(const QWidget* inner, const QWidget* outer)
    {
        const QRect r(inner->mapTo(inner->window(), QPoint(0, 0)), inner->size());
        const QRect o(outer->mapTo(outer->window(), QPoint(0, 0)), outer->size());
        return o.contains(r);
    }
};

} // namespace

TEST_F(ClimateLookTest, PropagationShowsChartRulesAndWholeRows)
{
    // An imported reading so the CSV tag shows.
    const Zone propagation = zoneNamed(QStringLiteral("Propagation"));
    Reading imported;
    imported.zoneID = propagation.id;
    imported.taken = QDateTime::currentDateTimeUtc().addSecs(-30);
    imported.values = {{Metric::temp, 71}, {Metric::humidity, 72}};
    imported.source = QStringLiteral("csv");
    store->addReadings({imported});
    AppModel::shared().setClimateZoneID(propagation.id);

    for (const bool celsius : {false, true}) {
        if (celsius)
            OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("C"));
        OVThemeRoot root([] { return new ClimateView; });
        render(root, 1380, celsius ? QStringLiteral("climate-celsius.png") : QStringLiteral("climate.png"));
        const auto* view = root.findChild<ClimateView*>();
        ASSERT_NE(view, nullptr);
        ASSERT_NE(view->chart(), nullptr);
        ASSERT_NE(view->chart()->chart(), nullptr);
        EXPECT_EQ(view->chart()->height(), 230);
        EXPECT_TRUE(inside(view->chart(), &root));
        EXPECT_EQ(view->chart()->ruleLabels(),
                  celsius ? QStringList({QStringLiteral("low 15.6°C"), QStringLiteral("high 29.4°C")})
                          : QStringList({QStringLiteral("low 60°F"), QStringLiteral("high 85°F")}));
        ASSERT_FALSE(view->rows().isEmpty());
        EXPECT_TRUE(view->rows().first()->hasCSVTag());
        for (const ReadingRow* row : view->rows())
            EXPECT_TRUE(inside(row, &root));
    }
}

TEST_F(ClimateLookTest, SheetsFitTheirWidth)
{
    const Zone propagation = zoneNamed(QStringLiteral("Propagation"));
    const Reading stored = store->readings(propagation.id).first();
    OVThemeRoot editorRoot([this, stored] { return new ReadingEditor(stored, *store); });
    const QPixmap editorShot = render(editorRoot, 560, QStringLiteral("reading-editor.png"));
    EXPECT_EQ(editorShot.width(), 560);

    const QString csv = dir.file(QStringLiteral("preview.csv"));
    ASSERT_TRUE(testsupport::writeAll(csv, "timestamp,zone,temp_f,humidity\n"
                                           "2026-06-01 08:00,Propagation,70,60\n"
                                           "2026-06-01 09:00,Nowhere,71,61\n"
                                           "2026-06-01 10:00,Propagation,hot,62\n"));
    const FilePanels::Backend saved = FilePanels::backend();
    FilePanels::backend().open = [csv](const QList<FileType>&, const QString&) { return std::optional<QString>(csv); };
    OVThemeRoot sheetRoot([this, propagation] {
        auto* sheet = new CSVImportSheet(propagation.id, *store);
        sheet->pick();
        testsupport::finishJobs();
        return sheet;
    });
    const QPixmap sheetShot = render(sheetRoot, 680, QStringLiteral("csv-import.png"));
    FilePanels::backend() = saved;
    EXPECT_EQ(sheetShot.width(), 680);
    const auto* sheet = sheetRoot.findChild<CSVImportSheet*>();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->previewLines().first(), QStringLiteral("3 data rows · 1 ready to import · 2 with problems"));
}

// In its dialog, before a file is chosen, the sheet's introduction is as tall as its
// wrapped lines and lies inside the visible part of the form, at every zoom.
TEST_F(ClimateLookTest, ImportSheetIntroductionShowsWholeInItsDialog)
{
    OVRender::snapshotMode = false;
    OVEditorFrame::setScreenAreaOverride(QSize(1920, 1080));
    const Zone propagation = zoneNamed(QStringLiteral("Propagation"));
    for (const double zoom : {0.85, 1.0, 1.3, 1.5, 2.0}) {
        SCOPED_TRACE(zoom);
        KitMetrics::setZoom(zoom);
        EditorDialog dialog(EditSheet::importCSV(propagation.id));
        dialog.show();
        for (int i = 0; i < 4; ++i) {
            QApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        }
        const QLabel* intro = nullptr;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text() == CSVImportSheet::explanation)
                intro = label;
        ASSERT_NE(intro, nullptr);
        const auto* frame = dialog.findChild<OVEditorFrame*>();
        ASSERT_NE(frame, nullptr);
        const QWidget* viewport = frame->scroll()->viewport();
        const QRect inView(intro->mapTo(viewport, QPoint(0, 0)), intro->size());
        testsupport::keepLook(dialog.grab().toImage(), QStringLiteral("csv-import-intro-%1.png").arg(int(zoom * 100)));
        EXPECT_GE(intro->height(), intro->heightForWidth(intro->width()));
        EXPECT_TRUE(viewport->rect().contains(inView))
            << "introduction at " << inView.y() << "+" << inView.height() << " in a view " << viewport->height()
            << " high";
    }
    KitMetrics::setZoom(1.0);
    OVEditorFrame::setScreenAreaOverride(std::nullopt);
}
