#include "screens/plants/SeedCard.h"

#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVTag.h"
#include "kit/QNChromeButton.h"
#include "records/OVFormat.h"
#include "screens/plants/GermTestRow.h"
#include "screens/plants/SeedsView.h"

#include <QHBoxLayout>
#include <QStringList>
#include <QVBoxLayout>

SeedCard::SeedCard(const Seed& seed, const QList<GermTest>& tests, SeedsView* view, QWidget* parent)
    : OVCard(QString(), QString(), 16, parent), m_seed(seed)
{
    const OVColors colors;
    auto* header = new QHBoxLayout;
    header->setSpacing(KitMetrics::px(8));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(KitMetrics::px(3));
    // The title column gives way to the tag and the buttons: in the narrowest window
    // a long title or facts line ends in "…" rather than pushing the buttons past the
    // page's edge.
    auto* name = new OVLabel(title(seed), 16, QFont::ExtraBold);
    name->setObjectName(QStringLiteral("seedTitle"));
    name->setEliding(true);
    texts->addWidget(name);
    auto* factsLine = new OVLabel(facts(seed), 12.5, QFont::Normal, colors.dim());
    factsLine->setObjectName(QStringLiteral("seedFacts"));
    factsLine->setEliding(true);
    texts->addWidget(factsLine);
    header->addLayout(texts);
    header->addStretch(1);
    if (!tests.isEmpty()) {
        const QColor color = tests.first().rate() >= 70 ? colors.accent() : OVColors::alert();
        header->addWidget(new OVTag(tagText(tests), color), 0, Qt::AlignTop);
    }
    auto* edit = new QNChromeButton(QStringLiteral("Edit"), false, true);
    auto* plant = new QNChromeButton(QStringLiteral("Plant From This Seed"), false, true);
    auto* test = new OVAddButton(QStringLiteral("Germination Test"));
    header->addWidget(edit, 0, Qt::AlignTop);
    header->addWidget(plant, 0, Qt::AlignTop);
    header->addWidget(test, 0, Qt::AlignTop);
    body()->addLayout(header);

    const Seed copy = seed;
    connect(edit, &QPushButton::clicked, view, [view, copy] { view->editSeed(copy); });
    connect(plant, &QPushButton::clicked, view, [view, copy] { view->plantFromSeed(copy); });
    connect(test, &QPushButton::clicked, view, [view, copy] { view->addTest(copy); });

    for (const GermTest& germ : tests)
        body()->addWidget(new GermTestRow(germ, view));
}

QString SeedCard::title(const Seed& seed)
{
    return seed.variety.isEmpty() ? seed.crop : seed.crop + QStringLiteral(" — ") + seed.variety;
}

QString SeedCard::facts(const Seed& seed)
{
    QStringList parts;
    if (!seed.supplier.isEmpty())
        parts.append(seed.supplier);
    if (!seed.lot.isEmpty())
        parts.append(QStringLiteral("Lot ") + seed.lot);
    if (seed.year)
        parts.append(QStringLiteral("Packed for ") + QString::number(*seed.year));
    parts.append(OVFormat::num(seed.quantity, 2) + QLatin1Char(' ') + seed.unit + QStringLiteral(" left"));
    return parts.join(QStringLiteral(" · "));
}

QString SeedCard::tagText(const QList<GermTest>& tests)
{
    if (tests.isEmpty())
        return QString();
    return OVFormat::fixed(tests.first().rate(), 0) + QStringLiteral("% germination");
}
