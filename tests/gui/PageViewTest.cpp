// The page view over the real engine and library: scroll bars, wheel, keys, panning, the
// measuring box, automatic scrolling, the posted fade and SyncTeX messages, and the window
// interface the engine talks through.
#include "EngineFixture.h"
#include "FakeEditor.h"

#include "engine/MarkFade.h"
#include "platform/fake/ManualClock.h"
#include "synctex/SyncTeXRelay.h"
#include "ui/AutoScrollForm.h"
#include "ui/ExInfo.h"
#include "ui/PageViewHost.h"
#include "ui/ScrollForm.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QPointingDevice>
#include <QStyle>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cmath>
#include <deque>
#include <optional>

namespace {

// The main window as the page view sees it: records what reaches it.
struct RecordingWindow : TPageViewWindow {
    QStringList calls;
    int displayState = 0;
    int menus = 0;
    QPoint menuAt;
    void SetCaption(const QString &fileName) override { calls << "Caption " + fileName; }
    void AddTab(const QString &fileName) override { calls << "AddTab " + fileName; }
    void StatusUpdated() override { calls << QStringLiteral("Status"); }
    void ShowViewStatus(const TViewStatus &status) override
    {
        if (status.SyncTeX)
            calls << "Sync " + *status.SyncTeX;
    }
    void PopupMenuView(const QPoint &globalPos) override
    {
        ++menus;
        menuAt = globalPos;
    }
    int DisplayState() const override { return displayState; }
};

// The fade's timer, fired by hand: records the delays it was started with.
struct RecordingFadeTimer : TFadeTimer {
    std::shared_ptr<std::deque<int>> started = std::make_shared<std::deque<int>>();
    void Start(int ms, std::function<void()>) override { started->push_back(ms); }
    void Stop() override {}
};

struct PageView : EngineFixture {
    pl::fake::ScopedManualTime time;
    std::unique_ptr<QWidget> window;
    TScrollForm *form = nullptr;
    std::unique_ptr<TPageViewHost> pvHost;
    RecordingWindow mainWindow;
    bool wasRunning = App.AppRunning;

    void SetUp() override
    {
        EngineFixture::SetUp();
        App.AppRunning = true;
        time.clock.ms = 100000;
        window = std::make_unique<QWidget>();
        window->resize(800, 600);
        form = new TScrollForm(engine.get(), window.get());
        form->setGeometry(0, 0, 800, 600);
        pvHost = std::make_unique<TPageViewHost>(form);
        pvHost->SetWindow(&mainWindow);
        engine->SetHost(pvHost.get());
        window->show();
        window->activateWindow();
        QApplication::setActiveWindow(window.get());
        QApplication::processEvents();
    }
    void TearDown() override
    {
        engine->SetHost(&host);
        pvHost.reset();
        window.reset();
        App.AppRunning = wasRunning;
        EngineFixture::TearDown();
    }

    // multi.pdf: seven A5 pages. The engine runs at 72 pixels per inch, so at 100 % one
    // point is one pixel.
    void open(double zoom = 100, bool continuous = true, TPageViewMode pageView = TPageViewMode::Single)
    {
        ASSERT_TRUE(
            engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
        TNavigator &nav = engine->Navigator();
        nav.ChangeView(pageView);
        nav.SetContinuousView(continuous);
        nav.SetZoom(zoom);
        nav.FirstPage();
        QApplication::processEvents();
    }
    QWidget *vp() const { return form->viewport(); }

    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent e(type, QPointF(p), QPointF(vp()->mapToGlobal(p)), button, buttons, mods);
        QApplication::sendEvent(vp(), &e);
    }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonPress, p, b, b, mods);
    }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        mouse(QEvent::MouseButtonRelease, p, b, Qt::NoButton, mods);
    }
    void move(QPoint p, Qt::MouseButtons buttons)
    {
        time.clock.ms += 200; // past the quiet time after a press
        mouse(QEvent::MouseMove, p, Qt::NoButton, buttons);
    }
    void wheel(QPoint delta, QPoint p = {400, 300}, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QWheelEvent e(QPointF(p), QPointF(vp()->mapToGlobal(p)), QPoint(), delta, Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(vp(), &e);
    }
    void key(int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
    {
        QKeyEvent e(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(form, &e);
    }
    int page()
    {
        int cp = engine->Layout().SelPage;
        double top = 0, left = 0;
        engine->Navigator().SavePosition(cp, top, left);
        return cp;
    }
    // The client point of a page point, in points from the page's top-left corner.
    QPoint at(int p, double x, double y)
    {
        TPageLayout &view = engine->Layout();
        view.SetSelectedPage(p);
        int cx = 0, cy = 0;
        EXPECT_TRUE(view.GetScrCoord(p, x, view.FDocPageHeight - y, cx, cy)) << p;
        return {cx, cy};
    }
};

TEST_F(PageView, ScrollRangesAreTheEnginesAndBarsShrinkTheClient)
{
    open(100);
    const int clientHeight = pvHost->ClientHeight();
    EXPECT_EQ(pvHost->ClientWidth(), 800);
    EXPECT_EQ(clientHeight, 600);
    // Seven pages of 595 points with their gaps.
    EXPECT_GT(form->VertRange(), 7 * 595);
    EXPECT_FALSE(form->VertBarVisible()); // the setting's default: no bars, still scrolling
    pvHost->SetVertPos(1 << 20);
    EXPECT_EQ(pvHost->VertPos(), form->VertRange() - clientHeight);

    form->SetShowScrollbars(true);
    QApplication::processEvents();
    EXPECT_TRUE(form->VertBarVisible());
    EXPECT_TRUE(pvHost->VertBarEnabled());
    const int extent = form->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, form);
    EXPECT_EQ(pvHost->VertBarWidth(), extent);
    EXPECT_EQ(pvHost->ClientWidth(), 800 - extent);
    EXPECT_EQ(form->verticalScrollBar()->maximum(), form->VertRange() - pvHost->ClientHeight());
    // A page step is the largest multiple of the line that fits in the client.
    EXPECT_EQ(form->verticalScrollBar()->singleStep(), 36);
    EXPECT_EQ(form->verticalScrollBar()->pageStep(), pvHost->ClientHeight() / 36 * 36);
}

TEST_F(PageView, ResizingKeepsFitWidthAndThePage)
{
    open(100);
    engine->Navigator().SetZoomMode(zfitWidth);
    engine->Navigator().GOTOPage(4, nullptr);
    QApplication::processEvents();
    const double wide = engine->Layout().FZoom;
    form->resize(600, 600);
    QApplication::processEvents();
    EXPECT_EQ(engine->Layout().FZoomMode, zfitWidth);
    EXPECT_NEAR(engine->Layout().FZoom, wide * 600 / 800, 1);
    EXPECT_EQ(page(), 4);
    // Locked, a size change leaves the view alone.
    pvHost->LockUpdate(true);
    form->resize(500, 600);
    QApplication::processEvents();
    EXPECT_NEAR(engine->Layout().FZoom, wide * 600 / 800, 1);
    pvHost->LockUpdate(false);
}

TEST_F(PageView, LocksNestAndOnlyTheOutermostUnlocks)
{
    pvHost->LockUpdate(true);
    pvHost->LockUpdate(true);
    pvHost->LockUpdate(false);
    EXPECT_TRUE(form->IsLocked());
    pvHost->LockUpdate(false);
    EXPECT_FALSE(form->IsLocked());
    EXPECT_FALSE(form->LockUpdate(false));
    EXPECT_TRUE(form->LockUpdate(true));
    form->LockUpdate(false);
}

TEST_F(PageView, WheelMovesByTheRawDeltaAndATiltRightScrollsRight)
{
    open(300);
    ASSERT_GT(form->HorzRange(), pvHost->ClientWidth());
    pvHost->SetVertPos(1000);
    wheel({0, -120});
    EXPECT_EQ(pvHost->VertPos(), 1120);
    wheel({0, 40}); // a touchpad's small step
    EXPECT_EQ(pvHost->VertPos(), 1080);
    // X11 reports a tilt to the right with a negative x.
    wheel({-120, 0});
    EXPECT_EQ(pvHost->HorzPos(), 120);
    wheel({120, 0});
    EXPECT_EQ(pvHost->HorzPos(), 0);
}

TEST_F(PageView, TouchpadDeltasTurnAPageOnlyAfterAWholeNotch)
{
    open(50, false);
    ASSERT_EQ(page(), 1);
    ASSERT_LE(form->VertRange(), pvHost->ClientHeight()); // the page fits: the position cannot move
    for (int i = 0; i < 3; ++i)
        wheel({0, -30});
    EXPECT_EQ(page(), 1);
    wheel({0, -30});
    EXPECT_EQ(page(), 2);
    wheel({0, -120});
    EXPECT_EQ(page(), 3);
    wheel({0, 120});
    EXPECT_EQ(page(), 2);
}

TEST_F(PageView, CtrlWheelZoomsAboutThePointer)
{
    open(100);
    const QPoint at(300, 200);
    int cp = 0;
    double x0 = 0, y0 = 0;
    ASSERT_TRUE(engine->Layout().GetDocCoord(cp, at.x(), at.y(), x0, y0));
    const double zoom = engine->Layout().FZoom;
    wheel({0, 120}, at, Qt::ControlModifier);
    EXPECT_GT(engine->Layout().FZoom, zoom);
    int cp1 = 0;
    double x1 = 0, y1 = 0;
    ASSERT_TRUE(engine->Layout().GetDocCoord(cp1, at.x(), at.y(), x1, y1));
    EXPECT_EQ(cp1, cp);
    // The same page point stays under the pointer, to a pixel.
    const double pointsPerPixel = 100 / engine->Layout().FZoom;
    EXPECT_NEAR(x1, x0, 1.5 * pointsPerPixel);
    EXPECT_NEAR(y1, y0, 1.5 * pointsPerPixel);
    const double zoomedIn = engine->Layout().FZoom;
    wheel({0, -120}, at, Qt::ControlModifier);
    EXPECT_LT(engine->Layout().FZoom, zoomedIn);
}

TEST_F(PageView, KeysMoveOnceAndTabStaysWithTheView)
{
    open(300);
    form->setFocus();
    pvHost->SetVertPos(500);
    struct Case {
        int key;
        Qt::KeyboardModifiers mods;
        int vert, horz;
    };
    // The scroll area would move a second time on arrows if its own key handling ran.
    const Case cases[] = {
        {Qt::Key_Down, Qt::NoModifier, 536, 0},
        {Qt::Key_J, Qt::NoModifier, 572, 0},
        {Qt::Key_Up, Qt::NoModifier, 536, 0},
        {Qt::Key_Down, Qt::ShiftModifier, 536 + 8 * 36, 0},
        {Qt::Key_Right, Qt::NoModifier, 536 + 8 * 36, 36},
        {Qt::Key_Left, Qt::ShiftModifier, 536 + 8 * 36, 0},
    };
    for (const Case &c : cases) {
        key(c.key, c.mods);
        EXPECT_EQ(pvHost->VertPos(), c.vert) << c.key;
        EXPECT_EQ(pvHost->HorzPos(), c.horz) << c.key;
    }
    key(Qt::Key_End);
    EXPECT_EQ(page(), 7);
    key(Qt::Key_Home);
    EXPECT_EQ(page(), 1);
    key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(page(), 2);
    key(Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(page(), 7);

    QWidget other(window.get());
    other.setFocusPolicy(Qt::StrongFocus);
    other.show();
    form->setFocus();
    key(Qt::Key_Tab);
    EXPECT_TRUE(form->hasFocus());
}

TEST_F(PageView, ZoomAndRotationKeys)
{
    open(100);
    TPageLayout &view = engine->Layout();
    key(Qt::Key_Up, Qt::AltModifier);
    EXPECT_DOUBLE_EQ(view.FZoom, 101);
    key(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(view.FZoom, 91);
    // Shift+"=" arrives as the plus key: with Ctrl it turns the view, alone it zooms.
    key(Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, QStringLiteral("+"));
    EXPECT_EQ(view.FRotate, 1);
    key(Qt::Key_Underscore, Qt::ControlModifier | Qt::ShiftModifier, QStringLiteral("_"));
    EXPECT_EQ(view.FRotate, 0);
    const double before = view.FZoom;
    key(Qt::Key_Equal, Qt::NoModifier, QStringLiteral("="));
    const double zoomedIn = view.FZoom;
    EXPECT_GT(zoomedIn, before);
    key(Qt::Key_Minus, Qt::NoModifier, QStringLiteral("-"));
    EXPECT_LT(view.FZoom, zoomedIn);

    // Below 1 % the zoom steps down instead.
    engine->Navigator().SetZoom(8);
    key(Qt::Key_Down, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_GT(view.FZoom, 0);
    EXPECT_LT(view.FZoom, 8);
}

TEST_F(PageView, LeftDragPansAndARightClickAsksForTheMenu)
{
    open(300);
    pvHost->SetVertPos(1000);
    pvHost->SetHorzPos(100);
    press({400, 300});
    EXPECT_EQ(form->PanState(), 1);
    move({380, 250}, Qt::LeftButton);
    EXPECT_EQ(form->PanState(), 2);
    EXPECT_EQ(pvHost->VertPos(), 1050);
    EXPECT_EQ(pvHost->HorzPos(), 120);
    EXPECT_TRUE(pvHost->PointerBusy());
    release({380, 250});
    EXPECT_EQ(form->PanState(), 0);
    EXPECT_EQ(mainWindow.menus, 0);

    // A right press arms a pan that starts only after more than 2 px.
    press({400, 300}, Qt::RightButton);
    move({402, 298}, Qt::RightButton);
    EXPECT_EQ(pvHost->VertPos(), 1050);
    release({402, 298}, Qt::RightButton);
    EXPECT_EQ(mainWindow.menus, 1);
    EXPECT_EQ(mainWindow.menuAt, vp()->mapToGlobal(QPoint(402, 298)));

    press({400, 300}, Qt::RightButton);
    move({400, 290}, Qt::RightButton);
    EXPECT_EQ(pvHost->VertPos(), 1060);
    release({400, 290}, Qt::RightButton);
    EXPECT_EQ(mainWindow.menus, 1);
}

TEST_F(PageView, ExtraButtonsGoBackAndForward)
{
    open(100);
    engine->Navigator().GOTOPage(5, nullptr);
    ASSERT_EQ(page(), 5);
    press({300, 300}, Qt::BackButton);
    release({300, 300}, Qt::BackButton);
    EXPECT_EQ(page(), 1);
    press({300, 300}, Qt::ForwardButton);
    release({300, 300}, Qt::ForwardButton);
    EXPECT_EQ(page(), 5);
}

TEST_F(PageView, MovesRightAfterALeftPressAreIgnoredForAWhile)
{
    open(300);
    pvHost->SetVertPos(1000);
    press({400, 300});
    time.clock.ms += 50;
    mouse(QEvent::MouseMove, {400, 200}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(pvHost->VertPos(), 1000);
    move({400, 200}, Qt::LeftButton);
    EXPECT_EQ(pvHost->VertPos(), 1100);
    release({400, 200});
}

TEST_F(PageView, PresentationClicksTurnPagesOnRelease)
{
    open(50, false);
    mainWindow.displayState = 2;
    struct Case {
        QPoint release;
        Qt::KeyboardModifiers mods;
        int page;
    };
    const Case cases[] = {
        {{300, 200}, Qt::NoModifier, 2},
        {{304, 204}, Qt::NoModifier, 3},
        {{305, 200}, Qt::NoModifier, 3},      // moved 5 px: no page turn
        {{300, 200}, Qt::ControlModifier, 3}, // a Ctrl click never turns a page
    };
    for (const Case &c : cases) {
        press({300, 200}, Qt::LeftButton, c.mods);
        release(c.release, Qt::LeftButton, c.mods);
        EXPECT_EQ(page(), c.page) << c.release.x();
    }
    mainWindow.displayState = 0;
    press({300, 200});
    release({300, 200});
    EXPECT_EQ(page(), 3);
}

TEST_F(PageView, EdgeScrollingFollowsAPointerRestingBelowTheWindow)
{
    Prefer.AllowPanning = false;
    open(100);
    press({300, 300});
    const QPoint below(300, 598);
    move(below, Qt::LeftButton);
    // Each step posts the next move while the pointer rests there.
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    const int scrolled = pvHost->VertPos();
    EXPECT_GE(scrolled, 3 * (96 / 3));
    release(below);
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_LE(pvHost->VertPos(), scrolled + 2 * (96 / 3));
    const int stopped = pvHost->VertPos();
    QApplication::processEvents();
    EXPECT_EQ(pvHost->VertPos(), stopped);
}

TEST_F(PageView, MeasuringTextInEveryUnit)
{
    open(100);
    form->ShowCoord();
    ASSERT_TRUE(pvHost->CoordinatesVisible());
    EXPECT_EQ(form->Origin(), QPointF(0, 0));
    struct Case {
        int unit;
        double dx, dy;
        const char *text;
    };
    // Decimals are cut, not rounded.
    const Case cases[] = {
        {0, 72, 0, " 72.0 x 0.0  \u2194  72.0 pt "},   {1, 72, 0, " 25.4 x 0.0  \u2194  25.4 mm "},
        {2, 72, 0, " 1.00 x 0.00  \u2194  1.00 in "},  {0, -30, 40, " -30.0 x 40.0  \u2194  50.0 pt "},
        {2, 100, 0, " 1.38 x 0.00  \u2194  1.38 in "}, {1, 0, -1, " 0.0 x -0.3  \u2194  0.3 mm "},
    };
    for (const Case &c : cases) {
        Prefer.MeasureUnit = c.unit;
        EXPECT_EQ(form->CoordText(c.dx, c.dy), QString::fromUtf8(c.text));
    }
}

TEST_F(PageView, MeasuringKeysStepTheUnitAndSetTheOriginAtThePointer)
{
    open(100);
    Prefer.MeasureUnit = 0;
    form->setFocus();
    key(Qt::Key_M);
    ASSERT_TRUE(form->CoordVisible());
    // At 72 pixels per inch and 100 % a pixel is a point.
    int x0 = 0, y0 = 0;
    ASSERT_TRUE(engine->Layout().GetScrCoord(1, 100, 500, x0, y0));
    QCursor::setPos(vp()->mapToGlobal(QPoint(x0, y0)));
    if (form->CursorPos() != QPoint(x0, y0))
        GTEST_SKIP() << "this platform does not move the pointer";
    key(Qt::Key_O);
    EXPECT_NEAR(form->Origin().x(), 100, 1);
    EXPECT_NEAR(pvHost->MeasureOrigin().y(), 595.276 - 500, 1);
    QCursor::setPos(vp()->mapToGlobal(QPoint(x0 + 72, y0)));
    form->RefreshCoord();
    // The box shows the page point under the pointer against the origin.
    int cp = 0;
    double px = 0, py = 0, x = 0, y = 0;
    ASSERT_TRUE(engine->Layout().GetDocCoord(cp, x0 + 72, y0, px, py));
    engine->Layout().GetTopLeftCoord(cp, px, py, x, y);
    EXPECT_NEAR(x - form->Origin().x(), 72, 0.5);
    EXPECT_EQ(form->CoordBox()->text(), form->CoordText(x, y));
    EXPECT_TRUE(form->CoordBox()->text().endsWith(QStringLiteral(" pt ")));
    key(Qt::Key_M);
    EXPECT_EQ(Prefer.MeasureUnit, 1);
    EXPECT_EQ(form->CoordBox()->text(), form->CoordText(x, y));
    EXPECT_TRUE(form->CoordBox()->text().endsWith(QStringLiteral(" mm ")));
    key(Qt::Key_M);
    key(Qt::Key_M);
    EXPECT_EQ(Prefer.MeasureUnit, 0);
    key(Qt::Key_O, Qt::ShiftModifier);
    EXPECT_EQ(form->Origin(), QPointF(0, 0));
    key(Qt::Key_Escape);
    EXPECT_FALSE(form->CoordVisible());
}

TEST_F(PageView, AutoScrollCursorFollowsThePossibleDirections)
{
    // Only horizontal scrolling: a single page that fits in height but not in width.
    window->resize(300, 700);
    form->setGeometry(0, 0, 300, 700);
    open(100, false);
    ASSERT_TRUE(form->CanScrollHorz());
    ASSERT_FALSE(form->CanScrollVert());
    const QPoint start(150, 300);
    press(start, Qt::MiddleButton);
    ASSERT_TRUE(form->AutoScrollActive());
    TAutoScrollForm *indicator = form->AutoScrollIndicator();
    EXPECT_TRUE(indicator->isHorz);
    EXPECT_FALSE(indicator->isVert);
    EXPECT_EQ(indicator->CursorId(), acHorz);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().cacheKey(),
              TAutoScrollForm::DirectionCursor(acHorz).pixmap().cacheKey());
    EXPECT_EQ(QWidget::mouseGrabber(), indicator);

    // The pointer to the right: the view follows.
    QMouseEvent moveRight(
        QEvent::MouseMove, QPointF(indicator->mapFromGlobal(vp()->mapToGlobal(start + QPoint(60, 0)))),
        QPointF(vp()->mapToGlobal(start + QPoint(60, 0))), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(indicator, &moveRight);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_EQ(indicator->CursorId(), acRight);
    EXPECT_GT(pvHost->HorzPos(), 0);
    EXPECT_EQ(pvHost->VertPos(), 0);

    // Any key stops it and gives the screen its cursor back.
    key(Qt::Key_X);
    EXPECT_FALSE(form->AutoScrollActive());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(AutoScroll, CursorZonesAndSpeeds)
{
    // At 96 pixels per inch: indicator 26 px, threshold 14 px, dead zone 16 px.
    struct Case {
        int dx, dy;
        bool vert, horz;
        TAutoScrollCursor cursor;
    };
    const Case cases[] = {
        {0, 0, true, true, acAll},        {14, 0, true, true, acAll},        {15, 0, true, true, acRight},
        {-15, -15, true, true, acUpLeft}, {15, 20, true, true, acDownRight}, {0, 30, true, true, acDown},
        {40, 0, true, false, acVert},     {0, -20, true, false, acUp},       {0, 40, false, true, acHorz},
        {-20, 0, false, true, acLeft},    {-15, 15, true, true, acDownLeft}, {15, -15, true, true, acUpRight},
    };
    for (const Case &c : cases)
        EXPECT_EQ(TAutoScrollForm::CursorFor(c.dx, c.dy, c.vert, c.horz, 96), c.cursor) << c.dx << "," << c.dy;
    const int speeds[][2] = {{0, 0}, {14, 0}, {-14, 0}, {15, 1}, {16, 1}, {21, 1}, {26, 2}, {66, 10}, {-66, -10}};
    for (const auto &s : speeds)
        EXPECT_EQ(TAutoScrollForm::Speed(s[0], 96), s[1]) << s[0];
    EXPECT_EQ(TAutoScrollForm::IndicatorSize(191), 26);
    EXPECT_EQ(TAutoScrollForm::IndicatorSize(192), 52);
}

TEST_F(PageView, TwoFingersSpreadingZoomAboutTheirCentre)
{
    open(100);
    QPointingDevice screen(QStringLiteral("touch"), 1, QInputDevice::DeviceType::TouchScreen,
                           QPointingDevice::PointerType::Finger, QInputDevice::Capability::Position, 10, 0);
    const auto touch = [&](QEvent::Type type, QEventPoint::State state, QPointF a, QPointF b) {
        QTouchEvent e(type, &screen, Qt::NoModifier,
                      {QEventPoint(1, state, a, vp()->mapToGlobal(a)), QEventPoint(2, state, b, vp()->mapToGlobal(b))});
        QApplication::sendEvent(vp(), &e);
    };
    touch(QEvent::TouchBegin, QEventPoint::Pressed, {350, 300}, {450, 300});
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 100);
    // 200 px wider on a client of 800 + 600: (100 div 25) x (200 x 250 div 1400) = 4 x 35.
    touch(QEvent::TouchUpdate, QEventPoint::Updated, {250, 300}, {550, 300});
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 240);
    // Closing again: a step down by the same rule from the new zoom.
    touch(QEvent::TouchUpdate, QEventPoint::Updated, {300, 300}, {500, 300});
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 240 - 9 * 17);
    touch(QEvent::TouchEnd, QEventPoint::Released, {300, 300}, {500, 300});
    EXPECT_DOUBLE_EQ(engine->Layout().FZoom, 240 - 9 * 17);
}

TEST_F(PageView, AMiddlePressWithNothingToScrollStartsNothing)
{
    open(30, false);
    ASSERT_FALSE(form->CanScrollHorz());
    ASSERT_FALSE(form->CanScrollVert());
    press({200, 200}, Qt::MiddleButton);
    EXPECT_FALSE(form->AutoScrollActive());
}

TEST_F(PageView, TheFadeStartsOnTheSecondPostedMessage)
{
    RecordingFadeTimer timer;
    const auto started = timer.started;
    engine->SetFadeTimer(std::make_unique<RecordingFadeTimer>(timer));
    open(100);
    engine->ForwardMark().FSelBoxPage = 1;
    engine->ForwardMark().FSelBoxFactor = 100;
    engine->ForwardMark().FSelBoxRect = TRect{10, 10, 100, 40};
    pvHost->StartMarkAnimation();
    EXPECT_TRUE(started->empty());
    QCoreApplication::sendPostedEvents(form, AnimateMarkEvent);
    EXPECT_TRUE(started->empty()); // behind the paints queued meanwhile
    QCoreApplication::sendPostedEvents(form, AnimateMarkEvent);
    ASSERT_EQ(started->size(), 1u);
    EXPECT_EQ(started->front(), 1388);
}

TEST_F(PageView, TheEndOfASyncTeXLoadRefreshesTheStatusField)
{
    open(100);
    mainWindow.calls.clear();
    PostSyncTeXLoadEnded();
    QApplication::processEvents();
    QApplication::processEvents();
    bool synced = false;
    for (const QString &call : mainWindow.calls)
        synced |= call.startsWith(QStringLiteral("Sync "));
    EXPECT_TRUE(synced) << mainWindow.calls.join(" | ").toStdString();
}

TEST_F(PageView, MainWindowCallsReachTheWindowAndNotesHideThemselves)
{
    open(100);
    EXPECT_TRUE(mainWindow.calls.contains("AddTab " + fixturePath("multi/multi.pdf")))
        << mainWindow.calls.join(" | ").toStdString();
    EXPECT_TRUE(mainWindow.calls.contains(QStringLiteral("Status")));
    pvHost->ShowInfo(QStringLiteral("Page \"x\" not found."), 30);
    ASSERT_TRUE(pvHost->ExInfo()->isVisible());
    EXPECT_EQ(pvHost->ExInfo()->Info(), QStringLiteral("Page \"x\" not found."));
    QElapsedTimer waited;
    waited.start();
    while (pvHost->ExInfo()->isVisible() && waited.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_FALSE(pvHost->ExInfo()->isVisible());

    pvHost->SetWindow(nullptr);
    mainWindow.calls.clear();
    engine->Navigator().NextPage();
    EXPECT_TRUE(mainWindow.calls.isEmpty());
}

// Page 3 of multi.pdf: a line of text at 280 points from the top, white space above the
// text block at 20 points.
TEST_F(PageView, ALeftDragOverTextSelectsAndOverWhiteSpacePans)
{
    Prefer.AllowPanning = true;
    open(200);
    engine->Navigator().GOTOPage(3, nullptr);
    const QPoint text = at(3, 100, 280);
    ASSERT_TRUE(vp()->rect().contains(text));
    press(text);
    EXPECT_EQ(form->PanState(), 0);
    EXPECT_EQ(engine->SelectMode(), 1);
    move(text + QPoint(120, 0), Qt::LeftButton);
    EXPECT_EQ(vp()->cursor().shape(), Qt::IBeamCursor);
    release(text + QPoint(120, 0));
    EXPECT_EQ(engine->SelectMode(), 1) << "a dragged range stays selected";
    EXPECT_EQ(form->PanState(), 0);

    // Over white space the same drag pans, and a press there that never moves clears the
    // selection.
    const QPoint white = at(3, 100, 20);
    press(white);
    EXPECT_EQ(form->PanState(), 1);
    EXPECT_EQ(engine->SelectMode(), 1);
    release(white);
    EXPECT_EQ(engine->SelectMode(), 0);
}

TEST_F(PageView, AClickOnTextLeavesNoSelectionAndShiftExtendsOne)
{
    Prefer.AllowPanning = false;
    open(200);
    engine->Navigator().GOTOPage(3, nullptr);
    const QPoint text = at(3, 100, 280);
    press(text);
    release(text);
    EXPECT_EQ(engine->SelectMode(), 0);

    press(text);
    move(text + QPoint(60, 0), Qt::LeftButton);
    release(text + QPoint(60, 0));
    ASSERT_EQ(engine->SelectMode(), 1);
    const auto end = [&] { return std::make_pair(engine->Selection().Page2, engine->Selection().Chr2); };
    const auto before = end();
    press(text + QPoint(160, 0), Qt::LeftButton, Qt::ShiftModifier);
    release(text + QPoint(160, 0), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(engine->SelectMode(), 1);
    EXPECT_GT(end().second, before.second) << "the end moved, the start stayed";
}

TEST_F(PageView, TabDeleteSpaceAndEscapeClearTheSelection)
{
    open(100);
    const struct {
        int key;
        int page; // where the view is after the key
    } cases[] = {{Qt::Key_Tab, 1}, {Qt::Key_Delete, 1}, {Qt::Key_Space, 2}, {Qt::Key_Escape, 1}};
    for (const auto &c : cases) {
        engine->Navigator().FirstPage();
        engine->SetSelection(smAll, 1, 0, 7, 0, 0);
        ASSERT_EQ(engine->SelectMode(), 3);
        key(c.key);
        EXPECT_EQ(engine->SelectMode(), 0) << c.key;
        EXPECT_EQ(page(), c.page) << c.key;
    }
    // Esc takes what it finds first: the measuring box before the selection.
    engine->SetSelection(smAll, 1, 0, 7, 0, 0);
    form->ShowCoord();
    key(Qt::Key_Escape);
    EXPECT_FALSE(form->CoordVisible());
    EXPECT_EQ(engine->SelectMode(), 3);
}

TEST_F(PageView, EnterStepsThroughTheMatchesWhenTheWindowSaysSo)
{
    struct StepWindow : RecordingWindow {
        bool steps = false;
        QList<bool> asked;
        bool FindEnter(bool backward) override
        {
            asked << backward;
            return steps;
        }
    } stepWindow;
    pvHost->SetWindow(&stepWindow);
    open(100);
    key(Qt::Key_Return);
    EXPECT_EQ(page(), 2) << "no matches marked: the next page";
    stepWindow.steps = true;
    key(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(page(), 2);
    EXPECT_EQ(stepWindow.asked, (QList<bool>{false, true}));
    pvHost->SetWindow(&mainWindow);
}

// The first press of a double click starts a selection of its own; the release drops it
// again, and the second press runs the inverse search.
TEST_F(PageView, ADoubleClickOpensTheSourceLineAndLeavesNoSelection)
{
    FakeEditor editor(dir.path());
    ASSERT_TRUE(editor.ready());
    Prefer.InverseSearchCmd = FakeEditor::command();
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, QString(), 0, TDestType::ForwardSearch));
    engine->Navigator().GOTOPage(3, nullptr);
    engine->SetSelection(smAll, 1, 0, 7, 0, 0);
    const QPoint p = at(3, 100, 280);
    press(p);
    release(p);
    mouse(QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    release(p);
    EXPECT_EQ(editor.arguments(),
              "[--line]\n[9]\n[" + QFileInfo(fixturePath("multi/chapters/stone.tex")).canonicalFilePath() + "]\n");
    EXPECT_EQ(engine->SelectMode(), 0);
}

// After a forward search the page with the mark reaches the screen before the other visible
// pages, which follow in a paint of their own; in the end every page is drawn.
TEST_F(PageView, AForwardSearchPaintsTheMarksPageFirst)
{
    open(30);
    QApplication::processEvents();
    // What the screen shows when the second paint after the search begins.
    struct PaintLog : QObject {
        QWidget *window = nullptr;
        int paints = 0;
        QImage screen;
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Paint && ++paints == 2)
                screen = window->screen()->grabWindow(window->winId()).toImage();
            return false;
        }
    } log;
    log.window = window.get();
    vp()->installEventFilter(&log);
    ASSERT_TRUE(engine->OpenDocument(fixturePath("multi/multi.pdf"), false, fixturePath("multi/chapters/stone.tex"), 9,
                                     TDestType::ForwardSearch));
    ASSERT_EQ(engine->ForwardMark().FSelBoxPage, 3);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    vp()->removeEventFilter(&log);

    const QPoint mark = at(3, 100, 280);
    // A point on a neighbouring page that the view shows beside the mark's page.
    std::optional<QPoint> other;
    for (const auto &[page, y] : {std::pair{2, 800.0}, std::pair{4, 40.0}}) {
        int cx = 0, cy = 0;
        engine->Layout().SetSelectedPage(page);
        if (engine->Layout().GetScrCoord(page, 100, engine->Layout().FDocPageHeight - y, cx, cy)
            && vp()->rect().contains(QPoint(cx, cy)))
            other = QPoint(cx, cy);
    }
    ASSERT_TRUE(vp()->rect().contains(mark));
    ASSERT_TRUE(other) << "two pages in view at 30 %";
    ASSERT_GE(log.paints, 2);
    const QColor workspace = form->WorkspaceColor();
    const auto onScreen = [&](const QPoint &p) { return log.screen.pixelColor(vp()->mapTo(window.get(), p)); };
    EXPECT_NE(onScreen(mark), workspace) << "the mark's page is on the screen";
    EXPECT_EQ(onScreen(*other), workspace) << "the other page waits for the next paint";
    EXPECT_NE(vp()->grab().toImage().pixelColor(*other), workspace) << "and is drawn in the end";
}

} // namespace
