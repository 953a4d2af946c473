#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QWidget>

#include "alerts/qt/frm_msg_box.h"
#include "alerts/alert_fakes.h"

TEST(FrmMsgBox, ShowsWithoutBlockingAndReplacesItsText) {
    QWidget owner;
    owner.show();
    ActionLog log;
    FakeSound sound(log);
    frmMsgBox box(&owner, &sound, true);

    box.show_message("Please check the SMTP server.", false);  // returns at once
    EXPECT_TRUE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), "Error");
    EXPECT_EQ(box.findChild<QLabel*>("lblError")->text(), "Please check the SMTP server.");
    EXPECT_EQ(box.windowModality(), Qt::WindowModal);  // the owner takes no input meanwhile
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);

    box.show_message("Please check the senders address.", true);
    EXPECT_EQ(box.text(), "Please check the senders address.");
    EXPECT_EQ(log.calls, (std::vector<std::string>{"system sound SystemExclamation", "system sound SystemHand"}));

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&box, &escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(owner.isEnabled());

    box.show_message("again", false);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&box, &enter);
    EXPECT_FALSE(box.isVisible());
}
