#include "app/DisplayCheck.h"

std::optional<QString> DisplayCheck::missingDisplayMessage(const QProcessEnvironment& environment,
                                                           const QStringList& arguments)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!environment.value(QString::fromLatin1(name)).isEmpty())
            return std::nullopt;
    // Qt takes its options with one dash or two, the value as the next argument.
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("-platform") || arguments[i] == QLatin1String("--platform"))
            return std::nullopt;
    return QStringLiteral("QNMR Orvane needs a desktop session to show its window, and none was found "
                          "(DISPLAY and WAYLAND_DISPLAY are not set). To try it without one, run it "
                          "under xvfb-run or with QT_QPA_PLATFORM=offscreen.");
}
