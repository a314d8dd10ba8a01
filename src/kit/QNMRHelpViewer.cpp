#include "kit/QNMRHelpViewer.h"

#include "kit/KitMetrics.h"
#include "kit/KitRule.h"
#include "kit/OVViewState.h"
#include "kit/OVLabel.h"
#include "kit/QNMRHelp.h"
#include "kit/QNMRHelpRow.h"
#include "kit/QNPanel.h"
#include "kit/QNSearchField.h"
#include "kit/QNUI.h"
#include "records/SpaceTrim.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QScrollArea* makeScroll(QWidget* content)
{
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    scroll->setWidget(content);
    // setWidget() turns background filling on; the panel's gradient must show through.
    content->setAutoFillBackground(false);
    return scroll;
}

void clearLayout(QLayout* layout)
{
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater(); // a row may be deleted from inside its own click
        } else if (QLayout* inner = item->layout()) {
            clearLayout(inner);
        }
        delete item;
    }
}

} // namespace

QNMRHelpViewer::QNMRHelpViewer(const std::optional<QString>& initialTopic, QWidget* parent)
    : QWidget(parent), m_initial(initialTopic)
{
    setMinimumSize(KitMetrics::px(680), KitMetrics::px(440));
    OVViewState::keep(this, "pickedTopic");

    auto* row = new QHBoxLayout(this);
    const int pad = KitMetrics::px(16);
    row->setContentsMargins(pad, pad, pad, pad);
    row->setSpacing(KitMetrics::px(14));

    auto* listPane = new QNPanel(22, 12);
    listPane->setFixedWidth(KitMetrics::px(260));
    listPane->body()->setSpacing(KitMetrics::px(10));
    m_search = new QNSearchField(QStringLiteral("Search help"));
    listPane->body()->addWidget(m_search);
    m_listContent = new QWidget;
    auto* listLayout = new QVBoxLayout(m_listContent);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(KitMetrics::px(4));
    m_listScroll = makeScroll(m_listContent);
    listPane->body()->addWidget(m_listScroll, 1);

    auto* topicPane = new QNPanel(22, 20);
    m_topicContent = new QWidget;
    auto* topicLayout = new QVBoxLayout(m_topicContent);
    topicLayout->setContentsMargins(0, 0, 0, 0);
    topicLayout->setSpacing(KitMetrics::px(10));
    m_topicScroll = makeScroll(m_topicContent);
    topicPane->body()->addWidget(m_topicScroll, 1);

    row->addWidget(listPane);
    row->addWidget(topicPane, 1);

    connect(m_search, &QNSearchField::textChanged, this, [this] { refresh(); });
    refresh();
}

QString QNMRHelpViewer::query() const { return m_search->text(); }

void QNMRHelpViewer::setQuery(const QString& query) { m_search->setText(query); }

void QNMRHelpViewer::showTopic(const QString& id)
{
    m_selected = id;
    refresh();
}

std::optional<QString> QNMRHelpViewer::highlightedID() const
{
    if (m_shownID && m_listedIDs.contains(*m_shownID))
        return m_shownID;
    return std::nullopt;
}

void QNMRHelpViewer::refresh()
{
    const QList<QNMRHelpTopic> list = QNMRHelp::search(query());
    QStringList listed;
    for (const QNMRHelpTopic& t : list)
        listed.append(t.id);

    std::optional<QString> key = m_selected ? m_selected : m_initial;
    if (!key && !list.isEmpty())
        key = list.first().id;
    std::optional<QString> shown;
    if (key) {
        for (const QNMRHelpTopic& t : QNMRHelp::allTopics()) {
            if (t.id == *key) {
                shown = t.id;
                break;
            }
        }
    }
    if (!shown && !list.isEmpty())
        shown = list.first().id;

    const bool topicChanged = !m_topicBuilt || shown != m_shownID;
    m_listedIDs = listed;
    m_shownID = shown;
    m_emptyMessage = list.isEmpty()
                         ? QStringLiteral("Nothing found for \"") + query() + QStringLiteral("\".")
                         : QString();
    rebuildList();
    if (topicChanged)
        rebuildTopic();
}

void QNMRHelpViewer::rebuildList()
{
    const QNKitTheme t = QNUI::shared().theme();
    auto* layout = static_cast<QVBoxLayout*>(m_listContent->layout());
    clearLayout(layout);
    const QList<QNMRHelpTopic> all = QNMRHelp::allTopics();
    for (const QString& id : m_listedIDs) {
        QString title;
        for (const QNMRHelpTopic& topic : all) {
            if (topic.id == id) {
                title = topic.title;
                break;
            }
        }
        auto* rowButton = new QNMRHelpRow(id, title, m_shownID && *m_shownID == id);
        connect(rowButton, &QNMRHelpRow::clicked, this, [this, id] { showTopic(id); });
        layout->addWidget(rowButton);
    }
    if (!m_emptyMessage.isEmpty()) {
        auto* message = new OVLabel(m_emptyMessage, 12, QFont::Normal, t.dim);
        message->setWrapping(true);
        const int pad = KitMetrics::px(8);
        message->setContentsMargins(pad, pad, pad, pad);
        layout->addWidget(message);
    }
    layout->addStretch(1);
}

void QNMRHelpViewer::rebuildTopic()
{
    m_topicBuilt = true;
    const QNKitTheme t = QNUI::shared().theme();
    auto* layout = static_cast<QVBoxLayout*>(m_topicContent->layout());
    clearLayout(layout);
    if (!m_shownID)
        return;
    std::optional<QNMRHelpTopic> topic;
    for (const QNMRHelpTopic& candidate : QNMRHelp::allTopics()) {
        if (candidate.id == *m_shownID) {
            topic = candidate;
            break;
        }
    }
    if (!topic)
        return;

    auto* title = new OVLabel(topic->title, 22, QFont::ExtraBold, t.text);
    title->setWrapping(true);
    title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(title);
    for (const Block& block : blocks(topic->body))
        layout->addWidget(makeBlock(block));

    layout->addWidget(KitRule::make(t.dim, QMargins(0, KitMetrics::px(6), 0, KitMetrics::px(6))));
    layout->addStretch(1);
    m_topicScroll->verticalScrollBar()->setValue(0);
}

QWidget* QNMRHelpViewer::makeBlock(const Block& block) const
{
    const QNKitTheme t = QNUI::shared().theme();
    const auto selectable = [](OVLabel* label) {
        label->setWrapping(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return label;
    };
    switch (block.kind) {
    case Block::Kind::heading: {
        auto* label = selectable(new OVLabel(block.text, 15, QFont::Bold, t.accent));
        label->setContentsMargins(0, KitMetrics::px(6), 0, 0);
        return label;
    }
    case Block::Kind::bullet: {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(KitMetrics::px(8));
        // Same font for the sign and the text, both top-aligned: their first baselines meet.
        auto* sign = new OVLabel(QStringLiteral("•"), 13.5, QFont::Normal, t.accent);
        auto* text = selectable(new OVLabel(block.text, 13.5, QFont::Normal, t.text));
        layout->addWidget(sign, 0, Qt::AlignTop);
        layout->addWidget(text, 1, Qt::AlignTop);
        return row;
    }
    case Block::Kind::paragraph:
        break;
    }
    return selectable(new OVLabel(block.text, 13.5, QFont::Normal, t.text));
}

QList<QNMRHelpViewer::Block> QNMRHelpViewer::blocks(const QString& body)
{
    QList<Block> out;
    const QStringList lines = body.split(QLatin1Char('\n'));
    for (const QString& raw : lines) {
        const QString line = SpaceTrim::trimmedString(raw);
        if (line.isEmpty())
            continue;
        if (line.startsWith(QStringLiteral("## ")))
            out.append({Block::Kind::heading, line.mid(3)});
        else if (line.startsWith(QStringLiteral("• ")))
            out.append({Block::Kind::bullet, line.mid(2)});
        else
            out.append({Block::Kind::paragraph, line});
    }
    return out;
}
