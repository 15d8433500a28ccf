#pragma once
// Where the main window is and how dense its screen is: the stored rectangle put back and
// taken again, the window's pixels per inch and sizes scaled to it, and the screen whose
// density changes it follows.
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <functional>

class QMainWindow;
class QScreen;

class TWindowPlacement final : public QObject {
public:
    explicit TWindowPlacement(QMainWindow &window);

    // The logical density of the window's screen; the current one without a screen.
    int WindowPPI() const;
    // The settings read at another density than the window's screen has: their sizes are
    // scaled and the window takes the density.
    void AdoptScreenDensity();
    // Sizes from oldPPI to the current density's newPPI, the window's own when it is not
    // maximised; the current density becomes newPPI.
    void ChangeDensity(int oldPPI, int newPPI);

    // The stored rectangle, on a screen that exists.
    void ApplyStoredRect();
    // The first pass (doMin) only places the rectangle; the second maximises when asked.
    void ResizeMainWindow(bool doMin);
    // The window's normal rectangle and maximised state into the settings.
    void SetMainSize();
    // The top-left that centres a box of that size on the window, inside its monitor; on the
    // stand-in while that window alone shows the program; (0, 0) when neither shows.
    QPoint CenterOnMainWindow(int width, int height) const;
    // The window that shows the program while the main window is hidden (full screen).
    void SetStandIn(QWidget *window) { StandIn = window; }
    // Called at the end of a restore: the client area clamps the bookmarks panel's width.
    std::function<void()> ClampPanelWidth;

    // Follows screen's density changes, and the window's moves to other screens, with
    // changed(new density).
    void WatchScreens(std::function<void(int)> changed);

private:
    void WatchScreen(QScreen *screen);

    QMainWindow &Window;
    QPointer<QWidget> StandIn;
    QPointer<QScreen> WatchedScreen;
    std::function<void(int)> Changed;
};
