#include "screens/today/ProblemRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "services/AppModel.h"

#include <QHBoxLayout>

ProblemRow::ProblemRow(const PestRecord& record, AppModel& model, QWidget* parent)
    : OVRowBox(false, parent), m_record(record)
{
    const OVColors colors;
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    body()->addLayout(row);

    auto* problem = new OVLabel(record.problem, 13, QFont::DemiBold, colors.text());
    problem->setObjectName(QStringLiteral("problem"));
    problem->setEliding(true);
    problem->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    row->addWidget(problem);
    m_tagColor = record.severity >= 4 ? OVColors::alert() : colors.accent();
    m_tag = new OVTag(QStringLiteral("Severity ") + QString::number(record.severity), m_tagColor);
    row->addWidget(m_tag);
    row->addStretch(1);
    auto* day = new OVLabel(record.observed.display(), 12, QFont::Normal, colors.dim());
    day->setObjectName(QStringLiteral("date"));
    row->addWidget(day);

    m_open = new QNChromeButton(QStringLiteral("Open"), false, true);
    row->addWidget(m_open);
    connect(m_open, &QPushButton::clicked, this, [this, &model] { model.setSheet(EditSheet(m_record)); });
}
