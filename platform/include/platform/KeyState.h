#pragma once

namespace pl {

// The physical state of the Esc key right now, without pumping events.
class KeyState {
public:
    virtual ~KeyState() = default;
    virtual bool escapeDown() = 0;
};

KeyState &keyState();
void setKeyState(KeyState *k); // nullptr restores the production backend

} // namespace pl
