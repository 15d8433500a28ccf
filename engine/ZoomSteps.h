#pragma once
// Zoom In and Zoom Out through the fixed table of zoom values, stopping at the fit-width
// and fit-page zooms when a step passes them.
#include "engine/ZoomMode.h"

struct TZoomStep {
    TZoomMode mode = zCustom;
    double zoom = 100;
    bool resetLeft = false; // a fit zoom shows the page from its left edge
    bool resetTop = false;  // fit page also from its top
};

// fitPage and fitWidth: the zooms that fit the page and its width in the window now.
TZoomStep ZoomInStep(double old, double fitPage, double fitWidth);
TZoomStep ZoomOutStep(double old, double fitPage, double fitWidth);
// The mode a set zoom value has: actual size at 100, else custom.
TZoomMode ZoomModeFor(double zoom);

constexpr double kMinZoom = 5;
constexpr double kMaxZoom = 10000;
