#include "services/GrowVideo.h"

namespace {

// "%02d" of a value: at least two characters, zero-padded, sign included.
QString twoDigits(qint64 value)
{
    QString text = QString::number(value);
    if (text.size() < 2)
        text.prepend(QLatin1Char('0'));
    return text;
}

} // namespace

QString GrowVideo::lengthText() const
{
    const qint64 s = seconds;
    if (s < 3600)
        return QString::number(s / 60) + QLatin1Char(':') + twoDigits(s % 60);
    return QString::number(s / 3600) + QLatin1Char(':') + twoDigits((s / 60) % 60) +
           QLatin1Char(':') + twoDigits(s % 60);
}
