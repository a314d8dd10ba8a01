#include "records/OVPrefs.h"

#include <QLocale>
#include <QSettings>

#include <atomic>

namespace OVPrefs {
namespace {

QSettings settings()
{
    // Fixed names, so tests and command-line modes without an application object
    // still read and write the same file as the program.
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("QNMR"),
                     QStringLiteral("QNMR Orvane"));
}

std::atomic<quint64> writes{0};

} // namespace

quint64 writeCount() { return writes.load(); }

bool contains(const QString& key) { return settings().contains(key); }

QVariant value(const QString& key)
{
    QSettings s = settings();
    return s.contains(key) ? s.value(key) : QVariant();
}

void setValue(const QString& key, const QVariant& v)
{
    QSettings s = settings();
    s.setValue(key, v);
    ++writes;
}

void remove(const QString& key)
{
    QSettings s = settings();
    s.remove(key);
    ++writes;
}

void sync()
{
    QSettings s = settings();
    s.sync();
}

QString settingsFilePath() { return settings().fileName(); }

std::optional<bool> boolValue(const QString& key)
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (v.typeId() == QMetaType::QString) {
        const QString text = v.toString();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    return std::nullopt;
}

std::optional<QString> stringValue(const QString& key)
{
    const QVariant v = value(key);
    if (v.typeId() == QMetaType::QString)
        return v.toString();
    return std::nullopt;
}

std::optional<double> doubleValue(const QString& key)
{
    const QVariant v = value(key);
    if (!v.isValid())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return v.toDouble();
    case QMetaType::QString: {
        bool ok = false;
        const double d = QLocale::c().toDouble(v.toString(), &ok);
        if (ok)
            return d;
        return std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

bool useCelsius() { return stringValue(unitKey) == QStringLiteral("C"); }

bool remindersOn() { return boolValue(remindersKey).value_or(true); }

bool alertsOn() { return boolValue(alertsKey).value_or(true); }

} // namespace OVPrefs
