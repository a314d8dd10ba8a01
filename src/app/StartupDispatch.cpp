#include "app/StartupDispatch.h"

namespace {

// The argument after the first exact occurrence of `flag`; null when the flag is
// absent or last.
QString valueAfter(const QStringList& arguments, const QString& flag)
{
    const qsizetype at = arguments.indexOf(flag);
    if (at < 0 || at + 1 >= arguments.size())
        return QString();
    return arguments.at(at + 1);
}

} // namespace

StartupDispatch StartupDispatch::decide(const QStringList& arguments)
{
    // The program path is the first element and is never a flag.
    const QStringList args = arguments.mid(1);
    StartupDispatch result;
    const struct {
        const char* flag;
        Mode mode;
    } withPath[] = {{"--ov-child-write", Mode::ChildWrite},
                    {"--ov-child-read", Mode::ChildRead},
                    {"--ov-snapshot", Mode::Snapshot}};
    for (const auto& entry : withPath) {
        const QString path = valueAfter(args, QString::fromLatin1(entry.flag));
        if (!path.isNull()) {
            result.mode = entry.mode;
            result.path = path;
            return result;
        }
    }
    if (args.contains(QStringLiteral("--selftest")))
        result.mode = Mode::SelfTest;
    return result;
}
