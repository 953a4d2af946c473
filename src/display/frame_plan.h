#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/canvas_op.h"

// One drawing call of a frame with the pixels it can change in the finished picture.
struct PlanOp {
    CanvasOp op;
    PixelRect box;  // within the picture; empty when nothing of it stays visible
};

// The calls one item draws in one pass. A graph's curves and bars move left by `dx` pixels
// a second; its band are the rows from its top to 2 below its baseline.
struct PlanGroup {
    int item = -1;  // index in the display list; -1 for the background
    int pass = 0;
    bool graph = false;
    int dx = 0;
    int band_top = 0;
    int band_bottom = -1;
    std::vector<PlanOp> ops;
};

// Everything one redraw draws, in order, grouped by item and pass.
struct FramePlan {
    int width = 0;
    int height = 0;
    std::vector<PlanGroup> groups;
};

// What changed on the picture from one frame to the next: rows of graphs that moved left
// (by dx) and rectangles drawn anew. `full`: everything was drawn.
struct FrameScroll {
    int y0 = 0;
    int y1 = -1;
    int dx = 0;
};
struct FrameChange {
    PixelRect picture;
    bool full = true;
    std::vector<FrameScroll> scrolls;
    std::vector<PixelRect> rects;
    // Rectangles whose pixels differ from the last frame shown (scrolled rows included).
    std::vector<PixelRect> screen_rects() const;
};

// Records a frame into a plan instead of drawing it, over what the plan held before. Drawing
// code marks where each item's calls begin; a full-width fill from the top row hides what was
// drawn before it there. The plan holds the frame once finish() ran.
class PlanCanvas : public Canvas {
public:
    PlanCanvas(FramePlan& plan, int width, int height, int text_height);
    PlanCanvas(const PlanCanvas&) = delete;
    PlanCanvas& operator=(const PlanCanvas&) = delete;
    // Drops what is left of the plan drawn over.
    void finish();

    void begin_group(int item, int pass);
    // The current group is a graph whose rows go from `top` to `baseline`.
    void mark_graph(int top, int baseline, int dx);

    int width() const override { return plan_.width; }
    int height() const override { return plan_.height; }
    void clear(std::uint32_t colour) override;
    void line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void text(int x, int y, const std::string& text, std::uint32_t colour) override;
    void bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) override;
    std::uint32_t pixel(int, int) const override { return 0; }
    int text_height() const override { return text_height_; }
    void set_clip(const PixelRect*) override {}
    void scroll_left(int, int, int) override {}

private:
    // The next call's slot, its points and text emptied.
    CanvasOp& add(CanvasOp::Kind kind, std::uint32_t colour, PixelRect box);
    template <typename Each>
    void for_each_drawn(Each each);

    FramePlan& plan_;
    int text_height_;
    std::size_t groups_used_ = 0;
    std::size_t ops_used_ = 0;  // in the last group used
};

// Draws the calls of a plan that can reach `clip` (nullptr: all of them) onto a canvas.
void paint_plan(const FramePlan& plan, Canvas& canvas, const PixelRect* clip);

// Works out what must be drawn to turn the picture of `shown` into that of `next`: graphs
// whose curves moved one sample on scroll, and only the places where anything else differs
// are drawn again. Falls back to a full redraw when the frames do not match up or when most
// of the picture changed.
FrameChange plan_change(const FramePlan& shown, const FramePlan& next);

// Applies a change to a canvas that shows `shown`, so that it shows `next`.
void apply_change(const FramePlan& next, const FrameChange& change, Canvas& canvas);
