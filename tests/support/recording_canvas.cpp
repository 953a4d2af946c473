#include "support/recording_canvas.h"

void RecordingCanvas::clear(std::uint32_t colour) {
    background_ = colour;
    ops.push_back({CanvasOp::Kind::clear, colour, {}, {}});
}

void RecordingCanvas::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    ops.push_back({CanvasOp::Kind::line, colour, {{x0, y0}, {x1, y1}}, {}});
}

void RecordingCanvas::dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    ops.push_back({CanvasOp::Kind::dotted_line, colour, {{x0, y0}, {x1, y1}}, {}});
}

void RecordingCanvas::fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    ops.push_back({CanvasOp::Kind::fill_rect, colour, {{x0, y0}, {x1, y1}}, {}});
}

void RecordingCanvas::text(int x, int y, const std::string& t, std::uint32_t colour) {
    ops.push_back({CanvasOp::Kind::text, colour, {{x, y}}, t});
}

void RecordingCanvas::bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) {
    ops.push_back({CanvasOp::Kind::bezier, colour, points, {}});
}

std::uint32_t RecordingCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
    return background_;
}

std::vector<CanvasOp> RecordingCanvas::of_kind(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
        if (op.kind == kind) out.push_back(op);
    return out;
}

const CanvasOp* RecordingCanvas::find_text(const std::string& t) const {
    for (const CanvasOp& op : ops)
        if (op.kind == CanvasOp::Kind::text && op.text == t) return &op;
    return nullptr;
}
