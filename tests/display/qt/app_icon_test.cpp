#include <gtest/gtest.h>

#include <QImage>

#include "display/qt/app_icon.h"

namespace {

// The icon comes from resources compiled into the program: every shipped size must be there
// and actually drawn (a missing resource gives a null or empty icon without any error).
TEST(AppIcon, EveryShippedSizeIsCompiledInAndDrawn) {
    const QIcon icon = app_icon();
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 32, 48, 256}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
        const QImage image = icon.pixmap(QSize(size, size)).toImage();
        ASSERT_EQ(image.size(), QSize(size, size)) << size;
        // The centre lies on the panel behind the bars: opaque.
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255) << size;
    }
}

// Download bar on the left, upload bar on the right: two different colours side by side.
TEST(AppIcon, ShowsTwoBarsOfDifferentColours) {
    const QImage image = app_icon().pixmap(QSize(256, 256)).toImage();
    const QRgb download = image.pixel(84, 200);
    const QRgb upload = image.pixel(172, 200);
    const QRgb panel = image.pixel(128, 40);
    EXPECT_NE(download, upload);
    EXPECT_NE(download, panel);
    EXPECT_NE(upload, panel);
    EXPECT_GT(qGreen(download), qRed(download));  // green download bar
    EXPECT_GT(qRed(upload), qBlue(upload));       // yellow upload bar
}

}  // namespace
