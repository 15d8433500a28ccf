#pragma once
// The texts of the status line and the toolbar's page and zoom boxes for a view status, and
// which of the boxes may be written: the page box keeps what the user types while it has the
// focus; the zoom box too, until the zoom really changes, when the page view takes the focus
// back.
#include "engine/ViewStatus.h"

#include <QString>

#include <optional>

struct TViewStatusText {
    // The status line's panels; empty without a document.
    QString PagePanel;     // "Page:  iv"
    QString PagesPanel;    // "(4/12)"
    QString ZoomPanel;     // "Zoom:  125%"
    QString ZoomModePanel; // "Fit Width"
    // The SyncTeX field; unset: it keeps its text.
    std::optional<QString> SyncTeX;

    // The page box and the count box beside it ("iv", "(4/12)"); unset: both keep their text.
    std::optional<QString> PageBox;
    std::optional<QString> CountBox;
    bool PageBoxEnabled = false;
    // The zoom box ("125%") and the zoom mode whose menu item is checked; unset: left as they are.
    std::optional<QString> ZoomBox;
    std::optional<TZoomMode> CheckedZoomMode;
    bool ZoomBoxEnabled = false;
    // The zoom box had the focus and got a new zoom: the page view takes the focus.
    bool FocusView = false;
};

class TViewStatusFormatter {
public:
    // The texts for status, given which box the user is typing in.
    TViewStatusText Format(const TViewStatus &status, bool pageBoxFocused, bool zoomBoxFocused);

private:
    // The zoom the zoom box was last given, in whole percent.
    int LastZoomShown = -1;
};
