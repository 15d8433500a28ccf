#include "base/TextUtils.h"

int CompareIgnoringCase(const QString &a, const QString &b, int n)
{
    const qsizetype la = n >= 0 ? qMin<qsizetype>(a.size(), n) : a.size();
    const qsizetype lb = n >= 0 ? qMin<qsizetype>(b.size(), n) : b.size();
    const qsizetype common = qMin(la, lb);
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t ca = a.at(i).toCaseFolded().unicode();
        const char16_t cb = b.at(i).toCaseFolded().unicode();
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    return la == lb ? 0 : (la < lb ? -1 : 1);
}

bool SameTextIgnoringCase(const QString &a, const QString &b)
{
    return a.size() == b.size() && CompareIgnoringCase(a, b) == 0;
}

void SplitAtBar(const QString &text, QString &left, QString &right)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0) {
        left = text;
        right.clear();
        return;
    }
    // Copies first: text may be one of the outputs.
    const QString before = text.left(bar);
    const QString after = text.mid(bar + 1);
    left = before;
    right = after;
}

bool StripPrefix(QString &text, const QString &prefix)
{
    if (text.size() < prefix.size() || CompareIgnoringCase(text, prefix, int(prefix.size())) != 0)
        return false;
    text.remove(0, prefix.size());
    return true;
}

int HexDigitValue(QChar ch)
{
    const char16_t c = ch.unicode();
    if (c >= u'1' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}
