// Rebuilds are coalesced, deferred to the next event-loop turn, and wait while the
// owner is hidden.

#include "kit/OVRebuilder.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

TEST(OVRebuilder, CoalescesDefersAndWaitsWhileHidden)
{
    QWidget owner;
    owner.setAttribute(Qt::WA_DontShowOnScreen);
    int runs = 0;
    auto* rebuilder = new OVRebuilder(&owner, [&] { ++runs; });
    owner.show();
    rebuilder->schedule();
    rebuilder->schedule();
    rebuilder->schedule();
    EXPECT_EQ(runs, 0);
    QApplication::processEvents();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(rebuilder->rebuildCount(), 1);

    owner.hide();
    rebuilder->schedule();
    QApplication::processEvents();
    EXPECT_EQ(runs, 1);
    owner.show();
    QApplication::processEvents();
    EXPECT_EQ(runs, 2);
    QApplication::processEvents();
    EXPECT_EQ(runs, 2);
}
