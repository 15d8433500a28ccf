// Inverse search: from a point on a page to the source line whose material lies there.
#include "synctex/SyncTeX.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace {

constexpr int64_t NearY = 25000;    // a box this close above or below the point is hit
constexpr int64_t NearBox = 100000; // nearer boxes refine by x, farther ones by line
constexpr int64_t FarAway = 1073741823;

enum RefineMode { NearestX, SmallestLine, LargestLine };

bool isInverseRecord(char c)
{
    return c == '$' || c == '(' || c == 'g' || c == 'h' || c == 'k' || c == 'v' || c == 'x';
}

struct ClipRect {
    int64_t left, top, right, bottom;
};

struct Candidate {
    bool set = false;
    TSyncBox box;
    ClipRect rect{};
};

int64_t toFileUnits(double v, double offset, double unit)
{
    const double u = std::round((v - offset) / unit);
    return u > double(INT_MAX) ? INT_MAX : u < double(INT_MIN) ? INT_MIN : int64_t(u);
}

bool holdsControl(const QString &name)
{
    return std::any_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The name with each control character written as "\x" and its code.
QString visible(const QString &name)
{
    QString text;
    for (QChar c : name)
        text += c.category() == QChar::Other_Control ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'))
                                                     : QString(c);
    return text;
}

} // namespace

// The "{" line of the page; -1 when the page is not in the data.
qsizetype TSyncTeX::FindPage(int page) const
{
    if (Indexed()) {
        for (const TSyncIndex::TBlock &b : Index.Blocks())
            if (b.number == page)
                return b.pos;
        return -1;
    }
    for (qsizetype p = NextPageLine(0); p >= 0; p = NextPageLine(NextLine(p))) {
        qsizetype q = p + 1;
        int number;
        if (ReadSyncInt(q, '\n', number) && number == page)
            return p;
    }
    return -1;
}

bool TSyncTeX::ScanBoxes(int page, qsizetype first, int64_t X, int64_t Y, int &tag, int &line) const
{
    std::vector<ClipRect> stack;
    stack.reserve(256);
    Candidate hit, below, above;
    for (qsizetype p = first; p < Data.size();) {
        const char c = Data[p];
        if (c == '}') {
            // A block of an earlier page ends here; the page goes on in a later block.
            qsizetype q = p + 1;
            int number;
            if (!ReadSyncInt(q, '\n', number) || number >= page)
                break;
            qsizetype next = NextPageLine(NextLine(p));
            for (;;) {
                if (next < 0)
                    break;
                q = next + 1;
                if (!ReadSyncInt(q, '\n', number) || number >= page)
                    break;
                next = NextPageLine(NextLine(next));
            }
            if (next < 0 || number != page)
                break;
            p = NextLine(next);
            continue;
        }
        if (c == '(') {
            TSyncBox b;
            if (ReadBox(p, b)) {
                ClipRect r{b.x, int64_t(b.y) - b.H, int64_t(b.x) + b.W, int64_t(b.y) + b.D};
                if (!stack.empty()) {
                    const ClipRect &outer = stack.back();
                    r.left = std::max(r.left, outer.left);
                    r.top = std::max(r.top, outer.top);
                    r.right = std::min(r.right, outer.right);
                    r.bottom = std::min(r.bottom, outer.bottom);
                }
                stack.push_back(r);
                if (b.tag > 0 && r.right > r.left && r.bottom > r.top) {
                    if (r.top <= Y + NearY && r.bottom >= Y - NearY && (!hit.set || (r.left <= X && X <= r.right)))
                        hit = {true, b, r};
                    if (Y < r.top && (!below.set || r.top < below.rect.top))
                        below = {true, b, r};
                    if (r.bottom < Y && (!above.set || r.bottom > above.rect.bottom))
                        above = {true, b, r};
                }
            }
        } else if (c == ')') {
            if (!stack.empty())
                stack.pop_back();
        }
        p = NextLine(p);
    }

    const Candidate *chosen = nullptr;
    RefineMode mode = NearestX;
    if (hit.set) {
        chosen = &hit;
    } else if (below.set && (!above.set || below.rect.top - Y <= Y - above.rect.bottom)) {
        chosen = &below;
        mode = below.rect.top - Y < NearBox ? NearestX : SmallestLine;
    } else if (above.set) {
        chosen = &above;
        mode = Y - above.rect.bottom < NearBox ? NearestX : LargestLine;
    }
    if (!chosen)
        return false;
    tag = chosen->box.tag;
    line = RefineLine(chosen->box, mode, X);
    return true;
}

// The line of the box's records that fits the point best.
int TSyncTeX::RefineLine(const TSyncBox &box, int mode, int64_t X) const
{
    int64_t bestX = -FarAway;
    int bestLine = box.line;
    int level = 0;
    for (qsizetype p = NextLine(box.pos); p < Data.size(); p = NextLine(p)) {
        const char c = Data[p];
        if (c == '}')
            break;
        if (c == '(') {
            ++level;
            continue;
        }
        if (c == ')') {
            if (level-- == 0)
                break;
            continue;
        }
        if (!isInverseRecord(c))
            continue;
        qsizetype q = p + 1;
        int t, l, x;
        if (!ReadField(q, ',', t) || t != box.tag || !ReadField(q, ':', l) || !ReadField(q, ',', x))
            continue;
        int64_t rx = x;
        if (c == 'k') {
            int y, w;
            if (!ReadField(q, ':', y) || !ReadField(q, '\n', w))
                continue;
            rx -= w;
        }
        switch (mode) {
        case LargestLine:
            if (l > bestLine)
                bestLine = l;
            break;
        case SmallestLine:
            if (l < bestLine)
                bestLine = l;
            break;
        default: {
            const int64_t d = std::abs(rx - X), bestD = std::abs(bestX - X);
            if (l < bestLine || (rx >= X && bestX <= X) || d < bestD || (d == bestD && rx >= X)) {
                bestX = rx;
                bestLine = l;
            }
        }
        }
    }
    return bestLine;
}

// Without a box: the record of any file nearest to the point's height.
void TSyncTeX::NearestRecord(qsizetype first, int64_t Y, int &tag, int &line) const
{
    int64_t bestDistance = FarAway;
    tag = -1;
    for (qsizetype p = first; p < Data.size() && Data[p] != '}'; p = NextLine(p)) {
        if (!isInverseRecord(Data[p]))
            continue;
        qsizetype q = p + 1;
        int t, l, x, y;
        if (!ReadField(q, ',', t) || !ReadField(q, ':', l) || !ReadField(q, ',', x) || !ReadSyncInt(q, 0, y))
            continue;
        const int64_t distance = std::abs(int64_t(y) - Y);
        if (distance < bestDistance) {
            bestDistance = distance;
            tag = t;
            line = l;
        }
    }
}

bool TSyncTeX::InverseSearch(int page, double x, double y, QString &inpFile, int &lin)
{
    inpFile.clear();
    lin = 0;
    if (!UsableData())
        return false;
    LastUse = uint64_t(pl::clock().tickMs());
    const int64_t X = toFileUnits(x, fxOffset, fUnit);
    const int64_t Y = toFileUnits(y, fyOffset, fUnit);

    const qsizetype pageLine = FindPage(page);
    if (pageLine < 0) {
        Error(QStringLiteral("Page ") + QString::number(page) + QStringLiteral(" not found."));
        return false;
    }
    // The first line of a page is its own vertical box.
    const qsizetype first = NextLine(NextLine(pageLine));
    int tag = -1, line = 0;
    if (!ScanBoxes(page, first, X, Y, tag, line))
        NearestRecord(first, Y, tag, line);
    if (tag < 1) {
        Error(QStringLiteral("No source data found on this page!"));
        return false;
    }
    if (!FindInputName(tag, MainPath, inpFile)) {
        inpFile.clear();
        Error(QStringLiteral("Source file not found!"));
        return false;
    }
    // The name goes to the editor's command line: only an existing file, and no name that
    // could carry terminal or editor controls.
    if (holdsControl(inpFile)) {
        Error(QStringLiteral("Source file name with control characters refused: \"") + visible(inpFile)
              + QLatin1Char('"'));
        inpFile.clear();
        return false;
    }
    if (pl::files().status(inpFile).kind != pl::FileKind::Regular) {
        Error(QStringLiteral("Source file not found: \"") + inpFile + QLatin1Char('"'));
        inpFile.clear();
        return false;
    }
    lin = line;
    LastUse = uint64_t(pl::clock().tickMs());
    return true;
}
