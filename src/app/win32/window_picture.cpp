#include "app/win32/window_picture.h"

#include "core/program_state.h"
#include "display/item_list.h"

namespace {

// Windows 2000 and later lay the tooltip out on two lines.
constexpr int kOsMajorVersion = 10;

}  // namespace

WindowPicture::WindowPicture() { cache_.incremental = true; }

void WindowPicture::resize(int width, int height) {
    if (width == canvas_.width() && height == canvas_.height() && canvas_.valid()) return;
    canvas_.resize(width, height);
    cache_.shown_valid = false;
}

bool WindowPicture::refresh(ProgramState& state, const Locale& locale, double now, bool redraw,
                            std::function<std::string(int)> adapter_ip) {
    const DrawInputs inputs{locale, now, std::move(adapter_ip)};
    changed_.clear();
    // Before the first size, or when GDI refused the buffer, nothing is drawn: the core's
    // answer for a window of no size.
    if (!canvas_.valid()) return state.window.visible && !state.window.minimized;
    const bool visible = RefreshScreen(state, canvas_, cache_, inputs, redraw);
    if (visible && redraw)
        for (const PixelRect& r : cache_.change.screen_rects())
            if (!r.empty()) changed_.push_back(r);
    return visible;
}

TrayPictureMaker::TrayPictureMaker() : picture_(false) { picture_.resize(kTrayPictureSize, kTrayPictureSize); }

bool TrayPictureMaker::update_picture(const ProgramState& state) {
    const TrayPicture wanted = tray_picture(state);
    if (shown_ == wanted) return false;
    DrawTrayGraph(wanted, picture_);
    shown_ = wanted;
    return true;
}

std::optional<std::string> TrayPictureMaker::update_tooltip(ProgramState& state, const Locale& locale, double now,
                                                            const TextWidth& width) {
    const std::string cap = tray_cap_line(state, locale, now);
    TrayTipInputs inputs = tray_tip_inputs(state, cap);
    if (tip_inputs_ == inputs) return std::nullopt;
    tip_inputs_ = std::move(inputs);
    return TrayTooltip(state, locale, kOsMajorVersion, width, cap);
}

int fixed_rows_height(ProgramState& state, double now) {
    measure_cap_lines(state, now);
    return fixed_items_height(state.display_list, state.settings);
}

HeightFit fit_height(ProgramState& state, int frame_allowance, double now) {
    measure_cap_lines(state, now);
    const WindowHeightFit fit = fit_window_height(state.display_list, state.settings, frame_allowance);
    return {fit.outer_height, fit.min_track_height, fit.max_track_height};
}
