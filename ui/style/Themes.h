#pragma once
// The application's look: the system's (mode 0), dark (1) or light (2). The dark and light
// looks are fixed palettes under the Fusion style; the system's is the palette and style in
// force when the program started, re-read when the desktop's theme changes.
#include <QPalette>
#include <QString>

#include <functional>

class QWidget;

enum class TThemeMode : int { System = 0, Dark = 1, Light = 2 };

// The logical style names: "Windows Modern Dark" for the dark theme, else the system's.
QString DarkStyleName();
QString SystemStyleName();
QString WantedStyleName(int mode);
QString ActiveStyleName();

// At start, before the program themes itself: the desktop's palette and style.
void RememberSystemLook();
// The desktop's palette again (after a theme change of the desktop); true when it differs.
bool RereadSystemLook();

QPalette DarkPalette();
QPalette LightPalette();
QPalette ThemePalette(int mode);

// Makes mode the theme of the whole application: its palette and style. Unless forced, the
// style is left alone when its logical name is already the wanted one. styledControls runs
// when the style changed (the main window's controls take it).
void ApplyThemeMode(int mode, bool force, const std::function<void()> &styledControls = {});

// The dark or light frame of a top-level window for the window manager; false without a
// native window (logged) or when the platform could not ask for it.
bool SetWindowFrame(QWidget *window, bool active);

// A dialog in the theme: dark or light colours on the form, the application style on its
// direct child controls, the frame. freeze stops drawing of a visible form meanwhile.
void ThemeForm(QWidget *form, bool freeze);
