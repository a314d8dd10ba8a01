#pragma once
// The button look of every button: plain, prominent (the main action, in the theme's
// accent) and compact (the small variant). The title is shown literally: an "&" in it
// is a character, never a mnemonic. An optional symbol stands before the title.

#include <QPushButton>

class QNChromeButton : public QPushButton {
    Q_OBJECT
public:
    explicit QNChromeButton(const QString& title, bool prominent = false, bool compact = false,
                            QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setSymbol(const QString& symbol);
    bool prominent() const { return m_prominent; }
    bool compact() const { return m_compact; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_symbol;
    bool m_prominent;
    bool m_compact;
};
