#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPointer>
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

// A refusal shown over a value dialog that closes and deletes itself: the box outlives it and
// shows the next message over its first owner.
TEST(FrmMsgBox, OutlivesAWindowItWasShownOver) {
    QWidget owner;
    owner.show();
    auto* box = new frmMsgBox(&owner, nullptr, false);
    auto* dialog = new QDialog(&owner);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    box->set_owner(dialog);
    box->show_message("Please enter a number.", false);
    EXPECT_EQ(box->parentWidget(), dialog);
    box->accept();

    const QPointer<frmMsgBox> alive(box);
    dialog->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(alive.isNull());
    EXPECT_EQ(box->parentWidget(), &owner);
    box->show_message("again", false);
    EXPECT_TRUE(box->isVisible());
}

// A long message shows whole, no line cut off, no unit wrapped away from its number.
TEST(FrmMsgBox, SizesItselfToItsText) {
    QWidget owner;
    frmMsgBox box(&owner, nullptr, false);
    box.show_message("Alert \"Limit\":\nThe monthly download + upload of the adapter eth0 on this computer has reached "
                     "12.50 MB, that is 80 % of the cap of 15.00 MB.\nThe next line.\nAnd the last line.", false);
    auto* label = box.findChild<QLabel*>("lblError");
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    EXPECT_TRUE(box.rect().contains(label->geometry()));
    EXPECT_TRUE(label->text().contains(QStringLiteral("12.50\u00A0MB, that is 80\u00A0% of the cap of 15.00\u00A0MB")));
}
