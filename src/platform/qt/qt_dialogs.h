#pragma once

#include "platform/dialogs.h"

class QWidget;

// Message boxes as QMessageBox over the program's active window, else the main window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }
    MsgResult message_box(const MessageBoxRequest& request) override;

private:
    QWidget* parent_;
};
