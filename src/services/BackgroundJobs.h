#pragma once
// The background jobs running now, so that the window can show their progress,
// disable the actions that would conflict with them and decide how to quit.
// Main thread only.

#include <QList>
#include <QObject>
#include <QString>

class BackgroundJob;

class BackgroundJobs : public QObject {
    Q_OBJECT
public:
    static BackgroundJobs& shared();

    const QList<BackgroundJob*>& running() const { return m_running; }
    bool busy() const { return !m_running.isEmpty(); }
    // Whether a job of that name runs ("restore", "backup", "export", "import").
    bool runs(const QString& name) const;
    // The first running job that must not be cancelled (a backup or a restore).
    BackgroundJob* mustFinish() const;
    // Cancels every job that may be cancelled, then waits for all of them to end.
    void stopAll();
    // Waits for every running job to end, without cancelling any.
    void waitAll();

    void add(BackgroundJob* job);
    void remove(BackgroundJob* job);

signals:
    // A job started or ended.
    void changed();

private:
    BackgroundJobs() = default;
    QList<BackgroundJob*> m_running;
};
