#pragma once
// The history of view positions of one document, a ring of 100 slots for Back and Forward.
// CPos is the slot after the newest stored position; that slot is kept empty after a store.
#include "engine/Position.h"

class TPositionHistory {
public:
    // Stores p unless the newest entry is on the same page within the tolerances (points
    // across, the caller's unit down).
    bool Store(const TPosition &p, double leftTolerance, double topTolerance);
    bool CanStore(const TPosition &p, double leftTolerance, double topTolerance) const;
    // Back from the current position P: the entry to show, and P kept after it so that
    // Forward returns to it. False when the history has nothing before P.
    bool Back(const TPosition &P, TPosition &target);
    bool CanBack(const TPosition &P) const { return Find(P, -1) >= 0; }
    // Forward: the entry to show, and P kept before it. False at the newest entry.
    bool Forward(const TPosition &P, TPosition &target);
    bool CanForward(const TPosition &P) const { return Find(P, +1) >= 0; }
    // An empty history.
    void Clear();
    bool Empty() const { return CPos == 0 && Positions[0].cp == 0; }

    TPositions Positions{};
    int32_t CPos = 0;

private:
    // The slot a walk from P in the direction reaches, or -1.
    int Find(const TPosition &P, int direction) const;
    bool Walk(const TPosition &P, TPosition &target, int direction);
};
