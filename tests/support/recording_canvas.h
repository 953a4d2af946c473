#pragma once

#include <vector>

#include "display/canvas_op.h"

// A canvas that only records what is drawn, for exact checks of coordinates and colours.
// pixel() answers the colour of the last clear.
class RecordingCanvas : public Canvas {
public:
    RecordingCanvas(int width, int height) : width_(width), height_(height) {}

    std::vector<CanvasOp> ops;

    int width() const override { return width_; }
    int height() const override { return height_; }
    void clear(std::uint32_t colour) override;
    void line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void text(int x, int y, const std::string& text, std::uint32_t colour) override;
    void bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) override;
    std::uint32_t pixel(int x, int y) const override;
    int text_height() const override { return 14; }
    void set_clip(const PixelRect*) override {}
    void scroll_left(int, int, int) override {}

    // The recorded calls of one kind, in order.
    std::vector<CanvasOp> of_kind(CanvasOp::Kind kind) const;
    // The recorded text call with exactly this text, or nullptr.
    const CanvasOp* find_text(const std::string& text) const;

private:
    int width_;
    int height_;
    std::uint32_t background_ = 0;
};
