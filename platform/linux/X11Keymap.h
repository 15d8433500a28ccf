#pragma once

typedef struct _XDisplay Display;

namespace pl {

// Asks the X server whether Escape is held down right now. Kept apart from Qt code,
// since Xlib's macros clash with Qt's event names.
bool x11EscapeDown(Display *display);

} // namespace pl
