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

// The drawing surface the main window's and the tray's pictures are drawn on. Colours are
// packed as red + 256 * green + 65536 * blue. Lines and shapes are drawn without
// antialiasing; text uses a monospace font in which every character advances 7 pixels.
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
};

// Width of one character of the canvas font in pixels.
inline constexpr int kCharWidth = 7;
