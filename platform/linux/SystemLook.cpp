#include "platform/SystemLook.h"

#include <QGuiApplication>
#include <QWindow>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace pl {
namespace {

Display *X11Display()
{
    auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

class DesktopLook final : public SystemLook {
public:
    QPalette systemPalette() override
    {
        if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
            return QPalette();
        // The application palette resolves against the theme's: without a palette of its
        // own the application shows the theme's, which is read and then put back.
        const QPalette own = QGuiApplication::palette();
        QGuiApplication::setPalette(QPalette());
        const QPalette theme = QGuiApplication::palette();
        QGuiApplication::setPalette(own);
        return theme;
    }

    bool setThemeVariant(QWindow *window, bool dark) override
    {
        Display *dpy = X11Display();
        if (!dpy || !window || !window->handle())
            return false;
        const Atom property = XInternAtom(dpy, "_GTK_THEME_VARIANT", False);
        const Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
        if (property == None || utf8 == None)
            return false;
        const QByteArray value = dark ? QByteArrayLiteral("dark") : QByteArrayLiteral("light");
        XChangeProperty(dpy, Window(window->winId()), property, utf8, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char *>(value.constData()), int(value.size()));
        XFlush(dpy);
        return true;
    }
};

DesktopLook desktopLook;
SystemLook *currentLook = &desktopLook;

} // namespace

SystemLook &systemLook() { return *currentLook; }
void setSystemLook(SystemLook *look) { currentLook = look ? look : &desktopLook; }

} // namespace pl
