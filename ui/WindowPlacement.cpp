#include "ui/WindowPlacement.h"

#include "app/Placement.h"
#include "base/Centering.h"
#include "base/DebugLog.h"
#include "settings/Prefer.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWindow>

TWindowPlacement::TWindowPlacement(QMainWindow &window) : QObject(&window), Window(window) {}

int TWindowPlacement::WindowPPI() const
{
    const QScreen *s = Window.screen();
    return s ? AveragePPI(s->logicalDotsPerInchX(), s->logicalDotsPerInchY()) : CurrentPPI;
}

void TWindowPlacement::AdoptScreenDensity()
{
    const int oldPPI = CurrentPPI;
    const int newPPI = WindowPPI();
    if (oldPPI == newPPI)
        return;
    DebugLog(QStringLiteral("DPI Changed from ") + QString::number(oldPPI) + QStringLiteral(" to ")
             + QString::number(newPPI));
    ScaleStoredSizes(Prefer, oldPPI, newPPI);
    CurrentPPI = newPPI;
}

void TWindowPlacement::ChangeDensity(int oldPPI, int newPPI)
{
    // Qt does not rescale the window with its own scaling off.
    if (!Window.isMaximized())
        Window.resize(MulDiv(Window.width(), newPPI, oldPPI), MulDiv(Window.height(), newPPI, oldPPI));
    ScaleStoredSizes(Prefer, oldPPI, newPPI);
    CurrentPPI = newPPI;
    Window.setMinimumSize(Scaled(228), Scaled(108));
}

void TWindowPlacement::ApplyStoredRect()
{
    QList<QRect> available;
    for (const QScreen *s : QGuiApplication::screens())
        available << s->availableVirtualGeometry();
    const QScreen *primary = QGuiApplication::primaryScreen();
    const QRect rect = StoredWindowRect(Prefer.WindowRect, available, primary ? primary->availableGeometry() : QRect());
    Window.move(rect.topLeft());
    Window.resize(rect.size());
}

void TWindowPlacement::ResizeMainWindow(bool doMin)
{
    const bool wantMaximized = Window.isMaximized() || Prefer.Maximized || Prefer.StartMaximized;
    DebugLog(QStringLiteral("Resizing..."));
    if (!Window.isMaximized())
        ApplyStoredRect();
    // A window that is not mapped yet cannot be minimised for placing on this platform: the
    // rectangle above is all the first pass needs.
    if (doMin) {
        DebugLog(QStringLiteral("Placement: Minimized..."));
    } else if (wantMaximized) {
        DebugLog(QStringLiteral("Placement: Maximized..."));
        Window.setWindowState(Window.windowState() | Qt::WindowMaximized);
    } else {
        DebugLog(QStringLiteral("Placement: Normal..."));
    }
    if (ClampPanelWidth)
        ClampPanelWidth();
    DebugLog(QStringLiteral("Resizing Exit..."));
}

void TWindowPlacement::SetMainSize()
{
    Prefer.Maximized = Window.isMaximized();
    if (Prefer.Maximized) {
        const QRect normal = Window.normalGeometry();
        if (normal.isValid())
            Prefer.WindowRect = WindowRectOf(normal);
        return;
    }
    // pos() and size() go back through move() and resize() unchanged.
    Prefer.WindowRect = WindowRectOf(QRect(Window.pos(), Window.size()));
}

QPoint TWindowPlacement::CenterOnMainWindow(int width, int height) const
{
    const QWidget *shown = Window.isVisible()                    ? &Window
        : StandIn && StandIn->isWindow() && StandIn->isVisible() ? StandIn.data()
                                                                 : nullptr;
    if (!shown)
        return {};
    const QScreen *s = shown->screen();
    const QRect monitor = s ? s->availableGeometry() : QRect();
    return CenterOver(shown->frameGeometry(), monitor, width, height);
}

void TWindowPlacement::WatchScreens(std::function<void(int)> changed)
{
    Changed = std::move(changed);
    QWindow *w = Window.windowHandle();
    if (!w)
        return;
    WatchScreen(w->screen());
    connect(w, &QWindow::screenChanged, this, [this](QScreen *s) {
        WatchScreen(s);
        Changed(WindowPPI());
    });
}

void TWindowPlacement::WatchScreen(QScreen *s)
{
    if (WatchedScreen)
        disconnect(WatchedScreen, nullptr, this, nullptr);
    WatchedScreen = s;
    if (s)
        connect(s, &QScreen::logicalDotsPerInchChanged, this, [this] { Changed(WindowPPI()); });
}
