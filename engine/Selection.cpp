#include "engine/Selection.h"

#include "engine/DocumentList.h"
#include "engine/DocumentView.h"
#include "engine/ForwardMark.h"
#include "engine/HostLink.h"
#include "engine/Navigator.h"
#include "engine/PageWork.h"
#include "engine/PdfPageSource.h"
#include "engine/TextSearch.h"

#include <algorithm>
#include <limits>

namespace {

// A selection rectangle is drawn at least this high and this wide, in points: a rule or an
// accent line, a narrow letter.
constexpr double kMinHeight = 4.97;
constexpr double kMinWidth = 4.53;
// A thin rectangle takes the height of its character's font when that is larger: this part
// of the font size, from this far below the baseline.
constexpr double kFontHeight = 0.78;
constexpr double kBelowBaseline = 0.56;

constexpr char32_t kCR = 13, kLF = 10, kSpace = 32, kNoBreakSpace = 160;

// The side of a boundary: after the character (1) or before it (0).
int After(int delta) { return delta > 0 ? 1 : 0; }

bool SameEnds(const TTextSelection &s) { return s.Page1 == s.Page2 && s.Chr1 == s.Chr2 && s.Delta1 == s.Delta2; }

void Append(QString &out, char32_t c)
{
    if (QChar::requiresSurrogates(c)) {
        out += QChar(QChar::highSurrogate(c));
        out += QChar(QChar::lowSurrogate(c));
    } else {
        out += QChar(char16_t(c));
    }
}

} // namespace

void TSelection::Changed(bool invalidate)
{
    if (invalidate)
        Host.View().InvalidateView();
    Host.View().UpdateView();
    Shown.UpdateStatus();
}

bool TSelection::StartSelection(TSelectMode mode, int p1, int c1, int d1)
{
    const bool existed = State.SelectMode > smNone;
    State = TTextSelection{mode, p1, c1, d1, p1, c1, d1};
    Changed(existed);
    return !existed;
}

bool TSelection::ChangeSelection(int p2, int c2, int d2)
{
    if (State.Page2 == p2 && State.Chr2 == c2 && State.Delta2 == d2)
        return false;
    State.Page2 = p2;
    State.Chr2 = c2;
    State.Delta2 = d2;
    Changed(true);
    return true;
}

bool TSelection::StopSelection()
{
    if (SameEnds(State))
        State.SelectMode = smNone;
    Changed(false);
    return State.SelectMode > smNone;
}

bool TSelection::SetSelection(TSelectMode mode, int p1, int c1, int p2, int c2, int direction)
{
    State.SelectMode = mode;
    State.Page1 = p1;
    State.Page2 = p2;
    State.Chr1 = c1;
    State.Chr2 = c2;
    if (mode != smRange)
        Search.matchInd = -1;
    const bool match = mode == smRange && direction != 0 && p1 == p2 && c1 >= 1 && size_t(c1) < Search.matches.size();
    if (!match) {
        Changed(true);
        return true;
    }
    const TMatch m = Search.matches[size_t(c1)];
    State.Delta1 = 0;
    if (direction > 0) {
        State.Chr1 = m.CC;
        State.Chr2 = m.CC + m.Len;
        State.Delta2 = 0;
    } else {
        State.Chr2 = m.CC;
        State.Chr1 = m.CC + m.Len;
        State.Delta2 = -1;
    }
    View.MakePageVisible(p1);
    TPosition pos{View.SelPage, 0, 0};
    Nav.SavePosition(pos.cp, pos.Top, pos.Left);
    // The match's rectangles together: the box to bring into view.
    View.SetSelectedPage(p1);
    FPDF_TEXTPAGE text = Source.PageIndex() == p1 - 1 ? Source.TextPage() : nullptr;
    double l = std::numeric_limits<double>::max(), b = l, r = -l, t = -l;
    const int n = text ? DLL.FPDFText_CountRects(text, m.CC, m.Len) : 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    for (int a = 0; GetSelBox(a, n, left, top, right, bottom);) {
        l = std::min(l, left);
        b = std::min(b, bottom);
        r = std::max(r, right);
        t = std::max(t, top);
    }
    if (r >= l) {
        View.MakeRectVisible(pos.cp, pos.Left, pos.Top, p1, l, b, r - l, t - b);
        Nav.RestorePosition(pos.cp, pos.Top, pos.Left);
    }
    // Also when the view did not move: the marks of the matches change.
    Changed(true);
    return true;
}

bool TSelection::ResetSelection()
{
    Mark.Reset();
    return SetSelection(smNone, 0, 0, 0, 0, 0);
}

bool TSelection::GetBounds(int page, int &a, int &len) const
{
    const TTextSelection &s = State;
    if (s.SelectMode <= smNone)
        return false;
    if (s.SelectMode != smAll && (page < std::min(s.Page1, s.Page2) || page > std::max(s.Page1, s.Page2)))
        return false;
    if (s.SelectMode != smRange || (page != s.Page1 && page != s.Page2))
        return true;
    FPDF_TEXTPAGE text = Source.TextPage();
    const int count = text ? std::max(0, DLL.FPDFText_CountChars(text)) : 0;
    a = 0;
    len = count;
    if (s.Page1 < s.Page2) {
        if (page == s.Page1)
            a = s.Chr1;
        else
            len = s.Chr2 + After(s.Delta2);
    } else if (s.Page2 < s.Page1) {
        if (page == s.Page1)
            len = s.Chr1 + After(s.Delta1);
        else
            a = s.Chr2 + After(s.Delta2);
    } else if (s.Chr1 < s.Chr2) {
        a = s.Chr1 + After(s.Delta1);
        len = s.Chr2 + After(s.Delta2) - a;
    } else if (s.Chr2 < s.Chr1) {
        a = s.Chr2 + After(s.Delta2);
        len = s.Chr1 + After(s.Delta1) - a;
    } else {
        len = 0;
    }
    // A range that starts on the page runs to its end, not past it; an end without a
    // character (-1) selects nothing before it.
    a = std::clamp(a, 0, count);
    len = std::clamp(len, 0, count - a);
    if (len > 0 && a + len < count && DLL.FPDFText_GetUnicode(text, a + len - 1) == kCR
        && DLL.FPDFText_GetUnicode(text, a + len) == kLF)
        --len;
    return len != 0;
}

bool TSelection::GetSelBox(int &a, int b, double &left, double &top, double &right, double &bottom) const
{
    FPDF_TEXTPAGE text = Source.TextPage();
    if (!text)
        return false;
    for (; a < b; ++a) {
        if (!DLL.FPDFText_GetRect(text, a, &left, &top, &right, &bottom))
            continue;
        // The library gives a rectangle of no area for a range without a character that has
        // a box; grown, it would mark the page's corner.
        if (!(right > left && top > bottom))
            continue;
        const double h = top - bottom;
        if (h < kMinHeight) {
            const double l = (kMinHeight - h) / 2;
            const int c = DLL.FPDFText_GetCharIndexAtPos(text, left, top, l / 2, l / 2);
            double ox = 0, oy = 0;
            const double o = c >= 0 && DLL.FPDFText_GetCharOrigin(text, c, &ox, &oy)
                ? DLL.FPDFText_GetFontSize(text, c) * kFontHeight
                : 0;
            if (o > 2 * l) {
                bottom = oy - kBelowBaseline;
                top = bottom + o;
            } else {
                top += l;
                bottom -= l;
            }
        }
        const double w = right - left;
        if (w < kMinWidth) {
            left -= (kMinWidth - w) / 2;
            right += (kMinWidth - w) / 2;
        }
        ++a;
        return true;
    }
    return false;
}

QString TSelection::PageText(int p)
{
    View.SetSelectedPage(p);
    FPDF_TEXTPAGE text = Source.PageIndex() == p - 1 ? Source.TextPage() : nullptr;
    if (!text)
        return QString();
    int a = 0, len = DLL.FPDFText_CountChars(text);
    if (!GetBounds(p, a, len))
        return QString();
    QString out;
    // After a line-end hyphen the word goes on; the space that ends it ends the line.
    bool hyphen = false;
    for (int k = a; k < a + len; ++k) {
        char32_t c = DLL.FPDFText_GetUnicode(text, k);
        if (c == kCR || c == kLF)
            hyphen = false;
        if (DLL.FPDFText_IsHyphen(text, k) > 0) {
            hyphen = true;
            continue;
        }
        if (DLL.FPDFText_HasUnicodeMapError(text, k) != 0) {
            hyphen = false;
            continue;
        }
        const int generated = DLL.FPDFText_IsGenerated(text, k);
        if (generated < 0) {
            hyphen = false;
            continue;
        }
        if (generated > 0 && c == kNoBreakSpace)
            c = kSpace;
        // Control characters the library uses as marks, and the replacement character and
        // non-characters; letters beyond the 16-bit plane (mathematical alphabets) stay.
        if (c < 3 || (c >= 0xFFFD && c <= 0xFFFF))
            continue;
        if (hyphen && (c == kSpace || c == kNoBreakSpace)) {
            out += QStringLiteral("\r\n");
            hyphen = false;
            continue;
        }
        Append(out, c);
    }
    return out;
}

QString TSelection::GetSelectedText(bool *cancelled)
{
    if (cancelled)
        *cancelled = false;
    if (Extracting) {
        // A copy asked for while the windows run inside one: it does not take place.
        if (cancelled)
            *cancelled = true;
        return QString();
    }
    if (State.SelectMode <= smNone || Docs.FSelDoc < 0 || !Source.Document())
        return QString();
    const int count = Source.PageCount();
    int first = 1, last = count;
    if (State.SelectMode != smAll) {
        first = std::max(1, std::min(State.Page1, State.Page2));
        last = std::min(count, std::max(State.Page1, State.Page2));
    }
    if (first > last)
        return QString();
    Extracting = true;
    const int total = last - first + 1;
    TPageWork work(Host, last - first, QStringLiteral("Extracting Text..."), QStringLiteral("Extracting Text..."),
                   QStringLiteral(" (Page: 0000/9999) ..."), first, last);
    const uint64_t serial = Docs.Current().Serial;
    const void *doc = Source.Document();
    const int selected = View.SelectedPage();
    QString out;
    bool escaped = false;
    for (int p = first; p <= last; ++p) {
        // The windows ran meanwhile: what was gathered is the result.
        if (Docs.FSelDoc < 0 || Docs.Current().Serial != serial || Source.Document() != doc)
            break;
        const QString text = PageText(p);
        if (!text.isEmpty()) {
            out += text;
            if (p != last)
                out += QStringLiteral("\r\n\r\n");
        }
        const int n = p - first + 1;
        if (!work.Step(n, p, QStringLiteral("Extracting Text (Page: %1/%2) ...").arg(n).arg(total))) {
            escaped = true;
            break;
        }
    }
    Extracting = false;
    if (escaped) {
        work.Cancel();
        if (Source.Document() == doc && selected > 0)
            View.SetSelectedPage(selected);
        if (cancelled)
            *cancelled = true;
        return QString();
    }
    work.Finish(QStringLiteral("Extracting Done (Page: %1/%1) ...").arg(total), last);
    Shown.UpdateStatus();
    if (Source.Document() == doc && selected > 0)
        View.SetSelectedPage(selected);
    return out;
}
