#include "screens/today/HarvestSoonRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "services/AppModel.h"

#include <QHBoxLayout>

HarvestSoonRow::HarvestSoonRow(const Plant& plant, const OVDay& today, AppModel& model, QWidget* parent)
    : OVRowBox(plant.expectedHarvest.value_or(today) < today, parent), m_plant(plant),
      m_date(dateText(plant, today))
{
    const OVColors colors;
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(8));
    body()->addLayout(row);

    auto* name = new OVLabel(plant.displayName(), 13, QFont::DemiBold, colors.text());
    name->setObjectName(QStringLiteral("name"));
    name->setEliding(true);
    name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(name, 1);
    auto* date = new OVLabel(m_date, 12, QFont::Normal, colors.dim());
    date->setObjectName(QStringLiteral("date"));
    row->addWidget(date);

    m_log = new QNChromeButton(QStringLiteral("Log harvest"), false, true);
    row->addWidget(m_log);
    const OVDay day = today;
    connect(m_log, &QPushButton::clicked, this, [this, &model, day] {
        Harvest harvest;
        harvest.plantID = m_plant.id;
        harvest.crop = m_plant.crop;
        harvest.date = day;
        harvest.quantity = 0;
        harvest.unit = HarvestUnit::lb;
        model.setSheet(EditSheet(harvest));
    });
}

QString HarvestSoonRow::dateText(const Plant& plant, const OVDay& today)
{
    if (!plant.expectedHarvest)
        return QString();
    if (*plant.expectedHarvest < today)
        return QStringLiteral("was due ") + plant.expectedHarvest->display();
    return plant.expectedHarvest->display();
}
