#include "kit/OVEditorFrame.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/KitShadow.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVScroll.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "kit/WoodBackground.h"

#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

namespace {

std::optional<QSize>& screenAreaOverride()
{
    static std::optional<QSize> area;
    return area;
}

} // namespace

void OVEditorFrame::setScreenAreaOverride(std::optional<QSize> area) { screenAreaOverride() = area; }

OVEditorFrame::OVEditorFrame(const QString& title, const QString& symbol, double width, QWidget* parent)
    : QWidget(parent), m_width(width)
{
    setPalette(OVColors::palette());
    setAttribute(Qt::WA_OpaquePaintEvent);
    KitShadow::setPaintsOwn(this);
    setFixedWidth(KitMetrics::px(width));
    setMinimumHeight(KitMetrics::px(300));
    setMaximumHeight(KitMetrics::px(720));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    auto* col = new QVBoxLayout(this);
    const int pad = KitMetrics::px(22);
    col->setContentsMargins(pad, pad, pad, pad);
    col->setSpacing(KitMetrics::px(14));

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(KitMetrics::px(10));
    m_symbol = KitIcons::label(symbol, OVColors::leaf(), 18 * 1.2);
    header->addWidget(m_symbol);
    m_title = new OVLabel(title, 20, QFont::ExtraBold);
    m_title->setObjectName(QStringLiteral("editorTitle"));
    header->addWidget(m_title);
    header->addStretch(1);
    col->addLayout(header);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("editorContent"));
    m_body = OVScroll::topColumn(content);
    m_body->setContentsMargins(0, 0, KitMetrics::px(6), 0);
    m_body->setSpacing(KitMetrics::px(12));
    m_scroll = new OVScroll(content);
    // On a screen narrower than the sheet at its zoom, fitScreen() narrows the frame
    // below the form's least width: the form then scrolls sideways rather than cut
    // off its right-hand fields.
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    col->addWidget(m_scroll, 1);

    m_errorLine = new QWidget;
    m_errorLine->setObjectName(QStringLiteral("editorError"));
    auto* errorRow = new QHBoxLayout(m_errorLine);
    errorRow->setContentsMargins(0, 0, 0, 0);
    errorRow->setSpacing(KitMetrics::px(6));
    errorRow->addWidget(KitIcons::label(QStringLiteral("exclamationmark.triangle.fill"), OVColors::alert(), 12.5 * 1.15),
                        0, Qt::AlignTop);
    m_errorText = new OVLabel(QString(), 12.5, QFont::DemiBold, OVColors::alert());
    m_errorText->setWrapping(true);
    errorRow->addWidget(m_errorText, 1);
    m_errorLine->hide();
    col->addWidget(m_errorLine);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(KitMetrics::px(8));
    buttons->addStretch(1);
    m_cancel = new QNChromeButton(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    m_save = new QNChromeButton(QStringLiteral("Save"), true);
    m_save->setAutoDefault(false);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);
    col->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &OVEditorFrame::cancelRequested);
    connect(m_save, &QPushButton::clicked, this, &OVEditorFrame::saveRequested);
}

void OVEditorFrame::setTitle(const QString& title) { m_title->setText(title); }
QString OVEditorFrame::title() const { return m_title->text(); }

void OVEditorFrame::setSymbol(const QString& symbol)
{
    m_symbol->setPixmap(KitIcons::pixmap(symbol, OVColors::leaf(), 18 * 1.2));
}

void OVEditorFrame::setError(const std::optional<QString>& error)
{
    m_error = error;
    m_errorText->setText(error.value_or(QString()));
    m_errorText->setVisible(error.has_value() && !error->isEmpty());
    m_errorLine->setVisible(error.has_value());
}

void OVEditorFrame::setSaveTitle(const QString& title) { m_save->setTitle(title); }

void OVEditorFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    WoodBackground::paint(p, rect(), devicePixelRatioF());
    KitShadow::paintCasters(this, p);
}

bool OVEditorFrame::handleKey(QKeyEvent* event)
{
    if (event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_Escape:
        emit cancelRequested();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_save->isEnabled())
            emit saveRequested();
        return true;
    default:
        return false;
    }
}

void OVEditorFrame::keyPressEvent(QKeyEvent* event)
{
    // Keys the focused control did not take (a one-line box passes Return on; a text
    // area keeps it) end here, before the dialog would close or click anything.
    if (handleKey(event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool OVEditorFrame::event(QEvent* event)
{
    // Polished as the dialog is first shown (or as a rebuilt frame joins it), before
    // the dialog takes its size from the frame.
    if (event->type() == QEvent::Polish) {
        fitScreen();
        disarmButtons();
    }
    return QWidget::event(event);
}

void OVEditorFrame::fitScreen()
{
    QWidget* win = window();
    if (win == this || !qobject_cast<QDialog*>(win))
        return;
    QSize area;
    if (screenAreaOverride())
        area = *screenAreaOverride();
    else if (QScreen* screen = win->screen())
        area = screen->availableGeometry().size();
    if (area.isEmpty())
        return;
    const int tallest = std::max(1, std::min(KitMetrics::px(720), area.height() - windowChrome));
    setMaximumHeight(tallest);
    setMinimumHeight(std::min(KitMetrics::px(300), tallest));
    setFixedWidth(std::max(1, std::min(KitMetrics::px(m_width), area.width())));
}

void OVEditorFrame::disarmButtons()
{
    // Buttons made later (a photo strip's) are kit buttons, which never auto-default.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
}

void OVEditorFrame::showEvent(QShowEvent* event)
{
    fitScreen();
    disarmButtons();
    QWidget::showEvent(event);
    // Keys sent to the dialog itself (nothing inside it focused) never pass the frame.
    QWidget* win = window();
    if (win != this && win != m_watchedWindow && qobject_cast<QDialog*>(win)) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = win;
        win->installEventFilter(this);
    }
}

bool OVEditorFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedWindow && event->type() == QEvent::KeyPress && isVisible()) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Only keys addressed to the dialog itself; those from inside the frame were
        // taken by keyPressEvent already.
        if (QApplication::focusWidget() == nullptr || QApplication::focusWidget() == m_watchedWindow
            || !isAncestorOf(QApplication::focusWidget())) {
            if (handleKey(key))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
