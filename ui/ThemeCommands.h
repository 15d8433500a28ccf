#pragma once
// The theme of the main window and everything it owns: switching between the system's look,
// dark and light (F7, the Themes menu), the render modes of the pages, and the colours of the
// interface colour table applied to the window's parts.
#include "ui/style/DialogTheming.h"

#include <QColor>

#include <array>
#include <functional>

class TMainForm;
class QAbstractItemView;
class QWidget;

// Gives widget's role the colour (an invalid colour leaves the palette's own) and lets the
// widget fill its background with it. The one way the windows take a colour of the theme.
void PaintRole(QWidget *widget, int role, const QColor &color);
// The tree and list colours of the interface colour table on a view: background, text.
void ApplyTreeColors(QAbstractItemView *view);

class TThemeCommands {
public:
    explicit TThemeCommands(TMainForm &form);

    // F7: the other of the two stored themes with its render mode, gray and colour range.
    void menuToggleThemeClick();
    // Themes menu: the theme (tag 0 system, 1 dark, 2 light) and the render mode items; the
    // colour range and gray switches.
    void menuThemeChangedClick();
    void menuRenderChangedClick();
    void menuColorRangeClick();
    void menuGrayShadesClick();

    // The current theme mode on the application; the window's controls follow a style change.
    void ApplyTheme(bool force);
    // The interface colours of the current theme on every part of the window.
    void UpdateColors();
    void UpdateStyledControls();
    // The Themes menu's visibility and checks.
    void CheckThemesMenu();
    // The owner-drawn menus while customDraw or themed.
    void EnableOwnerDrawnMenus(bool customDraw, bool themed);
    // After the desktop's theme changed: its palette again and every part rebuilt.
    void SystemThemeRefresh();

    bool Dark() const { return FDark; }

private:
    // Runs work with the window's drawing frozen and repaints the page view afterwards.
    void Frozen(const std::function<void()> &work);
    void RepaintPageView();
    void SwitchTheme(); // theme mode of the running command, with everything that follows it

    TMainForm &Form;
    TDialogTheming DialogTheming;
    bool FDark = false;
    bool ColorsApplied = false;
    std::array<QColor, 14> TreeColors;
};
