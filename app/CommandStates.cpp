#include "app/CommandStates.h"

#include "engine/ZoomSteps.h"
#include "settings/Prefer.h"

#include <algorithm>
#include <stdexcept>

bool TCommandStates::Find(const QString &command, TKind kind) const
{
    const auto it = std::find_if(List.rbegin(), List.rend(),
                                 [&](const TState &s) { return s.Kind == kind && s.Command == command; });
    if (it == List.rend())
        throw std::out_of_range("no command state for " + command.toStdString());
    return it->On;
}

const char *ZoomModeCommand(TZoomMode mode)
{
    switch (mode) {
    case zfitPage: return "menuZoomFitPage";
    case zfitWidth: return "menuZoomFitWidth";
    case zActualSize: return "menuZoomActualSize";
    case zCustom: return "menuZoomCustom";
    }
    return nullptr;
}

TCommandStates CommandStates(const TEngineSnapshot &e, const TWindowFacts &window, const TPrefer &prefer)
{
    TCommandStates s;
    const bool doc = e.Document;
    const bool pages = doc && e.Pages;
    const bool exists = doc && e.FileExists;
    const int presentationState = window.PresentationState;

    // View check marks.
    s.Check("menuSinglePage", doc && e.PageView == TPageViewMode::Single);
    s.Check("menuDoublePage", doc && e.PageView == TPageViewMode::Double);
    s.Check("menuBookView", doc && e.PageView == TPageViewMode::Book);
    s.Check("menuCountiniousView", doc && e.Continuous);
    s.Check("menuShowBookmarks", doc && e.ShowBookmarks);
    s.Check("menuFrameLinks", doc && e.FrameLinks);
    s.Check("menuRenderAnnot", doc && e.RenderAnnot);
    s.Check("menuPresentation", presentationState == 2);
    s.Check("menuFullScreen", presentationState == 1);
    if (const char *zoomMode = ZoomModeCommand(e.ZoomMode); doc && zoomMode)
        s.Check(zoomMode, true);

    // Options and themes.
    s.Check("menuShowToolbar", prefer.ShowToolbar);
    s.Check("menuShowTabs", prefer.ShowTabs);
    s.Check("menuShowStatusLine", prefer.ShowStatusLine);
    s.Check("menuShowScrollbars", prefer.ShowScrollbars);
    s.Check("menuRenderToBitmap", prefer.RenderToBitmap);
    s.Check("menuToggleTheme", prefer.ThemeSelector > 0);
    s.Check("menuDefaultTheme", prefer.ThemeModeIndex == 0);
    s.Check("menuDarkTheme", prefer.ThemeModeIndex == 1);
    s.Check("menuLightTheme", prefer.ThemeModeIndex == 2);
    s.Check("menuRenderNormal", prefer.RenderModeIndex == 0);
    s.Check("menuInvertBrightness", prefer.RenderModeIndex == 1);
    s.Check("menuInvertRGB", prefer.RenderModeIndex == 2);
    s.Check("menuColorRange", prefer.blendEnabled);
    s.Check("menuGrayShades", prefer.RenderGray);

    // File.
    s.Enable("menuSave", pages);
    s.Enable("menuPrint", pages);
    s.Enable("menuSendMail", pages);
    s.Enable("menuOpenHomeFolder", doc && e.FolderExists);
    s.Enable("menuOpenAdobe", doc && prefer.AdobeOK && exists);
    s.Enable("menuNewInstance", doc && exists);
    s.Enable("menuDocumentProperties", doc);
    s.Enable("menuReload", doc && exists);
    s.Enable("menuClose", doc);
    s.Enable("menuCloseAll", doc);

    // Edit.
    s.Enable("menuSelAll", pages);
    s.Enable("menuSelPage", pages);
    s.Enable("menuCopy", doc && e.Selection);
    s.Enable("menuMeasuringMode", doc);
    s.Check("menuMeasuringMode", doc && window.Measuring);

    // Search.
    const bool findText = pages && window.FindText;
    s.Enable("menuFind", pages);
    s.Enable("menuFindNext", findText);
    s.Enable("menuFindPrev", findText);
    s.Enable("menuInverseSearch", doc && e.SyncTeX);

    // Goto.
    s.Enable("menuGoToPage", pages);
    s.Enable("menuSetMark", doc);
    s.Enable("menuGotoMark", doc && e.CanGotoMark);
    s.Enable("menuBack", doc && e.CanGoBack);
    s.Enable("menuForward", doc && e.CanGoForward);
    s.Enable("menuNextDoc", e.DocumentCount > 1);
    s.Enable("menuPrevDoc", e.DocumentCount > 1);
    s.Enable("menuToggleDoc", e.DocumentCount > 1);

    // View and Zoom: everything needs a document.
    s.ViewMenus = doc;
    s.Enable("menuPresentationAlt", doc);
    s.Enable("menuFullScreenAlt", doc);
    s.Enable("menuZoomIn", doc && e.Zoom < kMaxZoom - 0.0001);
    s.Enable("menuZoomOut", doc && e.Zoom > kMinZoom + 0.0001);

    s.ZoomBox = doc;
    s.PageBox = pages;
    s.FindBox = pages;
    return s;
}
