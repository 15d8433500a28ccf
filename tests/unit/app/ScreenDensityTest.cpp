#include "app/ScreenDensity.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>

#include <limits>

TEST(ScreenDensity, AxesWeightedByTheScreensSides)
{
    struct Case {
        double x, y;
        QSize size;
        double logical, ratio, expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {100, 100, {1280, 800}, 96, 1, 100},
        {90, 110, {1000, 1000}, 96, 1, 100},
        {80, 120, {1500, 500}, 96, 1, 90},       // the wider side counts more
        {95.9, 95.9, {1280, 1024}, 96, 1, 95.9}, // a virtual X server's usual figure
        {82, 82, {1920, 1080}, 96, 1, 82},       // a coarse screen at 1x keeps its true size
        {0, 0, {1280, 800}, 96, 1, 96},          // no physical size reported
        {nan, 100, {1280, 800}, 120, 1, 120},
        {100, 100, {0, 0}, 96, 1, 96}, // no geometry yet
        {-5, -5, {10, 10}, 0.5, 1, 1}, // never below one
        // A scaled interface: the server's made-up 96 ppi is not believed, a true figure is.
        {95.9, 95.9, {1280, 1024}, 192, 1, 192}, // Xft.dpi: 192
        {47.95, 47.99, {640, 512}, 96, 2, 96},   // QT_SCALE_FACTOR=2: 192 device pixels per inch
        {227, 227, {2560, 1600}, 192, 1, 227},
        {113.5, 113.5, {1280, 800}, 96, 2, 113.5},
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(WeightedPixelsPerInch(c.x, c.y, c.size, c.logical, c.ratio), c.expected)
            << c.x << " " << c.y << " " << c.size.width() << "x" << c.size.height() << " " << c.logical << " x"
            << c.ratio;
}

TEST(ScreenDensity, TheOffscreenScreenAndNoScreen)
{
    EXPECT_DOUBLE_EQ(MonitorPixelsPerInch(nullptr), 96.0);
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_NEAR(MonitorPixelsPerInch(screen), screen->physicalDotsPerInchX(), 0.5);
}
