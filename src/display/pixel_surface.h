#pragma once

#include <cstdint>
#include <vector>

#include "display/canvas.h"

// Draws into a block of 32-bit pixels (rows `stride` pixels apart) without antialiasing.
// Every shape is made of whole pixels worked out from its own coordinates only, so a shape
// moved by whole pixels lands on exactly the pixels moved, and a clip changes nothing inside
// it: redrawing part of a picture under a clip gives the pixels a full redraw gives there.
class PixelSurface {
public:
    PixelSurface() = default;
    PixelSurface(std::uint32_t* bits, int width, int height, int stride);

    int width() const { return width_; }
    int height() const { return height_; }
    bool valid() const { return bits_ != nullptr && width_ > 0 && height_ > 0; }

    // Restricts drawing to `clip` (within the surface); nullptr: the whole surface.
    void set_clip(const PixelRect* clip);
    const PixelRect& clip() const { return clip_; }

    // The rectangle with both corners included.
    void fill(int x0, int y0, int x1, int y1, std::uint32_t pixel);
    // A horizontal or vertical line from the lower end up to, not including, the higher end;
    // dotted: every second pixel from the lower end on. Returns false for a slanted line,
    // which is left undrawn.
    bool straight_line(int x0, int y0, int x1, int y1, std::uint32_t pixel, bool dotted);
    // Joined cubic Bezier segments (3m + 1 points), each traced on its own through its end
    // points as one 8-connected run of pixels.
    void bezier(const std::vector<CanvasPoint>& points, std::uint32_t pixel);
    // Moves the rows y0..y1 dx pixels to the left (ignores the clip).
    void scroll_left(int y0, int y1, int dx);

    std::uint32_t at(int x, int y) const;

private:
    void plot(int x, int y, std::uint32_t pixel) {
        if (x >= clip_.x0 && x <= clip_.x1 && y >= clip_.y0 && y <= clip_.y1)
            bits_[static_cast<std::ptrdiff_t>(y) * stride_ + x] = pixel;
    }
    void cubic(const CanvasPoint* p, std::uint32_t pixel);

    std::uint32_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    int stride_ = 0;
    PixelRect clip_;
};
