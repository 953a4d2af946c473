#pragma once

#include <functional>
#include <string>
#include <vector>

#include "display/display_view.h"
#include "display/canvas.h"
#include "display/draw_helpers.h"
#include "display/frame_plan.h"
#include "platform/locale.h"

// Numbers formatted in recent redraws. Formatting costs more than the rest of a quiet frame,
// and the same few values come back second after second.
struct FormattedNumber {
    double value = 0.0;
    int unit = 0;
    int decimals = 0;
    bool rate = false;
    const Locale* locale = nullptr;
    std::string text;
};

// What the drawing keeps between redraws.
struct DisplayCache {
    HighlightCache highlight;
    // The canvas keeps its pixels from one redraw to the next: draw only what changed.
    bool incremental = false;
    bool shown_valid = false;  // `shown` is the frame the canvas shows
    FramePlan shown;
    FramePlan next;
    FrameChange change;  // what the last redraw changed on the canvas
    std::vector<FormattedNumber> numbers;
    std::size_t next_number = 0;  // the entry replaced next once `numbers` is full
};

// What a redraw needs besides the program state.
struct DrawInputs {
    const Locale& locale;
    double now = 0.0;  // date of the period totals
    // The IP address text of adapter 1..n ("0.0.0.0" when it cannot be selected); may be empty.
    std::function<std::string(int adapter)> adapter_ip;
};

// Whether a section shows the data cap below its amounts: a section of the user-defined
// period while a cap is set.
bool shows_cap(const FormItem& item, const Settings& settings);
// Sets each item's cap_lines: the cap line below a section that shows the cap, and the pace
// line under it once the period has a pace.
void measure_cap_lines(DisplayView state, double now);
// Row height of an item other than a graph (52 for the three-row sections, 16 more for each
// cap line, 20 for one-line items), 0 for a graph.
int fixed_row_height(const FormItem& item, const Settings& settings);
// The rows of all enabled items but the graphs, added up.
int fixed_items_height(const std::vector<FormItem>& items, const Settings& settings);

// Lays out the enabled items in a client area `height` pixels high: sets Top and Height of
// each. Graphs share what the other items leave, the upper graphs taking the odd pixels.
void layout_items(std::vector<FormItem>& items, int height, const Settings& settings);

// Lays out and draws every item into the canvas (the back buffer, client-area sized) when
// `redraw` is true; with `cache.incremental` only where the frame differs from the last one
// (cache.change tells where). Returns whether the window is visible, that is whether the
// caller should copy the back buffer to the screen.
bool RefreshScreen(DisplayView state, Canvas& canvas, DisplayCache& cache, const DrawInputs& inputs, bool redraw);

// The IP text an item shows for an adapter: "Multiple" for adapter 0.
std::string adapter_ip_text(const DrawInputs& inputs, int adapter);
