#pragma once
// What the engine says about the current document at one moment, as plain values: the
// input of the command states.
#include "engine/ZoomMode.h"
#include "settings/PageViewMode.h"

class TQPDF;

struct TEngineSnapshot {
    int DocumentCount = 0;
    // A document is current, and it has pages.
    bool Document = false;
    bool Pages = false;
    // Its file and the folder it is in exist.
    bool FileExists = false;
    bool FolderExists = false;
    // It has SyncTeX state and a SyncTeX file beside it.
    bool SyncTeX = false;
    // Its view: page view (0 single, 1 double, 2 book), continuous, zoom and its mode.
    TPageViewMode PageView = TPageViewMode::Single;
    bool Continuous = false;
    double Zoom = 100;
    TZoomMode ZoomMode = zfitPage;
    bool ShowBookmarks = false;
    bool FrameLinks = false;
    bool RenderAnnot = false;
    // Where the navigation commands can go.
    bool CanGotoMark = false;
    bool CanGoBack = false;
    bool CanGoForward = false;
    // Text is selected (a range, pages or everything).
    bool Selection = false;

    // The engine's answers now; engine may be null (no documents).
    static TEngineSnapshot Of(TQPDF *engine);
};
