#include "display/qt/qimage_canvas.h"

#include <QFontMetricsF>
#include <gtest/gtest.h>

#include "platform/qt/system_locale.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlue = 0xFF0000;  // blue 255 in the packed order
constexpr std::uint32_t kRed = 0x0000FF;

QImage blank(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

TEST(QImageCanvas, FontAdvancesSevenPixelsPerCharacter) {
    const QFont font = canvas_font();
    EXPECT_NEAR(QFontMetricsF(font).horizontalAdvance(QStringLiteral("0123456789")), 70.0, 0.01);
    EXPECT_NEAR(QFontMetricsF(font).horizontalAdvance(QStringLiteral("Wi.Wi.Wi.M")), 70.0, 0.01);
}

TEST(QImageCanvas, LinesRectanglesAndColoursLandOnExactPixels) {
    QImage img = blank(20, 10);
    {
        QImageCanvas c(img);
        c.clear(kWhite);
        c.line(0, 3, 19, 3, kBlue);
        c.fill_rect(2, 5, 4, 7, kRed);
    }
    EXPECT_EQ(img.pixel(0, 3), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(18, 3), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(0, 2), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(0, 4), qRgb(255, 255, 255));
    // The rectangle includes both corners and nothing beyond.
    EXPECT_EQ(img.pixel(2, 5), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(4, 7), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(5, 7), qRgb(255, 255, 255));
    EXPECT_EQ(img.pixel(4, 8), qRgb(255, 255, 255));
    QImageCanvas c(img);
    EXPECT_EQ(c.pixel(3, 6), kRed);
    EXPECT_EQ(c.pixel(-1, 0), 0u);
}

TEST(QImageCanvas, TextIsUnsmoothedAndStartsAtItsCell) {
    QImage img = blank(60, 20);
    {
        QImageCanvas c(img);
        c.text(10, 2, "MMMM", 0);
    }
    int min_x = 60, max_x = -1, min_y = 20;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const QRgb p = img.pixel(x, y);
            if (p == qRgb(255, 255, 255)) continue;
            EXPECT_EQ(p, qRgb(0, 0, 0)) << "smoothed pixel at " << x << "," << y;
            min_x = std::min(min_x, x);
            max_x = std::max(max_x, x);
            min_y = std::min(min_y, y);
        }
    EXPECT_GE(min_x, 10);
    EXPECT_LT(max_x, 10 + 4 * kCharWidth);
    EXPECT_GE(min_y, 2);
}

TEST(QImageCanvas, DottedLineLeavesGaps) {
    QImage img = blank(20, 3);
    {
        QImageCanvas c(img);
        c.dotted_line(0, 1, 19, 1, kBlue);
    }
    int on = 0;
    for (int x = 0; x < 19; ++x) on += img.pixel(x, 1) == qRgb(0, 0, 255);
    EXPECT_GT(on, 5);
    EXPECT_LT(on, 15);
}

TEST(QImageCanvas, BezierThroughItsEndPoints) {
    QImage img = blank(30, 30);
    {
        QImageCanvas c(img);
        c.bezier({{0, 20}, {10, 20}, {10, 5}, {20, 5}}, kBlue);
    }
    EXPECT_EQ(img.pixel(0, 20), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(19, 5), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(10, 12), qRgb(0, 0, 255));
    EXPECT_EQ(img.pixel(0, 5), qRgb(255, 255, 255));
}

TEST(SystemLocale, AnswersPlausibleTexts) {
    SystemLocale l;
    EXPECT_FALSE(l.decimal_separator().empty());
    EXPECT_FALSE(l.month_name(1).empty());
    EXPECT_GE(l.first_day_of_week(), 1);
    EXPECT_LE(l.first_day_of_week(), 7);
    EXPECT_EQ(l.long_time(0.5).find("UTC"), std::string::npos);
}

}  // namespace
