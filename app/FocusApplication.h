#pragma once
// Bringing the program to the front: the open modal dialog if there is one, else the main
// window, or the client area when it is shown on its own (full screen) while the main
// window is hidden. A minimised window is restored first.
#include <functional>

class QWindow;

struct TFocusWindows {
    std::function<QWindow *()> mainWindow;   // null before the main window exists
    std::function<QWindow *()> clientWindow; // the client area as a window of its own, or null
    std::function<void()> repaintMain;       // draws the main window at once
};

void SetFocusWindows(TFocusWindows windows);

// Asks the window system to activate the target; whether it does is its own decision (a
// window manager may only mark the window). True when a visible target existed.
bool FocusApplication();
