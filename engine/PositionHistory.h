#pragma once
// The history of view positions of one document, a ring of 100 slots for Back and Forward.
// CPos is the slot after the newest stored position; that slot is kept empty after a store.
#include "engine/Position.h"

class TPositionHistory {
public:
    // Stores p unless the newest entry is on the same page within the tolerances (points
    // across, the caller's unit down). With test only reports whether it would store.
    bool Store(const TPosition &p, double leftTolerance, double topTolerance, bool test);
    // Back from the current position P: the entry to show, and P kept after it so that
    // Forward returns to it. False when the history has nothing before P.
    bool Back(const TPosition &P, bool test, TPosition &target);
    // Forward: the entry to show, and P kept before it. False at the newest entry.
    bool Forward(const TPosition &P, bool test, TPosition &target);
    // An empty history.
    void Clear();
    bool Empty() const { return CPos == 0 && Positions[0].cp == 0; }

    TPositions Positions{};
    int32_t CPos = 0;

private:
    bool Walk(const TPosition &P, bool test, TPosition &target, int direction);
};
