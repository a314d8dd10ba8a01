#include "screens/today/WelcomeCard.h"

#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/QNChromeButton.h"
#include "kit/QNMRHelp.h"
#include "screens/today/StepBadge.h"
#include "services/AppModel.h"
#include "services/SampleData.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

WelcomeCard::WelcomeCard(QWidget* parent) : WelcomeCard(AppModel::shared(), parent) {}

WelcomeCard::WelcomeCard(AppModel& model, QWidget* parent)
    : OVCard(QStringLiteral("Welcome — let's set up your greenhouse"), QStringLiteral("hand.wave.fill"), 16, parent),
      m_model(model)
{
    const OVColors colors;
    auto* stack = new QVBoxLayout;
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(8));
    body()->addLayout(stack);

    const QStringList texts = steps();
    for (int i = 0; i < texts.size(); ++i) {
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(KitMetrics::px(8));
        row->addWidget(new StepBadge(i + 1, colors.accent()), 0, Qt::AlignTop);
        auto* text = new OVLabel(texts[i], 13, QFont::Normal, colors.text());
        text->setWrapping(true);
        text->setObjectName(QStringLiteral("step"));
        // Puts the text's first baseline level with the number's.
        text->setContentsMargins(0, KitMetrics::px(1), 0, 0);
        row->addWidget(text, 1, Qt::AlignTop);
        stack->addLayout(row);
    }

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, KitMetrics::px(4), 0, 0);
    buttons->setSpacing(KitMetrics::px(8));
    m_add = new OVAddButton(QStringLiteral("Add Your First Greenhouse"));
    m_sample = new QNChromeButton(QStringLiteral("Explore With a Sample Greenhouse"));
    m_guide = new QNChromeButton(QStringLiteral("Open the Start-to-Finish Guide"));
    buttons->addWidget(m_add);
    buttons->addWidget(m_sample);
    buttons->addWidget(m_guide);
    buttons->addStretch(1);
    stack->addLayout(buttons);

    connect(m_add, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(Greenhouse())); });
    connect(m_sample, &QPushButton::clicked, this, [this] {
        OVStore* store = OVStore::shared();
        // A second click can land before the Today screen drops this card: the sample
        // only goes into a store that still has no greenhouse.
        if (!store || !store->greenhouses().isEmpty())
            return;
        m_sample->setEnabled(false);
        if (!m_model.act([store] { SampleData::add(*store, TaskClock::now()); }))
            m_sample->setEnabled(true);
    });
    connect(m_guide, &QPushButton::clicked, this, [] { QNMRHelp::show(QStringLiteral("start")); });
}

QStringList WelcomeCard::steps()
{
    return {
        QStringLiteral("Add your greenhouse, then its zones (areas with their own climate) and the beds and benches "
                       "inside them."),
        QStringLiteral("Set alert ranges for each zone, then log temperature, humidity and other readings by hand or "
                       "import a CSV file."),
        QStringLiteral("Add your plants from the Crop Library so expected harvest dates are filled in for you."),
        QStringLiteral("Add watering, feeding and maintenance schedules — you get a desktop reminder when they are "
                       "due."),
        QStringLiteral("Log harvests and costs, then see yield per crop and cost per harvest in Reports."),
    };
}
