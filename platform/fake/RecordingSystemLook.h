#pragma once
#include "platform/SystemLook.h"

#include <QWindow>

#include <utility>
#include <vector>

namespace pl::fake {

// A settable desktop palette and a record of the frame variants asked for: a test cannot
// change the desktop's theme, and offscreen windows have no window manager to ask.
class RecordingSystemLook final : public SystemLook {
public:
    QPalette palette;
    std::vector<std::pair<QWindow *, bool>> variants; // window, dark
    QPalette systemPalette() override { return palette; }
    bool setThemeVariant(QWindow *window, bool dark) override
    {
        if (!window)
            return false;
        variants.emplace_back(window, dark);
        return true;
    }
};

struct ScopedSystemLook {
    RecordingSystemLook look;
    ScopedSystemLook() { setSystemLook(&look); }
    ~ScopedSystemLook() { setSystemLook(nullptr); }
};

} // namespace pl::fake
