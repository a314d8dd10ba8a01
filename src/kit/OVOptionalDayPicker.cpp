#include "kit/OVOptionalDayPicker.h"

#include "kit/KitMetrics.h"
#include "kit/KitText.h"
#include "kit/OVDayPicker.h"

#include <QCheckBox>
#include <QHBoxLayout>

OVOptionalDayPicker::OVOptionalDayPicker(const QString& label, const std::optional<OVDay>& day, QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    // The title is shown as written: "&" is a character, not a mnemonic.
    m_check = new QCheckBox(KitText::literal(label));
    m_check->setFont(KitMetrics::font(13));
    m_picker = new OVDayPicker(OVDay::today());
    row->addWidget(m_check);
    row->addWidget(m_picker);
    row->addStretch(1);
    setDay(day);
    connect(m_check, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            m_picker->setDay(OVDay::today());
        m_picker->setVisible(on);
        emit changed();
    });
    connect(m_picker, &OVDayPicker::changed, this, &OVOptionalDayPicker::changed);
}

std::optional<OVDay> OVOptionalDayPicker::day() const
{
    if (!m_check->isChecked())
        return std::nullopt;
    return m_picker->day();
}

void OVOptionalDayPicker::setDay(const std::optional<OVDay>& day)
{
    const QSignalBlocker blocker(m_check);
    m_check->setChecked(day.has_value());
    m_picker->setDay(day.value_or(OVDay::today()));
    m_picker->setVisible(day.has_value());
}
