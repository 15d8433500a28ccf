#pragma once
// Records of the page layout: where each page sits in the scroll space of the continuous
// view, and which part of which page a client rectangle shows.
#include "engine/ZoomMode.h"
#include "settings/PageViewMode.h"

#include <fpdf_compat.h>

#include <cstdint>
#include <vector>

// A rectangle in pixels, right and bottom exclusive.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

// One page of the continuous view: its unrotated size in points and its pixel rectangle.
struct TPageRect {
    FS_SIZEF size{0, 0};
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
};

using TPagesRect = std::vector<TPageRect>;

// The page rectangles of the continuous view with the keys they were computed for.
struct TXPagesRect {
    const void *xDoc = nullptr;
    double xDpi = 0;
    int32_t xGap = 0;
    TZoomMode xZoom = zfitPage;
    int32_t xRotate = 0;
    TPageViewMode xPageView = TPageViewMode::Single;
    // Largest page sizes in points: all pages, odd 0-based indices, even 0-based indices.
    float mww = 0, mhh = 0, mww1 = 0, mhh1 = 0, mww2 = 0, mhh2 = 0;
    // The same in pixels, swapped for an odd rotation.
    int32_t mxw = 0, mxh = 0, mxw1 = 0, mxh1 = 0, mxw2 = 0, mxh2 = 0;
    int32_t vsr = 0; // vertical scroll range: largest Bottom
    int32_t hsr = 0; // horizontal scroll range: largest Right
    TPagesRect PR;
};

// The visible part of one page: where it starts inside the page's full pixel image and
// where it lands in the client area.
struct TLayout {
    int32_t cp = 0;
    int32_t srcTop = 0;
    int32_t srcLeft = 0;
    int32_t destTop = 0;
    int32_t destLeft = 0;
    int32_t width = 0;
    int32_t height = 0;
};
