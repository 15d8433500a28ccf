#include "app/FocusApplication.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QWindow>

namespace {

// Waits for the window system's answer; a readiness wait, not a time measurement.
template <typename F>
bool Eventually(F condition)
{
    QDeadlineTimer deadline(5000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QGuiApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

struct FocusApplicationTest : ::testing::Test {
    QWindow main;
    QWindow client; // the client area on its own, as in full screen
    int repaints = 0;

    void SetUp() override
    {
        SetFocusWindows({[this] { return &main; }, [this] { return &client; }, [this] { ++repaints; }});
    }
    void TearDown() override { SetFocusWindows({}); }
    bool minimised(const QWindow &w) const { return w.windowStates() & Qt::WindowMinimized; }
};

TEST_F(FocusApplicationTest, NothingVisibleMeansNoFocus)
{
    EXPECT_FALSE(FocusApplication());
    main.show();
    main.hide();
    EXPECT_FALSE(FocusApplication());
    EXPECT_EQ(repaints, 0);
}

TEST_F(FocusApplicationTest, MinimisedMainWindowComesBackActive)
{
    main.show();
    main.setWindowStates(Qt::WindowMinimized);
    ASSERT_TRUE(Eventually([&] { return minimised(main); }));
    EXPECT_TRUE(FocusApplication());
    EXPECT_TRUE(Eventually([&] { return !minimised(main) && QGuiApplication::focusWindow() == &main; }));
    EXPECT_EQ(repaints, 1);
}

TEST_F(FocusApplicationTest, ClientAreaOnItsOwnWhileTheMainWindowIsHidden)
{
    client.show();
    EXPECT_TRUE(FocusApplication());
    EXPECT_TRUE(Eventually([&] { return QGuiApplication::focusWindow() == &client; }));
}

TEST_F(FocusApplicationTest, OpenModalDialogIsPreferredAndItsWindowRestored)
{
    main.show();
    main.setWindowStates(Qt::WindowMinimized);
    QWindow dialog;
    dialog.setTransientParent(&main);
    dialog.setModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QGuiApplication::modalWindow(), &dialog);
    EXPECT_TRUE(FocusApplication());
    EXPECT_TRUE(Eventually([&] { return QGuiApplication::focusWindow() == &dialog && !minimised(main); }));
}

} // namespace
