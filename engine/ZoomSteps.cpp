#include "engine/ZoomSteps.h"

#include <array>
#include <cstddef>

namespace {

constexpr std::array<double, 32> kZoomTable{5,    10,   15,   20,   25,   35,   50,   75,   100,  125,  150,
                                            175,  200,  250,  300,  400,  500,  600,  800,  1000, 1200, 1600,
                                            2000, 2400, 2800, 3200, 3600, 4000, 5000, 6000, 8000, 10000};

TZoomStep Plain(double zoom) { return {ZoomModeFor(zoom), zoom, false, false}; }

} // namespace

TZoomMode ZoomModeFor(double zoom) { return zoom == 100 ? zActualSize : zCustom; }

TZoomStep ZoomInStep(double old, double fitPage, double fitWidth)
{
    double next = kZoomTable.back();
    for (double z : kZoomTable)
        if (z > old) {
            next = z;
            break;
        }
    if (fitWidth <= next && old < fitWidth)
        return {zfitWidth, fitWidth, true, false};
    if (fitPage <= next && old < fitPage)
        return {zfitPage, fitPage, true, true};
    return Plain(next);
}

TZoomStep ZoomOutStep(double old, double fitPage, double fitWidth)
{
    double next = kZoomTable.front();
    if (old > kZoomTable.back()) {
        next = kZoomTable.back();
    } else if (old > kZoomTable[1]) {
        for (std::size_t i = 1; i < kZoomTable.size(); ++i)
            if (kZoomTable[i] >= old) {
                next = kZoomTable[i - 1];
                break;
            }
    }
    if (fitWidth >= next && old > fitWidth)
        return {zfitWidth, fitWidth, true, false};
    if (fitPage >= next && old > fitPage)
        return {zfitPage, fitPage, true, true};
    return Plain(next);
}
