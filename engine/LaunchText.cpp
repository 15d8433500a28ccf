#include "engine/LaunchText.h"

#include "base/NumberParse.h"

#include <algorithm>

namespace {

// Reads the text from pos: a double-quoted part, or up to the next blank (toEnd: up to the
// end, blanks included). pos ends after it.
QString Value(const QString &s, int &pos, bool toEnd)
{
    if (pos < s.size() && s[pos] == QLatin1Char('"')) {
        const int close = s.indexOf(QLatin1Char('"'), pos + 1);
        const int end = close < 0 ? int(s.size()) : close;
        const QString v = s.mid(pos + 1, end - pos - 1);
        pos = close < 0 ? int(s.size()) : close + 1;
        return v;
    }
    int end = pos;
    while (end < s.size() && (toEnd || !s[end].isSpace()))
        ++end;
    const QString v = s.mid(pos, end - pos);
    pos = end;
    return v;
}

void SkipBlanks(const QString &s, int &pos)
{
    while (pos < s.size() && s[pos].isSpace())
        ++pos;
}

TLaunchText ParseEditor(const QString &s, int pos)
{
    TLaunchText t;
    t.Kind = TLaunchText::TKind::Editor;
    SkipBlanks(s, pos);
    if (s.mid(pos, 3) == QLatin1String("-R ") || s.mid(pos) == QLatin1String("-R")) {
        t.Reverse = true;
        pos += 2;
        SkipBlanks(s, pos);
    }
    t.File = Value(s, pos, true);
    return t;
}

TLaunchText ParseDocument(const QString &s, int pos)
{
    TLaunchText t;
    for (;;) {
        SkipBlanks(s, pos);
        const QString sw = s.mid(pos, 3);
        if (sw != QLatin1String("-D=") && sw != QLatin1String("-L=") && sw != QLatin1String("-P="))
            break;
        pos += 3;
        const QString v = Value(s, pos, false);
        if (sw[1] == QLatin1Char('D')) {
            t.Dest = TDestType::NamedDest;
            t.Text = v;
        } else if (sw[1] == QLatin1Char('L')) {
            t.Dest = TDestType::PageLabel;
            t.Text = v;
        } else {
            t.Text.clear();
            int page = 0;
            if (ParseInteger(v, 0, 999999999, page)) {
                t.Page = page;
                t.Dest = TDestType::PageIndex;
            }
        }
    }
    t.File = Value(s, pos, true);
    if (!t.File.isEmpty())
        t.Kind = TLaunchText::TKind::Document;
    return t;
}

} // namespace

TLaunchText TLaunchText::Parse(const QString &target)
{
    int end = int(target.size());
    while (end > 0 && target[end - 1].unicode() <= 32)
        --end;
    int pos = 0;
    while (pos < end && target[pos].isSpace())
        ++pos;
    const QString s = target.mid(pos, end - pos);
    // "TEXT: " with nothing after it was cut to "TEXT:" above; it still names no program.
    if (s.startsWith(QLatin1String("TEXT: ")) || s == QLatin1String("TEXT:"))
        return ParseEditor(s, std::min(6, int(s.size())));
    if (s.startsWith(QLatin1String("PDF: ")))
        return ParseDocument(s, 5);
    return TLaunchText();
}
