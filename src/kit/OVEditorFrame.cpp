#include "kit/OVEditorFrame.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVScroll.h"
#include "kit/QNChromeButton.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

OVEditorFrame::OVEditorFrame(const QString& title, const QString& /*symbol*/, double width, QWidget* parent)
    : QWidget(parent)
{
    setFixedWidth(KitMetrics::px(width));
    auto* col = new QVBoxLayout(this);
    const int pad = KitMetrics::px(22);
    col->setContentsMargins(pad, pad, pad, pad);
    col->setSpacing(KitMetrics::px(14));
    auto* titleLabel = new OVLabel(title, 20, QFont::ExtraBold);
    titleLabel->setObjectName(QStringLiteral("editorTitle"));
    col->addWidget(titleLabel);
    auto* content = new QWidget;
    m_body = new QVBoxLayout(content);
    m_body->setContentsMargins(0, 0, KitMetrics::px(6), 0);
    m_body->setSpacing(KitMetrics::px(12));
    col->addWidget(new OVScroll(content), 1);
    m_errorLine = new OVLabel(QString(), 12.5, QFont::DemiBold, OVColors::alert());
    static_cast<OVLabel*>(m_errorLine)->setWrapping(true);
    m_errorLine->hide();
    col->addWidget(m_errorLine);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_cancel = new QNChromeButton(QStringLiteral("Cancel"));
    m_cancel->setAutoDefault(false);
    m_save = new QNChromeButton(QStringLiteral("Save"), true);
    m_save->setDefault(true);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_save);
    col->addLayout(buttons);
    connect(m_cancel, &QPushButton::clicked, this, &OVEditorFrame::cancelRequested);
    connect(m_save, &QPushButton::clicked, this, &OVEditorFrame::saveRequested);
    setMinimumHeight(KitMetrics::px(300));
    setMaximumHeight(KitMetrics::px(720));
}

void OVEditorFrame::setTitle(const QString& title)
{
    if (auto* label = findChild<OVLabel*>(QStringLiteral("editorTitle")))
        label->setText(title);
}

void OVEditorFrame::setSymbol(const QString&) {}

void OVEditorFrame::setError(const std::optional<QString>& error)
{
    m_error = error;
    static_cast<OVLabel*>(m_errorLine)->setText(error.value_or(QString()));
    m_errorLine->setVisible(error.has_value());
}

void OVEditorFrame::setSaveTitle(const QString& title) { m_save->setTitle(title); }
