#pragma once
// Keeps one running copy per user and database. The first copy listens on a local
// socket whose name is made from the user id and the database path; a later copy
// finds it, asks it to raise its window and is told to quit. The check runs before
// the store is opened, so a second copy writes nothing at all.
//
// Invariants: a stale socket left by a crashed copy never blocks a start (it is
// removed and taken over); two copies on different databases never see each other.

#include <QObject>
#include <QString>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // The socket name for this user and this database file.
    static QString serverName(const QString& databasePath);

    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when another copy answered and took the request to raise its window: this
    // copy should exit. Otherwise this copy now listens and will emit raiseRequested
    // for the copies started after it.
    bool anotherCopyRuns(int timeoutMs = 1000);

    bool listening() const;

signals:
    void raiseRequested();

private:
    bool askRunning(int timeoutMs);
    void acceptConnections();

    QString m_name;
    QLocalServer* m_server = nullptr;
};
