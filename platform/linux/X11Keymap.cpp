#include "platform/linux/X11Keymap.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace pl {

bool x11EscapeDown(Display *display)
{
    char keys[32];
    XQueryKeymap(display, keys);
    const KeyCode code = XKeysymToKeycode(display, XK_Escape);
    return code && (keys[code / 8] & (1 << (code % 8)));
}

} // namespace pl
