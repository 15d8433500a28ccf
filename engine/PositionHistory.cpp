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

bool TPositionHistory::Store(const TPosition &p, double leftTolerance, double topTolerance, bool test)
{
    const TPosition &q = Positions[Prev(CPos)];
    if (q.cp == p.cp && std::abs(p.Left - q.Left) <= leftTolerance && std::abs(p.Top - q.Top) <= topTolerance)
        return false;
    if (!test) {
        Positions[CPos] = p;
        CPos = Next(CPos);
        Positions[CPos] = TPosition{};
    }
    return true;
}

bool TPositionHistory::Back(const TPosition &P, bool test, TPosition &target)
{
    return Walk(P, test, target, -1);
}

bool TPositionHistory::Forward(const TPosition &P, bool test, TPosition &target)
{
    if (Positions[CPos].cp == 0)
        return false;
    return Walk(P, test, target, +1);
}

// Steps through the ring in one direction to the first entry that is not P itself; P is then
// kept right behind that entry, so the opposite walk returns to it.
bool TPositionHistory::Walk(const TPosition &P, bool test, TPosition &target, int direction)
{
    const auto ahead = [direction](int j) { return direction < 0 ? Prev(j) : Next(j); };
    const auto behind = [direction](int j) { return direction < 0 ? Next(j) : Prev(j); };
    int j = CPos;
    for (int steps = 1;; ++steps) {
        j = ahead(j);
        // An empty slot ends the walk, also the last slot of a ring that never wrapped.
        if (Positions[j].cp == 0)
            return false;
        if (!Near(Positions[j], P, 0.001))
            break;
        if (steps >= kSlots)
            return false;
    }
    if (test)
        return true;
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
