#pragma once
#include <cstdint>

// How the zoom is chosen: fit the page, fit its width, true printed size, or a set value.
enum TZoomMode : int32_t { zfitPage = 0, zfitWidth = 1, zActualSize = 2, zCustom = 3 };
