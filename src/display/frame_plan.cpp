#include "display/frame_plan.h"

#include <algorithm>

#include "display/draw_helpers.h"

namespace {

PixelRect bounds_of(const std::vector<CanvasPoint>& points) {
    if (points.empty()) return {};
    PixelRect r{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const CanvasPoint& p : points) {
        r.x0 = std::min(r.x0, p.x);
        r.y0 = std::min(r.y0, p.y);
        r.x1 = std::max(r.x1, p.x);
        r.y1 = std::max(r.y1, p.y);
    }
    return r;
}

// The pixels of a line: a straight one stops short of its higher end.
PixelRect line_box(int x0, int y0, int x1, int y1) {
    if (y0 == y1) return {std::min(x0, x1), y0, std::max(x0, x1) - 1, y0};
    if (x0 == x1) return {x0, std::min(y0, y1), x0, std::max(y0, y1) - 1};
    return {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
}

PixelRect united(const PixelRect& a, const PixelRect& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return {std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1), std::max(a.y1, b.y1)};
}

// The curves and bars of a graph move with the samples; everything else stays in place.
bool moves_with_samples(const PlanGroup& g, const CanvasOp& op) {
    if (!g.graph) return false;
    return op.kind == CanvasOp::Kind::bezier ||
           (op.kind == CanvasOp::Kind::line && op.points[0].x == op.points[1].x && op.points[0].y != op.points[1].y);
}

// Columns at the right edge drawn anew after a graph moved: its newest sample and a margin.
int strip_width(int dx) { return 2 * dx; }

bool same_op(const CanvasOp& a, const CanvasOp& b) {
    return a.kind == b.kind && a.colour == b.colour && a.points == b.points && a.text == b.text;
}

// Whether the moving calls of `next` are those of `shown` moved dx pixels left, apart from
// the newest sample at the right edge and the oldest beyond the left edge; and whether they
// differ at all.
bool moved_left(const PlanGroup& shown, const PlanGroup& next, int width) {
    const int dx = next.dx;
    if (dx <= 0 || shown.dx != dx) return false;
    const int kept_right = width - strip_width(dx) - 1;  // the last column kept from the shift
    auto split = [](const PlanGroup& g, std::vector<const CanvasOp*>& curves, std::vector<const CanvasOp*>& bars) {
        for (const PlanOp& p : g.ops) {
            if (!moves_with_samples(g, p.op)) continue;
            (p.op.kind == CanvasOp::Kind::bezier ? curves : bars).push_back(&p.op);
        }
    };
    std::vector<const CanvasOp*> curves_shown, curves_next, bars_shown, bars_next;
    split(shown, curves_shown, bars_shown);
    split(next, curves_next, bars_next);
    if (curves_shown.size() != curves_next.size()) return false;
    bool changed = bars_shown.size() != bars_next.size();
    for (std::size_t i = 0; !changed && i < bars_next.size(); ++i) changed = !same_op(*bars_shown[i], *bars_next[i]);

    for (std::size_t i = 0; i < curves_next.size(); ++i) {
        const CanvasOp& a = *curves_shown[i];
        const CanvasOp& b = *curves_next[i];
        const std::size_t n = b.points.size();
        if (a.colour != b.colour || a.points.size() != n || n < 4 || (n - 1) % 3 != 0) return false;
        for (std::size_t j = 3; j < n; ++j) {
            const CanvasPoint& was = a.points[j - 3];
            if (b.points[j].x != was.x - dx || b.points[j].y != was.y) return false;
        }
        // The newest segment lies within the columns drawn anew, the one that dropped out
        // lies left of the picture.
        for (std::size_t j = 0; j < 4; ++j) {
            if (b.points[j].x <= kept_right) return false;
            if (a.points[n - 1 - j].x - dx >= 0) return false;
        }
        if (!changed) changed = a.points != b.points;
    }

    // Bars stand in one column each: those left of the new columns must be the old ones moved.
    auto kept = [&](const std::vector<const CanvasOp*>& bars, int shift) {
        std::vector<const CanvasOp*> out;
        for (const CanvasOp* op : bars) {
            const int x = op->points[0].x - shift;
            if (x >= 0 && x <= kept_right) out.push_back(op);
        }
        return out;
    };
    const std::vector<const CanvasOp*> was = kept(bars_shown, dx);
    const std::vector<const CanvasOp*> now = kept(bars_next, 0);
    if (was.size() != now.size()) return false;
    for (std::size_t i = 0; i < now.size(); ++i) {
        const CanvasOp& a = *was[i];
        const CanvasOp& b = *now[i];
        if (a.colour != b.colour || b.points[0].x != a.points[0].x - dx || b.points[1].x != a.points[1].x - dx ||
            b.points[0].y != a.points[0].y || b.points[1].y != a.points[1].y)
            return false;
    }
    return changed;
}

// A call whose pixels are the same in every column of its rows: moving them left changes
// nothing left of the right edge.
bool same_in_every_column(const PlanOp& p, int width) {
    const bool level_line = p.op.kind == CanvasOp::Kind::line && p.op.points[0].y == p.op.points[1].y;
    const bool filled = p.op.kind == CanvasOp::Kind::fill_rect || p.op.kind == CanvasOp::Kind::clear;
    return (level_line || filled) && p.box.x0 <= 0 && p.box.x1 >= width - 1;
}

struct Band {
    PixelRect rows;
    int dx = 0;
    std::size_t group = 0;
};

class ChangeBuilder {
public:
    ChangeBuilder(const PixelRect& picture, const std::vector<Band>& bands, std::vector<PixelRect>& out)
        : picture_(picture), bands_(bands), out_(out) {}

    void add(const PixelRect& r) {
        const PixelRect c = r.intersected(picture_);
        if (!c.empty()) out_.push_back(c);
    }

    // Where the old pixels of `shown` went in each moved band but `skip`, and where the new
    // ones of `next` must go.
    void in_bands(const PixelRect& shown, const PixelRect& next, std::size_t skip) {
        for (std::size_t b = 0; b < bands_.size(); ++b) {
            if (b == skip) continue;
            const Band& band = bands_[b];
            const PixelRect was = shown.intersected(band.rows);
            if (!was.empty()) add(PixelRect{was.x0 - band.dx, was.y0, was.x1 - band.dx, was.y1}.intersected(band.rows));
            add(next.intersected(band.rows));
        }
    }

    // A call that differs between the frames.
    void changed(const PixelRect& shown, const PixelRect& next) {
        add(shown);
        add(next);
        in_bands(shown, next, bands_.size());
    }

    // A call drawn the same in both frames: only a moved band can have displaced it.
    void unchanged(const PlanOp& p, int width) {
        if (same_in_every_column(p, width)) return;
        in_bands(p.box, p.box, bands_.size());
    }

    // The moving calls of the band's own graph: their rows outside the band differ.
    void moved(const PixelRect& shown, const PixelRect& next, std::size_t band) {
        const PixelRect both = united(shown, next);
        const PixelRect& rows = bands_[band].rows;
        if (!both.empty()) {
            add(PixelRect{both.x0, both.y0, both.x1, std::min(both.y1, rows.y0 - 1)});
            add(PixelRect{both.x0, std::max(both.y0, rows.y1 + 1), both.x1, both.y1});
        }
        in_bands(shown, next, band);
    }

private:
    PixelRect picture_;
    const std::vector<Band>& bands_;
    std::vector<PixelRect>& out_;
};

// Compares the calls of one group (or the fixed calls of a moved graph) pair by pair; calls
// that do not pair up count as changed as a whole.
void compare_calls(const std::vector<const PlanOp*>& shown, const std::vector<const PlanOp*>& next, int width,
                   ChangeBuilder& change) {
    bool paired = shown.size() == next.size();
    for (std::size_t i = 0; paired && i < shown.size(); ++i) paired = shown[i]->op.kind == next[i]->op.kind;
    if (!paired) {
        PixelRect was, now;
        for (const PlanOp* p : shown) was = united(was, p->box);
        for (const PlanOp* p : next) now = united(now, p->box);
        change.changed(was, now);
        return;
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        if (same_op(shown[i]->op, next[i]->op)) change.unchanged(*next[i], width);
        else change.changed(shown[i]->box, next[i]->box);
    }
}

// Every rectangle drawn anew costs a pass over the frame's calls, while a few pixels more in
// one costs little: rectangles whose union adds at most kMergeSlack pixels to what they
// cover become one (the grid columns of a scrolled graph, the two halves of a moved text).
constexpr long long kMergeSlack = 1024;

void merge_nearby(std::vector<PixelRect>& rects) {
    bool merged = true;
    while (merged) {
        merged = false;
        for (std::size_t i = 0; i < rects.size() && !merged; ++i) {
            for (std::size_t j = i + 1; j < rects.size(); ++j) {
                const PixelRect u = united(rects[i], rects[j]);
                const long long covered = rects[i].area() + rects[j].area() - rects[i].intersected(rects[j]).area();
                if (u.area() - covered > kMergeSlack) continue;
                rects[i] = u;
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                merged = true;
                break;
            }
        }
    }
}

void replay(const CanvasOp& op, Canvas& canvas) {
    switch (op.kind) {
        case CanvasOp::Kind::clear: canvas.clear(op.colour); break;
        case CanvasOp::Kind::line:
            canvas.line(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y, op.colour);
            break;
        case CanvasOp::Kind::dotted_line:
            canvas.dotted_line(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y, op.colour);
            break;
        case CanvasOp::Kind::fill_rect:
            canvas.fill_rect(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y, op.colour);
            break;
        case CanvasOp::Kind::text: canvas.text(op.points[0].x, op.points[0].y, op.text, op.colour); break;
        case CanvasOp::Kind::bezier: canvas.bezier(op.points, op.colour); break;
    }
}

}  // namespace

std::vector<PixelRect> FrameChange::screen_rects() const {
    if (full) return {picture};
    std::vector<PixelRect> out;
    for (const FrameScroll& s : scrolls) out.push_back({picture.x0, s.y0, picture.x1, s.y1});
    out.insert(out.end(), rects.begin(), rects.end());
    return out;
}

PlanCanvas::PlanCanvas(FramePlan& plan, int width, int height, int text_height)
    : plan_(plan), text_height_(text_height) {
    plan_.width = width;
    plan_.height = height;
}

void PlanCanvas::finish() {
    if (groups_used_ > 0) plan_.groups[groups_used_ - 1].ops.resize(ops_used_);
    plan_.groups.resize(groups_used_);
}

void PlanCanvas::begin_group(int item, int pass) {
    // The groups and calls of the plan drawn over are refilled in place, so a frame like the
    // last one reuses their memory instead of freeing and allocating it again.
    if (groups_used_ > 0) plan_.groups[groups_used_ - 1].ops.resize(ops_used_);
    if (groups_used_ == plan_.groups.size()) plan_.groups.emplace_back();
    PlanGroup& g = plan_.groups[groups_used_++];
    g.item = item;
    g.pass = pass;
    g.graph = false;
    g.dx = 0;
    g.band_top = 0;
    g.band_bottom = -1;
    ops_used_ = 0;
}

void PlanCanvas::mark_graph(int top, int baseline, int dx) {
    if (groups_used_ == 0) begin_group(-1, 0);
    PlanGroup& g = plan_.groups[groups_used_ - 1];
    g.graph = true;
    g.dx = dx;
    g.band_top = top;
    g.band_bottom = baseline + 2;
}

CanvasOp& PlanCanvas::add(CanvasOp::Kind kind, std::uint32_t colour, PixelRect box) {
    if (groups_used_ == 0) begin_group(-1, 0);
    std::vector<PlanOp>& ops = plan_.groups[groups_used_ - 1].ops;
    if (ops_used_ == ops.size()) ops.emplace_back();
    PlanOp& slot = ops[ops_used_++];
    slot.box = box.intersected({0, 0, plan_.width - 1, plan_.height - 1});
    slot.op.kind = kind;
    slot.op.colour = colour;
    slot.op.points.clear();
    slot.op.text.clear();
    return slot.op;
}

template <typename Each>
void PlanCanvas::for_each_drawn(Each each) {
    for (std::size_t g = 0; g < groups_used_; ++g) {
        std::vector<PlanOp>& ops = plan_.groups[g].ops;
        const std::size_t n = g + 1 == groups_used_ ? ops_used_ : ops.size();
        for (std::size_t i = 0; i < n; ++i) each(ops[i]);
    }
}

void PlanCanvas::clear(std::uint32_t colour) {
    // Hides everything drawn before.
    for_each_drawn([](PlanOp& p) { p.box = {}; });
    add(CanvasOp::Kind::clear, colour, {0, 0, plan_.width - 1, plan_.height - 1});
}

void PlanCanvas::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    CanvasOp& op = add(CanvasOp::Kind::line, colour, line_box(x0, y0, x1, y1));
    op.points.push_back({x0, y0});
    op.points.push_back({x1, y1});
}

void PlanCanvas::dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    CanvasOp& op = add(CanvasOp::Kind::dotted_line, colour, line_box(x0, y0, x1, y1));
    op.points.push_back({x0, y0});
    op.points.push_back({x1, y1});
}

void PlanCanvas::fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    const PixelRect r{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
    // A fill across the whole width from the top row hides what was drawn before in its rows
    // (the clipping band above a graph).
    if (r.x0 <= 0 && r.x1 >= plan_.width - 1 && r.y0 <= 0) {
        for_each_drawn([&r](PlanOp& p) { p.box.y0 = std::max(p.box.y0, r.y1 + 1); });
    }
    CanvasOp& op = add(CanvasOp::Kind::fill_rect, colour, r);
    op.points.push_back({x0, y0});
    op.points.push_back({x1, y1});
}

void PlanCanvas::text(int x, int y, const std::string& t, std::uint32_t colour) {
    // The character cells, with a margin for glyphs reaching past their cell.
    const PixelRect r{x - 2, y - 2, x + kCharWidth * text_length(t) + 2, y + text_height_ + 2};
    CanvasOp& op = add(CanvasOp::Kind::text, colour, r);
    op.points.push_back({x, y});
    op.text = t;
}

void PlanCanvas::bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) {
    add(CanvasOp::Kind::bezier, colour, bounds_of(points)).points = points;
}

void paint_plan(const FramePlan& plan, Canvas& canvas, const PixelRect* clip) {
    canvas.set_clip(clip);
    for (const PlanGroup& g : plan.groups)
        for (const PlanOp& p : g.ops)
            if (clip == nullptr || p.box.intersects(*clip)) replay(p.op, canvas);
    canvas.set_clip(nullptr);
}

FrameChange plan_change(const FramePlan& shown, const FramePlan& next) {
    FrameChange change;
    change.picture = {0, 0, next.width - 1, next.height - 1};
    if (shown.width != next.width || shown.height != next.height || shown.groups.size() != next.groups.size() ||
        next.width <= 0 || next.height <= 0)
        return change;
    for (std::size_t g = 0; g < next.groups.size(); ++g) {
        const PlanGroup& a = shown.groups[g];
        const PlanGroup& b = next.groups[g];
        if (a.item != b.item || a.pass != b.pass || a.graph != b.graph || a.band_top != b.band_top ||
            a.band_bottom != b.band_bottom || a.dx != b.dx)
            return change;
    }

    std::vector<Band> bands;
    std::vector<int> band_of(next.groups.size(), -1);
    for (std::size_t g = 0; g < next.groups.size(); ++g) {
        const PlanGroup& b = next.groups[g];
        if (!b.graph || !moved_left(shown.groups[g], b, next.width)) continue;
        const PixelRect rows = PixelRect{0, b.band_top, next.width - 1, b.band_bottom}.intersected(change.picture);
        if (rows.empty()) continue;
        band_of[g] = static_cast<int>(bands.size());
        bands.push_back({rows, b.dx, g});
    }

    ChangeBuilder builder(change.picture, bands, change.rects);
    std::vector<const PlanOp*> fixed_shown, fixed_next;
    for (std::size_t g = 0; g < next.groups.size(); ++g) {
        const PlanGroup& a = shown.groups[g];
        const PlanGroup& b = next.groups[g];
        fixed_shown.clear();
        fixed_next.clear();
        const int band = band_of[g];
        PixelRect moving_shown, moving_next;
        for (const PlanOp& p : a.ops) {
            if (band >= 0 && moves_with_samples(a, p.op)) moving_shown = united(moving_shown, p.box);
            else fixed_shown.push_back(&p);
        }
        for (const PlanOp& p : b.ops) {
            if (band >= 0 && moves_with_samples(b, p.op)) moving_next = united(moving_next, p.box);
            else fixed_next.push_back(&p);
        }
        if (band >= 0) builder.moved(moving_shown, moving_next, static_cast<std::size_t>(band));
        compare_calls(fixed_shown, fixed_next, next.width, builder);
    }
    for (const Band& band : bands) {
        change.scrolls.push_back({band.rows.y0, band.rows.y1, band.dx});
        builder.add({next.width - strip_width(band.dx), band.rows.y0, next.width - 1, band.rows.y1});
    }

    merge_nearby(change.rects);
    // Drawing most of the picture again in pieces costs more than drawing it once.
    long long area = 0;
    for (const PixelRect& r : change.rects) area += r.area();
    const long long picture_area = change.picture.area();
    change.full = 2 * area > picture_area;
    if (change.full) {
        change.scrolls.clear();
        change.rects.clear();
    }
    return change;
}

void apply_change(const FramePlan& next, const FrameChange& change, Canvas& canvas) {
    if (change.full) {
        paint_plan(next, canvas, nullptr);
        return;
    }
    for (const FrameScroll& s : change.scrolls) canvas.scroll_left(s.y0, s.y1, s.dx);
    for (const PixelRect& r : change.rects) paint_plan(next, canvas, &r);
}
