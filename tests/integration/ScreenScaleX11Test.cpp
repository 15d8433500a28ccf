// Zoom percentages on a screen whose interface is scaled twofold, by Xft.dpi or by Qt's scale
// factor: 100 % shows a page at its printed size in device pixels, rendered at the device's
// resolution, and Fit Width reads what it reads on the same screen unscaled. The test starts its
// own Xvfb and runs itself there once per setting.
#include "X11TestRun.h"
#include "X11PageView.h"

#include "app/ScreenDensity.h"

#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>

#include <cmath>

namespace {

// The device pixels per inch the inner run is told to expect.
const char kExpectedPpi[] = "ORVALE_TEST_SCREEN_PPI";
// A4's width in inches.
constexpr double kA4Width = 595.276 / 72;

TEST(ScreenScaleX11, ActualSizeAndFitWidthOnATwofoldScreen)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the run under the server";
    if (QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "xprop is not installed";
    PrivateXvfb xvfb;
    // The server keeps its resources (Xft.dpi) when its last client leaves.
    if (!xvfb.start({"-noreset"}))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    QProcessEnvironment base = QProcessEnvironment::systemEnvironment();
    base.insert("DISPLAY", xvfb.display);
    base.insert("QT_QPA_PLATFORM", "xcb");
    base.remove("QT_SCALE_FACTOR");

    const auto run = [&](const QProcessEnvironment &env) {
        const QString output = RunOnServer(xvfb, QStringLiteral("ScreenScaleX11Page.*"), 1, 120000, env);
        return QRegularExpression("Fit Width: (\\d+)%").match(output).captured(1);
    };

    // The server's own density: 1280 pixels on 339 mm.
    QProcessEnvironment plain = base;
    plain.insert(kExpectedPpi, "96");
    const QString fitWidth = run(plain);
    ASSERT_FALSE(fitWidth.isEmpty());

    QProcessEnvironment scaled = plain;
    scaled.insert("QT_SCALE_FACTOR", "2");
    scaled.insert(kExpectedPpi, "192");
    EXPECT_EQ(run(scaled), fitWidth) << "QT_SCALE_FACTOR=2";

    QProcess xprop;
    xprop.setProcessEnvironment(base);
    xprop.start("xprop", {"-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER", "Xft.dpi:\t192\n"});
    ASSERT_TRUE(xprop.waitForFinished(15000));
    ASSERT_EQ(xprop.exitCode(), 0);
    QProcessEnvironment xft = base;
    xft.insert(kExpectedPpi, "192");
    EXPECT_EQ(run(xft), fitWidth) << "Xft.dpi: 192";
}

// The page view in a window of the same physical size whatever the setting: its size is given at
// 96 ppi and scaled with the interface, as the main window's is.
struct ScreenScaleX11Page : X11PageView {
    double expectedPpi = 0;

    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || qEnvironmentVariableIsEmpty(kExpectedPpi))
            GTEST_SKIP() << "runs under the test's own X server";
        expectedPpi = qEnvironmentVariable(kExpectedPpi).toDouble();
        EngineFixture::SetUp();
        const QScreen *screen = QGuiApplication::primaryScreen();
        engine->SetPixelsPerInch(MonitorPixelsPerInch(screen));
        const double interface = screen->logicalDotsPerInch() / 96;
        // Fit Width is about 112.4 % here, so the server's 95.9 ppi at 1x and 2 x 96 ppi read alike.
        ShowView(QSize(int(895 * interface), int(700 * interface)));
    }
};

TEST_F(ScreenScaleX11Page, ActualSizeIsThePrintedSizeInDevicePixels)
{
    ASSERT_TRUE(
        engine->OpenDocument(copy("render/a4-stripes.pdf", "a4.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().SetZoomMode(zActualSize);
    QApplication::processEvents();
    const QImage shot = form->viewport()->grab().toImage();
    ASSERT_NEAR(shot.width(), form->viewport()->width() * form->devicePixelRatioF(), 1);

    // The page lies between two stretches of workspace.
    const int middle = shot.height() / 2;
    const QRgb workspace = shot.pixel(0, middle);
    int pageWidth = 0;
    for (int x = 0; x < shot.width(); ++x)
        pageWidth += shot.pixel(x, middle) != workspace;
    EXPECT_NEAR(pageWidth, kA4Width * expectedPpi, kA4Width * expectedPpi / 100) << "device pixels";

    // At 192 ppi every stripe is one device pixel wide: rendered at the device's resolution
    // they stay black and white, enlarged from half the resolution they would be grey.
    if (expectedPpi == 192) {
        int dark = 0, light = 0;
        for (int y = 0; y < shot.height(); ++y) {
            int d = 0, l = 0;
            for (int x = 0; x < shot.width(); ++x) {
                const int g = qGray(shot.pixel(x, y));
                d += g < 64;
                l += g > 192 && x > 0 && qGray(shot.pixel(x - 1, y)) < 64;
            }
            dark = std::max(dark, d);
            light = std::max(light, l);
        }
        EXPECT_GE(dark, 60) << "one-pixel stripes";
        EXPECT_GE(light, 60) << "with white between them";
    }

    engine->Navigator().SetZoomMode(zfitWidth);
    QApplication::processEvents();
    std::printf("Fit Width: %d%%\n", int(std::trunc(engine->Layout().FZoom + 0.0001)));
}

} // namespace
