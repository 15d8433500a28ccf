#pragma once
#include "platform/Beeper.h"

#include <vector>

namespace pl::fake {

// Keeps the codes of the beeps instead of sounding them: a test cannot hear the bell.
class RecordingBeeper final : public Beeper {
public:
    std::vector<int> codes;
    void beep(int code) override { codes.push_back(code); }
};

struct ScopedBeeper {
    RecordingBeeper beeps;
    ScopedBeeper() { setBeeper(&beeps); }
    ~ScopedBeeper() { setBeeper(nullptr); }
};

} // namespace pl::fake
