#include "platform/Beeper.h"

#include <QGuiApplication>

#include <X11/Xlib.h>

namespace pl {
namespace {

// The X server's bell, as the widget toolkit rings it; without an X connection (offscreen,
// Wayland) there is no bell to ring.
class SystemBeeper final : public Beeper {
public:
    void beep(int) override
    {
        auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        if (Display *dpy = x11 ? x11->display() : nullptr) {
            XBell(dpy, 0);
            XFlush(dpy);
        }
    }
};

SystemBeeper systemBeeper;
Beeper *currentBeeper = &systemBeeper;

} // namespace

Beeper &beeper() { return *currentBeeper; }
void setBeeper(Beeper *b) { currentBeeper = b ? b : &systemBeeper; }

} // namespace pl
