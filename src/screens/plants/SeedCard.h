#pragma once
// One seed packet on the Seed Inventory screen: the title and facts line, the
// newest test's germination tag, the packet's buttons, and one row per germination
// test (newest first, as given). The buttons only call the screen's actions with
// this packet or test.

#include "kit/OVCard.h"
#include "records/GermTest.h"
#include "records/Seed.h"

#include <QList>

class SeedsView;

class SeedCard : public OVCard {
    Q_OBJECT
public:
    SeedCard(const Seed& seed, const QList<GermTest>& tests, SeedsView* view, QWidget* parent = nullptr);

    const Seed& seed() const { return m_seed; }

    // "Lettuce — Buttercrunch", or the crop alone without a variety.
    static QString title(const Seed& seed);
    // Supplier · Lot … · Packed for … · <amount> <unit> left, leaving out empty parts.
    static QString facts(const Seed& seed);
    // "90% germination" for the newest test; "" without tests.
    static QString tagText(const QList<GermTest>& tests);

private:
    Seed m_seed;
};
