#include "services/TableExport.h"

#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"
#include "services/Exporter.h"
#include "services/FilePanels.h"
#include "store/OVStore.h"

#include <QSaveFile>
#include <memory>

namespace {

const QString failedMessage = QStringLiteral("The export could not be written: ");

// A write that failed, with the file's own reason, carried back to the main thread.
struct SaveFailed {
    QString reason;
};

void write(const QString& database, qsizetype table, const QString& path, JobState& job)
{
    job.setStage(QStringLiteral("Exporting…"));
    OVStore worker(database);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw SaveFailed{file.errorString()};
    const auto sink = [&file](const QByteArray& bytes) { return FilePanels::writeAll(file, bytes); };
    // Whatever leaves early (a read failure, a cancel) leaves through the QSaveFile's
    // destructor, which drops the temporary file without touching `path`: a table
    // that could not be read is never saved with rows left out.
    if (!Exporter::writeTable(worker, table, sink, &job)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw SaveFailed{reason};
    }
    job.checkCancel();
    if (!file.commit())
        throw SaveFailed{file.errorString()};
}

} // namespace

namespace TableExport {

const QString jobName = QStringLiteral("export");

BackgroundJob* start(const OVStore& store, qsizetype table)
{
    if (BackgroundJobs::shared().runs(QStringLiteral("restore")))
        return nullptr;
    const std::optional<QString> chosen = FilePanels::save(Exporter::fileNames().value(table),
                                                           {FileType::commaSeparatedText()});
    if (!chosen || FilePanels::refusedAsOpenDatabase(*chosen, &store))
        return nullptr;
    const QString path = *chosen;
    const QString database = store.path();
    return BackgroundJob::start(
        jobName, BackgroundJob::Stop::cancellable,
        [database, table, path](JobState& job) { write(database, table, path, job); },
        [path](std::exception_ptr error) {
            if (BackgroundJob::wasCancelled(error))
                return;
            if (error) {
                try {
                    std::rethrow_exception(error);
                } catch (const SaveFailed& failed) {
                    AppModel::shared().setMessage(FilePanels::saveFailedMessage(failed.reason));
                } catch (const OVError& e) {
                    // The table could not be read (or the file not opened as a store).
                    AppModel::shared().setMessage(failedMessage + e.errorDescription());
                } catch (const std::exception& e) {
                    AppModel::shared().setMessage(failedMessage + QString::fromUtf8(e.what()));
                }
                return;
            }
            FilePanels::revealAll({path});
        });
}

} // namespace TableExport
