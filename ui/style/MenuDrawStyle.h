#pragma once
// Menus drawn by the program: its colours for the dark and light looks, its item sizes, the
// accelerator drawn again in its own colour, "✓" and "●" in the gutter and "❯" for submenus
// instead of the style's arrow. Installed on the menu bar and the menus while the program
// draws its menus; every other metric is the image list style's.
#include <QColor>
#include <QProxyStyle>

class QFont;

// The colours of one item, by its state and the look.
struct TMenuItemColors {
    QColor background, text, accelerator, separator;
};
TMenuItemColors MenuItemColors(bool dark, bool selected, bool hot, bool disabled);
// The bar's background: #202020 dark, white light.
QColor MenuBarBackground(bool dark);
// The menu bar's font: the window's, made smaller until the sample fits the bar's height at ppi.
QFont MenuBarFont(const QFont &windowFont, int ppi);

class TMenuDrawStyle final : public QProxyStyle {
    Q_OBJECT
public:
    TMenuDrawStyle();

    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                           const QWidget *widget) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override;

private:
    void DrawBarItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    void DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const;
    bool Dark() const;
};
