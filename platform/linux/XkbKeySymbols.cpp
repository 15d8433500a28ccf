#include "platform/KeySymbols.h"

#include <QGuiApplication>

#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

namespace pl {
namespace {

struct ContextFree {
    void operator()(xkb_context *c) const { xkb_context_unref(c); }
};
struct KeymapFree {
    void operator()(xkb_keymap *k) const { xkb_keymap_unref(k); }
};

// The server's keymap as it is now: read at each call, since the user may switch layouts while
// the program runs and only a few keys in presentation ask.
std::unique_ptr<xkb_keymap, KeymapFree> ServerKeymap(xcb_connection_t *connection)
{
    static const bool extension =
        xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                    XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)
        == 1;
    static const std::unique_ptr<xkb_context, ContextFree> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (!extension || !context)
        return nullptr;
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (device < 0)
        return nullptr;
    return std::unique_ptr<xkb_keymap, KeymapFree>(
        xkb_x11_keymap_new_from_device(context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
}

} // namespace

uint32_t UnshiftedKeySym(uint32_t nativeScanCode, uint32_t nativeModifiers)
{
    if (nativeScanCode == 0)
        return 0;
    auto *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = gui ? gui->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return 0;
    const auto keymap = ServerKeymap(connection);
    if (!keymap)
        return 0;
    const xkb_keycode_t key = nativeScanCode;
    const xkb_layout_index_t layouts = xkb_keymap_num_layouts_for_key(keymap.get(), key);
    if (layouts == 0)
        return 0;
    // The core event state carries the group in bits 13 and 14.
    const xkb_layout_index_t group = ((nativeModifiers >> 13) & 3) % layouts;
    const xkb_keysym_t *syms = nullptr;
    if (xkb_keymap_key_get_syms_by_level(keymap.get(), key, group, 0, &syms) < 1)
        return 0;
    return syms[0];
}

} // namespace pl
