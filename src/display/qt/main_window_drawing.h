#pragma once

#include <QFont>
#include <QImage>
#include <functional>
#include <string>

#include "core/program_state.h"
#include "display/refresh_screen.h"
#include "platform/locale.h"

// The main window's back buffer, kept the size of the client area, and the drawing into it.
class MainWindowDrawing {
public:
    MainWindowDrawing();

    // Sets the back buffer to the client area's size (0 x 0 while minimised).
    void resize(int width, int height);
    const QImage& Backbuffer() const { return backbuffer_; }

    // Lays out and draws every item when `redraw` is true. Returns whether the window is
    // visible, that is whether the back buffer should be copied to it.
    bool refresh(ProgramState& state, const Locale& locale, double now, bool redraw,
                 std::function<std::string(int)> adapter_ip = nullptr);

private:
    QImage backbuffer_;
    QFont font_;
    DisplayCache cache_;
};

// Bar graph width guard: a bar graph has one column per sample, so a client area wider than
// the kept samples is narrowed to GraphBuffer. Returns the client width to use, or 0 when the
// width is fine.
int bar_graph_width_limit(const Settings& settings, int client_width);
