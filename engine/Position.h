#pragma once
#include <array>
#include <cstdint>

// A view position: the 1-based page (0 = empty), points from the top of that page's row to
// the window's top edge, and points of horizontal scroll (negative: keep the current one).
struct TPosition {
    int32_t cp = 0;
    double Top = 0;
    double Left = 0;
};

// The position history, used as a ring.
using TPositions = std::array<TPosition, 100>;
