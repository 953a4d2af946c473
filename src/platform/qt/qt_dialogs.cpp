#include "platform/qt/qt_dialogs.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// A box answers the window the user is working in (the options dialog, the history window
// ...), so it stands over that window; the main window when none of the program's is active.
QWidget* owner_for_box(QWidget* fallback) {
    QWidget* active = QApplication::activeModalWidget();
    if (active == nullptr) active = QApplication::activeWindow();
    return active != nullptr && active->isVisible() ? active : fallback;
}

}  // namespace

MsgResult QtDialogs::message_box(const MessageBoxRequest& r) {
    QMessageBox box(owner_for_box(parent_));
    box.setText(QString::fromStdString(r.text));
    box.setWindowTitle(QString::fromStdString(r.title));
    switch (r.icon) {
        case MsgIcon::error: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::warning: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::none: break;
    }
    switch (r.buttons) {
        case MsgButtons::ok: box.setStandardButtons(QMessageBox::Ok); break;
        case MsgButtons::ok_cancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case MsgButtons::yes_no: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    }
    if (r.system_modal) box.setWindowModality(Qt::ApplicationModal);
    switch (box.exec()) {
        case QMessageBox::Cancel: return MsgResult::cancel;
        case QMessageBox::Yes: return MsgResult::yes;
        case QMessageBox::No: return MsgResult::no;
        case QMessageBox::Ok: return MsgResult::ok;
        default: return r.buttons == MsgButtons::ok ? MsgResult::ok : (r.buttons == MsgButtons::yes_no ? MsgResult::no : MsgResult::cancel);
    }
}
