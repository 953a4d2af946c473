#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/refresh_screen.h"
#include "display/tray_icon.h"
#include "display/window_behaviour.h"
#include "platform/win32/gdi_canvas.h"

struct ProgramState;
class Locale;

// Every call of the window run into the core's drawing and window rules, in one place.

// The main window's back buffer and the incremental drawing into it: each redraw draws only
// what differs from the frame the buffer holds and tells which rectangles changed.
class WindowPicture {
public:
    WindowPicture();
    // The client area's size; 0 x 0 (minimised) frees the buffer.
    void resize(int width, int height);
    const GdiCanvas& canvas() const { return canvas_; }
    // Lays out and draws the items when `redraw` is set. Returns whether the window is
    // visible, that is whether the changed part is to be copied to the screen.
    bool refresh(ProgramState& state, const Locale& locale, double now, bool redraw,
                 std::function<std::string(int)> adapter_ip);
    // The rectangles the last redraw changed (empty for a quiet second).
    const std::vector<PixelRect>& changed() const { return changed_; }
    int text_width(const std::string& text) const { return canvas_.measure(text); }

private:
    GdiCanvas canvas_;
    DisplayCache cache_;
    std::vector<PixelRect> changed_;
};

// The tray's 16 x 16 picture and tooltip, made again only when what they show changed.
class TrayPictureMaker {
public:
    TrayPictureMaker();
    // Draws the picture when it differs from the last one; true when it did.
    bool update_picture(const ProgramState& state);
    const GdiCanvas& picture() const { return picture_; }
    // The tooltip when it differs from the last one made.
    std::optional<std::string> update_tooltip(ProgramState& state, const Locale& locale, double now,
                                              const TextWidth& width);
    void forget() {
        shown_.reset();
        tip_inputs_.reset();
    }

private:
    GdiCanvas picture_;
    std::optional<TrayPicture> shown_;
    std::optional<TrayTipInputs> tip_inputs_;
};

// The rows the window height was fitted to (measured again first), and the fit itself.
int fixed_rows_height(ProgramState& state, double now);
struct HeightFit {
    int outer_height = 0;
    int min_track_height = 0;
    int max_track_height = 0;
};
HeightFit fit_height(ProgramState& state, int frame_allowance, double now);
