#include "modes/OVSelfTest.h"

#include "modes/OVMutation.h"
#include "modes/SelfTestPrefs.h"
#include "modes/SelfTestLook.h"
#include "modes/SelfTestSchedules.h"
#include "modes/SelfTestAlerts.h"
#include "modes/SelfTestCSV.h"
#include "services/OVNotify.h"
#include "modes/SelfTestReference.h"
#include "services/Opener.h"
#include "modes/SelfTestReports.h"
#include "modes/SelfTestVideoNotify.h"
#include "modes/SelfTestBackup.h"
#include "modes/SelfTestRecords.h"
#include "modes/SelfTestRelaunch.h"
#include "app/OVSetup.h"

#include <QDateTime>
#include <QDir>
#include <QUuid>
#include <cmath>
#include <memory>

namespace OVSelfTest {

bool near(std::optional<double> found, double expected, double tolerance)
{
    if (!found)
        return false;
    const double diff = std::fabs(*found - expected);
    if (std::isnan(diff))
        return false;
    return diff <= tolerance;
}

int finish(const OVTestRun& run)
{
    if (run.failed != 0) {
        ovPrintLine(QString::number(run.failed) + QStringLiteral(" FAILED, ") +
                        QString::number(run.passed) + QStringLiteral(" passed"),
                    false);
        return 1;
    }
    ovPrintLine(QStringLiteral("ALL ") + QString::number(run.passed) +
                    QStringLiteral(" CHECKS PASSED"),
                false);
    return 0;
}

QString headerLine(const QDateTime& nowUtc, const QString& mutateRaw)
{
    QString line = QStringLiteral("QNMR Orvane self-test — ") +
                   nowUtc.toUTC().toString(Qt::ISODate);
    if (!mutateRaw.isEmpty())
        line += QStringLiteral(" — MUTATION \"") + mutateRaw +
                QStringLiteral("\": failures are EXPECTED");
    return line;
}

int run()
{
    const QString mutateRaw = qEnvironmentVariable("OV_SELFTEST_MUTATE");
    OVMutation::active() = OVMutation::parse(mutateRaw);
    OVNotify::enabled = false;

    // No URL reaches the desktop during the run: the opener records instead, and
    // the video group reads and clears the record.
    const auto openedBox = std::make_shared<QList<QUrl>>();
    Opener::open = [openedBox](const QUrl& url) { openedBox->append(url); };
    Opener::showFolder = [](const QUrl&) {}; // nor does a folder
    const std::function<QList<QUrl>()> opened = [openedBox] { return *openedBox; };
    const std::function<void()> clearOpened = [openedBox] { openedBox->clear(); };

    OVTestRun testRun;
    ovPrintLine(headerLine(QDateTime::currentDateTimeUtc(), mutateRaw), false);

    const QString scratch = QDir::tempPath() + QStringLiteral("/ov-selftest-") +
                            QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QDir().mkpath(scratch);

    SelfTestPrefs saved;
    saved.saveAndPrepare();
    OVSetup::configure();

    // The ten groups, in their fixed order.
    referenceTests(testRun);
    recordTests(testRun, scratch);
    relaunchTests(testRun, scratch);
    recurrenceTests(testRun);
    alertTests(testRun, scratch);
    csvTests(testRun, scratch);
    reportTests(testRun, scratch);
    backupTests(testRun, scratch);
    lookAndHelpTests(testRun);
    videoAndNotifyTests(testRun, scratch, opened, clearOpened);

    const int code = finish(testRun);
    std::fflush(stdout);

    saved.restore();
    QDir(scratch).removeRecursively();
    return code;
}

} // namespace OVSelfTest
