#pragma once
// The button look of every button: a capsule with a vertical gradient (grey, or the
// theme's accent when prominent), a light-to-dark rim and a small painted shadow;
// compact is the small variant. The whole button draws at 75 % while pressed, and
// only the capsule takes clicks. The title is shown literally: an "&" in it is a
// character, never a mnemonic. An optional symbol stands before the title.

#include <QPushButton>

class QNChromeButton : public QPushButton {
    Q_OBJECT
public:
    explicit QNChromeButton(const QString& title, bool prominent = false, bool compact = false,
                            QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const { return m_title; }
    void setSymbol(const QString& symbol);
    QString symbol() const { return m_symbol; }
    bool prominent() const { return m_prominent; }
    bool compact() const { return m_compact; }
    // Takes the kit's zoom as it is now (the font is made when the button is built); for
    // buttons that outlive a zoom change.
    void followZoom();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    double opacity() const;

    QString m_title;
    QString m_symbol;
    bool m_prominent;
    bool m_compact;
};
