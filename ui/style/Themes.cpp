#include "ui/style/Themes.h"

#include "base/DebugLog.h"
#include "platform/SystemLook.h"
#include "settings/Colors.h"
#include "settings/Prefer.h"
#include "ui/style/DarkFlag.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <QWindow>

namespace {

QPalette systemPalette;
QString systemStyleKey;
QString activeStyle = QStringLiteral("Windows");

// One palette from the few colours a look is made of.
struct TLook {
    QColor window, windowText, base, text, button, buttonText, highlight, highlightedText, dark, disabledText;
};

QPalette PaletteOf(const TLook &l)
{
    QPalette p(l.button, l.window);
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = g == QPalette::Disabled;
        p.setColor(g, QPalette::Window, l.window);
        p.setColor(g, QPalette::WindowText, off ? l.disabledText : l.windowText);
        p.setColor(g, QPalette::Base, l.base);
        p.setColor(g, QPalette::AlternateBase, l.window);
        p.setColor(g, QPalette::Text, off ? l.disabledText : l.text);
        p.setColor(g, QPalette::Button, l.button);
        p.setColor(g, QPalette::ButtonText, off ? l.disabledText : l.buttonText);
        p.setColor(g, QPalette::Highlight, l.highlight);
        p.setColor(g, QPalette::HighlightedText, l.highlightedText);
        p.setColor(g, QPalette::Dark, l.dark);
        p.setColor(g, QPalette::ToolTipBase, l.base);
        p.setColor(g, QPalette::ToolTipText, l.text);
        p.setColor(g, QPalette::PlaceholderText, l.disabledText);
        p.setColor(g, QPalette::BrightText, l.highlightedText);
    }
    return p;
}

QString StyleKeyFor(int mode) { return mode == 0 ? systemStyleKey : QStringLiteral("fusion"); }

} // namespace

QString DarkStyleName() { return QStringLiteral("Windows Modern Dark"); }
QString SystemStyleName() { return QStringLiteral("Windows"); }
QString WantedStyleName(int mode) { return mode == 1 ? DarkStyleName() : SystemStyleName(); }
QString ActiveStyleName() { return activeStyle; }

void RememberSystemLook()
{
    systemPalette = pl::systemLook().systemPalette();
    systemStyleKey = QApplication::style() ? QApplication::style()->name() : QStringLiteral("fusion");
    RememberSystemPalette(systemPalette);
}

bool RereadSystemLook()
{
    const QPalette now = pl::systemLook().systemPalette();
    const bool changed = now != systemPalette;
    systemPalette = now;
    RememberSystemPalette(now);
    return changed;
}

QPalette DarkPalette()
{
    // The dark menus' background and text, the dark frames' caption for the selection.
    return PaletteOf({QColor(0x202020), QColor(0xF0F0F0), QColor(Qt::black), QColor(0xF0F0F0), QColor(0x282828),
                      QColor(0xE0E0E0), QColor(0x3B4861), QColor(0xF4F4F4), QColor(Qt::black), QColor(0x808080)});
}

QPalette LightPalette()
{
    return PaletteOf({QColor(0xFFFFFF), QColor(0x242424), QColor(0xFFFFFF), QColor(0x242424), QColor(0xF0F0F0),
                      QColor(0x222222), QColor(0x6B7891), QColor(0xF8F8F8), QColor(0xC0C0C0), QColor(0x808080)});
}

QPalette ThemePalette(int mode)
{
    switch (mode) {
    case 1: return DarkPalette();
    case 2: return LightPalette();
    default: return systemPalette;
    }
}

void ApplyThemeMode(int mode, bool force, const std::function<void()> &styledControls)
{
    Prefer.ThemeModeIndex = mode;
    // The look of the process: the style key and the palette of the mode.
    const QString key = StyleKeyFor(mode);
    if (QApplication::style() && QApplication::style()->name().compare(key, Qt::CaseInsensitive) != 0)
        QApplication::setStyle(QStyleFactory::create(key));
    if (QApplication::palette() != ThemePalette(mode))
        QApplication::setPalette(ThemePalette(mode));
    const QString wanted = WantedStyleName(mode);
    if (!force && activeStyle == wanted)
        return;
    activeStyle = wanted;
    if (styledControls)
        styledControls();
}

bool SetWindowFrame(QWidget *window, bool active)
{
    Q_UNUSED(active); // the frame colours of active and inactive windows are the window manager's
    QWindow *handle = window ? window->windowHandle() : nullptr;
    if (!handle) {
        DebugLog(QStringLiteral("Window Attributes: Handle ") + QString::number(quintptr(window), 16));
        return false;
    }
    return pl::systemLook().setThemeVariant(handle, DarkFlag());
}

void ThemeForm(QWidget *form, bool freeze)
{
    if (!form) {
        DebugLog(QStringLiteral("Form Style: Sender ..."));
        return;
    }
    const bool frozen = freeze && form->isVisible() && form->updatesEnabled();
    if (frozen)
        form->setUpdatesEnabled(false);
    const bool dark = DarkFlag();
    QPalette p = form->palette();
    // Light: the button face and window text of the theme in force, which in the light theme
    // are not the (possibly dark) desktop's.
    const QPalette theme = ThemePalette(Prefer.ThemeModeIndex);
    const QColor back = dark ? QColor(Qt::black) : theme.color(QPalette::Button);
    const QColor text = dark ? QColor(0xF0F0F0) : theme.color(QPalette::WindowText);
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, text);
    form->setPalette(p);
    form->setAutoFillBackground(true);
    SetWindowFrame(form, form->isActiveWindow());
    if (frozen)
        form->setUpdatesEnabled(true);
}
