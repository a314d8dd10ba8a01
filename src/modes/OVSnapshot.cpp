#include "modes/OVSnapshot.h"

#include "app/MainWindow.h"
#include "app/OVSetup.h"
#include "app/ScreenFactory.h"
#include "kit/KitMetrics.h"
#include "kit/OVRender.h"
#include "kit/OVThemeRoot.h"
#include "kit/OVThemes.h"
#include "kit/QNMRHelpViewer.h"
#include "kit/QNMRThemes.h"
#include "kit/QNZoom.h"
#include "modes/SavedSettings.h"
#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "services/EditSheet.h"
#include "services/NetStatus.h"
#include "services/OVNotify.h"
#include "services/Opener.h"
#include "services/Reports.h"
#include "services/SampleData.h"
#include "store/OVError.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QPixmap>
#include <QSaveFile>
#include <QWidget>
#include <cstdio>
#include <memory>

namespace OVSnapshot {

std::function<bool(const QString&, const QByteArray&)> rewriteFile = SavedSettings::replaceFile;

namespace {

const QString databaseName = QStringLiteral("snapshot-sample.sqlite");

// The look settings and the settings file as they were before the run, put back
// when the run ends however it ends.
class SavedLook {
public:
    SavedLook() { m_saved.save({QNMRThemes::key, OVPrefs::unitKey, QNZoom::key}); }
    ~SavedLook() { m_saved.restore(rewriteFile); }
    SavedLook(const SavedLook&) = delete;
    SavedLook& operator=(const SavedLook&) = delete;

private:
    SavedSettings m_saved;
};

void settle()
{
    // Screens rebuild their lists deferred (and again when their size settles).
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
    }
}

int wantedHeight(QWidget* w, int width)
{
    if (w->hasHeightForWidth())
        return std::max(w->heightForWidth(width), w->minimumSizeHint().height());
    return std::max(w->sizeHint().height(), w->minimumSizeHint().height());
}

struct Renderer {
    QString folder;
    const Printer& print;
    int failures = 0;

    // Lays the view out at the width (and the given height, or the height it wants),
    // grabs it and writes name.png. The view is deleted afterwards.
    void shot(const QString& name, int width, QWidget* view, std::optional<int> height = std::nullopt)
    {
        std::unique_ptr<QWidget> owner(view);
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->resize(width, height.value_or(800));
        view->show();
        settle();
        if (!height) {
            // A page's height follows its rebuilt content: measure until it holds still.
            for (int i = 0; i < 4; ++i) {
                const int h = std::max(1, wantedHeight(view, width));
                if (h == view->height())
                    break;
                view->resize(width, h);
                settle();
            }
        }
        const QPixmap image = view->grab();
        const QString file = name + QStringLiteral(".png");
        if (image.isNull()) {
            print(QStringLiteral("could not render ") + name);
            ++failures;
            return;
        }
        QImageWriter writer(QDir(folder).filePath(file), "png");
        if (!writer.write(image.toImage())) {
            print(QStringLiteral("could not write ") + file);
            ++failures;
            return;
        }
        print(QStringLiteral("wrote %1 %2x%3").arg(file).arg(image.width()).arg(image.height()));
    }
};

void removeStaleDatabase(const QString& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

Printer standardOutput()
{
    return [](const QString& line) {
        std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
    };
}

} // namespace

const QList<Shot>& shots()
{
    const QString grove = OVThemes::groveID;
    const QString F = QStringLiteral("F");
    static const QList<Shot> list = {
        {"01-today", Screen::today, grove, F, true},
        {"02-greenhouses", Screen::greenhouses, grove, F, true},
        {"03-plants", Screen::plants, grove, F, true},
        {"04-seeds", Screen::seeds, grove, F, true},
        {"05-climate", Screen::climate, grove, F, true},
        {"06-watering-feeding", Screen::schedules, grove, F, true},
        {"07-maintenance", Screen::maintenance, grove, F, true},
        {"08-pests", Screen::pests, grove, F, true},
        {"09-harvests", Screen::harvests, grove, F, true},
        {"10-supplies", Screen::supplies, grove, F, true},
        {"11-reports", Screen::reports, grove, F, true},
        {"12-library-tomato", Screen::library, grove, F, true},
        {"13-videos", Screen::videos, grove, F, true},
        {"14-videos-offline", Screen::videos, grove, F, false},
        {"15-settings", Screen::settings, grove, F, true},
        {"16-today-cedar", Screen::today, OVThemes::cedarID, F, true},
        {"17-climate-celsius-cobalt", Screen::climate, "cobalt-gunmetal", "C", true},
        {"18-plants-rose-gold", Screen::plants, "rose-gold", F, true},
        {"19-today-midnight-black", Screen::today, "midnight-black", F, true},
        {"20-today-brushed-gray", Screen::today, "brushed-gray", F, true},
        {"21-library-lavender", Screen::library, "lavender-pearl", F, true},
        {"22-greenhouses-candy-red", Screen::greenhouses, "candy-red-titanium", F, true},
    };
    return list;
}

std::optional<int> handle(const QStringList& arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--ov-snapshot"));
    if (at < 0 || at + 1 >= arguments.size())
        return std::nullopt;
    return run(arguments.at(at + 1));
}

int run(const QString& folderPath, const Printer& printer)
{
    const Printer print = printer ? printer : standardOutput();
    const QString folder = QDir(folderPath).absolutePath();
    QDir().mkpath(folder); // a failure shows when the store cannot be opened

    // Quiet and self-contained: pages laid out whole, no notifications, no browser.
    OVRender::snapshotMode = true;
    OVNotify::enabled = false;
    Opener::open = [](const QUrl&) {};
    KitMetrics::setZoom(1.0);
    OVSetup::configure();
    // Qt's own controls drawn by the kit's style and palette, as in the window.
    OVSetup::styleApplication();

    const SavedLook saved; // put back on every way out, by its destructor

    const QString dbPath = QDir(folder).filePath(databaseName);
    removeStaleDatabase(dbPath);
    OVStore* store = nullptr;
    try {
        // Stays shared (and open) for the rest of the process.
        store = new OVStore(dbPath);
    } catch (const OVError&) {
        print(QStringLiteral("could not open sample database"));
        return 1;
    }
    OVStore::setShared(store);
    try {
        SampleData::add(*store, QDateTime::currentDateTimeUtc());
    } catch (const OVError& e) {
        print(QStringLiteral("sample data failed: ") + e.errorDescription());
        return 1;
    }

    AppModel& model = AppModel::shared();
    const QList<Zone> zones = store->zones(std::nullopt);
    model.setClimateZoneID(zones.isEmpty() ? std::nullopt : std::optional<qint64>(zones.last().id));
    model.setLibraryCropID(QStringLiteral("tomato"));

    Renderer r{folder, print};
    for (const Shot& s : shots()) {
        OVPrefs::setValue(QNMRThemes::key, s.theme);
        OVPrefs::setValue(OVPrefs::unitKey, s.unit);
        NetStatus::override = s.online;
        model.setScreen(s.screen);
        // As the window shows it: side rail (on this screen's row), divider, screen.
        r.shot(s.name, 1380, new OVThemeRoot([] { return new MainWindow; }));
    }

    OVPrefs::setValue(QNMRThemes::key, OVThemes::groveID);
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("F"));

    const auto editorShot = [&](const QString& name, int width, const EditSheet& sheet) {
        r.shot(name, width, new OVThemeRoot([sheet] { return ScreenFactory::makeEditor(sheet); }));
    };
    for (const Plant& p : store->plants()) {
        if (p.crop == QStringLiteral("Tomato")) {
            editorShot(QStringLiteral("30-editor-plant"), 760, EditSheet(p));
            break;
        }
    }
    if (!zones.isEmpty())
        editorShot(QStringLiteral("31-editor-zone-alerts"), 720, EditSheet(store->zones(std::nullopt).last()));
    for (const OVTask& t : store->tasks()) {
        if (t.kind == TaskKind::maintenance) {
            editorShot(QStringLiteral("32-editor-maintenance-task"), 740, EditSheet(t));
            break;
        }
    }
    r.shot(QStringLiteral("33-help-start"), 1000,
           new OVThemeRoot([] { return new QNMRHelpViewer(QStringLiteral("start")); }), 760);

    const QString pdfName = QStringLiteral("40-cost-report.pdf");
    const QByteArray pdf = Reports::pdf(
        QStringLiteral("Cost per harvest"), QStringLiteral("Sample data"),
        Reports::costTable(Reports::costs(store->harvests(), store->ledger(), std::nullopt, std::nullopt)),
        {});
    QSaveFile out(QDir(folder).filePath(pdfName));
    if (pdf.isEmpty()) {
        print(QStringLiteral("could not render ") + pdfName);
        ++r.failures;
    } else if (!out.open(QIODevice::WriteOnly) || out.write(pdf) != pdf.size() || !out.commit()) {
        print(QStringLiteral("could not write ") + pdfName);
        ++r.failures;
    } else {
        print(QStringLiteral("wrote ") + pdfName);
    }
    return r.failures > 0 ? 1 : 0;
}

} // namespace OVSnapshot
