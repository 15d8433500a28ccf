#include "ui/MainCommands.h"

#include "base/NumberParse.h"
#include "settings/PageViewMode.h"
#include "ui/DocMgrDlg.h"
#include "ui/DocumentCommands.h"
#include "ui/FileCommands.h"
#include "ui/FindCommands.h"
#include "ui/MainForm.h"
#include "ui/NavigationCommands.h"
#include "ui/PDFDocDlg.h"
#include "ui/PrintCommands.h"
#include "ui/PreferDlg.h"
#include "ui/SelectionCommands.h"
#include "ui/ShellCommands.h"
#include "ui/ThemeCommands.h"
#include "ui/ViewCommands.h"

namespace {

using E = TMenuEntry;
using F = TMainForm;

// A handler of one command group.
template <typename G>
TCommandClick on(G &(F::*group)(), void (G::*click)())
{
    return [group, click](F &form) { ((form.*group)().*click)(); };
}
TCommandClick files(void (TFileCommands::*click)()) { return on(&F::FileCommands, click); }
TCommandClick views(void (TViewCommands::*click)()) { return on(&F::ViewCommands, click); }
TCommandClick navigation(void (TNavigationCommands::*click)()) { return on(&F::NavigationCommands, click); }
TCommandClick documents(void (TDocumentCommands::*click)()) { return on(&F::DocumentCommands, click); }
TCommandClick selection(void (TSelectionCommands::*click)()) { return on(&F::SelectionCommands, click); }
TCommandClick search(void (TFindCommands::*click)()) { return on(&F::FindCommands, click); }
TCommandClick shell(void (TShellCommands::*click)()) { return on(&F::ShellCommands, click); }
TCommandClick themes(void (TThemeCommands::*click)()) { return on(&F::ThemeCommands, click); }

E item(const char *field, const char *caption, const char *shortcut, const char *image, const char *toolbar,
       TCommandClick click)
{
    E e;
    e.field = field;
    e.caption = caption;
    e.shortcut = shortcut;
    e.image = image;
    e.toolbar = toolbar;
    e.click = std::move(click);
    return e;
}

E check(E e)
{
    e.checkable = true;
    return e;
}

E radio(E e, int group, int tag = 0)
{
    e.radioGroup = group;
    e.tag = tag;
    e.checkable = true;
    return e;
}

E hidden(E e)
{
    e.visible = false;
    return e;
}

E alternate(const char *field, const char *caption, const char *shortcut, const char *of)
{
    E e = hidden(item(field, caption, shortcut, "", "", nullptr));
    e.alternateOf = of;
    return e;
}

E menu(const char *field, const char *caption) { return item(field, caption, "", "", "", nullptr); }

E marker(E::Kind kind)
{
    E e;
    e.kind = kind;
    return e;
}

const E sep = marker(E::Separator);
const E down = marker(E::Descend);
const E up = marker(E::Ascend);

std::vector<E> buildTable()
{
    return {
        menu("menuFile", "&File"),
        down,
        item("menuOpen", "&Open...", "Ctrl+O", "Open", "Open", files(&TFileCommands::menuOpenClick)),
        sep,
        item("menuSave", "&Save As...", "Ctrl+S", "Save", "Save", files(&TFileCommands::menuSaveClick)),
        sep,
        item("menuPrint", "&Print...", "Ctrl+P", "Print", "Print",
             on(&F::PrintCommands, &TPrintCommands::menuPrintClick)),
        item("menuSendMail", "Send by e-&Mail...", "", "SendMail", "SendMail",
             shell(&TShellCommands::menuSendMailClick)),
        sep,
        item("menuOpenHomeFolder", "Open &Folder...", "Shift+Ctrl+O", "Explorer", "OpenFolder",
             shell(&TShellCommands::menuOpenHomeFolderClick)),
        // Caption, shortcut and visibility come from the settings when the menu is built.
        item("menuOpenAdobe", "Open in Adobe...", "Ctrl+Alt+O", "AcroRead", "OpenAdobe",
             shell(&TShellCommands::menuOpenAdobeClick)),
        item("menuNewInstance", "Open &New Instance...", "Ctrl+Shift+N", "FileSYNC", "",
             shell(&TShellCommands::menuNewInstanceClick)),
        sep,
        item("menuDocumentProperties", "&Document Properties...", "Ctrl+F3", "DocInfo", "DocumentProperties",
             &TPDFDocDlg::Execute),
        item("menuReload", "&Reload Document", "Shift+F4", "Reload", "Reload", files(&TFileCommands::menuReloadClick)),
        item("menuClose", "&Close Document", "Ctrl+F4", "Close", "Close", files(&TFileCommands::menuCloseClick)),
        sep,
        item("menuCloseAll", "Close &All Documents", "Shift+Ctrl+F4", "CloseAll", "CloseAll",
             files(&TFileCommands::menuCloseAllClick)),
        sep,
        item("menuFileList", "Recent Files &List...", "F2", "History", "FileList",
             [](TMainForm &form) { TDocMgrDlg::Execute(form, true); }),
        up,

        menu("menuEdit", "&Edit"),
        down,
        item("menuSelAll", "Select &All", "Ctrl+A", "SelectAll", "SelAll",
             selection(&TSelectionCommands::menuSelAllClick)),
        item("menuSelPage", "Select &Page", "Shift+Ctrl+A", "SelectPage", "SelPage",
             selection(&TSelectionCommands::menuSelPageClick)),
        sep,
        item("menuCopy", "&Copy", "Ctrl+C", "Copy", "Copy", selection(&TSelectionCommands::menuCopyClick)),
        sep,
        check(item("menuMeasuringMode", "&Measuring Mode", "Ctrl+M", "", "",
                   views(&TViewCommands::menuMeasuringModeClick))),
        up,

        menu("menuSearch", "&Search"),
        down,
        item("menuFind", "&Find...", "Ctrl+F", "Find", "Find", search(&TFindCommands::menuFindClick)),
        sep,
        item("menuFindNext", "Find &Next", "F3", "FindNext", "FindNext", search(&TFindCommands::menuFindNextClick)),
        item("menuFindPrev", "Find &Previous", "Shift+F3", "FindPrevious", "FindPrev",
             search(&TFindCommands::menuFindPrevClick)),
        hidden(
            item("menuFindOpt", "Find &Options", "", "FindOpt", "FindOpt", search(&TFindCommands::menuFindOptClick))),
        sep,
        item("menuInverseSearch", "&Inverse Search...", "Ctrl+E", "FileSYNC", "",
             navigation(&TNavigationCommands::menuInverseSearchClick)),
        up,

        menu("menuGoTo", "&Goto"),
        down,
        item("menuGoToPage", "Goto &Page...", "Ctrl+G", "GotoPage", "",
             navigation(&TNavigationCommands::menuGoToPageClick)),
        sep,
        item("menuSetMark", "Set &Mark", "Shift+Ctrl+Space", "Mark", "SetMark",
             navigation(&TNavigationCommands::menuSetMarkClick)),
        item("menuGotoMark", "&Goto Mark", "Ctrl+Space", "GotoMark", "GotoMark",
             navigation(&TNavigationCommands::menuGotoMarkClick)),
        sep,
        item("menuBack", "&Back", "Alt+Left", "Previous", "Back", navigation(&TNavigationCommands::menuBackClick)),
        item("menuForward", "&Forward", "Alt+Right", "Next", "Forward",
             navigation(&TNavigationCommands::menuForwardClick)),
        sep,
        item("menuNextDoc", "&Next Doc", "Ctrl+Tab", "Right", "", documents(&TDocumentCommands::menuNextDocClick)),
        item("menuPrevDoc", "Previous &Doc", "Shift+Ctrl+Tab", "Left", "",
             documents(&TDocumentCommands::menuPrevDocClick)),
        sep,
        item("menuToggleDoc", "&Toggle Windows", "Shift+F2", "Toggle", "",
             documents(&TDocumentCommands::menuToggleDocClick)),
        up,

        menu("menuView", "&View"),
        down,
        radio(item("menuSinglePage", "&Single Page", "Ctrl+Shift+1", "", "", views(&TViewCommands::menuPageViewClick)),
              1, int(TPageViewMode::Single)),
        radio(item("menuDoublePage", "&Double Page", "Ctrl+Shift+2", "", "", views(&TViewCommands::menuPageViewClick)),
              1, int(TPageViewMode::Double)),
        radio(item("menuBookView", "Book &View", "Ctrl+Shift+3", "", "", views(&TViewCommands::menuPageViewClick)), 1,
              int(TPageViewMode::Book)),
        sep,
        check(item("menuCountiniousView", "&Continuous View", "Ctrl+Shift+C", "", "CountiniousView",
                   views(&TViewCommands::menuCountiniousViewClick))),
        sep,
        check(item("menuShowBookmarks", "Show &Bookmarks", "F4", "", "ShowBookmarks",
                   views(&TViewCommands::menuShowBookmarksClick))),
        sep,
        check(item("menuFrameLinks", "Render Link &Frames", "F6", "", "", views(&TViewCommands::menuFrameLinksClick))),
        check(item("menuRenderAnnot", "Render &Annotations", "Shift+F6", "", "",
                   views(&TViewCommands::menuRenderAnnotClick))),
        sep,
        check(
            item("menuPresentation", "&Presentation Mode", "F5", "", "", views(&TViewCommands::menuPresentationClick))),
        alternate("menuPresentationAlt", "&Presentation Mode", "Ctrl+L", "menuPresentation"),
        check(item("menuFullScreen", "Full Screen &Mode", "Shift+F5", "", "",
                   views(&TViewCommands::menuFullScreenClick))),
        alternate("menuFullScreenAlt", "&Full Screen Mode", "Shift+Ctrl+L", "menuFullScreen"),
        sep,
        item("menuRotateRight", "Rotate &Right", "Ctrl+Alt+Right", "RotateRight", "RotateRight",
             views(&TViewCommands::menuRotateRightClick)),
        item("menuRotateLeft", "Rotate &Left", "Ctrl+Alt+Left", "RotateLeft", "RotateLeft",
             views(&TViewCommands::menuRotateLeftClick)),
        up,

        menu("menuZoom", "&Zoom"),
        down,
        radio(item("menuZoomFitPage", "Fit &Page", "Ctrl+0", "", "ZoomFitPage",
                   views(&TViewCommands::menuZoomFitPageClick)),
              2),
        radio(item("menuZoomActualSize", "&Actual Size", "Ctrl+1", "", "",
                   views(&TViewCommands::menuZoomActualSizeClick)),
              2),
        radio(item("menuZoomFitWidth", "Fit &Width", "Ctrl+2", "", "ZoomFitWidth",
                   views(&TViewCommands::menuZoomFitWidthClick)),
              2),
        sep,
        radio(item("menuZoomCustom", "Custom &Zoom...", "Ctrl+Z", "", "", views(&TViewCommands::menuZoomCustomClick)),
              2),
        sep,
        item("menuZoomIn", "Zoom &in", "Alt+Up", "ZoomIn", "ZoomIn", views(&TViewCommands::menuZoomInClick)),
        item("menuZoomOut", "Zoom &out", "Alt+Down", "ZoomOut", "ZoomOut", views(&TViewCommands::menuZoomOutClick)),
        sep,
        up,

        menu("menuOptions", "&Options"),
        down,
        item("menuPreferences", "&Preferences...", "", "UserPrefs", "",
             [](F &form) { TPreferDlg::ExecuteLater(form); }),
        sep,
        check(item("menuShowToolbar", "Show Tool&bar", "", "", "", views(&TViewCommands::menuShowToolbarClick))),
        check(item("menuShowTabs", "Show Document &Tabs", "", "", "", views(&TViewCommands::menuShowTabsClick))),
        check(item("menuShowStatusLine", "Show Status &Line", "", "", "",
                   views(&TViewCommands::menuShowStatusLineClick))),
        sep,
        check(
            item("menuShowScrollbars", "Show &Scrollbars", "", "", "", views(&TViewCommands::menuShowScrollbarsClick))),
        sep,
        check(item("menuRenderToBitmap", "&Render to Bitmap", "", "", "",
                   views(&TViewCommands::menuRenderToBitmapClick))),
        sep,
        check(item("menuToggleTheme", "&Dark Theme", "F7", "", "", themes(&TThemeCommands::menuToggleThemeClick))),
        up,

        menu("menuThemes", "&Themes"),
        down,
        radio(item("menuDefaultTheme", "Default &Theme", "", "", "", themes(&TThemeCommands::menuThemeChangedClick)), 3,
              0),
        radio(item("menuDarkTheme", "&Dark Theme", "", "", "", themes(&TThemeCommands::menuThemeChangedClick)), 3, 1),
        radio(item("menuLightTheme", "&Light Theme", "", "", "", themes(&TThemeCommands::menuThemeChangedClick)), 3, 2),
        sep,
        radio(item("menuRenderNormal", "&Normal Render Mode", "", "", "",
                   themes(&TThemeCommands::menuRenderChangedClick)),
              4, 0),
        radio(item("menuInvertBrightness", "Invert &Brighness", "", "", "",
                   themes(&TThemeCommands::menuRenderChangedClick)),
              4, 1),
        radio(item("menuInvertRGB", "Invert RGB &Colors", "", "", "", themes(&TThemeCommands::menuRenderChangedClick)),
              4, 2),
        sep,
        check(item("menuColorRange", "Apply Color &Range", "", "", "", themes(&TThemeCommands::menuColorRangeClick))),
        check(item("menuGrayShades", "&Gray Shades Only", "", "", "", themes(&TThemeCommands::menuGrayShadesClick))),
        up,

        menu("menuHelp", "&Help"),
        down,
        item("menuManual", "OrvalePDF &Manual", "F1", "Help", "", files(&TFileCommands::menuManualClick)),
        sep,
        item("menuAbout", "&About OrvalePDF...", "", "FileSYNC", "", views(&TViewCommands::menuAboutClick)),
        up,
    };
}

} // namespace

const std::vector<TMenuEntry> &MainMenuTable()
{
    static const std::vector<TMenuEntry> table = buildTable();
    return table;
}

const std::vector<TPopupEntry> &PopupMenuViewTable()
{
    static const std::vector<TPopupEntry> table{
        {"OpenFolder1", "Open Folder...", "menuOpenHomeFolder"},
        {"OpeninAdobe1", "Open in Adobe...", "menuOpenAdobe"},
        {"OpenNewinstance1", "Open New instance...", "menuNewInstance"},
        {"", "", ""},
        {"DocumentProperties1", "Document Properties...", "menuDocumentProperties"},
        {"", "", ""},
        {"CopySelection1", "Copy Selection", "menuCopy"},
        {"SelectAll1", "Select All", "menuSelAll"},
        {"SelectPage1", "Select Page", "menuSelPage"},
        {"", "", ""},
        {"RotateRight1", "Rotate Right", "menuRotateRight"},
        {"RotateLeft1", "Rotate Left", "menuRotateLeft"},
        {"", "", ""},
        {"ShowBookmarks1", "Show Bookmarks", "menuShowBookmarks"},
    };
    return table;
}

QList<int> ZoomMenuPresets(const QString &values)
{
    QList<int> presets;
    qsizetype i = 0;
    const qsizetype n = values.size();
    while (true) {
        while (i < n && !(values[i] >= QLatin1Char('1') && values[i] <= QLatin1Char('9')))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && values[i].isDigit() && values[i].unicode() < 128)
            ++i;
        int value = 0;
        if (ParseInteger(values.mid(start, i - start), 5, 10000, value))
            presets << value;
    }
    return presets;
}

QString PlainCaption(const QString &caption)
{
    QString text = caption;
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1String("...")))
        text.chop(3);
    return text;
}
