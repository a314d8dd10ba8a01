#pragma once
// One row of the help viewer's topic list: the topic's title, padded, over the whole
// width and wrapping onto further lines when it is long; the row of the shown topic is bold white on the accent. The whole row is
// clickable. Colours are read from the kit theme when it is made.

#include <QAbstractButton>

class QNMRHelpRow : public QAbstractButton {
    Q_OBJECT
public:
    QNMRHelpRow(const QString& topicID, const QString& title, bool shown, QWidget* parent = nullptr);

    QString topicID() const { return m_id; }
    QString title() const { return m_title; }
    bool isShown() const { return m_shown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_id;
    QString m_title; // kept out of setText(), which would read "&" as a mnemonic
    bool m_shown;
};
