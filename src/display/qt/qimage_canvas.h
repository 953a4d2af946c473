#pragma once

#include <QFont>
#include <QImage>
#include <QPainter>
#include <optional>

#include "display/canvas.h"
#include "display/pixel_surface.h"

// The monospace font of the drawn windows: "Lucida Console" where installed, else DejaVu
// Sans Mono, sized and spaced so that every character advances exactly 7 pixels.
QFont canvas_font();

// Converts a packed colour (red + 256 * green + 65536 * blue) to a QColor and back.
QColor to_qcolor(std::uint32_t colour);
std::uint32_t from_qrgb(QRgb rgb);

// Draws on a 32-bit QImage without antialiasing: lines, rectangles and curves pixel by pixel
// (PixelSurface), text and slanted lines with a painter opened on the first text. Create one
// per redraw.
class QImageCanvas : public Canvas {
public:
    explicit QImageCanvas(QImage& image);
    QImageCanvas(QImage& image, const QFont& font);
    // With the font's ascent and height measured beforehand.
    QImageCanvas(QImage& image, const QFont& font, int ascent, int height);

    int width() const override { return image_.width(); }
    int height() const override { return image_.height(); }
    void clear(std::uint32_t colour) override;
    void line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) override;
    void text(int x, int y, const std::string& text, std::uint32_t colour) override;
    void bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) override;
    std::uint32_t pixel(int x, int y) const override;
    int text_height() const override;
    void set_clip(const PixelRect* clip) override;
    void scroll_left(int y0, int y1, int dx) override;

private:
    QPainter& painter();
    void measure_font() const;
    void set_pen(std::uint32_t colour, bool dotted);

    QImage& image_;
    QFont font_;
    PixelSurface surface_;
    std::optional<QPainter> painter_;  // opened by the first text or slanted line
    mutable int ascent_ = -1;          // font metrics, measured when first needed
    mutable int height_ = -1;
};
