// A probe for the check of the clock sweep (sweep-check.sh): a Qt program that reads the
// time as the unit tests do and fails unless it reads the instant it was started at,
// which the sweep passes in FAKETIME ("@" and seconds since the epoch), within a second.
//   --hold SECONDS    stays that long after reading, so that the tests after it start
//                     later in real time
//   --fail-at EPOCH   also fails when it reads that instant: a test that breaks at one
//                     instant only
// Prints the local wall time it read, to the second, for the check to compare.

#include <QCoreApplication>
#include <QDateTime>
#include <QStringList>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QDateTime now = QDateTime::currentDateTimeUtc();

    const QByteArray faketime = qgetenv("FAKETIME");
    bool ok = faketime.startsWith('@');
    const qint64 started = ok ? faketime.mid(1).toLongLong(&ok) : 0;
    if (!ok) {
        std::printf("FAKETIME is '%s', not '@' and seconds since the epoch\n", faketime.constData());
        return 2;
    }
    const QStringList args = app.arguments();
    const auto option = [&](const QString& name) {
        const qsizetype at = args.indexOf(name);
        return at > 0 && at + 1 < args.size() ? args.at(at + 1).toLongLong() : -1;
    };

    const qint64 late = now.toMSecsSinceEpoch() - started * 1000;
    std::printf("read %s local (%s), %lld ms after the instant it was started at\n",
                qPrintable(now.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))),
                qPrintable(now.toString(Qt::ISODateWithMs)), static_cast<long long>(late));
    int status = 0;
    if (late < 0 || late >= 1000) {
        std::printf("FAIL: not within a second of %s\n",
                    qPrintable(QDateTime::fromSecsSinceEpoch(started, Qt::UTC).toString(Qt::ISODate)));
        status = 1;
    }
    const qint64 failAt = option(QStringLiteral("--fail-at"));
    if (failAt >= 0 && now.toSecsSinceEpoch() == failAt) {
        std::printf("FAIL: reads the instant it fails at\n");
        status = 1;
    }
    std::fflush(stdout);
    if (const qint64 hold = option(QStringLiteral("--hold")); hold > 0)
        QThread::sleep(hold);
    return status;
}
