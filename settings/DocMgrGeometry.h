#pragma once
#include <cstdint>

// The document manager's remembered window geometry, kept for the program's lifetime and
// stored in the settings. All zero until first remembered or read.
struct TDocMgrGeometry {
    int32_t PixelsPerInch = 0; // at which the sizes were taken
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t ColumnWidth[3] = {0, 0, 0};

    bool operator==(const TDocMgrGeometry &) const = default;
};

extern TDocMgrGeometry DocMgrGeometry;
