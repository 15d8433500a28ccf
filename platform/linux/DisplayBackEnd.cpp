#include "platform/DisplayBackEnd.h"

#include <QtGlobal>

#include <X11/Xlib.h>

namespace pl {

QStringList chooseDisplayBackEnd()
{
    QStringList injected;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        injected << QStringLiteral("QT_QPA_PLATFORM");
    }
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING")) {
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        injected << QStringLiteral("QT_ENABLE_HIGHDPI_SCALING");
    }
    return injected;
}

QString displayProblem()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb"))
        return QString();
    if (Display *display = XOpenDisplay(nullptr)) {
        XCloseDisplay(display);
        return QString();
    }
    const auto shown = [](const char *name) {
        return qEnvironmentVariableIsSet(name) ? QLatin1Char('"') + qEnvironmentVariable(name) + QLatin1Char('"')
                                               : QStringLiteral("not set");
    };
    return QStringLiteral("No X display is reachable (DISPLAY %1, WAYLAND_DISPLAY %2). OrvalePDF shows its windows "
                          "through X11; in a Wayland session it runs through XWayland (Debian package "
                          "\"xwayland\"), which sets DISPLAY.")
        .arg(shown("DISPLAY"), shown("WAYLAND_DISPLAY"));
}

} // namespace pl
