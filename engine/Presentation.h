#pragma once
// The ways a document is shown, and the view settings a document keeps for each of them, so
// that full screen and presentation each come back as the user left them.
#include "engine/ZoomMode.h"

#include <array>

enum class TDisplayState : int { Normal = 0, FullScreen = 1, Presentation = 2 };

struct TPresentation {
    bool AllowScrolling = true; // continuous view
    bool ShowBookmarks = false;
    bool RenderAnnot = false;
    bool FrameLinks = true;
    TZoomMode ZoomMode = zActualSize;
    double Zoom = 100;

    bool operator==(const TPresentation &) const = default;
};

using TPresentations = std::array<TPresentation, 3>;

// The settings a state starts from: full screen shows a continuous document by its width
// unless it fits whole pages; presentation shows single whole pages without the panel.
TPresentation FullScreenView(TPresentation normal);
TPresentation PresentationView(TPresentation normal);
