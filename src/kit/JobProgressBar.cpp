#include "kit/JobProgressBar.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"

#include <QHBoxLayout>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr double labelPoints = 12;

} // namespace

JobProgressBar::JobProgressBar(QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_label = new OVLabel(QString(), labelPoints);
    m_bar = new QProgressBar;
    m_bar->setTextVisible(false);
    m_cancel = new QNChromeButton(QStringLiteral("Cancel"), false, true);
    row->addWidget(m_label, 1);
    row->addWidget(m_bar);
    row->addWidget(m_cancel);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        if (m_job)
            m_job->cancel();
        m_cancel->setEnabled(false);
    });
    applyZoom();
    // The zoom host sets the kit's new factor in its own reaction to the change, which
    // may come after this one: the sizes are taken once that has run.
    connect(&KitEvents::shared(), &KitEvents::zoomChanged, this,
            [this] { QTimer::singleShot(0, this, &JobProgressBar::applyZoom); });
    hide();
}

void JobProgressBar::applyZoom()
{
    layout()->setSpacing(KitMetrics::px(10));
    m_label->setFont(KitMetrics::font(labelPoints));
    m_bar->setFixedWidth(KitMetrics::px(220));
    m_cancel->followZoom();
}

void JobProgressBar::follow(BackgroundJob* job)
{
    if (m_job)
        disconnect(m_job, nullptr, this, nullptr);
    m_job = job;
    if (job && !job->hasEnded()) {
        connect(job, &BackgroundJob::progressed, this, &JobProgressBar::refresh);
        connect(job, &BackgroundJob::finished, this, [this] {
            m_job = nullptr;
            if (m_all)
                pickRunning();
            else
                refresh();
        });
        m_cancel->setEnabled(true);
    } else {
        m_job = nullptr;
    }
    refresh();
}

void JobProgressBar::followAll()
{
    m_all = true;
    connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, this, [this] {
        if (!m_job || m_job->hasEnded())
            pickRunning();
    });
    pickRunning();
}

void JobProgressBar::pickRunning()
{
    const QList<BackgroundJob*>& running = BackgroundJobs::shared().running();
    follow(running.isEmpty() ? nullptr : running.first());
}

QString JobProgressBar::text() const { return m_label->text(); }

void JobProgressBar::refresh()
{
    if (!m_job || m_job->hasEnded()) {
        hide();
        return;
    }
    const JobState& state = m_job->state();
    m_label->setText(state.text());
    const qint64 total = state.total();
    if (total > 0) {
        m_bar->setRange(0, 1000);
        m_bar->setValue(int(std::min<qint64>(1000, state.done() * 1000 / total)));
    } else {
        m_bar->setRange(0, 0);
    }
    m_cancel->setVisible(m_job->cancellable());
    show();
}
