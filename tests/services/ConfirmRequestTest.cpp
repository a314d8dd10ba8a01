#include "services/ConfirmRequest.h"

#include <gtest/gtest.h>

TEST(ConfirmRequestIdentity, SameTextsAreStillDifferentRequests)
{
    int runs = 0;
    const ConfirmRequest a("Delete Tomato?", "Sure?", "Delete", [&] { ++runs; });
    const ConfirmRequest b("Delete Tomato?", "Sure?", "Delete", [&] { ++runs; });
    EXPECT_NE(a.id, b.id);
    EXPECT_FALSE(a.id.isNull());
    EXPECT_EQ(runs, 0); // making a request runs nothing
    a.action();
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(a.button, "Delete");
}
