#include "screens/library/VideosView.h"

#include "kit/AdaptiveGridLayout.h"
#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVRebuilder.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"
#include "records/OVDay.h"
#include "records/OVInfo.h"
#include "services/AppModel.h"
#include "services/NetStatus.h"
#include "services/ReferenceLibrary.h"
#include "services/VideoAccess.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// The offline banner: a rounded strip in the warning colour.
class Banner : public QWidget {
public:
    explicit Banner(QWidget* parent = nullptr) : QWidget(parent)
    {
        auto* row = new QHBoxLayout(this);
        const int pad = KitMetrics::px(12);
        row->setContentsMargins(pad, pad, pad, pad);
        row->setSpacing(KitMetrics::px(10));
        row->addWidget(KitIcons::label(QStringLiteral("wifi.slash"), OVColors::alert(), 18));
        auto* text = new OVLabel(VideoAccess::offlineMessage, 13, QFont::DemiBold);
        text->setWrapping(true);
        row->addWidget(text, 1);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QColor fill = OVColors::alert();
        fill.setAlphaF(0.18f);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(rect(), KitMetrics::pxF(14), KitMetrics::pxF(14));
    }
};

QString subtitleFor(qsizetype count)
{
    return QString::number(count)
         + QStringLiteral(" greenhouse videos from university extension services and established growers. "
                          "They open on YouTube in your web browser — nothing is downloaded.");
}

} // namespace

VideosView::VideosView(QWidget* parent)
    : VideosView(AppModel::shared(), NetStatus::shared(), ReferenceLibrary::shared(), parent)
{
}

VideosView::VideosView(AppModel& model, NetStatus& net, const ReferenceLibrary& library, QWidget* parent)
    : QWidget(parent), m_model(model), m_net(net), m_lib(library)
{
    m_page = OVPage::fill(this, Screen::videos, subtitleFor(m_lib.videos().size()));

    m_banner = new Banner;
    m_page->content()->addWidget(m_banner);

    const OVColors colors;
    auto* controls = new QHBoxLayout;
    controls->setSpacing(KitMetrics::px(10));
    auto* topicLabel = new OVLabel(QStringLiteral("Topic"), 13);
    m_topic = new QComboBox;
    m_topic->setFixedWidth(KitMetrics::px(300) - topicLabel->sizeHint().width() - KitMetrics::px(6));
    auto* topicRow = new QHBoxLayout;
    topicRow->setSpacing(KitMetrics::px(6));
    topicRow->addWidget(topicLabel);
    topicRow->addWidget(m_topic);
    controls->addLayout(topicRow);
    m_search = new QNSearchField(QStringLiteral("Search videos or channels"));
    m_search->setMaximumWidth(KitMetrics::px(300));
    controls->addWidget(m_search, 1);
    controls->addStretch(1);
    controls->addWidget(new OVLabel(QStringLiteral("List checked ") + OVInfo::dataCheckedISO, 11.5,
                                    QFont::Normal, colors.dim()));
    m_page->content()->addLayout(controls);

    m_gridHolder = new QVBoxLayout;
    m_gridHolder->setContentsMargins(0, 0, 0, 0);
    m_page->content()->addLayout(m_gridHolder);

    fillTopics();
    connect(m_topic, &QComboBox::activated, this,
            [this](int index) { m_model.setVideoTopic(m_topic->itemText(index)); });
    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    connect(m_search, &QNSearchField::textChanged, m_rebuilder, &OVRebuilder::schedule);
    connect(&m_model, &AppModel::videoTopicChanged, this, [this] {
        fillTopics();
        m_rebuilder->schedule();
    });
    connect(&m_net, &NetStatus::onlineChanged, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

void VideosView::showEvent(QShowEvent* event)
{
    m_net.start();
    QWidget::showEvent(event);
}

void VideosView::fillTopics()
{
    const QSignalBlocker blocker(m_topic);
    m_topic->clear();
    m_topic->addItem(QStringLiteral("All"));
    m_topic->addItems(m_lib.videoTopics());
    // A stored topic the library does not list stays chosen, so the grid and the
    // picker agree.
    int index = m_topic->findText(m_model.videoTopic(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0) {
        m_topic->addItem(m_model.videoTopic());
        index = m_topic->count() - 1;
    }
    m_topic->setCurrentIndex(index);
}

QList<GrowVideo> VideosView::visibleVideos() const
{
    const QString topic = m_model.videoTopic();
    const QString search = m_search->text();
    QList<GrowVideo> shown;
    for (const GrowVideo& video : m_lib.videos()) {
        if (topic != QStringLiteral("All") && video.topic != topic)
            continue;
        if (!search.isEmpty() && !(video.title + QLatin1Char(' ') + video.channel).contains(search, Qt::CaseInsensitive))
            continue;
        shown.append(video);
    }
    return shown;
}

void VideosView::rebuild()
{
    const bool online = m_net.isOnline();
    m_banner->setVisible(!online);
    if (m_grid) {
        m_grid->hide();
        m_grid->deleteLater();
    }
    m_grid = new QWidget;
    auto* grid = new AdaptiveGridLayout(KitMetrics::px(300), KitMetrics::px(14), m_grid);
    for (const GrowVideo& video : visibleVideos())
        grid->addWidget(card(video, online));
    m_gridHolder->addWidget(m_grid);
}

QWidget* VideosView::card(const GrowVideo& video, bool online)
{
    const OVColors colors;
    auto* card = new OVCard(QString(), QString(), 14);
    card->body()->setSpacing(KitMetrics::px(6));

    auto* top = new QHBoxLayout;
    top->addWidget(new OVTag(video.topic, colors.accent()));
    top->addStretch(1);
    top->addWidget(KitIcons::label(QStringLiteral("clock"), colors.dim(), 11));
    top->addWidget(new OVLabel(video.lengthText(), 11, QFont::Normal, colors.dim()));
    card->body()->addLayout(top);

    auto* title = new OVLabel(video.title, 14, QFont::Bold);
    title->setWrapping(true);
    title->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    title->setMinimumHeight(KitMetrics::px(36));
    card->body()->addWidget(title);
    card->body()->addWidget(new OVLabel(video.channel, 12, QFont::DemiBold, OVColors::leaf()));
    const std::optional<OVDay> day = OVDay::fromIso(video.published);
    card->body()->addWidget(new OVLabel(QStringLiteral("Published ") + (day ? day->display() : video.published), 11,
                                        QFont::Normal, colors.dim()));

    auto* buttons = new QHBoxLayout;
    auto* watch = online ? new QNChromeButton(QStringLiteral("Watch on YouTube"), true, true)
                         : new QNChromeButton(QStringLiteral("Needs internet"), false, true);
    watch->setSymbol(online ? QStringLiteral("play.fill") : QStringLiteral("wifi.slash"));
    watch->setEnabled(online);
    connect(watch, &QPushButton::clicked, this, [this, video] {
        if (!VideoAccess::watch(video))
            m_model.setMessage(VideoAccess::offlineMessage);
    });
    buttons->addWidget(watch);
    buttons->addStretch(1);
    card->body()->addLayout(buttons);
    return card;
}
