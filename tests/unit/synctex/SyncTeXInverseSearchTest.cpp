#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {

double pt(double units) { return units / 65781.76; }

// Page 1: a line box of line 11 holding records of lines 10 to 12 at different x, and a
// line box of line 20 below it. Page 2: glue only. Page 3: a box of a file without Input
// record. Page 4: nothing. Page 5: a box of chap1.tex.
const QByteArray Document = "Input:2:./chap1.tex\n"
                            "{1\n"
                            "[1,1:0,52000000:39000000,52000000,0\n"
                            "(1,11:4000000,10000000:30000000,650000,200000\n"
                            "x1,10:4736286,10000000\n"
                            "g1,11:15000000,10000000\n"
                            "k1,12:25000000,10000000:1000000\n"
                            ")\n"
                            "(1,20:4000000,20000000:30000000,650000,200000\n"
                            "x1,20:4000000,20000000\n"
                            "x1,22:8000000,20000000\n"
                            "x1,19:9000000,20000000\n"
                            ")\n"
                            "]\n"
                            "}1\n"
                            "{2\n"
                            "[1,1:0,52000000:39000000,52000000,0\n"
                            "g1,33:0,5000000\n"
                            "g1,34:0,9000000\n"
                            "]\n"
                            "}2\n"
                            "{3\n"
                            "[1,1:0,52000000:39000000,52000000,0\n"
                            "(7,5:4000000,10000000:30000000,650000,200000\n"
                            ")\n"
                            "]\n"
                            "}3\n"
                            "{4\n"
                            "[1,1:0,52000000:39000000,52000000,0\n"
                            "]\n"
                            "}4\n"
                            "{5\n"
                            "[1,1:0,52000000:39000000,52000000,0\n"
                            "(2,8:4000000,10000000:30000000,650000,200000\n"
                            "x2,8:4000000,10000000\n"
                            ")\n"
                            "]\n"
                            "}5\n";

struct InverseSearch : ::testing::Test {
    QTemporaryDir dir;
    QString main;
    TSyncTeX sync;
    void SetUp() override
    {
        App.AppRunning = true;
        main = dir.filePath("main.tex");
        writeBytes(main, "main");
        writeBytes(dir.filePath("chap1.tex"), "chap1");
        const QString file = dir.filePath("main.synctex");
        writeBytes(file, syncPreamble(main) + Document);
        ASSERT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get();
    }
    void TearDown() override { App.AppRunning = false; }
};

} // namespace

TEST_F(InverseSearch, PointsGiveTheirSourceLines)
{
    struct Case {
        const char *what;
        int page;
        double x, y; // file units
        QString file;
        int line;
    };
    const QString chap1 = dir.filePath("chap1.tex");
    const Case cases[] = {
        {"in the line box, the first record right of the point", 1, 16000000, 9800000, main, 12},
        {"in the line box, right of its last record", 1, 30000000, 9800000, main, 12},
        {"in the line box, between the first two records", 1, 10000000, 10100000, main, 11},
        {"in the line box, left of its records", 1, 4100000, 10000000, main, 10},
        {"just above the line box (within 25,000 units)", 1, 10000000, 9330000, main, 11},
        {"between the boxes, nearer the lower one", 1, 10000000, 15000000, main, 19},
        {"between the boxes, nearer the upper one", 1, 10000000, 12000000, main, 12},
        {"between the boxes at equal distances: the lower one", 1, 10000000, 14775000, main, 19},
        {"far above the first box: its smallest line", 1, 10000000, 1000000, main, 10},
        {"far below the last box: its largest line", 1, 10000000, 40000000, main, 22},
        {"near below the last box: by x, where a lower line always wins", 1, 8500000, 20250000, main, 19},
        {"a page of glue only: the nearest record in height", 2, 0, 8000000, main, 34},
        {"a box of an input file", 5, 5000000, 9800000, chap1, 8},
    };
    for (const Case &c : cases) {
        QString file;
        int line = -1;
        EXPECT_TRUE(sync.InverseSearch(c.page, pt(c.x), pt(c.y), file, line)) << c.what << sync.ErrMsg.get();
        EXPECT_EQ(file, c.file) << c.what;
        EXPECT_EQ(line, c.line) << c.what;
    }
}

TEST_F(InverseSearch, FailuresNameTheirCause)
{
    struct Case {
        int page;
        QString message;
    };
    const Case cases[] = {
        {9, "Page 9 not found."},
        {3, "Source file not found!"},
        {4, "No source data found on this page!"},
    };
    for (const Case &c : cases) {
        QString file = "x";
        int line = 5;
        EXPECT_FALSE(sync.InverseSearch(c.page, 100, 100, file, line)) << c.page;
        EXPECT_EQ(sync.ErrMsg.get(), c.message);
        EXPECT_EQ(file, QString());
        EXPECT_EQ(line, 0);
    }
}

// The answer goes to the editor's command line: a name that is no file, or one with control
// characters, must not reach it, where "+cmd" or "--eval=" would be read as an option.
TEST_F(InverseSearch, OnlyAnExistingSourceWithAPlainNameIsAnswered)
{
    writeBytes(dir.filePath("tab\there.tex"), "x");
    const auto notFound = [](const QString &name) { return "Source file not found: \"" + name + "\""; };
    const auto refused = [](const QString &name) {
        return "Source file name with control characters refused: \"" + name + "\"";
    };
    struct Case {
        QByteArray recorded;
        QString message;
    };
    const Case cases[] = {
        {"+!touch X", notFound(dir.filePath("+!touch X"))},
        {"--eval=(kill-emacs)", notFound(dir.filePath("--eval=(kill-emacs)"))},
        {"./sub/../-x.tex", notFound(dir.filePath("-x.tex"))},
        {"/nowhere/./x.tex", notFound("/nowhere/x.tex")},
        {"tab\there.tex", refused(dir.filePath("tab\\x09here.tex"))},
        {"esc\x1b]0;title\x07\xc2\x9b.tex", refused(dir.filePath("esc\\x1b]0;title\\x07\\x9b.tex"))},
    };
    for (const Case &c : cases) {
        const QString file = dir.filePath("names.synctex");
        writeBytes(file,
                   syncPreamble(main) + "Input:2:" + c.recorded
                       + "\n{1\n[1,1:0,52000000:39000000,52000000,0\n"
                         "(2,8:4000000,10000000:30000000,650000,200000\n)\n]\n}1\n");
        TSyncTeX names;
        ASSERT_TRUE(names.LoadSyncData(file, false)) << names.ErrMsg.get();
        QString source = "x";
        int line = 5;
        EXPECT_FALSE(names.InverseSearch(1, pt(5000000), pt(9800000), source, line)) << c.recorded.constData();
        EXPECT_EQ(names.ErrMsg.get(), c.message);
        EXPECT_EQ(source, QString());
    }
}

TEST_F(InverseSearch, OffsetsAndMagnificationConvertThePoint)
{
    const QString file = dir.filePath("mag.synctex");
    // Magnification 2000 halves the file units per point; the offset moves the origin.
    writeBytes(file, syncPreamble(main, "Magnification:2000\nUnit:1\nX Offset:1000000\nY Offset:0\n") + Document);
    TSyncTeX mag;
    ASSERT_TRUE(mag.LoadSyncData(file, false));
    QString source;
    int line;
    ASSERT_TRUE(mag.InverseSearch(1, (10000000 + 1000000) * mag.fUnit, 10100000 * mag.fUnit, source, line));
    EXPECT_EQ(line, 11);
}
