#include "store/OVError.h"

#include <gtest/gtest.h>

TEST(OVErrorText, EachKindAsTheUserSeesIt)
{
    EXPECT_EQ(OVError::database(QStringLiteral("disk I/O error")).errorDescription(),
              QStringLiteral("The database reported a problem: disk I/O error"));
    EXPECT_EQ(OVError::invalid(QStringLiteral("Please give the greenhouse a name.")).errorDescription(),
              QStringLiteral("Please give the greenhouse a name."));
    EXPECT_EQ(OVError::badBackup(QStringLiteral("the file was not found.")).errorDescription(),
              QStringLiteral("This file can't be restored: the file was not found."));
    EXPECT_EQ(OVError::notFound().errorDescription(), QStringLiteral("That record no longer exists."));
    EXPECT_EQ(OVError::file(QStringLiteral("/x/y"), std::make_error_code(std::errc::permission_denied))
                  .errorDescription(),
              QStringLiteral("/x/y: Permission denied"));
    // what() carries the same text, UTF-8 encoded.
    const OVError e = OVError::invalid(QStringLiteral("Temp \u00B0F is off."));
    EXPECT_EQ(QString::fromUtf8(e.what()), e.errorDescription());
}
