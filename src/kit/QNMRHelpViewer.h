#pragma once
// The two-pane help viewer: a searchable topic list on the left, the chosen topic's
// body (headings, bullets, paragraphs from the help markup) on the right.

#include <QString>
#include <QWidget>
#include <optional>

class QNMRHelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit QNMRHelpViewer(const std::optional<QString>& initialTopic = std::nullopt,
                            QWidget* parent = nullptr);

    void showTopic(const QString& id);
};
