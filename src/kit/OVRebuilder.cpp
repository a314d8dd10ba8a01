#include "kit/OVRebuilder.h"

#include "store/OVStore.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

OVRebuilder::OVRebuilder(QWidget* owner, std::function<void()> rebuild)
    : QObject(owner), m_owner(owner), m_rebuild(std::move(rebuild))
{
    owner->installEventFilter(this);
}

void OVRebuilder::schedule()
{
    m_dirty = true;
    if (m_queued)
        return;
    m_queued = true;
    QTimer::singleShot(0, this, [this] {
        m_queued = false;
        if (m_dirty && m_owner->isVisible())
            rebuildNow();
    });
}

void OVRebuilder::follow(OVStore& store)
{
    connect(&store, &OVStore::revisionChanged, this, &OVRebuilder::schedule);
}

void OVRebuilder::rebuildNow()
{
    m_dirty = false;
    ++m_count;
    m_rebuild();
}

bool OVRebuilder::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_owner && event->type() == QEvent::Show && m_dirty)
        schedule();
    return QObject::eventFilter(watched, event);
}
