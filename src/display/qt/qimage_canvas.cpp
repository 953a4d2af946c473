#include "display/qt/qimage_canvas.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>

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

QImageCanvas::QImageCanvas(QImage& image, const QFont& font) : image_(image) {
    if (image_.isNull()) return;
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, false);
    painter_.setFont(font);
    painter_.setBrush(Qt::NoBrush);
    ascent_ = QFontMetrics(font).ascent();
}

void QImageCanvas::set_pen(std::uint32_t colour, bool dotted) {
    QPen pen(to_qcolor(colour));
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    if (dotted) pen.setDashPattern({1.0, 1.0});
    painter_.setPen(pen);
}

void QImageCanvas::clear(std::uint32_t colour) {
    if (!painter_.isActive()) return;
    image_.fill(to_qcolor(colour));
}

void QImageCanvas::line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!painter_.isActive()) return;
    set_pen(colour, false);
    painter_.drawLine(x0, y0, x1, y1);
}

void QImageCanvas::dotted_line(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!painter_.isActive()) return;
    set_pen(colour, true);
    painter_.drawLine(x0, y0, x1, y1);
}

void QImageCanvas::fill_rect(int x0, int y0, int x1, int y1, std::uint32_t colour) {
    if (!painter_.isActive()) return;
    painter_.fillRect(QRect(QPoint(x0, y0), QPoint(x1, y1)).normalized(), to_qcolor(colour));
}

void QImageCanvas::text(int x, int y, const std::string& t, std::uint32_t colour) {
    if (!painter_.isActive()) return;
    set_pen(colour, false);
    painter_.drawText(x, y + ascent_, QString::fromStdString(t));
}

void QImageCanvas::bezier(const std::vector<CanvasPoint>& points, std::uint32_t colour) {
    if (!painter_.isActive() || points.size() < 4) return;
    QPainterPath path(QPointF(points[0].x, points[0].y));
    for (std::size_t i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y, points[i + 2].x, points[i + 2].y);
    set_pen(colour, false);
    painter_.drawPath(path);
}

std::uint32_t QImageCanvas::pixel(int x, int y) const {
    if (!image_.valid(x, y)) return 0;
    return from_qrgb(image_.pixel(x, y));
}
