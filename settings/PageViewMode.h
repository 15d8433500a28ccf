#pragma once
#include <cstdint>

// How pages stand beside each other. The numbers are those of the settings file and the
// recent list; a file may hold another number, which is kept as it is.
enum class TPageViewMode : int32_t {
    Single = 0, // one page across
    Double = 1, // pairs from the first page: 1-2, 3-4, ...
    Book = 2,   // the first page alone, then pairs: 2-3, 4-5, ...
};
