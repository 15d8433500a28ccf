#pragma once
#include "settings/DocInfo.h"
#include "settings/RestoreOpened.h"

#include <QList>
#include <QString>

#include <array>
#include <cstdint>

class TDataFile;

// One of the two theme presets.
struct TColTheme {
    int32_t ThemeModeIndex = 0;  // 0 follow the system, 1 dark, 2 light
    int32_t RenderModeIndex = 0; // 0 normal, 1 invert brightness, 2 invert RGB
    bool RenderGray = false;
    bool blendEnabled = false;
    bool operator==(const TColTheme &) const = default;
};

// Window bounds in the order the data file stores them.
struct TWindowRect {
    int32_t Top = 0;
    int32_t Left = 0;
    int32_t Bottom = 0;
    int32_t Right = 0;
    bool operator==(const TWindowRect &) const = default;
};

// The settings record. The data file stores it positionally; the field table in Prefer.cpp
// gives the order, the defaults, the bounds and the layout version of every value.
struct TPrefer {
    int32_t DataVersion;

    QString FontName;
    int32_t FontSize;
    int32_t FontSizeTenths;
    bool CustomMenuDraw;
    int32_t LargeIcons, SmallIcons, ToolbarHeight, TabsHeight, StatusHeight, PageGap; // at 96 dpi
    bool DocDlgDestinations;
    int32_t MeasureUnit; // 0 "pt", 1 "mm", 2 "in"
    bool SDInterface, RenderToBitmap, ShowScrollbars, ShowStatusLine, ShowToolbar, ShowTabs, AutoHideTabs, PDFMemory,
        UseTimer;

    bool ShowThemesMenu;
    int32_t ThemeSelector; // which preset is active, 0 or 1
    std::array<TColTheme, 2> ColThemes;
    int32_t ThemeModeIndex; // in force
    int32_t RenderModeIndex;
    bool RenderGray;
    bool blendEnabled;

    QString MaxTabString;
    bool TabHints, CustomTabDrawing, TabFiletypes;
    int32_t CustomTabs;

    int32_t PrintZoomMode;
    QString PrintZoom;
    bool PrintCenter, PrintOffset, PrintAutoOrient;
    bool AllowPanning, UseThreads, DblClickClose, PersistentFS;
    bool FindCaseSensitive, FindWholeWords, FindOption3;
    QString InverseSearchCmd;

    int32_t ZoomMode; // default zoom mode of new documents (1 fit width)
    double Zoom;
    bool ZoomAuto, ZoomMenu;
    QString ZoomMenuValues;
    int32_t Rotate;
    TPageViewMode PageView;
    bool AllowScrolling, RenderAnnot, FrameLinks, ShowBookmarks, TrackBookmarks;

    bool AdobeOK;
    QString AdobeReg, AdobeExe, AdobeCmd, AdobeMenu, AdobeShortcut;
    bool AdobeInMenu, AdobeInToolbar;
    QString NewInstanceCmd;

    int32_t SavedPPI;       // pixels per inch of BookmarksWidth and WindowRect in the file
    int32_t BookmarksWidth; // in memory at the current pixels per inch
    TWindowRect WindowRect;
    bool StartMaximized, Maximized;

    bool RememberDoc;
    TRestoreOpened RestoreOpened; // whether the documents open at the end open at the start
    int32_t MaxListLen;           // capacity of the recent list
    int32_t DocListCount;
    QList<TDocInfo> DocList; // MaxListLen + 1 entries, most recent first

    // Not stored: colours used when drawing document tabs.
    std::array<int32_t, 14> TabColors;

    TPrefer(); // the defaults
    bool operator==(const TPrefer &) const = default;
};

extern TPrefer Prefer;

// The newest layout version; files of a newer one are refused.
constexpr int32_t LatestDataVersion = 21;

// Pixels per inch of the screen now: sizes are kept in memory at this density. The windows
// set it from the monitor.
extern int32_t CurrentPPI;

// Sets the defaults of the record and of the sections stored with it (the toolbar definition
// and the document manager's geometry). The colour tables are not touched.
void LoadPreferDefaults(TPrefer &p);

// Reads every value in layout order, version-aware, then mends what older layouts lacked.
// False when the file ended with an error (the caller restores the defaults).
bool ReadPrefer(TDataFile &df, TPrefer &p);

// Writes every value in the newest layout. False on a buffer error or an inconsistent list.
bool WritePrefer(TDataFile &df, TPrefer &p);

// Rounded a * b / c, halves away from zero.
int32_t MulDiv(int32_t a, int32_t b, int32_t c);
