#pragma once
// The progress of a background job: what it is doing ("Exporting readings… 420,000
// of 1,000,000"), a bar (moving without an end while the amount of work is unknown)
// and a Cancel button for the jobs that may be stopped. Hidden while it follows no
// running job. It lives outside the content a zoom change rebuilds (the status bar, a
// sheet), so it takes a new zoom itself.

#include <QPointer>
#include <QWidget>

#include "services/BackgroundJob.h"
class OVLabel;
class QNChromeButton;
class QProgressBar;

class JobProgressBar : public QWidget {
    Q_OBJECT
public:
    explicit JobProgressBar(QWidget* parent = nullptr);

    // Shows this job until it ends.
    void follow(BackgroundJob* job);
    // Shows whichever job runs (the oldest), from now on.
    void followAll();

    QString text() const;
    QProgressBar* bar() const { return m_bar; }
    QNChromeButton* cancelButton() const { return m_cancel; }

private:
    // Sizes and fonts at the kit's current zoom.
    void applyZoom();
    void refresh();
    void pickRunning();

    QPointer<BackgroundJob> m_job;
    bool m_all = false;
    OVLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QNChromeButton* m_cancel = nullptr;
};
