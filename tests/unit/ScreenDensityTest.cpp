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
        double logical, expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {100, 100, {1280, 800}, 96, 100},
        {90, 110, {1000, 1000}, 96, 100},
        {80, 120, {1500, 500}, 96, 90},       // the wider side counts more
        {95.9, 95.9, {1280, 1024}, 96, 95.9}, // a virtual X server's usual figure
        {0, 0, {1280, 800}, 96, 96},          // no physical size reported
        {nan, 100, {1280, 800}, 120, 120},
        {100, 100, {0, 0}, 96, 96},           // no geometry yet
        {-5, -5, {10, 10}, 0.5, 1},           // never below one
    };
    for (const Case &c : cases)
        EXPECT_DOUBLE_EQ(WeightedPixelsPerInch(c.x, c.y, c.size, c.logical), c.expected)
            << c.x << " " << c.y << " " << c.size.width() << "x" << c.size.height();
}

TEST(ScreenDensity, TheOffscreenScreenAndNoScreen)
{
    EXPECT_DOUBLE_EQ(MonitorPixelsPerInch(nullptr), 96.0);
    const QScreen *screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_NEAR(MonitorPixelsPerInch(screen), screen->physicalDotsPerInchX(), 0.5);
}
