#pragma once

#include <QDialog>
#include <QPointer>

#include "platform/message_box.h"

class QLabel;
class Sound;

// The program's own message box, caption "Error": shown without blocking the caller while
// its owner window takes no input; OK, Enter or Escape close it and give the owner the
// focus back. One box exists; a new message replaces the text of an open one. The box sizes
// itself to its text.
class frmMsgBox : public QDialog, public ProgramMessageBox {
    Q_OBJECT
public:
    frmMsgBox(QWidget* owner, Sound* sound, bool always_on_top);

    void show_message(const std::string& text, bool critical) override;
    // A notice that is no error, under its own caption: a desktop notification shown by the
    // program itself where the desktop shows none.
    void show_notice(const QString& caption, const std::string& text);
    // Shows the box over another window (the options dialog, the rule editor). When that
    // window is hidden (closed, and perhaps deleted), the box goes back to its first owner.
    void set_owner(QWidget* owner);
    void set_always_on_top(bool on) { always_on_top_ = on; }
    QString text() const;
    bool critical() const { return critical_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void done(int result) override;

private:
    void present(const QString& caption, const std::string& text, bool critical);

    QLabel* lblError;
    Sound* sound_;
    QPointer<QWidget> owner_;
    QPointer<QWidget> home_;  // the owner it was made with
    QString text_;  // the message as given (the label keeps units with their numbers)
    bool critical_ = false;
    bool always_on_top_ = false;
};
