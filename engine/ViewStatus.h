#pragma once
// What the status line and the toolbar boxes show of the current view, as the engine knows
// it; the windows turn it into texts.
#include "engine/ZoomMode.h"

#include <QString>

#include <optional>

struct TViewStatus {
    // A document is current; without one the rest has no meaning.
    bool Document = false;
    // The page in view (1-based, 0 none) of PageCount, and its label ("?" when there is none).
    int Page = 0;
    int PageCount = 0;
    QString Label;
    // The zoom in whole percent and how it was chosen.
    int Zoom = 100;
    TZoomMode ZoomMode = zfitPage;
    // The SyncTeX state of the document ("SyncTeX.gz: Ready"); unset: the field keeps its text.
    std::optional<QString> SyncTeX;
};
