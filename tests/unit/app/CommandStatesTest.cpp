// The main window's command states from the engine's snapshot, the window's facts and the
// settings.
#include "app/CommandStates.h"

#include "engine/ZoomSteps.h"
#include "settings/Prefer.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

TEngineSnapshot openDocument()
{
    TEngineSnapshot s;
    s.DocumentCount = 1;
    s.Document = true;
    s.Pages = true;
    s.FileExists = true;
    s.FolderExists = true;
    s.Zoom = 100;
    s.ZoomMode = zfitWidth;
    return s;
}

} // namespace

// Without a document only what needs none is open; the boxes and the View and Zoom menus are
// closed and no view mark is set.
TEST(CommandStates, WithoutADocument)
{
    TPrefer prefer;
    const TCommandStates s = CommandStates(TEngineSnapshot(), TWindowFacts(), prefer);
    for (const char *command :
         {"menuSave", "menuPrint", "menuReload", "menuClose", "menuCloseAll", "menuGoToPage", "menuSetMark", "menuBack",
          "menuNextDoc", "menuMeasuringMode", "menuZoomIn", "menuOpenAdobe", "menuInverseSearch", "menuFind"})
        EXPECT_FALSE(s.IsEnabled(command)) << command;
    for (const char *command : {"menuSinglePage", "menuCountiniousView", "menuShowBookmarks", "menuFrameLinks"})
        EXPECT_FALSE(s.IsChecked(command)) << command;
    EXPECT_THROW(s.IsChecked("menuZoomFitWidth"), std::out_of_range) << "no zoom mode is marked";
    EXPECT_FALSE(s.ViewMenus);
    EXPECT_FALSE(s.PageBox);
    EXPECT_FALSE(s.ZoomBox);
    EXPECT_FALSE(s.FindBox);
}

// One change of the snapshot, one command that follows it.
TEST(CommandStates, EachCommandFollowsItsPartOfTheSnapshot)
{
    struct Case {
        const char *command;
        std::function<void(TEngineSnapshot &, TWindowFacts &, TPrefer &)> change;
        bool before, after;
    };
    const Case cases[] = {
        {"menuSave", [](auto &e, auto &, auto &) { e.Pages = false; }, true, false},
        {"menuReload", [](auto &e, auto &, auto &) { e.FileExists = false; }, true, false},
        {"menuNewInstance", [](auto &e, auto &, auto &) { e.FileExists = false; }, true, false},
        {"menuOpenHomeFolder", [](auto &e, auto &, auto &) { e.FolderExists = false; }, true, false},
        {"menuOpenAdobe", [](auto &, auto &, auto &p) { p.AdobeOK = true; }, false, true},
        {"menuInverseSearch", [](auto &e, auto &, auto &) { e.SyncTeX = true; }, false, true},
        {"menuFindNext", [](auto &, auto &w, auto &) { w.FindText = true; }, false, true},
        {"menuCopy", [](auto &e, auto &, auto &) { e.Selection = true; }, false, true},
        {"menuGotoMark", [](auto &e, auto &, auto &) { e.CanGotoMark = true; }, false, true},
        {"menuBack", [](auto &e, auto &, auto &) { e.CanGoBack = true; }, false, true},
        {"menuForward", [](auto &e, auto &, auto &) { e.CanGoForward = true; }, false, true},
        {"menuToggleDoc", [](auto &e, auto &, auto &) { e.DocumentCount = 2; }, false, true},
        {"menuZoomIn", [](auto &e, auto &, auto &) { e.Zoom = kMaxZoom; }, true, false},
        {"menuZoomOut", [](auto &e, auto &, auto &) { e.Zoom = kMinZoom; }, true, false},
        {"menuZoomOut", [](auto &e, auto &, auto &) { e.Zoom = kMinZoom + 0.01; }, true, true},
        {"menuGoToPage", [](auto &e, auto &, auto &) { e.Pages = false; }, true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        TEngineSnapshot engine = openDocument();
        TWindowFacts window;
        TPrefer prefer;
        prefer.AdobeOK = false;
        EXPECT_EQ(CommandStates(engine, window, prefer).IsEnabled(c.command), c.before);
        c.change(engine, window, prefer);
        EXPECT_EQ(CommandStates(engine, window, prefer).IsEnabled(c.command), c.after);
    }
}

// The marks of the view and the options follow the document and the settings.
TEST(CommandStates, CheckMarks)
{
    struct Case {
        const char *command;
        std::function<void(TEngineSnapshot &, TWindowFacts &, TPrefer &)> set;
    };
    const Case cases[] = {
        {"menuDoublePage", [](auto &e, auto &, auto &) { e.PageView = TPageViewMode::Double; }},
        {"menuBookView", [](auto &e, auto &, auto &) { e.PageView = TPageViewMode::Book; }},
        {"menuCountiniousView", [](auto &e, auto &, auto &) { e.Continuous = true; }},
        {"menuFrameLinks", [](auto &e, auto &, auto &) { e.FrameLinks = true; }},
        {"menuRenderAnnot", [](auto &e, auto &, auto &) { e.RenderAnnot = true; }},
        {"menuMeasuringMode", [](auto &, auto &w, auto &) { w.Measuring = true; }},
        {"menuZoomActualSize", [](auto &e, auto &, auto &) { e.ZoomMode = zActualSize; }},
        {"menuShowToolbar", [](auto &, auto &, auto &p) { p.ShowToolbar = true; }},
        {"menuDarkTheme", [](auto &, auto &, auto &p) { p.ThemeModeIndex = 1; }},
        {"menuInvertRGB", [](auto &, auto &, auto &p) { p.RenderModeIndex = 2; }},
        {"menuGrayShades", [](auto &, auto &, auto &p) { p.RenderGray = true; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.command);
        TEngineSnapshot engine = openDocument();
        engine.PageView = TPageViewMode::Single;
        engine.Continuous = false;
        TWindowFacts window;
        TPrefer prefer;
        prefer.ShowToolbar = false;
        prefer.ThemeModeIndex = 0;
        prefer.RenderModeIndex = 0;
        prefer.RenderGray = false;
        c.set(engine, window, prefer);
        EXPECT_TRUE(CommandStates(engine, window, prefer).IsChecked(c.command));
    }
    EXPECT_TRUE(CommandStates(openDocument(), TWindowFacts(), TPrefer()).IsChecked("menuSinglePage"));
    EXPECT_TRUE(CommandStates(openDocument(), TWindowFacts(), TPrefer()).IsChecked("menuZoomFitWidth"));
}

// A command without a state is an error, not a silent "off".
TEST(CommandStates, AnUnknownCommandIsAnError)
{
    const TCommandStates s = CommandStates(openDocument(), TWindowFacts(), TPrefer());
    EXPECT_THROW(s.IsEnabled("menuSaev"), std::out_of_range);
    EXPECT_THROW(s.IsChecked("menuSave"), std::out_of_range) << "enabled is not checked";
    EXPECT_THROW(s.IsEnabled(""), std::out_of_range);
}

TEST(CommandStates, ZoomModeCommands)
{
    EXPECT_STREQ(ZoomModeCommand(zfitPage), "menuZoomFitPage");
    EXPECT_STREQ(ZoomModeCommand(zfitWidth), "menuZoomFitWidth");
    EXPECT_STREQ(ZoomModeCommand(zActualSize), "menuZoomActualSize");
    EXPECT_STREQ(ZoomModeCommand(zCustom), "menuZoomCustom");
    EXPECT_EQ(ZoomModeCommand(TZoomMode(4)), nullptr);
    const TCommandStates damaged = [] {
        TEngineSnapshot e = openDocument();
        e.ZoomMode = TZoomMode(4);
        return CommandStates(e, TWindowFacts(), TPrefer());
    }();
    for (const char *command : {"menuZoomFitPage", "menuZoomFitWidth", "menuZoomActualSize", "menuZoomCustom"})
        EXPECT_THROW(damaged.IsChecked(command), std::out_of_range) << command;
}
