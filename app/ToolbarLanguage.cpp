#include "app/ToolbarLanguage.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ascii(QChar c) { return c.unicode(); }

// Blanks and control characters end a name.
bool isSpace(QChar c) { return ascii(c) <= 32; }

// The quoted string that starts after position from: its text, and where the search for the
// next one goes on; a missing closing quote takes the rest of the line.
std::optional<QString> quoted(const QString &line, qsizetype &from)
{
    const qsizetype open = line.indexOf(u'"', from);
    if (open < 0)
        return std::nullopt;
    qsizetype close = line.indexOf(u'"', open + 1);
    if (close < 0)
        close = line.size();
    from = close + 1;
    return line.mid(open + 1, close - open - 1);
}

} // namespace

const QStringList &TToolbarLanguage::CommandNames()
{
    static const QStringList names{
        QStringLiteral("Open"),
        QStringLiteral("Reload"),
        QStringLiteral("Save"),
        QStringLiteral("Close"),
        QStringLiteral("CloseAll"),
        QStringLiteral("Print"),
        QStringLiteral("SendMail"),
        QStringLiteral("OpenFolder"),
        QStringLiteral("OpenAdobe"),
        QStringLiteral("DocumentProperties"),
        QStringLiteral("FileList"),
        QStringLiteral("SelAll"),
        QStringLiteral("SelPage"),
        QStringLiteral("Copy"),
        QStringLiteral("Find"),
        QStringLiteral("FindNext"),
        QStringLiteral("FindPrev"),
        QStringLiteral("FindOpt"),
        QStringLiteral("SetMark"),
        QStringLiteral("GotoMark"),
        QStringLiteral("Back"),
        QStringLiteral("Forward"),
        QStringLiteral("CountiniousView"),
        QStringLiteral("ShowBookmarks"),
        QStringLiteral("RotateRight"),
        QStringLiteral("RotateLeft"),
        QStringLiteral("ZoomFitWidth"),
        QStringLiteral("ZoomFitPage"),
        QStringLiteral("ZoomIn"),
        QStringLiteral("ZoomOut"),
    };
    return names;
}

const QStringList &TToolbarLanguage::ControlNames()
{
    // In the order of TToolbarControl.
    static const QStringList names{QStringLiteral("PageLabel"),  QStringLiteral("PageGoto"),
                                   QStringLiteral("PageCount"),  QStringLiteral("ZoomLabel"),
                                   QStringLiteral("Zoom"),       QStringLiteral("FindLabel"),
                                   QStringLiteral("FindString"), QStringLiteral("FoundCount")};
    return names;
}

std::optional<TToolbarControl> TToolbarLanguage::ControlOf(const QString &name)
{
    const qsizetype i = ControlNames().indexOf(name);
    return i < 0 ? std::nullopt : std::optional(TToolbarControl(i));
}

std::optional<TXToolbarItem> TToolbarLanguage::ParseItem(const QString &line, const TToolbarLog &log)
{
    TXToolbarItem item;
    item.fltprior = item.priority = line[0].unicode() - '0';
    qsizetype i = 1;
    if (line.size() >= 3) {
        // The second character is always the flag: "9Open" has flag O and name "pen".
        if (line[1] != u' ')
            item.flt = line[1];
        i = 2;
    }
    while (i < line.size() && isSpace(line[i]))
        ++i;
    qsizetype end = i;
    while (end < line.size() && !isSpace(line[end]))
        ++end;
    item.name = line.mid(i, end - i);
    if (item.name.isEmpty()) {
        log(QStringLiteral("No Name in Toolbar Line: ") + line);
        return std::nullopt;
    }
    if (const auto control = ControlOf(item.name)) {
        item.xtype = TToolbarItemKind::Control;
        item.control = *control;
    } else if (!CommandNames().contains(item.name)) {
        return std::nullopt;
    }
    qsizetype from = end;
    if (const auto extra = quoted(line, from)) {
        item.extra = *extra;
        item.hasExtra = true;
        if (const auto caption = quoted(line, from)) {
            item.caption = *caption;
            item.hasCaption = true;
        }
    }
    return item;
}

std::vector<TXToolbarItem> TToolbarLanguage::Compile(const QStringList &lines, const TToolbarLog &log)
{
    std::vector<TXToolbarItem> items;
    const auto append = [&](TXToolbarItem item) {
        if (int(items.size()) >= MaxItems) {
            log(QStringLiteral("Too many toolbar items!"));
            return;
        }
        items.push_back(std::move(item));
    };
    for (const QString &line : lines) {
        if (line.isEmpty())
            continue;
        const QChar first = line[0];
        if (first >= u'0' && first <= u'9') {
            if (auto item = ParseItem(line, log))
                append(std::move(*item));
        } else if (first == u'|') {
            if (items.empty() || items.back().xtype != TToolbarItemKind::Separator) {
                TXToolbarItem separator;
                separator.xtype = TToolbarItemKind::Separator;
                separator.name = QStringLiteral("|");
                append(std::move(separator));
            }
        } else if (first != u';') {
            log(QStringLiteral("Toolbar! IgnoredLine Line: ") + line);
        }
    }
    return items;
}

bool TToolbarLanguage::FixPriority(std::vector<TXToolbarItem> &items, bool searchToolbar, bool adobeInToolbar)
{
    bool flagged = false;
    for (TXToolbarItem &item : items) {
        if (ascii(item.flt) <= 32)
            continue;
        flagged = true;
        std::optional<bool> shown;
        switch (ascii(item.flt)) {
        case 'S': shown = searchToolbar; break;
        case 's': shown = !searchToolbar; break;
        case 'A': shown = adobeInToolbar; break;
        case 'a': shown = !adobeInToolbar; break;
        default: break;
        }
        if (shown)
            item.priority = *shown ? item.fltprior : -1;
    }
    return flagged;
}

namespace {

// The row at one threshold: the right end, and each shown item's left edge when asked.
int rowAt(const std::vector<TXToolbarItem> &items, const TToolbarMetrics &m, int threshold,
          std::vector<std::optional<int>> *left)
{
    const int P = m.ppi;
    const int L = 2 * P / 96 - 1;
    const int A = (68 + 2 * P) / 96;
    const int C = (68 + P) / 96;
    int x = L;
    std::optional<TToolbarItemKind> previous;
    std::optional<size_t> lastSeparator;
    if (left)
        left->assign(items.size(), std::nullopt);
    for (size_t i = 0; i < items.size(); ++i) {
        const TXToolbarItem &item = items[i];
        // A separator has no level of its own: its neighbours decide.
        if (item.xtype != TToolbarItemKind::Separator && (item.priority < 0 || item.priority < threshold))
            continue;
        int at = 0;
        switch (item.xtype) {
        case TToolbarItemKind::Button:
            if (previous == TToolbarItemKind::Control)
                x += A;
            else if (previous == TToolbarItemKind::Button)
                x += 2 + (item.hasExtra ? C : 0);
            at = x;
            x += m.buttonWidth;
            break;
        case TToolbarItemKind::Separator:
            if (!previous || previous == TToolbarItemKind::Separator)
                continue;
            at = x + A + 1;
            x += 2 * A + 3;
            lastSeparator = i;
            break;
        case TToolbarItemKind::Control:
            if (previous == TToolbarItemKind::Control)
                x += A + C + 1;
            else if (previous == TToolbarItemKind::Separator)
                x += 2;
            else if (previous == TToolbarItemKind::Button)
                x += A;
            at = x;
            x += i < m.controlWidths.size() ? m.controlWidths[i] : 0;
            break;
        }
        previous = item.xtype;
        if (left)
            (*left)[i] = at;
    }
    if (previous == TToolbarItemKind::Separator) {
        x -= 2 * A + 3;
        if (left)
            (*left)[*lastSeparator] = std::nullopt;
    }
    return x;
}

} // namespace

TToolbarPlacement TrimToolbarItems(std::vector<TXToolbarItem> &items, const TToolbarMetrics &metrics)
{
    const int L = 2 * metrics.ppi / 96 - 1;
    TToolbarPlacement placement;
    for (placement.threshold = 0; placement.threshold < 9; ++placement.threshold)
        if (rowAt(items, metrics, placement.threshold, nullptr) <= metrics.stripWidth - L - 1)
            break;
    placement.rowWidth = rowAt(items, metrics, placement.threshold, &placement.left);
    for (size_t i = 0; i < items.size(); ++i)
        items[i].vis = placement.left[i].has_value();
    return placement;
}

TToolbarGeometry TToolbarGeometry::Of(int ppi, int toolbarHeight, int largeIcons, int textHeight, int imageWidth)
{
    const auto rounded = [ppi](int n) { return int(std::lround(double(n) * ppi / 96.0)); };
    int a = (68 + toolbarHeight * ppi) / 96;
    a = std::max(a, textHeight + rounded(6));
    const int c = (68 + largeIcons * ppi) / 96 + rounded(4);
    TToolbarGeometry g;
    g.stripHeight = std::max(a, c);
    const int m = 2 * ppi / 96;
    g.buttonTop = m - 1;
    g.buttonHeight = g.stripHeight - 2 * m;
    g.buttonWidth = g.buttonHeight + m + 1;
    g.buttonWidth += g.buttonWidth % 2;
    if (g.buttonWidth - imageWidth < 5)
        g.buttonWidth += 2;
    return g;
}

TToolbarControlKind ControlKindOf(TToolbarControl control)
{
    switch (control) {
    case TToolbarControl::PageGoto:
    case TToolbarControl::FindString: return TToolbarControlKind::Edit;
    case TToolbarControl::Zoom: return TToolbarControlKind::ComboBox;
    default: return TToolbarControlKind::Label;
    }
}

int ToolbarControlWidth(TToolbarControl control, const QString &extra, const QFontMetrics &font, int ppi)
{
    const int text = font.horizontalAdvance(extra);
    if (ControlKindOf(control) == TToolbarControlKind::ComboBox)
        return text + int(std::lround(20.0 * ppi / 96.0)) + 7;
    return text;
}
