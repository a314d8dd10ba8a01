#include "modes/OVTestRun.h"

#include <cstdio>

void ovPrintLine(const QString& line, bool flush)
{
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    if (flush)
        std::fflush(stdout);
}

void OVTestRun::begin(const QString& title)
{
    ovPrintLine(QStringLiteral("== ") + title, true);
}

void OVTestRun::check(bool held, const QString& label)
{
    if (held)
        ++passed;
    else
        ++failed;
    ovPrintLine((held ? QStringLiteral("PASS  ") : QStringLiteral("FAIL  ")) + label, true);
}
