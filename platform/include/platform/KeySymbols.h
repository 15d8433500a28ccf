#pragma once
#include <cstdint>

namespace pl {

// The key symbol of a physical key without Shift or any other level key (level 0), in the
// keyboard group the event was typed in, from the X server's keymap: the "." key gives "."
// with or without Shift on every layout, where the toolkit reports what Shift made of it.
// nativeScanCode and nativeModifiers are the key event's; 0 when it cannot be told (no X
// server, as offscreen, or a key without symbols).
uint32_t UnshiftedKeySym(uint32_t nativeScanCode, uint32_t nativeModifiers);

} // namespace pl
