#pragma once
// What the desktop says about looks: its palette, and the dark or light variant of a
// top-level window's frame that window managers read.
#include <QPalette>

class QWindow;

namespace pl {

class SystemLook {
public:
    virtual ~SystemLook() = default;
    // The palette of the desktop's theme now, not the palette the program set for itself.
    virtual QPalette systemPalette() = 0;
    // Asks the window manager for a dark or light frame (_GTK_THEME_VARIANT on X11); true
    // iff the request was made. A window without a native window is refused.
    virtual bool setThemeVariant(QWindow *window, bool dark) = 0;
};

SystemLook &systemLook();
void setSystemLook(SystemLook *look); // nullptr restores the production implementation

} // namespace pl
