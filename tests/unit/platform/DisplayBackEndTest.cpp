#include "platform/DisplayBackEnd.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <optional>

namespace {

// The variables the decision reads and writes, set (or unset: nullopt) for one case and
// restored afterwards.
struct Environment {
    static constexpr const char *kNames[] = {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY",
                                             "QT_ENABLE_HIGHDPI_SCALING"};
    std::optional<QByteArray> saved[4];

    Environment()
    {
        for (int i = 0; i < 4; ++i)
            if (qEnvironmentVariableIsSet(kNames[i]))
                saved[i] = qgetenv(kNames[i]);
    }
    ~Environment()
    {
        for (int i = 0; i < 4; ++i)
            set(kNames[i], saved[i]);
    }
    static void set(const char *name, const std::optional<QByteArray> &value)
    {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
};

} // namespace

TEST(DisplayBackEnd, X11UnderWaylandAndNoQtScalingUnlessTheUserChose)
{
    using V = std::optional<QByteArray>;
    struct Case {
        V platform, wayland, display, scaling;
        QStringList injected;
        QByteArray platformAfter, scalingAfter;
    };
    const Case cases[] = {
        {{}, "wayland-0", ":0", {}, {"QT_QPA_PLATFORM", "QT_ENABLE_HIGHDPI_SCALING"}, "xcb", "0"},
        // Wayland without XWayland, or X11 alone: Qt chooses.
        {{}, "wayland-0", {}, {}, {"QT_ENABLE_HIGHDPI_SCALING"}, "", "0"},
        {{}, {}, ":0", {}, {"QT_ENABLE_HIGHDPI_SCALING"}, "", "0"},
        {{}, "wayland-0", "", {}, {"QT_ENABLE_HIGHDPI_SCALING"}, "", "0"},
        // The user's choices win; an empty platform counts as none, an empty scaling as set.
        {"wayland", "wayland-0", ":0", "1", {}, "wayland", "1"},
        {"", "wayland-0", ":0", "", {"QT_QPA_PLATFORM"}, "xcb", ""},
    };
    for (const Case &c : cases) {
        Environment env;
        Environment::set("QT_QPA_PLATFORM", c.platform);
        Environment::set("WAYLAND_DISPLAY", c.wayland);
        Environment::set("DISPLAY", c.display);
        Environment::set("QT_ENABLE_HIGHDPI_SCALING", c.scaling);
        EXPECT_EQ(pl::chooseDisplayBackEnd(), c.injected);
        EXPECT_EQ(qgetenv("QT_QPA_PLATFORM"), c.platformAfter);
        EXPECT_EQ(qgetenv("QT_ENABLE_HIGHDPI_SCALING"), c.scalingAfter);
    }
}
