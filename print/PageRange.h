#pragma once
#include <QString>
#include <vector>

// The pages a print covers: all, the one in view, or a typed list of pages and ranges, then
// filtered to odd or even pages.
enum class TPageChoice { All, Current, Range };
enum class TOddEven { Both = 0, Odd = 1, Even = 2 };

// A typed list read: the pages named at least once, ascending and each once, or the message
// that tells what is wrong (pages empty then).
struct TPageRangeParse {
    std::vector<int> pages;
    QString error;
    bool ok() const { return error.isEmpty(); }
};

// list = item {"," item}; item = number ["-" number]; numbers 1 to pageCount; characters up to
// code 32 may stand around every number and separator. Reads left to right and stops at the
// first error.
TPageRangeParse ParsePageRange(const QString &text, int pageCount);

// The text of the "Page Range Error" message for one of ParsePageRange's errors.
QString PageRangeErrorText(const QString &error);

// The page controls' state after a page list computation. On a range error, error is set and
// the caller keeps its previous list.
struct TPageList {
    std::vector<int> pages; // 1-based, in printing order
    TOddEven oddEven = TOddEven::Both;
    bool oddEvenEnabled = true;
    QString rangeText; // the range box's text
    bool rangeEnabled = false;
    QString error;
};

TPageList ComputePageList(TPageChoice choice, TOddEven oddEven, int pageCount, int currentPage,
                          const QString &rangeText);
