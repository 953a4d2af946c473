#include "display/qt/qimage_canvas.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>

QFont canvas_font() {
    const QString family = QFontDatabase::families().contains(QStringLiteral("Lucida Console"))
                               ? QStringLiteral("Lucida Console")
                               : QStringLiteral("DejaVu Sans Mono");
    QFont font(family);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setKerning(false);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    // The largest pixel size whose characters advance no more than 7.5 pixels, then the
    // letter spacing that makes up the difference to exactly 7.
    for (int px = 16; px >= 6; --px) {
        font.setPixelSize(px);
        if (QFontMetricsF(font).horizontalAdvance(QLatin1Char('0')) <= kCharWidth + 0.5) break;
    }
    const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
    font.setLetterSpacing(QFont::AbsoluteSpacing, kCharWidth - advance);
    return font;
}

QColor to_qcolor(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

std::uint32_t from_qrgb(QRgb rgb) {
    return static_cast<std::uint32_t>(qRed(rgb)) + 256u * static_cast<std::uint32_t>(qGreen(rgb)) +
           65536u * static_cast<std::uint32_t>(qBlue(rgb));
}

QImageCanvas::QImageCanvas(QImage& image) : QImageCanvas(image, canvas_font()) {}

QImageCanvas::QImageCanvas(QImage& image, const QFont& font, int ascent, int height)
    : QImageCanvas(image, font) {
    ascent_ = ascent;
    height_ = height;
}

QImageCanvas::QImageCanvas(QImage& image, const QFont& font) : image_(image), font_(font) {
    if (image_.isNull()) return;
    if (image_.depth() != 32) image_ = image_.convertToFormat(QImage::Format_RGB32);
    surface_ = PixelSurface(reinterpret_cast<std::uint32_t*>(image_.bits()), image_.width(), image_.height(),
                            static_cast<int>(image_.bytesPerLine() / 4));
}

void QImageCanvas::measure_font() const {
    if (height_ >= 0) return;
    const QFontMetrics metrics(font_);
    ascent_ = metrics.ascent();
    height_ = metrics.height();
}

int QImageCanvas::text_height() const {
    measure_font();
    return height_;
}

QPainter& QImageCanvas::painter() {
    if (!painter_) {
        painter_.emplace(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        painter_->setRenderHint(QPainter::TextAntialiasing, false);
        painter_->setFont(font_);
        painter_->setBrush(Qt::NoBrush);
        set_clip(&surface_.clip());
    }
    return *painter_;
}

void QImageCanvas::set_clip(const PixelRect* clip) {
    surface_.set_clip(clip);
    if (!painter_) return;
    const PixelRect& c = surface_.clip();
    if (c.x0 == 0 && c.y0 == 0 && c.x1 == image_.width() - 1 && c.y1 == image_.height() - 1) {
        painter_->setClipping(false);
    } else {
        painter_->setClipRect(QRect(c.x0, c.y0, c.x1 - c.x0 + 1, c.y1 - c.y0 + 1));
    }
}

void QImageCanvas::set_pen(std::uint32_t colour, bool dotted) {
    QPen pen(to_qcolor(colour));
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    if (dotted) pen.setDashPattern({1.0, 1.0});
    painter().setPen(pen);
}

void QImageCanvas::clear(std::uint32_t colour) {
    const PixelRect& c = surface_.clip();
    surface_.fill(c.x0, c.y0, c.x1, c.y1, to_qcolor(colour).rgb());
}

void QImageCanvas::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!surface_.valid() || surface_.straight_line(x0, y0, x1, y1, to_qcolor(colour).rgb(), false)) return;
    set_pen(colour, false);
    painter_->drawLine(x0, y0, x1, y1);
}

void QImageCanvas::dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!surface_.valid() || surface_.straight_line(x0, y0, x1, y1, to_qcolor(colour).rgb(), true)) return;
    set_pen(colour, true);
    painter_->drawLine(x0, y0, x1, y1);
}

void QImageCanvas::fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    surface_.fill(x0, y0, x1, y1, to_qcolor(colour).rgb());
}

void QImageCanvas::text(int x, int y, const std::string& t, std::uint32_t colour) {
    if (!surface_.valid()) return;
    set_pen(colour, false);
    measure_font();
    painter_->drawText(x, y + ascent_, QString::fromStdString(t));
}

void QImageCanvas::bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) {
    surface_.bezier(points, to_qcolor(colour).rgb());
}

void QImageCanvas::scroll_left(int y0, int y1, int dx) { surface_.scroll_left(y0, y1, dx); }

std::uint32_t QImageCanvas::pixel(int x, int y) const {
    if (!image_.valid(x, y)) return 0;
    return from_qrgb(image_.pixel(x, y));
}
