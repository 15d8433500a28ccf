// The monitor a window covers in full screen, over two monitors side by side.
#include "app/MonitorChoice.h"

#include <gtest/gtest.h>

TEST(MonitorChoice, TheMonitorAWindowOverlapsMostOrIsNearest)
{
    const QList<QRect> two = {QRect(0, 0, 1280, 1024), QRect(1280, 0, 1920, 1080)};
    const struct {
        const char *name;
        QRect window;
        int monitor;
    } cases[] = {
        {"on the left one", QRect(100, 100, 600, 400), 0},
        {"on the right one", QRect(1400, 100, 600, 400), 1},
        {"across the seam, more on the right", QRect(1000, 100, 600, 400), 1},
        {"across the seam, more on the left", QRect(900, 100, 600, 400), 0},
        {"half and half: the first", QRect(980, 100, 600, 400), 0},
        {"below the left one, on none", QRect(200, 1500, 300, 200), 0},
        {"right of both, on none", QRect(3500, 100, 300, 200), 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(MonitorOfWindow(c.window, two), c.monitor) << c.name;
    EXPECT_EQ(MonitorOfWindow(QRect(0, 0, 10, 10), {}), -1);
}
