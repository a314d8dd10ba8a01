#pragma once
// The two-pane help viewer: a searchable topic list on the left, the chosen topic's
// body (headings, bullets, paragraphs from the help markup) on the right.
//
// Which topic is shown: the one the user last clicked, else the initial topic, else
// the first listed one. It is looked up among all topics, not the filtered list, so a
// clicked (or opened-on) topic stays shown while the search hides it; no row is then
// highlighted. Nothing clears the clicked topic and typing never changes it. The list
// and the topic pane are derived afresh from (query, clicked topic, initial topic) on
// every change.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <optional>

class QNSearchField;
class QScrollArea;
class QVBoxLayout;

class QNMRHelpViewer : public QWidget {
    Q_OBJECT
    // The topic the user clicked, "" before any click (kept across a rebuild).
    Q_PROPERTY(QString pickedTopic READ pickedTopic WRITE showTopic)
public:
    explicit QNMRHelpViewer(const std::optional<QString>& initialTopic = std::nullopt,
                            QWidget* parent = nullptr);

    // As if the user clicked the topic's row.
    void showTopic(const QString& id);
    QString pickedTopic() const { return m_selected.value_or(QString()); }

    QString query() const;
    void setQuery(const QString& query);

    // What is on screen now: the shown topic, the listed topic ids in order, the
    // highlighted row, and the "Nothing found" message ("" while something is listed).
    std::optional<QString> shownTopicID() const { return m_shownID; }
    QStringList listedIDs() const { return m_listedIDs; }
    std::optional<QString> highlightedID() const;
    QString emptyMessage() const { return m_emptyMessage; }
    QNSearchField* searchField() const { return m_search; }
    QWidget* topicPane() const { return m_topicContent; }

    // One rendered line of a topic body.
    struct Block {
        enum class Kind { heading, bullet, paragraph };
        Kind kind;
        QString text; // without the "## " or "• " marker
        friend bool operator==(const Block&, const Block&) = default;
    };
    // Each non-blank line of the body becomes one block, in order: "## " starts a
    // heading, "• " a bullet, anything else is a paragraph (after trimming spaces and tabs).
    static QList<Block> blocks(const QString& body);

private:
    void refresh();
    void rebuildList();
    void rebuildTopic();
    QWidget* makeBlock(const Block& block) const;

    std::optional<QString> m_initial;
    std::optional<QString> m_selected;

    QNSearchField* m_search = nullptr;
    QScrollArea* m_listScroll = nullptr;
    QWidget* m_listContent = nullptr;
    QScrollArea* m_topicScroll = nullptr;
    QWidget* m_topicContent = nullptr;

    std::optional<QString> m_shownID;
    QStringList m_listedIDs;
    QString m_emptyMessage;
    bool m_topicBuilt = false;
};
