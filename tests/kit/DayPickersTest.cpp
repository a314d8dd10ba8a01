// Day pickers: the optional one's tick and untick, and days that reach the user only
// through a pick.

#include "kit/OVDayPicker.h"
#include "kit/OVOptionalDayPicker.h"

#include <QCalendarWidget>
#include <QApplication>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(OVOptionalDayPicker, TickGivesTodayUntickGivesNone)
{
    OVOptionalDayPicker picker(QStringLiteral("Sown & covered"), std::nullopt);
    QSignalSpy changed(&picker, &OVOptionalDayPicker::changed);
    auto* date = picker.findChild<OVDayPicker*>();
    ASSERT_TRUE(date);
    EXPECT_FALSE(picker.day());
    EXPECT_TRUE(date->isHidden());
    EXPECT_EQ(picker.checkBox()->text(), QStringLiteral("Sown && covered"));

    picker.checkBox()->click();
    EXPECT_EQ(picker.day(), OVDay::today());
    EXPECT_FALSE(date->isHidden());
    picker.checkBox()->click();
    EXPECT_FALSE(picker.day());
    EXPECT_TRUE(date->isHidden());

    // Ticking again gives today, not the day that was there before.
    picker.setDay(OVDay(2020, 2, 29));
    EXPECT_EQ(changed.count(), 2);
    picker.checkBox()->click();
    picker.checkBox()->click();
    EXPECT_EQ(picker.day(), OVDay::today());
    EXPECT_EQ(changed.count(), 4);
}

TEST(OVDayPicker, KeepsTheBoundDayUntilTheUserPicks)
{
    OVDayPicker picker(OVDay(2026, 3, 8));
    QSignalSpy changed(&picker, &OVDayPicker::changed);
    EXPECT_EQ(picker.day(), OVDay(2026, 3, 8));
    EXPECT_EQ(picker.date(), QDate(2026, 3, 8));

    // An impossible day shows today but stays bound.
    picker.setDay(OVDay(2026, 2, 30));
    EXPECT_EQ(picker.date(), QDate::currentDate());
    EXPECT_EQ(picker.day(), OVDay(2026, 2, 30));
    EXPECT_EQ(changed.count(), 0);

    picker.setDay(OVDay(2026, 11, 1));
    picker.setFocus();
    picker.setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClick(&picker, Qt::Key_Up);
    EXPECT_EQ(picker.day(), OVDay(2026, 11, 2));
    EXPECT_EQ(changed.count(), 1);

    // Picking in the calendar: the same day is a pick too, another day counts once.
    QCalendarWidget* calendar = picker.calendarWidget();
    QApplication::processEvents();
    calendar->setSelectedDate(picker.date());
    emit calendar->clicked(picker.date());
    EXPECT_EQ(changed.count(), 2);
    calendar->setSelectedDate(QDate(2026, 11, 20));
    emit calendar->clicked(QDate(2026, 11, 20));
    EXPECT_EQ(picker.day(), OVDay(2026, 11, 20));
    EXPECT_EQ(changed.count(), 3);
}
