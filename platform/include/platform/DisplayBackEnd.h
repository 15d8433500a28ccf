#pragma once
#include <QStringList>

namespace pl {

// Settles the window system before the application object exists: X11, also under XWayland
// (where activation, pointer warping and placement work), and no scaling by Qt, since the
// program scales its sizes itself. A variable the user set wins. Returns the names of the
// variables it set, which the programs started later must not inherit.
QStringList chooseDisplayBackEnd();

// Empty when windows can be shown: the X11 back end (the default, or asked for) finds an X
// server on DISPLAY; a back end the user chose otherwise (offscreen, ...) is trusted. Else the
// message for the user, naming DISPLAY and WAYLAND_DISPLAY as found.
QString displayProblem();

} // namespace pl
