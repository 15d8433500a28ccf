// Forward and inverse search on SyncTeX files written by pdflatex: the fixtures under
// tests/fixtures (see its README for where each source line was typeset) and the bundled
// sample document. Expected positions were read off the SyncTeX data and `pdftotext -bbox`.
#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "TestPaths.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <set>

namespace {

constexpr double Tolerance = 2.0; // points

QString canonical(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

QString multiSource(const QString &name) { return canonical(fixturePath("multi/" + name)); }
QString widthsSource() { return canonical(fixturePath("widths/widths.tex")); }
QString sampleFile(const QString &name)
{
    return canonical(QDir::cleanPath(fixturePath("../../resources/sample/" + name)));
}

bool contains(const TFloatRect &r, double x, double y)
{
    return r.Left <= x && x <= r.Right && r.Top <= y && y <= r.Bottom;
}

struct Rect {
    double left, top, right, bottom;
};

void expectNear(const TFloatRect &got, const Rect &want, const std::string &what)
{
    EXPECT_NEAR(got.Left, want.left, Tolerance) << what;
    EXPECT_NEAR(got.Top, want.top, Tolerance) << what;
    EXPECT_NEAR(got.Right, want.right, Tolerance) << what;
    EXPECT_NEAR(got.Bottom, want.bottom, Tolerance) << what;
}

struct Found {
    bool ok = false;
    int page = 0;
    int numrect = 0;
    TFloatRectangles rects;
};

struct Source {
    bool ok = false;
    QString file;
    int line = 0;
};

class SyncTeXFixture : public ::testing::Test {
protected:
    TSyncTeX sync;

    void SetUp() override { App.AppRunning = true; }
    void TearDown() override { App.AppRunning = false; }

    void load(TSyncTeX &s, const QString &file)
    {
        ASSERT_TRUE(QFileInfo::exists(file)) << qPrintable(file);
        ASSERT_TRUE(s.LoadSyncData(file, false)) << qPrintable(file) << ": " << qPrintable(s.ErrMsg.get());
        ASSERT_TRUE(s.Ready);
    }
    void loadMulti() { load(sync, fixturePath("multi/multi.synctex.gz")); }

    Found forward(TSyncTeX &s, const QString &source, int line)
    {
        Found f;
        f.ok = s.ForwardSearch(source, line, f.page, f.numrect, f.rects);
        return f;
    }
    Found forward(const QString &source, int line) { return forward(sync, source, line); }
    Source inverse(TSyncTeX &s, int page, double x, double y)
    {
        Source r;
        r.ok = s.InverseSearch(page, x, y, r.file, r.line);
        return r;
    }
    Source inverse(int page, double x, double y) { return inverse(sync, page, x, y); }

    // The lines of the file with the tag that carry at least one forward-search record.
    std::set<int> linesWithRecords(int tag) const
    {
        std::set<int> lines;
        const QByteArray prefix = QByteArray::number(tag) + ',';
        for (const QByteArray &row : sync.Data.split('\n')) {
            if (row.size() < 2 || !QByteArray("$(gkx").contains(row[0]) || !row.mid(1).startsWith(prefix))
                continue;
            const QByteArray rest = row.mid(1 + prefix.size());
            lines.insert(rest.left(rest.indexOf(':')).toInt());
        }
        return lines;
    }
    int tagOf(const QByteArray &recordedName) const
    {
        for (const QByteArray &row : sync.Data.split('\n')) {
            const QList<QByteArray> parts = row.split(':');
            if (parts.size() == 3 && parts[0] == "Input" && parts[2] == recordedName)
                return parts[1].toInt();
        }
        return 0;
    }
};

TEST_F(SyncTeXFixture, MultiPageDocumentLoadsWithItsMainFile)
{
    loadMulti();
    EXPECT_EQ(sync.MainFile, multiSource("multi.tex"));
    EXPECT_EQ(sync.MainPath, canonical(fixturePath("multi")));
    EXPECT_NEAR(sync.fUnit * 65781.76, 1.0, 1e-9);
    QString name;
    ASSERT_TRUE(sync.FindInputName(tagOf("./chapters/stone.tex"), QString(), name));
    EXPECT_EQ(name, multiSource("chapters/stone.tex"));
}

// Source line -> page and the union of the marked rectangles.
TEST_F(SyncTeXFixture, ForwardSearchFindsPageAndPlace)
{
    loadMulti();
    struct Case {
        const char *file;
        int line;
        int page;
        Rect all;
        const char *what;
    };
    const Case cases[] = {
        {"multi.tex", 17, 3, {51.0, 32.1, 153.1, 40.9}, "running head: its first page"},
        {"multi.tex", 39, 3, {51.0, 78.8, 368.5, 102.0}, "line ending at the start of the next typeset line"},
        {"multi.tex", 57, 7, {51.0, 180.9, 368.5, 190.6}, "line showing the head's box in the text"},
        {"chapters/stone.tex", 5, 3, {51.0, 218.8, 368.5, 242.0}, "first line of a paragraph"},
        {"chapters/stone.tex", 8, 3, {51.0, 218.8, 368.5, 267.0}, "blank line carrying the paragraph's boxes"},
        {"chapters/stone.tex", 9, 3, {51.0, 273.0, 368.5, 309.8}, "paragraph of three typeset lines"},
        {"chapters/stone.tex", 15, 3, {51.0, 313.6, 368.5, 375.4}, "blank line after five typeset lines"},
        {"chapters/stone.tex", 16, 3, {51.0, 396.3, 368.5, 406.9}, "blank line without records: the next line"},
        {"chapters/stone.tex", 17, 3, {51.0, 396.3, 368.5, 406.9}, "subsection heading"},
        {"chapters/stone.tex",
         27,
         4,
         {51.0, 75.0, 368.5, 84.7},
         "last paragraph of the file, on the next page: the line box it starts in"},
        {"chapters/iron.tex", 2, 6, {51.0, 52.0, 368.5, 62.0}, "section heading"},
        {"chapters/iron.tex", 12, 6, {51.0, 209.9, 368.5, 233.1}, "line split over two typeset lines"},
        {"chapters/iron.tex", 30, 6, {51.0, 499.2, 368.5, 508.9}, "last paragraph: line boxes of the including file"},
        {"chapters/iron.tex", 32, 7, {51.0, 54.4, 368.5, 64.1}, "last paragraph, after the page break"},
    };
    for (const Case &c : cases) {
        const std::string what = std::string(c.file) + ":" + std::to_string(c.line) + " " + c.what;
        const Found f = forward(multiSource(c.file), c.line);
        ASSERT_TRUE(f.ok) << what << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(f.page, c.page) << what;
        ASSERT_GE(f.numrect, 1) << what;
        ASSERT_EQ(f.rects.size(), size_t(f.numrect) + 1) << what;
        expectNear(f.rects[0], c.all, what);
    }
}

TEST_F(SyncTeXFixture, ParagraphLinesMergeIntoOneMark)
{
    loadMulti();
    const Found f = forward(multiSource("chapters/stone.tex"), 9);
    ASSERT_TRUE(f.ok) << qPrintable(sync.ErrMsg.get());
    EXPECT_EQ(f.page, 3);
    // The three line boxes, 13.5 pt apart, make one rectangle.
    ASSERT_EQ(f.numrect, 1);
    expectNear(f.rects[1], {51.02, 272.98, 368.50, 309.77}, "merged line boxes");
    // The word "single" of the first typeset line and "page." of the last, as pdftotext places them.
    EXPECT_TRUE(contains(f.rects[1], 204.2 + 1, 273.0 + 1));
    EXPECT_TRUE(contains(f.rects[1], 243.2 - 1, 309.8 - 1));
}

TEST_F(SyncTeXFixture, FigurePageMadeOfOneLineIsMarkedWhole)
{
    loadMulti();
    const Found f = forward(multiSource("chapters/timber.tex"), 26);
    ASSERT_TRUE(f.ok) << qPrintable(sync.ErrMsg.get());
    EXPECT_EQ(f.page, 5);
    ASSERT_EQ(f.numrect, 1);
    EXPECT_EQ(f.rects[1].Left, 0);
    EXPECT_EQ(f.rects[1].Top, 0);
    // Far beyond the A5 page.
    EXPECT_GT(f.rects[1].Right, 419.528);
    EXPECT_GT(f.rects[1].Bottom, 595.276);
}

TEST_F(SyncTeXFixture, ForwardSearchFailuresNameTheirCause)
{
    loadMulti();
    struct Case {
        QString file;
        int line;
        const char *message;
    };
    const Case cases[] = {
        {multiSource("multi.tex"), 59, "Input Line not Found in SyncTeX Data!"},
        {multiSource("chapters/stone.tex"), 30, "Input Line not Found in SyncTeX Data!"},
        {multiSource("chapters/iron.tex"), 35, "Input Line not Found in SyncTeX Data!"},
        {canonical(fixturePath("widths/widths.tex")), 14, "Input File not Found in SyncTeX Data!"},
    };
    for (const Case &c : cases) {
        const Found f = forward(c.file, c.line);
        EXPECT_FALSE(f.ok) << qPrintable(c.file) << ":" << c.line;
        EXPECT_EQ(f.numrect, 0);
        EXPECT_EQ(f.rects.size(), 8u);
        EXPECT_EQ(sync.ErrMsg.get(), QString::fromUtf8(c.message)) << qPrintable(c.file) << ":" << c.line;
    }
}

// A point on a page -> the source file and line. Points are the centres of words as pdftotext
// places them, unless named otherwise.
TEST_F(SyncTeXFixture, InverseSearchFindsFileAndLine)
{
    loadMulti();
    struct Case {
        int page;
        double x, y;
        const char *file;
        int line;
        const char *what;
    };
    const Case cases[] = {
        // The head's full-width right part comes after the box of line 17 and covers it; it
        // carries the line read when the page was shipped out.
        {3, 104.9, 36.5, "chapters/timber.tex", 4, "\"Small\" in the running head"},
        {3, 160.4, 83.6, "multi.tex", 39, "\"everywhere\" in the introduction"},
        {3, 100, 280, "chapters/stone.tex", 9, "first typeset line of the three-line paragraph"},
        {3, 217.5, 277.8, "chapters/stone.tex", 9, "\"single\""},
        {3, 123.1, 345.6, "chapters/stone.tex", 12, "\"keystone\""},
        {3, 115.5, 401.6, "chapters/stone.tex", 17, "\"Weathering\" in the heading"},
        {5, 200, 300, "chapters/timber.tex", 26, "on the figure's rule"},
        {5, 185, 447.3, "chapters/timber.tex", 26, "in the figure's caption"},
        {6, 95.7, 193.9, "chapters/iron.tex", 11, "\"Rust\" in the heading"},
        {7, 200, 186, "multi.tex", 57, "the head's box in the text, right of it"},
        {7, 100, 186, "multi.tex", 17, "the head's box in the text"},
        // The paragraphs of lines 5-7 and 9 end at 267.0 and start at 273.0.
        {3, 200, 270, "chapters/stone.tex", 9, "between two paragraphs, as far from both: the lower one"},
        {3, 200, 5, "chapters/timber.tex", 4, "far above the head: the head box's smallest line"},
    };
    for (const Case &c : cases) {
        const std::string what =
            std::to_string(c.page) + " (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ") " + c.what;
        const Source s = inverse(c.page, c.x, c.y);
        ASSERT_TRUE(s.ok) << what << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(s.file, multiSource(c.file)) << what;
        EXPECT_EQ(s.line, c.line) << what;
    }
    // Beyond the last page.
    EXPECT_FALSE(inverse(8, 100, 100).ok);
    EXPECT_EQ(sync.ErrMsg.get(), "Page 8 not found.");
}

// Every line of a chapter that left records: the search from the centre of its first marked
// rectangle back to the source lands in the same file, and the line found there is marked on
// the same page at that point. The chapter's last paragraph (lines 27-29) is left out: its
// line boxes carry the next file's line, so a point on it leads to that file.
TEST_F(SyncTeXFixture, ForwardThenInverseComesBackToTheLine)
{
    loadMulti();
    const QString stone = multiSource("chapters/stone.tex");
    const std::set<int> lines = linesWithRecords(tagOf("./chapters/stone.tex"));
    constexpr int LastParagraph = 27;
    ASSERT_GT(lines.size(), 10u);
    ASSERT_TRUE(lines.count(LastParagraph));
    for (int line : lines) {
        if (line >= LastParagraph)
            continue;
        const Found f = forward(stone, line);
        ASSERT_TRUE(f.ok) << line << ": " << qPrintable(sync.ErrMsg.get());
        const TFloatRect &r = f.rects[1];
        const double x = (r.Left + r.Right) / 2, y = (r.Top + r.Bottom) / 2;
        const Source s = inverse(f.page, x, y);
        ASSERT_TRUE(s.ok) << line << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(s.file, stone) << line;
        const Found back = forward(stone, s.line);
        ASSERT_TRUE(back.ok) << line << " -> " << s.line;
        EXPECT_EQ(back.page, f.page) << line << " -> " << s.line;
        EXPECT_TRUE(contains(back.rects[0], x, y)) << line << " -> " << s.line;
    }
}

TEST_F(SyncTeXFixture, PagesOfDifferentWidths)
{
    load(sync, fixturePath("widths/widths.synctex.gz"));
    struct Case {
        int line;
        int page;
        Rect all;
    };
    const Case cases[] = {
        {14, 1, {51.0, 78.8, 368.5, 102.0}},
        {22, 2, {51.0, 78.8, 544.3, 88.5}},
        {30, 3, {51.0, 78.8, 368.5, 88.5}},
    };
    for (const Case &c : cases) {
        const Found f = forward(widthsSource(), c.line);
        ASSERT_TRUE(f.ok) << c.line << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(f.page, c.page) << c.line;
        expectNear(f.rects[0], c.all, "widths.tex:" + std::to_string(c.line));
    }
    // Right of the portrait pages' text block, on the wide page only.
    const Source s = inverse(2, 385.1, 83.6); // "wide"
    ASSERT_TRUE(s.ok) << qPrintable(sync.ErrMsg.get());
    EXPECT_EQ(s.file, widthsSource());
    EXPECT_EQ(s.line, 22);
}

TEST_F(SyncTeXFixture, SampleDocumentLoadsAndFindsItsLines)
{
    load(sync, sampleFile("OrvalePDFSample.synctex.gz"));
    const QString tex = sampleFile("OrvalePDFSample.tex");
    EXPECT_EQ(sync.MainFile, tex);
    struct Case {
        int line;
        int page;
        double wordX, wordY; // a word of the line, as pdftotext places it
    };
    const Case cases[] = {
        {32, 1, 195.7, 156.4}, // "tour"
        {51, 2, 137.7, 80.8},  // "takes"
        {90, 3, 62.1, 142.2},  // "Every"
    };
    for (const Case &c : cases) {
        const Found f = forward(tex, c.line);
        ASSERT_TRUE(f.ok) << c.line << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(f.page, c.page) << c.line;
        EXPECT_TRUE(contains(f.rects[0], c.wordX, c.wordY)) << c.line;
        const Source s = inverse(c.page, c.wordX, c.wordY);
        ASSERT_TRUE(s.ok) << c.line << ": " << qPrintable(sync.ErrMsg.get());
        EXPECT_EQ(s.file, tex);
        EXPECT_EQ(s.line, c.line);
    }
}

// The encrypted copy's SyncTeX file is found beside it and answers like the plain one.
TEST_F(SyncTeXFixture, EncryptedCopyLoadsLikeThePlainOne)
{
    loadMulti();
    const QString locked = TSyncTeX::GetSyncFileName(fixturePath("multi/multi-locked.pdf"));
    EXPECT_EQ(QFileInfo(locked).fileName(), "multi-locked.synctex.gz");
    TSyncTeX copy;
    load(copy, locked);
    EXPECT_EQ(copy.Data, sync.Data);
    EXPECT_EQ(copy.MainFile, sync.MainFile);
    const Found plain = forward(multiSource("chapters/stone.tex"), 9);
    const Found other = forward(copy, multiSource("chapters/stone.tex"), 9);
    ASSERT_TRUE(other.ok) << qPrintable(copy.ErrMsg.get());
    EXPECT_EQ(other.page, plain.page);
    ASSERT_EQ(other.numrect, plain.numrect);
    for (int i = 0; i <= plain.numrect; ++i)
        expectNear(other.rects[i],
                   {plain.rects[i].Left, plain.rects[i].Top, plain.rects[i].Right, plain.rects[i].Bottom},
                   "entry " + std::to_string(i));
    const Source s = inverse(copy, 5, 200, 300);
    ASSERT_TRUE(s.ok) << qPrintable(copy.ErrMsg.get());
    EXPECT_EQ(s.file, multiSource("chapters/timber.tex"));
    EXPECT_EQ(s.line, 26);
}

// The same data as written on another machine, its sources under /home/author/bridges/./:
// found below the SyncTeX file's folder, for both directions.
TEST_F(SyncTeXFixture, AMovedProjectAnswersLikeTheOriginal)
{
    loadMulti();
    TSyncTeX moved;
    load(moved, fixturePath("multi/multi-moved.synctex.gz"));
    EXPECT_EQ(moved.MainFile, multiSource("multi.tex"));
    const Source s = inverse(moved, 3, 217.5, 277.8);
    ASSERT_TRUE(s.ok) << qPrintable(moved.ErrMsg.get());
    EXPECT_EQ(s.file, multiSource("chapters/stone.tex"));
    EXPECT_EQ(s.line, 9);
    for (const auto &[source, line] :
         {std::pair{"chapters/stone.tex", 9}, {"chapters/iron.tex", 20}, {"multi.tex", 57}}) {
        const Found original = forward(multiSource(source), line);
        const Found other = forward(moved, multiSource(source), line);
        ASSERT_TRUE(other.ok) << source << ": " << qPrintable(moved.ErrMsg.get());
        EXPECT_EQ(other.page, original.page) << source;
        EXPECT_EQ(other.numrect, original.numrect) << source;
    }
}

} // namespace
