#include "platform/DisplayBackEnd.h"

#include <QtGlobal>

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

} // namespace pl
