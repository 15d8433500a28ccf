#pragma once
#include "settings/PageViewMode.h"

#include <QString>

#include <cstdint>

// One entry of the recent documents list kept in the settings (the document manager's
// display rows are a different record of its own).
struct TDocInfo {
    QString FileName;
    QString FilePwd; // stored as typed
    int32_t ZoomMode = 0;
    double Zoom = 0;
    int32_t Rotate = 0;
    TPageViewMode PageView = TPageViewMode::Single;
    bool AllowScrolling = false;
    bool RenderAnnot = false;
    bool FrameLinks = false;
    bool ShowBookmarks = false;
    bool TrackBookmarks = false;
    int32_t cp = 0;
    double Top = 0;
    double Left = 0;
    int32_t wasOpened = 0; // 0 not open, 1 open, 2 open and selected

    bool operator==(const TDocInfo &) const = default;
};
