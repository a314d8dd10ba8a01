#pragma once
// The one error type that store operations (and the services built on them) throw.
// Every error carries a kind and a payload; errorDescription() is the text meant for
// the user and is never empty. Two errors compare equal when kind and payload match.
//
// Kinds:
//   database  - the engine's or the store's message, shown behind
//               "The database reported a problem: "
//   invalid   - a whole sentence for the user, shown as it is
//   badBackup - the reason a backup cannot be restored, shown behind
//               "This file can't be restored: "
//   notFound  - "That record no longer exists."
//   file      - the file system's own text (for example creating the data folder
//               failed); shown as it is

#include <QByteArray>
#include <QString>

#include <exception>
#include <system_error>

class OVError : public std::exception {
public:
    enum class Kind { database, invalid, badBackup, notFound, file };

    static OVError database(const QString& message);
    static OVError invalid(const QString& sentence);
    static OVError badBackup(const QString& reason);
    static OVError notFound();
    static OVError file(const QString& systemText);
    // "<path>: <the system's message>", the usual shape of a file-system complaint.
    static OVError file(const QString& path, const std::error_code& code);

    Kind kind() const noexcept { return m_kind; }
    // The message, sentence or reason given when the error was made ("" for notFound).
    const QString& payload() const noexcept { return m_payload; }
    // The text the user sees.
    QString errorDescription() const;
    // errorDescription() as UTF-8.
    const char* what() const noexcept override { return m_what.constData(); }

    bool operator==(const OVError& other) const
    {
        return m_kind == other.m_kind && m_payload == other.m_payload;
    }

private:
    OVError(Kind kind, QString payload);

    Kind m_kind;
    QString m_payload;
    QByteArray m_what;
};
