#include "print/PageRange.h"

#include <climits>

namespace {

class TRangeReader {
public:
    TRangeReader(const QString &text, int pageCount) : text(text), pageCount(pageCount) {}

    bool atEnd()
    {
        skipBlanks();
        return pos >= text.size();
    }

    bool take(QChar c)
    {
        skipBlanks();
        if (pos < text.size() && text[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }

    // A run of digits inside 1 .. pageCount; a run too long for a 32-bit integer is out of
    // range however it would wrap.
    bool number(int &value)
    {
        skipBlanks();
        qint64 v = 0;
        const qsizetype start = pos;
        while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
            v = qMin<qint64>(v * 10 + (text[pos].unicode() - u'0'), qint64(INT_MAX) + 1);
            ++pos;
        }
        if (pos == start || v < 1 || v > pageCount)
            return false;
        value = int(v);
        return true;
    }

private:
    void skipBlanks()
    {
        while (pos < text.size() && text[pos].unicode() <= 32)
            ++pos;
    }

    const QString &text;
    const int pageCount;
    qsizetype pos = 0;
};

QString PageExpected(int pageCount) { return QStringLiteral("Page number in range 1-%1 expected.").arg(pageCount); }

const QString NoPagesMatch = QStringLiteral("No pages match the specified range.");

} // namespace

TPageRangeParse ParsePageRange(const QString &text, int pageCount)
{
    TPageRangeParse result;
    TRangeReader reader(text, pageCount);
    if (reader.atEnd()) {
        result.error = NoPagesMatch;
        return result;
    }
    std::vector<bool> marked(size_t(qMax(pageCount, 0)) + 1, false);
    for (;;) {
        int first = 0;
        if (!reader.number(first)) {
            result.error = PageExpected(pageCount);
            return result;
        }
        int last = first;
        if (reader.take(u'-') && !reader.number(last)) {
            result.error = PageExpected(pageCount);
            return result;
        }
        for (int p = qMin(first, last); p <= qMax(first, last); ++p)
            marked[size_t(p)] = true;
        if (reader.atEnd())
            break;
        if (!reader.take(u',')) {
            result.error = QStringLiteral("Range \"-\" or list\",\" separator expected.");
            return result;
        }
        if (reader.atEnd()) {
            result.error = QStringLiteral("Page number in range 1-%1 expected after a list separator.").arg(pageCount);
            return result;
        }
    }
    for (int p = 1; p <= pageCount; ++p)
        if (marked[size_t(p)])
            result.pages.push_back(p);
    return result;
}

QString PageRangeErrorText(const QString &error)
{
    return error + QStringLiteral("\r\n\r\nSpecify a non-empty, comma separated list of ")
        + QStringLiteral("pages and ranges (e.g. 2,7-13,19).");
}

namespace {

bool Fits(int page, TOddEven oddEven)
{
    switch (oddEven) {
    case TOddEven::Odd: return page % 2 == 1;
    case TOddEven::Even: return page % 2 == 0;
    case TOddEven::Both: break;
    }
    return true;
}

} // namespace

TPageList ComputePageList(TPageChoice choice, TOddEven oddEven, int pageCount, int currentPage,
                          const QString &rangeText)
{
    TPageList list;
    list.oddEven = oddEven;
    std::vector<int> candidates;
    switch (choice) {
    case TPageChoice::All:
        list.rangeText = QStringLiteral("1 - %1").arg(pageCount);
        list.oddEvenEnabled = pageCount >= 2;
        for (int p = 1; p <= pageCount; ++p)
            candidates.push_back(p);
        break;
    case TPageChoice::Current:
        list.rangeText = QString::number(currentPage);
        list.oddEvenEnabled = false;
        candidates.push_back(currentPage);
        break;
    case TPageChoice::Range: {
        list.rangeText = rangeText;
        list.rangeEnabled = true;
        // Coming from "Current" must not leave the choice locked.
        list.oddEvenEnabled = pageCount >= 2;
        TPageRangeParse parse = ParsePageRange(rangeText, pageCount);
        if (!parse.ok()) {
            list.error = parse.error;
            return list;
        }
        candidates = std::move(parse.pages);
        bool anyFits = false;
        for (int p : candidates)
            anyFits = anyFits || Fits(p, oddEven);
        if (!anyFits)
            list.oddEven = TOddEven::Both;
        break;
    }
    }
    if (!list.oddEvenEnabled)
        list.oddEven = TOddEven::Both;
    for (int p : candidates)
        if (Fits(p, list.oddEven))
            list.pages.push_back(p);
    return list;
}
