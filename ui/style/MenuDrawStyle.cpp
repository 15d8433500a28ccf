#include "ui/style/MenuDrawStyle.h"

#include "settings/Prefer.h"
#include "ui/ColorBlend.h"
#include "ui/style/DarkFlag.h"
#include "ui/style/ImageListStyle.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <cmath>

namespace {

const QString kArrow = QStringLiteral("\u276F");
const QString kCheck = QStringLiteral("\u2713");
const QString kRadio = QStringLiteral("\u25CF");

// p % of b mixed into a.
QColor Mix(const QColor &a, const QColor &b, int p) { return BlendColors(a, 100 - p, b, p); }

int Ppi() { return CurrentPPI > 0 ? CurrentPPI : 96; }

QString Caption(const QString &text) { return text.left(text.indexOf(QLatin1Char('\t'))); }
QString ShortcutText(const QString &text)
{
    const int tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab + 1);
}
QString WithoutAmpersands(QString caption)
{
    // "&&" stands for one "&"; a single "&" marks the accelerator.
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        else if (caption[i] == QLatin1Char('&'))
            continue;
        out += caption[i];
    }
    return out;
}
// The accelerator's position in the caption without ampersands; -1 for none.
int AcceleratorIndex(const QString &caption)
{
    int plain = 0;
    for (int i = 0; i < caption.size(); ++i, ++plain) {
        if (caption[i] != QLatin1Char('&'))
            continue;
        if (i + 1 >= caption.size())
            return -1;
        if (caption[i + 1] != QLatin1Char('&'))
            return plain;
        ++i;
    }
    return -1;
}

// The caption, with its accelerator drawn again underlined in its own colour unless the
// desktop hides accelerators.
void DrawCaption(QPainter *painter, const QPoint &at, const QString &caption, const QColor &text,
                 const QColor &accelerator, bool underline)
{
    const QString plain = WithoutAmpersands(caption);
    const QFontMetrics fm(painter->font());
    painter->setPen(text);
    painter->drawText(at.x(), at.y() + fm.ascent(), plain);
    const int acc = AcceleratorIndex(caption);
    if (!underline || acc < 0 || acc >= plain.size())
        return;
    QFont f = painter->font();
    f.setUnderline(true);
    painter->save();
    painter->setFont(f);
    painter->setPen(accelerator);
    painter->drawText(at.x() + fm.horizontalAdvance(plain.left(acc)), at.y() + fm.ascent(), plain.mid(acc, 1));
    painter->restore();
}

} // namespace

TMenuItemColors MenuItemColors(bool dark, bool selected, bool hot, bool disabled)
{
    TMenuItemColors c;
    const QColor white(Qt::white), black(Qt::black);
    c.text = dark ? QColor(0xF0F0D0) : QColor(0x404040);
    c.accelerator = disabled ? c.text : Mix(c.text, dark ? QColor(0xB0FFA0) : QColor(0x00FF00), 10);
    const auto state = [&](const QColor &v) {
        QColor r = v;
        if (selected)
            r = Mix(r, dark ? white : black, 90);
        else if (hot)
            r = Mix(r, dark ? white : black, 80);
        if (disabled)
            r = dark ? Mix(r, black, 20) : Mix(r, white, 30);
        return r;
    };
    c.separator = dark ? Mix(c.text, black, 60) : Mix(c.text, white, 80);
    c.text = state(c.text);
    c.accelerator = state(c.accelerator);
    const QColor hotBack = dark ? Mix(QColor(0x202020), QColor(0x4080FF), 60) : QColor(0xE0F3FF);
    const QColor selectedBack = dark ? Mix(hotBack, QColor(0x4080FF), 70) : QColor(0xB8D6EF);
    c.background = MenuBarBackground(dark);
    if (selected || hot) {
        c.background = selected ? selectedBack : hotBack;
        if (disabled)
            c.background = dark ? Mix(c.background, black, 30) : QColor(0xE4E7E9);
    }
    return c;
}

QColor MenuBarBackground(bool dark) { return dark ? QColor(0x202020) : QColor(Qt::white); }

QFont MenuBarFont(const QFont &windowFont, int ppi)
{
    QFont f = windowFont;
    const int limit = (20 * ppi + 48) / 96 - 1;
    int size = f.pixelSize() > 0 ? f.pixelSize() : QFontMetrics(f).height();
    f.setPixelSize(size);
    while (size > 8 && QFontMetrics(f).boundingRect(QStringLiteral("|A|;^_")).height() >= limit)
        f.setPixelSize(--size);
    return f;
}

TMenuDrawStyle::TMenuDrawStyle() : QProxyStyle(new TImageListStyle) {}

bool TMenuDrawStyle::Dark() const { return DarkFlag(); }

QSize TMenuDrawStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &size,
                                       const QWidget *widget) const
{
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!mi || (type != CT_MenuItem && type != CT_MenuBarItem))
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const int p = Ppi();
    if (type == CT_MenuBarItem) {
        const QFontMetrics fm(MenuBarFont(mi->font, p));
        const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        return QSize(fm.horizontalAdvance(WithoutAmpersands(mi->text)) + 2 + 2 * (p / 16), base.height());
    }
    if (mi->menuItemType == QStyleOptionMenuItem::Separator)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    QFont font = mi->font;
    if (mi->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    const QFontMetrics fm(font);
    QString text = WithoutAmpersands(Caption(mi->text));
    const QString shortcut = ShortcutText(mi->text);
    if (!shortcut.isEmpty())
        text += QStringLiteral("  ") + shortcut;
    text += QLatin1Char(' ') + kArrow;
    // Every item of a menu has the gutter of the widest image, so that captions line up.
    const int gutter = std::max({mi->maxIconWidth, fm.horizontalAdvance(QStringLiteral("  ")),
                                 fm.horizontalAdvance(kCheck), fm.horizontalAdvance(kRadio)})
        + fm.horizontalAdvance(QStringLiteral("    "));
    const int arrow = fm.horizontalAdvance(kArrow + QStringLiteral("    "));
    const int iconHeight = mi->icon.isNull() ? 0 : pixelMetric(PM_SmallIconSize, option, widget);
    const int h = std::max(fm.height(), iconHeight);
    return QSize(gutter + arrow + fm.horizontalAdvance(text), int(std::lround(h * 1.2 + 2.0 * p / 96)));
}

void TMenuDrawStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                   const QWidget *widget) const
{
    switch (element) {
    case PE_PanelMenu:
    case PE_PanelMenuBar: painter->fillRect(option->rect, MenuBarBackground(Dark())); return;
    case PE_FrameMenu: {
        painter->save();
        painter->setPen(MenuItemColors(Dark(), false, false, false).separator);
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
        return;
    }
    default: QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void TMenuDrawStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                 const QWidget *widget) const
{
    switch (element) {
    case CE_MenuBarEmptyArea: painter->fillRect(option->rect, MenuBarBackground(Dark())); return;
    case CE_MenuBarItem: DrawBarItem(option, painter, widget); return;
    case CE_MenuItem: DrawMenuItem(option, painter, widget); return;
    case CE_MenuEmptyArea: painter->fillRect(option->rect, MenuBarBackground(Dark())); return;
    default: QProxyStyle::drawControl(element, option, painter, widget);
    }
}

void TMenuDrawStyle::DrawBarItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!mi)
        return;
    const bool dark = Dark();
    const bool selected = mi->state & State_Sunken;
    const bool hot = !selected && (mi->state & State_Selected);
    const bool disabled = !(mi->state & State_Enabled);
    TMenuItemColors c = MenuItemColors(dark, selected, hot, disabled);
    if (widget && !widget->isActiveWindow()) {
        c.text = dark ? Mix(c.text, Qt::black, 20) : Mix(c.text, Qt::white, 25);
        c.accelerator = c.text;
    }
    painter->save();
    painter->fillRect(mi->rect, c.background);
    painter->setFont(MenuBarFont(mi->font, Ppi()));
    const QFontMetrics fm(painter->font());
    const QString caption = mi->text;
    const int w = fm.horizontalAdvance(WithoutAmpersands(caption));
    const QRect r = mi->rect;
    const QPoint at(r.left() + (r.width() - w + 1) / 2, r.top() + (r.height() - fm.height() - 1) / 2);
    DrawCaption(painter, at, caption, c.text, c.accelerator, styleHint(SH_UnderlineShortcut, option, widget));
    painter->restore();
}

void TMenuDrawStyle::DrawMenuItem(const QStyleOption *option, QPainter *painter, const QWidget *widget) const
{
    const auto *mi = qstyleoption_cast<const QStyleOptionMenuItem *>(option);
    if (!mi)
        return;
    const int p = Ppi();
    const bool dark = Dark();
    const bool selected = mi->state & State_Selected;
    const bool disabled = !(mi->state & State_Enabled);
    const TMenuItemColors c = MenuItemColors(dark, selected, false, disabled);
    const QRect r = mi->rect;
    painter->save();
    painter->fillRect(r, c.background);
    if (mi->menuItemType == QStyleOptionMenuItem::Separator) {
        const int thick = std::max(1, p / 96);
        painter->fillRect(QRect(r.left(), r.top() + (r.height() - thick) / 2, r.width(), thick), c.separator);
        painter->restore();
        return;
    }
    QFont font = mi->font;
    if (mi->menuItemType == QStyleOptionMenuItem::DefaultItem)
        font.setBold(true);
    painter->setFont(font);
    const QFontMetrics fm(font);
    const int y = r.top() + (r.height() - fm.height() - p / 96 - 1) / 2;
    const int gutterMark = std::max({mi->maxIconWidth, fm.horizontalAdvance(QStringLiteral("  ")),
                                     fm.horizontalAdvance(kCheck), fm.horizontalAdvance(kRadio)});
    const int gutter = gutterMark + fm.horizontalAdvance(QStringLiteral("    "));
    const QRect gutterRect(r.left(), r.top(), gutter, r.height());
    if (mi->checked && mi->checkType != QStyleOptionMenuItem::NotCheckable) {
        const QString mark = mi->checkType == QStyleOptionMenuItem::Exclusive ? kRadio : kCheck;
        painter->setPen(c.text);
        painter->drawText(gutterRect, Qt::AlignCenter, mark);
    } else if (!mi->icon.isNull()) {
        const int size = pixelMetric(PM_SmallIconSize, option, widget);
        const QPixmap pm = mi->icon.pixmap(QSize(size, size), disabled ? QIcon::Disabled : QIcon::Normal);
        const QPoint at(gutterRect.left() + (gutterRect.width() - pm.width()) / 2,
                        gutterRect.top() + (gutterRect.height() - pm.height()) / 2);
        painter->drawPixmap(at, pm);
    }
    DrawCaption(painter, QPoint(r.left() + gutter, y), Caption(mi->text), c.text, c.accelerator,
                styleHint(SH_UnderlineShortcut, option, widget));
    const int arrowColumn = fm.horizontalAdvance(kArrow + QStringLiteral("    "));
    const QString shortcut = ShortcutText(mi->text);
    if (!shortcut.isEmpty()) {
        painter->setPen(c.text);
        painter->drawText(QRect(r.left(), y, r.width() - arrowColumn, fm.height()), Qt::AlignRight | Qt::AlignTop,
                          shortcut);
    }
    if (mi->menuItemType == QStyleOptionMenuItem::SubMenu) {
        painter->setPen(c.text);
        const QRect column(r.right() + 1 - arrowColumn, r.top(), arrowColumn, r.height() - 15 * p / 960);
        painter->drawText(column, Qt::AlignCenter, kArrow);
    }
    painter->restore();
}
