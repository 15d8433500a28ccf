#include "engine/TextMatcher.h"

#include <QChar>
#include <QList>

#include <algorithm>

namespace {

constexpr char32_t kSpace = 32;

// White space and control characters of a page text (line breaks, tabs, the library's mark
// of a line-end hyphen).
bool Blank(char32_t c) { return c <= kSpace; }
bool Control(char32_t c) { return c < kSpace; }
bool Letter(char32_t c) { return QChar::isLetter(c); }

// The typographic forms a plain search character also matches.
bool Typographic(char32_t p, char32_t t)
{
    switch (p) {
    case U'-': return t >= 0x2010 && t <= 0x2015;
    case U'<': return t == 0x2264 || t == 0x27E8;
    case U'>': return t == 0x2265 || t == 0x27E9;
    case U'"': return t == 0x201D || t == 0x201C;
    case U'\'': return t == 0x2019 || t == 0x2032;
    case U'*': return t == 0x2217;
    case U'|': return t == 0x2225;
    case U'=': return t == 0x2261;
    case U'\t': return t == kSpace;
    default: return false;
    }
}

} // namespace

TTextMatcher::TTextMatcher(const QString &pattern, TMatchOptions options) : Options(options)
{
    const QList<uint> ucs4 = pattern.toUcs4();
    P.assign(ucs4.begin(), ucs4.end());
}

bool TTextMatcher::Equal(char32_t p, char32_t t, bool caseSensitive)
{
    if (p == t)
        return true;
    // Single characters compared by simple case folding: no locale, no expansions.
    if (!caseSensitive && p > kSpace && QChar::toCaseFolded(p) == QChar::toCaseFolded(t))
        return true;
    return Typographic(p, t);
}

bool TTextMatcher::Eq(char32_t p, char32_t t) const { return Equal(p, t, Options.CaseSensitive); }

int TTextMatcher::MatchAt(const std::u32string &T, int start) const
{
    const int m = int(P.size());
    const int n = int(T.size());
    int i = 0, t = start;
    while (i < m) {
        if (!Control(P[size_t(i)]) && t < n && Control(T[size_t(t)])) {
            // A line break (and the mark of a line-end hyphen) is passed over; a space of the
            // pattern is taken by it when the text goes on with a word.
            while (t < n && Control(T[size_t(t)]))
                ++t;
            if (P[size_t(i)] == kSpace && t < n && T[size_t(t)] > kSpace && ++i == m)
                break;
        }
        if (t >= n || !Eq(P[size_t(i)], T[size_t(t)]))
            return -1;
        const char32_t matched = P[size_t(i)];
        ++i;
        ++t;
        // One space matches a whole run of white space and line breaks.
        if ((matched == kSpace || matched == U'\t') && i < m && P[size_t(i)] > kSpace)
            while (t < n && Blank(T[size_t(t)]))
                ++t;
    }
    if (Options.WholeWords && Letter(P.back()) && t < n && Letter(T[size_t(t)]))
        return -1;
    return t;
}

bool TTextMatcher::Find(const std::u32string &T, int &pos, int &start, int &len) const
{
    if (P.empty())
        return false;
    const int n = int(T.size());
    const bool wordStart = Options.WholeWords && Letter(P.front());
    for (int s = std::max(pos, 0); s < n; ++s) {
        if (!Eq(P.front(), T[size_t(s)]))
            continue;
        if (wordStart && s > 0 && Letter(T[size_t(s - 1)]))
            continue;
        int end = MatchAt(T, s);
        if (end < 0)
            continue;
        if (Options.TakeSpaces)
            while (end < n && T[size_t(end)] == kSpace)
                ++end;
        start = s;
        len = end - s;
        pos = end;
        return true;
    }
    pos = n;
    return false;
}
