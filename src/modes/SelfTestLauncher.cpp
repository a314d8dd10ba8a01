#include "modes/SelfTestLauncher.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringDecoder>

namespace OVSelfTest {

ChildResult runChild(const QStringList& arguments, const QString& program, int timeLimitMs)
{
    const QString executable = program.isEmpty() ? QCoreApplication::applicationFilePath() : program;
    if (executable.isEmpty())
        return {childNoExecutable, QString()};

    QProcess child;
    child.setProgram(executable);
    child.setArguments(arguments);
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setStandardErrorFile(QProcess::nullDevice());
    child.setInputChannelMode(QProcess::ForwardedInputChannel);
    child.start();
    if (!child.waitForStarted(timeLimitMs))
        return {childNotStarted, QString()};

    // QProcess keeps draining the pipe while it waits, so a chatty child never
    // blocks on a full pipe.
    if (!child.waitForFinished(timeLimitMs)) {
        child.kill();
        child.waitForFinished(5000);
        return {childTimedOut, QString()};
    }
    const QByteArray bytes = child.readAllStandardOutput();
    const int code = child.exitStatus() == QProcess::NormalExit ? child.exitCode() : childCrashed;

    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        text.clear();
    return {code, text};
}

} // namespace OVSelfTest
