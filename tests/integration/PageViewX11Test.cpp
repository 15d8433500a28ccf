// The page view under a real X server: wheel buttons, the middle button and the Back and
// Forward buttons sent through the server (xdotool) reach it with the signs and the mouse grab
// the program relies on. The test starts its own Xvfb on a free display, runs itself there
// and stops only that server.
#include "X11TestRun.h"
#include "X11PageView.h"

#include "ui/AutoScrollForm.h"

#include <QProcess>
#include <QStandardPaths>

namespace {

TEST(PageViewX11, RunsUnderItsOwnServer)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        GTEST_SKIP() << "this is the run under the server";
    PrivateXvfb xvfb;
    if (!xvfb.start())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    RunOnServer(xvfb, QStringLiteral("PageViewX11Input.*"), 1, 120000);
}

struct PageViewX11Input : X11PageView {
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "runs under the test's own X server";
        EngineFixture::SetUp();
        ShowView({800, 600});
    }
    static void xdotool(const QStringList &args)
    {
        ASSERT_EQ(QProcess::execute("xdotool", args), 0) << args.join(' ').toStdString();
    }
    void pointTo(QPoint client)
    {
        const QPoint g = form->viewport()->mapToGlobal(client);
        xdotool({"mousemove", QString::number(g.x()), QString::number(g.y())});
        WaitFor([&] { return form->viewport()->underMouse(); }, 2000);
    }
};

TEST_F(PageViewX11Input, ServerWheelButtonsAndTheMiddleButton)
{
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().SetContinuousView(true);
    engine->Navigator().SetZoom(300);
    engine->Navigator().FirstPage();
    QApplication::processEvents();
    ASSERT_GT(form->HorzRange(), pvHost->ClientWidth());
    pvHost->SetVertPos(1000);
    pvHost->SetHorzPos(200);
    pointTo({400, 300});

    // Button 5 is a notch down; 7 tilts right and 6 left.
    xdotool({"click", "5"});
    EXPECT_TRUE(WaitFor([&] { return pvHost->VertPos() == 1120; })) << pvHost->VertPos();
    xdotool({"click", "7"});
    EXPECT_TRUE(WaitFor([&] { return pvHost->HorzPos() == 320; })) << pvHost->HorzPos();
    xdotool({"click", "6"});
    EXPECT_TRUE(WaitFor([&] { return pvHost->HorzPos() == 200; })) << pvHost->HorzPos();

    // The middle button starts automatic scrolling; the indicator holds the mouse and the view
    // follows the pointer to the right.
    xdotool({"click", "2"});
    ASSERT_TRUE(WaitFor([&] { return form->AutoScrollActive(); }));
    EXPECT_EQ(QWidget::mouseGrabber(), form->AutoScrollIndicator());
    const QPoint g = form->viewport()->mapToGlobal(QPoint(460, 300));
    xdotool({"mousemove", QString::number(g.x()), QString::number(g.y())});
    EXPECT_TRUE(WaitFor([&] { return pvHost->HorzPos() > 260; })) << pvHost->HorzPos();
    EXPECT_EQ(form->AutoScrollIndicator()->CursorId(), acRight);
    // Any press ends it and gives the mouse back.
    xdotool({"click", "1"});
    EXPECT_TRUE(WaitFor([&] { return !form->AutoScrollActive(); }));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    // Buttons 8 and 9 walk the position history.
    const auto page = [&] {
        int cp = engine->Layout().SelPage;
        double top = 0, left = 0;
        engine->Navigator().SavePosition(cp, top, left);
        return cp;
    };
    engine->Navigator().GOTOPage(5, nullptr);
    ASSERT_EQ(page(), 5);
    xdotool({"click", "8"});
    EXPECT_TRUE(WaitFor([&] { return page() == 1; })) << page();
    xdotool({"click", "9"});
    EXPECT_TRUE(WaitFor([&] { return page() == 5; })) << page();
}

} // namespace
