// The small controls: chrome buttons show titles literally, the search field's clear
// button, the text area's fixed height, and a stepper that never clamps a stored
// value (M11).

#include "kit/KitMetrics.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVStepper.h"
#include "kit/OVTag.h"
#include "kit/OVTextArea.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

TEST(KitControls, ButtonVariantsAndLiteralTitles)
{
    QNChromeButton plain(QStringLiteral("Salt & Pepper"));
    QNChromeButton compact(QStringLiteral("Salt & Pepper"), false, true);
    EXPECT_EQ(plain.text(), QStringLiteral("Salt && Pepper"));
    EXPECT_EQ(plain.title(), QStringLiteral("Salt & Pepper"));
    EXPECT_TRUE(plain.shortcut().isEmpty());
    // Compact: smaller font and paddings only.
    EXPECT_LT(compact.sizeHint().height(), plain.sizeHint().height());
    EXPECT_LT(compact.sizeHint().width(), plain.sizeHint().width());
    EXPECT_DOUBLE_EQ(plain.font().pointSizeF(), KitMetrics::font(12.5, QFont::Bold).pointSizeF());
    QNChromeButton withSymbol(QStringLiteral("Salt & Pepper"));
    withSymbol.setSymbol(QStringLiteral("plus"));
    EXPECT_GT(withSymbol.sizeHint().width(), plain.sizeHint().width());

    // Only the capsule takes clicks.
    QSignalSpy clicked(&plain, &QPushButton::clicked);
    plain.resize(plain.sizeHint());
    QTest::mouseClick(&plain, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(clicked.count(), 0);
    QTest::mouseClick(&plain, Qt::LeftButton, {}, plain.rect().center());
    EXPECT_EQ(clicked.count(), 1);
}

TEST(KitControls, SearchFieldClearButtonFollowsTheText)
{
    QNSearchField field(QStringLiteral("Search plants"));
    field.setAttribute(Qt::WA_DontShowOnScreen);
    field.show();
    QSignalSpy changed(&field, &QNSearchField::textChanged);
    auto* clear = field.findChild<QToolButton*>();
    ASSERT_TRUE(clear);
    EXPECT_EQ(field.lineEdit()->placeholderText(), QStringLiteral("Search plants"));
    EXPECT_FALSE(clear->isVisible());
    QTest::keyClicks(field.lineEdit(), QStringLiteral("t"));
    EXPECT_TRUE(clear->isVisible());
    EXPECT_EQ(clear->toolTip(), QStringLiteral("Clear search"));
    clear->click();
    EXPECT_TRUE(field.text().isEmpty());
    EXPECT_FALSE(clear->isVisible());
    EXPECT_EQ(changed.count(), 2);
}

TEST(KitControls, TextsArePlainAndSizesFixed)
{
    OVTextArea area(QString(), 50);
    EXPECT_EQ(area.height(), 50);
    EXPECT_TRUE(area.placeholderText().isEmpty());
    OVField field(QStringLiteral("Notes <i>here</i>"), new QWidget);
    auto* caption = field.findChild<OVLabel*>(QStringLiteral("fieldCaption"));
    ASSERT_TRUE(caption);
    EXPECT_EQ(caption->text(), QStringLiteral("NOTES <I>HERE</I>"));
    EXPECT_EQ(caption->textFormat(), Qt::PlainText);
    EXPECT_FALSE(field.findChild<OVLabel*>(QStringLiteral("fieldHelp")));
    OVTag tag(QStringLiteral("A long tag text"), Qt::red);
    OVTag shortTag(QStringLiteral("A"), Qt::red);
    EXPECT_GT(tag.sizeHint().width(), shortTag.sizeHint().width());
    EXPECT_EQ(tag.sizeHint().height(), shortTag.sizeHint().height());
}

TEST(KitControls, FontsAreInterAtPointsTimesZoom)
{
    const QFont f = KitMetrics::font(13, QFont::Bold);
    EXPECT_EQ(QFontInfo(f).pixelSize(), 13);
    EXPECT_EQ(f.weight(), QFont::Bold);
    if (QFontDatabase::families().contains(QStringLiteral("Inter"))) {
        EXPECT_EQ(QFontInfo(f).family(), QStringLiteral("Inter"));
    }
    EXPECT_NEAR(KitMetrics::font(10, QFont::ExtraBold, 0.8).letterSpacing(), 0.8, 0.01);
    KitMetrics::setZoom(2.0);
    EXPECT_EQ(QFontInfo(KitMetrics::font(13)).pixelSize(), 26);
    EXPECT_EQ(KitMetrics::px(14), 28);
    KitMetrics::setZoom(1.0);
}

// Remembered widths answer for the font they were measured in, not for another font
// or another text, and follow a zoom change.
TEST(KitControls, RememberedAdvancesKeepFontsAndTextsApart)
{
    const QString text = QStringLiteral("Sown Mar 3, 2014");
    const QFont small = KitMetrics::font(11.5);
    const QFont bold = KitMetrics::font(11.5, QFont::Bold);
    const QFont large = KitMetrics::font(24);
    for (int round = 0; round < 2; ++round) {
        for (const QFont& f : {small, bold, large}) {
            EXPECT_DOUBLE_EQ(KitMetrics::advance(f, text), QFontMetricsF(f).horizontalAdvance(text));
            EXPECT_DOUBLE_EQ(KitMetrics::advance(f, text + text), QFontMetricsF(f).horizontalAdvance(text + text));
        }
    }
    EXPECT_GT(KitMetrics::advance(large, text), KitMetrics::advance(small, text));
    KitMetrics::setZoom(2.0);
    const QFont zoomed = KitMetrics::font(11.5);
    EXPECT_DOUBLE_EQ(KitMetrics::advance(zoomed, text), QFontMetricsF(zoomed).horizontalAdvance(text));
    KitMetrics::setZoom(1.0);
    KitMetrics::forgetAdvances();
    EXPECT_DOUBLE_EQ(KitMetrics::advance(small, text), QFontMetricsF(small).horizontalAdvance(text));
}

// M11: a value stored beyond the range is kept, and the range widens to hold it.
TEST(KitControls, StepperNeverClampsAStoredValue)
{
    OVStepper stepper(1, 30, 1);
    QSignalSpy changed(&stepper, &OVStepper::changed);
    stepper.setValue(45);
    EXPECT_EQ(stepper.value(), 45);
    EXPECT_EQ(stepper.maximum(), 45);
    stepper.setValue(-3);
    EXPECT_EQ(stepper.value(), -3);
    EXPECT_EQ(stepper.minimum(), -3);
    EXPECT_EQ(changed.count(), 0);

    const QList<QToolButton*> buttons = stepper.findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_FALSE(buttons[0]->isEnabled()); // at the minimum
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(stepper.value(), -2);
    EXPECT_EQ(changed.count(), 1);
    stepper.setFormatter([](int v) { return QStringLiteral("Every %1 days").arg(v); });
    EXPECT_EQ(stepper.findChild<QLabel*>()->text(), QStringLiteral("Every -2 days"));
}

TEST(KitControls, StepperStopsAtItsMaximum)
{
    OVStepper stepper(1, 5, 2);
    QSignalSpy changed(&stepper, &OVStepper::changed);
    const QList<QToolButton*> buttons = stepper.findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    stepper.setValue(3);
    EXPECT_TRUE(buttons[1]->isEnabled());
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(stepper.value(), 5);
    EXPECT_FALSE(buttons[1]->isEnabled()); // + at the maximum
    EXPECT_TRUE(buttons[0]->isEnabled());
    QTest::keyClick(&stepper, Qt::Key_Up);
    EXPECT_EQ(stepper.value(), 5);
    EXPECT_EQ(changed.count(), 1);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(stepper.value(), 3);
    EXPECT_TRUE(buttons[1]->isEnabled());
}
