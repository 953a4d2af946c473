#pragma once

#include <QFont>
#include <QImage>
#include <QRegion>
#include <functional>
#include <string>

#include "display/display_view.h"
#include "display/refresh_screen.h"
#include "platform/locale.h"

// The main window's back buffer, kept the size of the client area, and the drawing into it.
// Each redraw draws only what differs from the frame the back buffer holds; a new size
// draws everything.
class MainWindowDrawing {
public:
    MainWindowDrawing();

    // Sets the back buffer to the client area's size (0 x 0 while minimised).
    void resize(int width, int height);
    const QImage& Backbuffer() const { return backbuffer_; }

    // Lays out and draws the items when `redraw` is true. Returns whether the window is
    // visible, that is whether the back buffer should be copied to it.
    bool refresh(DisplayView state, const Locale& locale, double now, bool redraw,
                 std::function<std::string(int)> adapter_ip = nullptr);
    // The part of the back buffer the last redraw changed.
    QRegion changed_region() const { return changed_; }
    // Off: every redraw draws everything (the incremental frames are compared with these).
    void set_incremental(bool on);

private:
    QImage backbuffer_;
    QFont font_;
    int ascent_ = 0;  // of the font, measured once
    int text_height_ = 0;
    DisplayCache cache_;
    QRegion changed_;
};

// Bar graph width guard: a bar graph has one column per sample, so a client area wider than
// the kept samples is narrowed to GraphBuffer. Returns the client width to use, or 0 when the
// width is fine.
int bar_graph_width_limit(const Settings& settings, int client_width);
