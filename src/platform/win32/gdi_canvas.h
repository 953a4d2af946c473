#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/canvas.h"
#include "display/pixel_surface.h"

// A canvas on a GDI back buffer: a top-down 32-bit DIB section selected into a memory DC,
// ready to be copied to a window with BitBlt. Lines, fills, curves and scrolling are the
// core's own pixel rules on the DIB's bits, so those pixels are exactly the Linux build's;
// text is drawn by GDI in "Lucida Console" without antialiasing, every character advancing
// 7 pixels.
class GdiCanvas : public Canvas {
public:
    // `with_font`: a canvas that never draws text (the tray picture) needs no font.
    explicit GdiCanvas(bool with_font = true);
    ~GdiCanvas() override;
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    // A new back buffer of w x h pixels, white; 0 x 0 frees it. False when GDI refused.
    bool resize(int width, int height);
    bool valid() const { return surface_.valid(); }
    // The memory DC holding the back buffer (an HDC), for copying it to a window.
    void* dc() const { return dc_; }
    // The back buffer's pixels, rows top-down, 0x00RRGGBB each.
    const std::uint32_t* bits() const { return bits_; }
    // Width in pixels of a text in the canvas font (its characters as GDI advances them).
    int measure(const std::string& text) const;

    int width() const override { return surface_.width(); }
    int height() const override { return surface_.height(); }
    void clear(std::uint32_t colour) override;
    void line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void text(int x, int y, const std::string& text, std::uint32_t colour) override;
    void bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) override;
    std::uint32_t pixel(int x, int y) const override;
    int text_height() const override { return text_height_; }
    void set_clip(const PixelRect* clip) override { surface_.set_clip(clip); }
    void scroll_left(int y0, int y1, int dx) override;

private:
    void release();
    void slanted(int x0, int y0, int x1, int y1, std::uint32_t pixel, bool dotted);

    void* dc_ = nullptr;      // HDC
    void* bitmap_ = nullptr;  // HBITMAP of the DIB section
    void* old_bitmap_ = nullptr;
    void* font_ = nullptr;  // HFONT
    void* old_font_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int text_height_ = 0;
    PixelSurface surface_;
    std::vector<int> advances_;  // 7 for each character of the longest text so far
};

// A core colour (red + 256 * green + 65536 * blue) as a DIB pixel (0x00RRGGBB), and back.
constexpr std::uint32_t dib_pixel(std::uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
constexpr std::uint32_t core_colour(std::uint32_t pixel) { return dib_pixel(pixel & 0xFFFFFFu); }
