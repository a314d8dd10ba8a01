#include "store/OVError.h"

#include <QDir>

#include <utility>

OVError::OVError(Kind kind, QString payload)
    : m_kind(kind), m_payload(std::move(payload))
{
    m_what = errorDescription().toUtf8();
}

OVError OVError::database(const QString& message)
{
    return OVError(Kind::database, message);
}

OVError OVError::invalid(const QString& sentence)
{
    return OVError(Kind::invalid, sentence);
}

OVError OVError::badBackup(const QString& reason)
{
    return OVError(Kind::badBackup, reason);
}

OVError OVError::notFound()
{
    return OVError(Kind::notFound, QString());
}

OVError OVError::file(const QString& systemText)
{
    return OVError(Kind::file, systemText);
}

OVError OVError::file(const QString& path, const std::error_code& code)
{
    return OVError(Kind::file, QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                                   QString::fromLocal8Bit(code.message()));
}

QString OVError::errorDescription() const
{
    switch (m_kind) {
    case Kind::database:
        return QStringLiteral("The database reported a problem: ") + m_payload;
    case Kind::invalid:
        return m_payload;
    case Kind::badBackup:
        return QStringLiteral("This file can't be restored: ") + m_payload;
    case Kind::notFound:
        return QStringLiteral("That record no longer exists.");
    case Kind::file:
        return m_payload;
    }
    return m_payload;
}
