// Forward search: from a source line to the boxes it was typeset in. The scan is a
// heuristic; its constants and tie-breaks decide which of several places wins.
#include "synctex/SyncTeX.h"

#include "base/FileUtils.h"
#include "platform/Clock.h"

#include <QFileInfo>

#include <climits>

namespace {

constexpr int NoLine = INT_MAX;
constexpr int MaxPagesAfterMatch = 9;
constexpr qsizetype MaxBytesAfterMatch = 0x100000;
constexpr int MaxSiblings = 9999;
constexpr int64_t MergeDistance = 2500000;

bool isForwardRecord(char c) { return c == '$' || c == '(' || c == 'g' || c == 'k' || c == 'x'; }

bool containsIgnoringCase(const QString &text, const QString &part) { return text.contains(part, Qt::CaseInsensitive); }

} // namespace

// The Input record of the source file: a record whose name contains the file's name is a
// candidate; it is the answer when it resolves to the very file asked for. A docstrip source
// is recorded twice, and the second record is the one that carries the lines.
bool TSyncTeX::FindInputTag(const QString &inpFile, int &tag, qsizetype &start) const
{
    const QString target = QFileInfo(inpFile).fileName();
    const bool docstrip =
        containsIgnoringCase(target, QStringLiteral(".dtx")) || containsIgnoringCase(target, QStringLiteral(".fdd"));
    const QString wanted = CanonicalPath(inpFile);
    const QStringList folders{MainPath, FileFolder(SyncFileName)};
    int equalCount = 0;
    int firstEqualTag = 0, fallbackTag = 0;
    qsizetype firstEqualStart = -1, fallbackStart = -1;
    bool answered = false;
    ForEachInput([&](qsizetype pos, int t, qsizetype namePos) {
        const QString name = ReadSyncLine(namePos);
        if (!containsIgnoringCase(name, target))
            return false;
        const qsizetype end = NextLine(pos) - 1; // on the line's LF
        // Identity of source files is exact: two files may differ only in case.
        if (LocateFile(name, folders) == wanted) {
            ++equalCount;
            if (!docstrip || equalCount == 2) {
                tag = t;
                start = end;
                return answered = true;
            }
            firstEqualTag = t;
            firstEqualStart = end;
        } else if (equalCount == 0) {
            fallbackTag = t;
            fallbackStart = end;
        }
        return false;
    });
    if (answered)
        return true;
    if (docstrip && equalCount == 1) {
        tag = firstEqualTag;
        start = firstEqualStart;
        return true;
    }
    if (fallbackStart >= 0) {
        tag = fallbackTag;
        start = fallbackStart;
        return true;
    }
    return false;
}

// The smallest line >= lin of the file, on the page where the line dominates: the first page
// with a match, unless one of the next pages has clearly more hits and a clearly better ratio.
// The first match is a line box unless anyRecord is set, which lets any glyph, kern, glue or
// math record be the first match.
bool TSyncTeX::FindBestLine(int tag, int lin, qsizetype start, bool anyRecord, TBestLine &best) const
{
    const char *d = Data.constData();
    qsizetype p = NextPageLine(NextLine(start));
    if (p < 0)
        return false;
    int bestLine = NoLine;
    qsizetype bestPos = -1, firstOcc = -1;
    int hits = 1, misses = 0, chosenHits = 1, chosenMisses = 0, pagesSinceMatch = 0;
    // Until the first match a page only counts for itself: pages that cannot match are
    // passed over whole.
    const bool indexed = Indexed();
    const qsizetype firstPage = p;
    if (indexed)
        p = NextMatchingBlock(p, tag, lin, anyRecord);
    for (p = p == firstPage ? NextLine(p) : p; p < Data.size();) {
        if (bestPos >= 0 && (pagesSinceMatch > MaxPagesAfterMatch || p - bestPos > MaxBytesAfterMatch))
            break;
        const char c = d[p];
        if (c == '{') {
            if (bestPos >= 0) {
                const bool better = hits > 2 * chosenHits
                    && hits * 1000 / (hits + misses) > 2 * (chosenHits * 1000 / (chosenHits + chosenMisses)) + 9;
                if (pagesSinceMatch == 0 || better) {
                    if (pagesSinceMatch > 0 && firstOcc >= 0)
                        bestPos = firstOcc;
                    chosenHits = hits;
                    chosenMisses = misses;
                }
                ++pagesSinceMatch;
            }
            hits = 1;
            misses = 0;
            firstOcc = -1;
            if (indexed && bestPos < 0) {
                const qsizetype next = NextMatchingBlock(p, tag, lin, anyRecord);
                if (next != p) {
                    p = next;
                    continue;
                }
            }
        } else if (c == '}') {
            // Whatever stands between pages is passed over.
            const qsizetype next = NextPageLine(NextLine(p));
            if (next < 0)
                break;
            p = next;
            continue;
        } else if (c == '(' || ((anyRecord || bestPos >= 0) && isForwardRecord(c))) {
            TRecordHead head;
            if (ReadRecordHead(p, head) && head.tag == tag) {
                if (head.line < lin || head.line > bestLine) {
                    ++misses;
                } else {
                    ++hits;
                    if (head.line < bestLine) {
                        bestLine = head.line;
                        bestPos = firstOcc = head.after;
                    } else if (firstOcc < 0) {
                        firstOcc = head.after;
                    }
                }
            }
        }
        p = NextLine(p);
    }
    if (bestPos < 0)
        return false;
    qsizetype pageStart = LineStart(bestPos);
    while (pageStart > 0 && d[pageStart] != '{')
        pageStart = LineStart(pageStart - 1);
    qsizetype q = pageStart + 1;
    int page = 0;
    if (d[pageStart] != '{' || !ReadSyncInt(q, '\n', page))
        return false;
    best = {bestLine, bestPos, page, pageStart};
    return true;
}

// Walks back byte by byte to the "(" that opens the box around from: a ")" passed on the
// way must first be matched by its "(". Stops at a "{" or the start of the text (-1).
qsizetype TSyncTeX::WalkBackToOpen(qsizetype from) const
{
    const char *d = Data.constData();
    int level = 0;
    for (qsizetype q = std::min(from, Data.size() - 1); q >= 0; --q) {
        const char b = d[q];
        if (b == '(' && level >= 0 && (q == 0 || d[q - 1] == '\n'))
            return q;
        if (b == '{' || q == 0)
            return -1;
        if (b == '(')
            ++level;
        else if (b == ')')
            --level;
    }
    return -1;
}

// The nearest enclosing box of the file that has a size; boxes of other files or without
// size are passed outwards. Without a suitable one the last box read is taken.
bool TSyncTeX::FindEnclosingBox(int tag, qsizetype from, TSyncBox &box) const
{
    bool found = false;
    for (qsizetype open = WalkBackToOpen(from); open >= 0; open = WalkBackToOpen(open - 1)) {
        TSyncBox b;
        if (!ReadBox(open, b))
            continue;
        box = b;
        found = true;
        if (b.W > 0 && b.H + b.D > 0 && b.tag == tag)
            break;
    }
    return found;
}

// The box's parent replaces it when it is at least as large, starts at the same point or
// above-left, and holds no earlier line of the file before the box.
void TSyncTeX::RefineWithParent(int tag, int lin, TSyncBox &box) const
{
    const qsizetype open = WalkBackToOpen(box.pos - 2);
    TSyncBox parent;
    if (open < 0 || !ReadBox(open, parent))
        return;
    if (parent.tag != tag || parent.W < box.W || int64_t(parent.H) + parent.D < int64_t(box.H) + box.D)
        return;
    if (!((parent.x == box.x && parent.y == box.y) || (parent.x <= box.x && parent.y < box.y)))
        return;
    for (qsizetype p = NextLine(open); p < box.pos; p = NextLine(p)) {
        TRecordHead head;
        if (isForwardRecord(Data[p]) && ReadRecordHead(p, head) && head.tag == tag && head.line < lin)
            return;
    }
    box = parent;
}

// The line after the ")" that closes the box opened at open; -1 at the end of the page.
qsizetype TSyncTeX::BoxEnd(qsizetype open) const
{
    int level = 0;
    for (qsizetype p = open; p < Data.size(); p = NextLine(p)) {
        const char c = Data[p];
        if (c == '(') {
            ++level;
        } else if (c == ')') {
            if (--level == 0)
                return NextLine(p);
        } else if (c == '}') {
            return -1;
        }
    }
    return -1;
}

// The next box at the same level; -1 when the enclosing box or the page ends first.
qsizetype TSyncTeX::NextSibling(qsizetype open) const
{
    const qsizetype end = BoxEnd(open);
    if (end < 0)
        return -1;
    for (qsizetype p = end; p < Data.size(); p = NextLine(p)) {
        const char c = Data[p];
        if (c == '(')
            return p;
        if (c == ')' || c == '}')
            return -1;
    }
    return -1;
}

bool TSyncTeX::BoxHolds(qsizetype open, int tag, int line) const
{
    int level = 0;
    for (qsizetype p = open; p < Data.size(); p = NextLine(p)) {
        const char c = Data[p];
        if (c == '}')
            break;
        TRecordHead head;
        if (isForwardRecord(c) && ReadRecordHead(p, head) && head.tag == tag && head.line == line)
            return true;
        if (c == '(')
            ++level;
        else if (c == ')' && --level == 0)
            break;
    }
    return false;
}

// Of the box and its following siblings, the one whose records are mostly of the line.
void TSyncTeX::ChooseExactSibling(int tag, int lin, TSyncBox &box) const
{
    const auto score = [&](qsizetype open) {
        int before = 0, exact = 0, after = 0, level = 0;
        for (qsizetype p = open; p < Data.size(); p = NextLine(p)) {
            const char c = Data[p];
            if (c == '}')
                break;
            TRecordHead head;
            if (isForwardRecord(c) && ReadRecordHead(p, head) && head.tag == tag)
                (head.line > lin ? after : head.line < lin ? before : exact)++;
            if (c == '(')
                ++level;
            else if (c == ')' && --level == 0)
                break;
        }
        return exact * 100 / (exact + before + after + 3);
    };
    qsizetype choice = box.pos;
    int choiceScore = score(choice);
    qsizetype candidate = box.pos;
    for (int looked = 1; looked < MaxSiblings; ++looked) {
        candidate = NextSibling(candidate);
        if (candidate < 0)
            break;
        const int s = score(candidate);
        if (choiceScore == 0 || s > choiceScore / 2 + 60) {
            choice = candidate;
            choiceScore = s;
        }
    }
    if (choice != box.pos)
        ReadBox(choice, box);
}

bool TSyncTeX::FindPlace(int tag, int lin, qsizetype start, TBestLine &best, TSyncBox &box, bool &haveBox) const
{
    // The last paragraph of an input file is set in line boxes that carry the including
    // file's line, so its lines have glyph records but no line box of their own.
    if (!FindBestLine(tag, lin, start, false, best) && !FindBestLine(tag, lin, start, true, best))
        return false;
    haveBox = FindEnclosingBox(tag, best.pos, box);
    if (haveBox) {
        RefineWithParent(tag, lin, box);
        if (best.line == lin)
            ChooseExactSibling(tag, lin, box);
    }
    return true;
}

// Whether the chosen page begins with records of the line followed by an earlier line of the
// file (the line's material at the top of the page is then a leftover, such as a running
// head), and whether the page holds nothing but the line.
bool TSyncTeX::PageStartsWithLeftover(int tag, const TBestLine &best, bool &wholePage) const
{
    wholePage = false;
    int counted = 0;
    for (qsizetype p = NextLine(best.pageStart); p < Data.size(); p = NextLine(p)) {
        const char c = Data[p];
        if (c == '}') {
            wholePage = true;
            return false;
        }
        if (!isForwardRecord(c))
            continue;
        TRecordHead head;
        if (!ReadRecordHead(p, head))
            return false;
        if (head.tag == tag && head.line == best.line) {
            ++counted;
            continue;
        }
        return counted > 0 && head.tag == tag && head.line < best.line;
    }
    return false;
}

void TSyncTeX::CollectRectangles(int tag, int bestLine, const TSyncBox &box, std::vector<TFileRect> &rects) const
{
    bool gap = false;
    const auto add = [&](const TSyncBox &b) {
        const int64_t top = int64_t(b.y) - b.H;
        const int64_t height = int64_t(b.H) + b.D;
        if (b.tag != tag || top <= 0 || height <= 0)
            return;
        const TFileRect r{b.x, top, int64_t(b.x) + b.W, top + height};
        if (gap || rects.empty()) {
            rects.push_back(r);
            gap = false;
            return;
        }
        TFileRect &last = rects.back();
        if (r.bottom < last.top - MergeDistance || r.top > last.bottom + MergeDistance) {
            rects.push_back(r);
            return;
        }
        last.left = std::min(last.left, r.left);
        last.top = std::min(last.top, r.top);
        last.right = std::max(last.right, r.right);
        last.bottom = std::max(last.bottom, r.bottom);
    };
    TSyncBox again;
    if (ReadBox(box.pos, again))
        add(again);
    for (qsizetype open = NextSibling(box.pos); open >= 0; open = NextSibling(open)) {
        TSyncBox sibling;
        if (BoxHolds(open, tag, bestLine) && ReadBox(open, sibling))
            add(sibling);
        else
            gap = true;
    }
}

bool TSyncTeX::ForwardSearch(const QString &inpFile, int lin, int &page, int &numrect, TFloatRectangles &rectangles)
{
    numrect = 0;
    rectangles.assign(8, TFloatRect{});
    if (!UsableData())
        return false;
    LastUse = uint64_t(pl::clock().tickMs());

    int tag;
    qsizetype start;
    if (!FindInputTag(inpFile, tag, start)) {
        Error(QStringLiteral("Input File not Found in SyncTeX Data!"));
        return false;
    }
    TBestLine best;
    TSyncBox box;
    bool haveBox = false;
    if (!FindPlace(tag, lin, start, best, box, haveBox)) {
        Error(QStringLiteral("Input Line not Found in SyncTeX Data!"));
        return false;
    }
    bool wholePage = false;
    if (PageStartsWithLeftover(tag, best, wholePage) && haveBox) {
        // Look again from the next page on; the first answer stands if that finds nothing.
        const qsizetype next = NextPageLine(NextLine(best.pageStart));
        TBestLine best2;
        TSyncBox box2;
        bool haveBox2 = false;
        if (next > 0 && FindPlace(tag, lin, next - 1, best2, box2, haveBox2) && haveBox2) {
            best = best2;
            box = box2;
        }
    }

    std::vector<TFileRect> rects;
    if (wholePage)
        rects.push_back({0, 0, INT_MAX, INT_MAX});
    else if (!haveBox)
        rects.push_back({0, 0, 0, 0});
    else {
        const int64_t top = int64_t(box.y) - box.H;
        rects.push_back({box.x, top, int64_t(box.x) + box.W, top + box.H + box.D});
        CollectRectangles(tag, best.line, box, rects);
    }

    page = best.page;
    numrect = int(rects.size());
    rectangles.assign(rects.size() + 1, TFloatRect{});
    TFloatRect &all = rectangles[0];
    for (size_t i = 0; i < rects.size(); ++i) {
        TFloatRect &r = rectangles[i + 1];
        r.Left = rects[i].left * fUnit + fxOffset;
        r.Top = rects[i].top * fUnit + fyOffset;
        r.Right = rects[i].right * fUnit + fxOffset;
        r.Bottom = rects[i].bottom * fUnit + fyOffset;
        if (i == 0) {
            all = r;
        } else {
            all.Left = std::min(all.Left, r.Left);
            all.Top = std::min(all.Top, r.Top);
            all.Right = std::max(all.Right, r.Right);
            all.Bottom = std::max(all.Bottom, r.Bottom);
        }
    }
    LastUse = uint64_t(pl::clock().tickMs());
    return true;
}
