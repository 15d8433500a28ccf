#pragma once
#include "platform/KeyState.h"

#include <deque>

namespace pl::fake {

// Answers Esc queries from a script; once the script is used up it repeats `after`.
class ScriptedKeyState final : public KeyState {
public:
    std::deque<bool> script;
    bool after = false;
    int queries = 0;
    bool escapeDown() override
    {
        ++queries;
        if (script.empty())
            return after;
        bool v = script.front();
        script.pop_front();
        return v;
    }
};

struct ScopedKeyState {
    ScriptedKeyState keys;
    ScopedKeyState() { setKeyState(&keys); }
    ~ScopedKeyState() { setKeyState(nullptr); }
};

} // namespace pl::fake
