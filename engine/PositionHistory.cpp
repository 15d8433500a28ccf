#include "engine/PositionHistory.h"

#include <cmath>
#include <tuple>

namespace {

constexpr int kSlots = int(std::tuple_size_v<TPositions>);

int Prev(int j) { return j == 0 ? kSlots - 1 : j - 1; }
int Next(int j) { return j == kSlots - 1 ? 0 : j + 1; }

bool Near(const TPosition &a, const TPosition &b, double tolerance)
{
    return a.cp == b.cp && std::abs(a.Left - b.Left) <= tolerance && std::abs(a.Top - b.Top) <= tolerance;
}

} // namespace

bool TPositionHistory::CanStore(const TPosition &p, double leftTolerance, double topTolerance) const
{
    const TPosition &q = Positions[Prev(CPos)];
    return !(q.cp == p.cp && std::abs(p.Left - q.Left) <= leftTolerance && std::abs(p.Top - q.Top) <= topTolerance);
}

bool TPositionHistory::Store(const TPosition &p, double leftTolerance, double topTolerance)
{
    if (!CanStore(p, leftTolerance, topTolerance))
        return false;
    Positions[CPos] = p;
    CPos = Next(CPos);
    Positions[CPos] = TPosition{};
    return true;
}

bool TPositionHistory::Back(const TPosition &P, TPosition &target) { return Walk(P, target, -1); }

bool TPositionHistory::Forward(const TPosition &P, TPosition &target) { return Walk(P, target, +1); }

// Steps through the ring in one direction to the first entry that is not P itself. Forward
// from the newest entry leads nowhere.
int TPositionHistory::Find(const TPosition &P, int direction) const
{
    if (direction > 0 && Positions[CPos].cp == 0)
        return -1;
    int j = CPos;
    for (int steps = 1;; ++steps) {
        j = direction < 0 ? Prev(j) : Next(j);
        // An empty slot ends the walk, also the last slot of a ring that never wrapped.
        if (Positions[j].cp == 0)
            return -1;
        if (!Near(Positions[j], P, 0.001))
            return j;
        if (steps >= kSlots)
            return -1;
    }
}

// Goes to the entry Find reaches; P is then kept right behind it, so the opposite walk
// returns to it.
bool TPositionHistory::Walk(const TPosition &P, TPosition &target, int direction)
{
    const int j = Find(P, direction);
    if (j < 0)
        return false;
    const auto behind = [direction](int k) { return direction < 0 ? Next(k) : Prev(k); };
    CPos = j;
    target = Positions[j];
    if (!Near(target, P, 0.01))
        Positions[behind(j)] = P;
    return true;
}

void TPositionHistory::Clear()
{
    Positions = TPositions{};
    CPos = 0;
}
