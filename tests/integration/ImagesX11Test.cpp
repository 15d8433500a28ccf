// The main window's pictures on a real X server the test starts itself, at 96 and at 144
// pixels per inch (Xft.dpi), on a light and on a dark system palette: the toolbar and the File
// menu show the list's own images at the list's size, pixel for pixel. The test runs itself
// under the server once per density; each run writes its screens to
// x11-images-<ppi>-<light|dark>.png beside the test programs, to be looked at.
#include "PrivateXvfb.h"
#include "X11PageView.h"

#include "settings/Colors.h"
#include "ui/ImageRes.h"
#include "ui/MainForm.h"
#include "ui/widgets/PngSpeedButton.h"

#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>

namespace {

const char kExpectedPpi[] = "ORVALE_TEST_IMAGES_PPI";

TEST(ImagesX11, MenusAndToolbarAtTwoDensities)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the run under the server";
    if (QStandardPaths::findExecutable("xprop").isEmpty())
        GTEST_SKIP() << "xprop is not installed";
    for (int ppi : {96, 144}) {
        PrivateXvfb xvfb;
        if (!xvfb.start())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DISPLAY", xvfb.display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.remove("QT_SCALE_FACTOR");
        env.insert(kExpectedPpi, QString::number(ppi));
        QProcess xprop;
        xprop.setProcessEnvironment(env);
        xprop.start("xprop",
                    {"-root", "-f", "RESOURCE_MANAGER", "8s", "-set", "RESOURCE_MANAGER",
                     QStringLiteral("Xft.dpi:\t%1\n").arg(ppi)});
        ASSERT_TRUE(xprop.waitForFinished(15000));
        ASSERT_EQ(xprop.exitCode(), 0);
        QProcess child;
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ImagesX11Window.*"});
        EXPECT_TRUE(child.waitForFinished(120000));
        const QString output = QString::fromLocal8Bit(child.readAll());
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    }
}

// Where in the screen shot the picture drawn on the background colour lies inside area, every
// channel within 3 of it (the server's and Qt's blending round apart); nothing when nowhere.
bool close(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3
        && std::abs(qBlue(a) - qBlue(b)) <= 3;
}

std::optional<QPoint> find(const QImage &shot, const QRect &area, const QImage &picture, QColor background)
{
    QImage expected(picture.size(), QImage::Format_RGB32);
    expected.fill(background);
    QPainter(&expected).drawImage(0, 0, picture);
    for (int y = area.top(); y + picture.height() <= area.bottom() + 1; ++y)
        for (int x = area.left(); x + picture.width() <= area.right() + 1; ++x) {
            bool same = true;
            for (int j = 0; j < picture.height() && same; ++j)
                for (int i = 0; i < picture.width() && same; ++i)
                    same = close(shot.pixel(x + i, y + j), expected.pixel(i, j));
            if (same)
                return QPoint(x, y);
        }
    return std::nullopt;
}

struct ImagesX11Window : EngineFixture {
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || qEnvironmentVariableIsEmpty(kExpectedPpi))
            GTEST_SKIP() << "runs under the test's own X server";
        EngineFixture::SetUp();
    }
};

TEST_F(ImagesX11Window, ShowsTheListsImagesAtItsSize)
{
    const int ppi = qEnvironmentVariableIntValue(kExpectedPpi);
    const int size = ppi == 144 ? 24 : 16;
    const bool wasRunning = App.AppRunning;
    App.AppRunning = true;
    const QPalette light = QApplication::palette();
    for (bool dark : {false, true}) {
        // A dark palette remembered as the system's: the dark system's images apply.
        QPalette palette = light;
        if (dark) {
            for (auto role : {QPalette::Window, QPalette::Button})
                palette.setColor(role, QColor(0x30, 0x30, 0x30));
            palette.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
            for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
                palette.setColor(role, Qt::white);
                palette.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
            }
        }
        RememberSystemPalette(palette);
        QApplication::setPalette(palette);
        Prefer.WindowRect = {20, 20, 20 + 600, 20 + 1200};
        TMainForm form(engine.get(), [] { return true; });
        form.show();
        ASSERT_TRUE(WaitFor([&] { return form.windowHandle() && form.windowHandle()->isExposed(); }));
        ASSERT_TRUE(engine->LoadFile(copy(QStringLiteral("multi/multi.pdf"), QStringLiteral("multi.pdf"))));
        form.EnableMenu();
        EXPECT_EQ(CurrentPPI, ppi);
        const TPNGImageList &list = ImageListOf(1);
        ASSERT_EQ(list.Size(), size);
        EXPECT_EQ(SystemIsDark(), dark);

        QMenu *file = form.Command(QStringLiteral("menuFile"))->menu();
        file->popup(form.mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(WaitFor([&] { return file->windowHandle() && file->windowHandle()->isExposed(); }));
        // The File menu's Open item shows the list's Open image as loaded, on the menu's own
        // colour; the server may take a moment to show what was painted.
        QAction *open = form.Command(QStringLiteral("menuOpen"));
        const QRect item(file->mapToGlobal(file->actionGeometry(open).topLeft()), file->actionGeometry(open).size());
        const QImage image = list.Image(list.GetImageIndex("Open"));
        QImage shot;
        EXPECT_TRUE(WaitFor([&] {
            shot = form.screen()->grabWindow(0).toImage();
            return find(shot, item, image, shot.pixelColor(item.topLeft() + QPoint(1, 1))).has_value();
        })) << (dark ? "dark " : "light ")
            << ppi;
        EXPECT_TRUE(shot.save(
            QStringLiteral(ORVALE_TEST_BIN_DIR "/x11-images-%1-%2.png").arg(ppi).arg(dark ? "dark" : "light")));
        file->hide();

        // The toolbar's Open button shows it too, on the strip's colour.
        auto *button = form.CoolBar->findChild<TPngSpeedButton *>(QStringLiteral("tbOpen"));
        ASSERT_NE(button, nullptr);
        const QRect area(button->mapToGlobal(QPoint(0, 0)), button->size());
        const QImage large = ImageListOf(0).Image(button->ImageIndex());
        EXPECT_TRUE(WaitFor([&] {
            const QImage again = form.screen()->grabWindow(0).toImage();
            return find(again, area, large, again.pixelColor(area.topLeft() + QPoint(1, 1))).has_value();
        })) << (dark ? "dark " : "light ")
            << ppi;
        engine->CloseAllFiles(-1);
    }
    RememberSystemPalette(light);
    QApplication::setPalette(light);
    App.AppRunning = wasRunning;
}

} // namespace
