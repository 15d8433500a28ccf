#pragma once
#include <QStringList>

namespace pl {

// Settles the window system before the application object exists: X11, also under XWayland
// (where activation, pointer warping and placement work), and no scaling by Qt, since the
// program scales its sizes itself. A variable the user set wins. Returns the names of the
// variables it set, which the programs started later must not inherit.
QStringList chooseDisplayBackEnd();

} // namespace pl
