#pragma once
// The names of the interface's pictures, one PNG file each in Resources/PNGImages (and its HC
// folder): the command images of the menus, the images the default toolbar names, the
// document states of the tabs, and those of the lists and dialogs.
#include <array>

inline constexpr std::array<const char *, 54> ImageNames{
    // Commands.
    "Open", "Save", "Print", "SendMail", "Explorer", "AcroRead", "FileSYNC", "DocInfo", "Reload", "Close", "CloseAll",
    "History", "SelectAll", "SelectPage", "Copy", "Find", "FindNext", "FindPrevious", "FindOpt", "GotoPage", "Mark",
    "GotoMark", "Previous", "Next", "Right", "Left", "Toggle", "RotateRight", "RotateLeft", "ZoomIn", "ZoomOut",
    "UserPrefs", "Help",
    // The default toolbar's own.
    "Bookmark", "ContView", "FitWidth", "FitPage",
    // Document states.
    "Doc", "DocPdf", "DocSync", "DocErr", "DocMod", "DocLocked", "DocLockedMod", "DocGone",
    // Lists and dialogs.
    "Files", "Expand", "Collapse", "Sort", "SortInv", "Delete", "Recycle", "ClearHistory", "Key"};
