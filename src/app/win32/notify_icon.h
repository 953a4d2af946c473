#pragma once

#include <string>

class GdiCanvas;

// The program's icon in the notification area (Shell_NotifyIconW): the live 16 x 16 picture
// or the program's icon, and the tooltip. Mouse events on it arrive at `window` as the
// message `callback` with the mouse message number in the low word of lParam.
class NotifyIcon {
public:
    NotifyIcon(void* window, unsigned callback);
    ~NotifyIcon();
    NotifyIcon(const NotifyIcon&) = delete;
    NotifyIcon& operator=(const NotifyIcon&) = delete;

    // A new icon from the picture, its magenta background transparent.
    void set_picture(const GdiCanvas& picture);
    // The program's own icon (the graph in the tray is off).
    void set_program_icon();
    // The tooltip; CR LF separates its lines. Cut to what the notification area keeps.
    void set_tooltip(const std::string& text);
    // Adds the icon, or changes it when it is there already.
    void show();
    // Adds it again: the notification area was made anew (Explorer restarted).
    void taskbar_created();
    // Takes the icon out of the notification area.
    void remove();
    bool shown() const { return shown_; }
    // Times the icon was handed to the shell with a new picture (for the tests' log).
    int pictures_given() const { return pictures_; }

private:
    void send(unsigned what);

    void* window_;
    unsigned callback_;
    void* icon_ = nullptr;  // HICON made from the picture, owned
    bool own_icon_ = false;
    std::wstring tip_;
    bool shown_ = false;
    bool icon_changed_ = true;
    int pictures_ = 0;
};
