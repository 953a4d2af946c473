#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A point of the drawing surface in pixels; origin top-left, y grows downward.
struct CanvasPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// A rectangle of pixels with both corners included; empty when x1 < x0 or y1 < y0.
struct PixelRect {
    int x0 = 0;
    int y0 = 0;
    int x1 = -1;
    int y1 = -1;
    bool empty() const { return x1 < x0 || y1 < y0; }
    long long area() const { return empty() ? 0 : static_cast<long long>(x1 - x0 + 1) * (y1 - y0 + 1); }
    bool intersects(const PixelRect& o) const {
        return !empty() && !o.empty() && x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1;
    }
    PixelRect intersected(const PixelRect& o) const {
        return {x0 > o.x0 ? x0 : o.x0, y0 > o.y0 ? y0 : o.y0, x1 < o.x1 ? x1 : o.x1, y1 < o.y1 ? y1 : o.y1};
    }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The drawing surface the main window's and the tray's pictures are drawn on. Colours are
// packed as red + 256 * green + 65536 * blue. Lines and shapes are drawn without
// antialiasing; text uses a monospace font in which every character advances 7 pixels.
// A horizontal or vertical line covers the pixels from its lower end up to, but not
// including, its higher end. While a clip is set, nothing outside it changes, and what is
// drawn inside it is exactly what would be drawn there without the clip.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Fills the whole surface with a colour.
    virtual void clear(std::uint32_t colour) = 0;
    // A one-pixel solid line from (x0, y0) to (x1, y1).
    virtual void line(int x0, int y0, int x1, int y1, std::uint32_t colour) = 0;
    // A one-pixel dotted line from (x0, y0) to (x1, y1).
    virtual void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) = 0;
    // Fills the rectangle with corners (x0, y0) and (x1, y1), both included.
    virtual void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) = 0;
    // Text whose character cell's top-left corner is at (x, y).
    virtual void text(int x, int y, const std::string& text, std::uint32_t colour) = 0;
    // Joined cubic Bezier segments: the start point, then two control points and an end
    // point per segment (3m + 1 points for m segments).
    virtual void bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) = 0;
    // The colour of one pixel (0 outside the surface).
    virtual std::uint32_t pixel(int x, int y) const = 0;
    // Height in pixels of a text's character cell, the rows a text may touch below its y.
    virtual int text_height() const = 0;
    // Restricts drawing to a rectangle; nullptr lifts the restriction.
    virtual void set_clip(const PixelRect* clip) = 0;
    // Moves the pixels of the rows y0..y1 `dx` pixels to the left; the rightmost dx columns
    // keep what they held.
    virtual void scroll_left(int y0, int y1, int dx) = 0;
};

// Width of one character of the canvas font in pixels.
inline constexpr int kCharWidth = 7;
