#include "records/IntegerMath.h"

#include <gtest/gtest.h>

TEST(IntegerMath, RoundsTowardMinusInfinity)
{
    static_assert(IntegerMath::floorDiv(7, 2) == 3);
    static_assert(IntegerMath::floorDiv(-7, 2) == -4);
    static_assert(IntegerMath::floorDiv(-8, 2) == -4);
    static_assert(IntegerMath::floorDiv(7, -2) == -4);
    static_assert(IntegerMath::floorMod(-1, 1440) == 1439);
    static_assert(IntegerMath::floorMod(-1440, 1440) == 0);
    EXPECT_EQ(IntegerMath::floorDiv(-1, 86400), -1); // the second before 1970 is on 1969-12-31
}
