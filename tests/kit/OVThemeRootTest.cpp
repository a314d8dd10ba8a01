// The theme root rebuilds its content after a "qnmr.theme" change, once, after the slot
// that changed it has returned; the rebuilt content reads the new theme's colours and
// shows what the old content showed.

#include "app/OVSetup.h"
#include "kit/OVLabel.h"
#include "kit/OVThemeRoot.h"
#include "kit/OVThemes.h"
#include "kit/QNMRThemes.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

TEST(OVThemeRoot, ThemeChangeRebuildsTheContentDeferred)
{
    OVSetup::configure();
    QNMRThemes::setCurrentID(OVThemes::groveID);
    QApplication::processEvents();
    int built = 0;
    QWidget* contentDuringSlot = nullptr;
    OVThemeRoot* rootPtr = nullptr;
    OVThemeRoot root([&] {
        ++built;
        auto* w = new QWidget;
        auto* col = new QVBoxLayout(w);
        col->addWidget(new QLineEdit);
        col->addWidget(new OVLabel(QStringLiteral("Label")));
        auto* button = new QPushButton(QStringLiteral("Cedar"));
        QObject::connect(button, &QPushButton::clicked, w, [&] {
            QNMRThemes::setCurrentID(OVThemes::cedarID);
            QNMRThemes::setCurrentID(OVThemes::cedarID);
            contentDuringSlot = rootPtr->content();
        });
        col->addWidget(button);
        return w;
    });
    rootPtr = &root;
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.show();
    QWidget* first = root.content();
    first->findChild<QLineEdit*>()->setText(QStringLiteral("typed"));
    EXPECT_EQ(first->findChild<OVLabel*>()->palette().color(QPalette::WindowText),
              OVThemes::extras().at(0).text.color());

    first->findChild<QPushButton*>()->click();
    EXPECT_EQ(contentDuringSlot, first);
    EXPECT_EQ(root.content(), first);
    QApplication::processEvents();
    ASSERT_NE(root.content(), first);
    EXPECT_EQ(built, 2);
    // What was typed is typed again into the new content.
    EXPECT_EQ(root.content()->findChild<QLineEdit*>()->text(), QStringLiteral("typed"));
    // Labels without a colour of their own take the new theme's text colour.
    EXPECT_EQ(root.content()->findChild<OVLabel*>()->palette().color(QPalette::WindowText),
              QNMRThemes::named(OVThemes::cedarID).text.color());

    // Storing the same id again rebuilds nothing.
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    QApplication::processEvents();
    EXPECT_EQ(built, 2);
    EXPECT_EQ(root.rebuildCount(), 1);
    QNMRThemes::setCurrentID(OVThemes::groveID);
    QApplication::processEvents();
}
