// The editor frame in a dialog: exact width, 300 to 720 tall, its error line, and the
// Escape and Return keys, without ever closing the dialog.

#include "kit/OVEditorFrame.h"
#include "kit/OVLabel.h"
#include "kit/OVScroll.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"

#include <QApplication>
#include <QDialog>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

struct FramedDialog {
    QDialog dialog;
    OVEditorFrame* frame;
    explicit FramedDialog(double width = 560, int rows = 1)
    {
        frame = new OVEditorFrame(QStringLiteral("Edit Reading"), QStringLiteral("thermometer.sun.fill"), width);
        for (int i = 0; i < rows; ++i)
            frame->body()->addWidget(new OVTextField(QStringLiteral("Value")));
        auto* layout = new QVBoxLayout(&dialog);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(frame);
        dialog.setAttribute(Qt::WA_DontShowOnScreen);
        dialog.open();
        // A window's first size is capped at two thirds of the screen, and the offscreen
        // screen is small: size the dialog as a large screen would.
        dialog.resize(dialog.sizeHint());
        QApplication::processEvents();
    }
};

} // namespace

TEST(OVEditorFrame, KeepsItsWidthAndHeightBounds)
{
    FramedDialog shortOne(560, 1);
    EXPECT_EQ(shortOne.frame->width(), 560);
    EXPECT_EQ(shortOne.frame->height(), 300);

    FramedDialog tall(560, 40);
    EXPECT_EQ(tall.frame->width(), 560);
    EXPECT_EQ(tall.frame->height(), 720);
    EXPECT_GT(tall.frame->scroll()->verticalScrollBar()->maximum(), 0);

    FramedDialog wide(700, 3);
    EXPECT_EQ(wide.frame->width(), 700);
}

TEST(OVEditorFrame, ShowsTheErrorLineOnlyForAnError)
{
    FramedDialog d;
    auto* line = d.frame->findChild<QWidget*>(QStringLiteral("editorError"));
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->isVisible());

    d.frame->setError(QString());
    EXPECT_TRUE(line->isVisible());
    // The icon alone: no text beside it.
    const QList<OVLabel*> texts = line->findChildren<OVLabel*>();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_FALSE(texts[0]->isVisible());

    d.frame->setError(QStringLiteral("Name <b>is</b> required & more"));
    EXPECT_TRUE(texts[0]->isVisible());
    EXPECT_EQ(texts[0]->textFormat(), Qt::PlainText);
    d.frame->setError(std::nullopt);
    EXPECT_FALSE(line->isVisible());

    EXPECT_EQ(d.frame->saveButton()->title(), QStringLiteral("Save"));
    d.frame->setSaveTitle(QStringLiteral("Import & Save"));
    EXPECT_EQ(d.frame->saveButton()->text(), QStringLiteral("Import && Save"));
}

TEST(OVEditorFrame, EscapeCancelsAndReturnSavesOnceWithoutClosing)
{
    FramedDialog d;
    auto* field = d.frame->findChild<OVTextField*>();
    auto* area = new OVTextArea;
    d.frame->body()->addWidget(area);
    QApplication::processEvents();
    QSignalSpy save(d.frame, &OVEditorFrame::saveRequested);
    QSignalSpy cancel(d.frame, &OVEditorFrame::cancelRequested);

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(cancel.count(), 1);
    EXPECT_EQ(save.count(), 0);
    EXPECT_TRUE(d.dialog.isVisible());

    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(save.count(), 1);
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(save.count(), 2);

    area->setPlainText(QStringLiteral("one"));
    area->moveCursor(QTextCursor::End);
    QTest::keyClick(area, Qt::Key_Return);
    EXPECT_EQ(save.count(), 2);
    EXPECT_EQ(area->text(), QStringLiteral("one\n"));

    // Keys that reach the dialog itself.
    QTest::keyClick(&d.dialog, Qt::Key_Escape);
    EXPECT_EQ(cancel.count(), 2);
    QTest::keyClick(&d.dialog, Qt::Key_Return);
    EXPECT_EQ(save.count(), 3);

    // The buttons run the same actions.
    QTest::mouseClick(d.frame->cancelButton(), Qt::LeftButton);
    QTest::mouseClick(d.frame->saveButton(), Qt::LeftButton);
    EXPECT_EQ(cancel.count(), 3);
    EXPECT_EQ(save.count(), 4);
    EXPECT_TRUE(d.dialog.isVisible());
    EXPECT_EQ(d.dialog.result(), 0);
}

// A screen narrower than the sheet narrows the frame below its form's least width:
// the form scrolls sideways, so no field is out of reach.
TEST(OVEditorFrame, AFormWiderThanTheScreenScrollsSideways)
{
    OVEditorFrame::setScreenAreaOverride(QSize(420, 900));
    FramedDialog narrow(560, 1);
    auto* wide = new QWidget;
    wide->setMinimumWidth(520);
    narrow.frame->body()->addWidget(wide);
    for (int i = 0; i < 3; ++i) {
        QApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QApplication::processEvents();
    }
    OVEditorFrame::setScreenAreaOverride(std::nullopt);

    EXPECT_EQ(narrow.frame->width(), 420);
    const QScrollBar* sideways = narrow.frame->scroll()->horizontalScrollBar();
    EXPECT_TRUE(sideways->isVisible());
    EXPECT_GE(sideways->maximum(), 520 - narrow.frame->scroll()->viewport()->width());
}
