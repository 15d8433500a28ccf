#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <climits>

namespace {

double pt(double units) { return units / 65781.76; }

struct Box {
    double left, top, right, bottom; // file units
};

struct ForwardSearch : ::testing::Test {
    QTemporaryDir dir;
    QString main;
    TSyncTeX sync;
    int page = 0, numrect = 0;
    TFloatRectangles rects;

    void SetUp() override
    {
        App.AppRunning = true;
        main = dir.filePath("main.tex");
        writeBytes(main, "main");
    }
    void TearDown() override { App.AppRunning = false; }
    void load(const QByteArray &body)
    {
        const QString file = dir.filePath("main.synctex");
        writeBytes(file, syncPreamble(main) + body + "Postamble:\nCount:1\n");
        sync.Init();
        ASSERT_TRUE(sync.LoadSyncData(file, false)) << sync.ErrMsg.get();
    }
    bool search(const QString &source, int line) { return sync.ForwardSearch(source, line, page, numrect, rects); }
    void expectBoxes(const std::vector<Box> &boxes)
    {
        ASSERT_EQ(numrect, int(boxes.size()));
        ASSERT_EQ(rects.size(), boxes.size() + 1);
        Box all = boxes[0];
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Box &b = boxes[i];
            EXPECT_NEAR(rects[i + 1].Left, pt(b.left), 1e-6) << i;
            EXPECT_NEAR(rects[i + 1].Top, pt(b.top), 1e-6) << i;
            EXPECT_NEAR(rects[i + 1].Right, pt(b.right), 1e-6) << i;
            EXPECT_NEAR(rects[i + 1].Bottom, pt(b.bottom), 1e-6) << i;
            all = {std::min(all.left, b.left), std::min(all.top, b.top), std::max(all.right, b.right),
                   std::max(all.bottom, b.bottom)};
        }
        EXPECT_NEAR(rects[0].Left, pt(all.left), 1e-6);
        EXPECT_NEAR(rects[0].Top, pt(all.top), 1e-6);
        EXPECT_NEAR(rects[0].Right, pt(all.right), 1e-6);
        EXPECT_NEAR(rects[0].Bottom, pt(all.bottom), 1e-6);
    }
};

// One page: a running head of line 5, a paragraph of line 20 typeset in three lines, a line
// of line 21, another line of line 20 and a line of line 23 (line 22 is blank).
const QByteArray Paragraphs = "{1\n"
                              "[1,1:0,52000000:39000000,52000000,0\n"
                              "(1,5:4000000,3000000:30000000,600000,200000\n"
                              ")\n"
                              "(1,20:4000000,10000000:30000000,650000,200000\n"
                              "x1,20:4000000,10000000\n"
                              "g1,20:9000000,10000000\n"
                              ")\n"
                              "(1,20:4000000,11000000:30000000,650000,200000\n"
                              "x1,20:4000000,11000000\n"
                              ")\n"
                              "(1,20:4000000,12000000:20000000,650000,200000\n"
                              "k1,20:10000000,12000000:100000\n"
                              ")\n"
                              "(1,21:4000000,13000000:30000000,650000,200000\n"
                              "x1,21:4000000,13000000\n"
                              ")\n"
                              "(1,20:4000000,14000000:30000000,650000,200000\n"
                              "x1,20:4000000,14000000\n"
                              ")\n"
                              "(1,23:4000000,20000000:30000000,650000,200000\n"
                              "x1,23:4000000,20000000\n"
                              ")\n"
                              "]\n"
                              "}1\n";

} // namespace

TEST_F(ForwardSearch, LinesOfAParagraphMergeAndABoxWithoutTheLineStartsANewRectangle)
{
    load(Paragraphs);
    ASSERT_TRUE(search(main, 20)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 1);
    expectBoxes({{4000000, 9350000, 34000000, 12200000}, {4000000, 13350000, 34000000, 14200000}});
}

TEST_F(ForwardSearch, ABlankLineTakesTheNextLineWithRecords)
{
    load(Paragraphs);
    ASSERT_TRUE(search(main, 22)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 1);
    expectBoxes({{4000000, 19350000, 34000000, 20200000}});
}

TEST_F(ForwardSearch, FailuresLeaveNoMark)
{
    load(Paragraphs);
    struct Case {
        QString source;
        int line;
        QString message;
    };
    const Case cases[] = {
        {main, 24, "Input Line not Found in SyncTeX Data!"},
        {dir.filePath("other.tex"), 1, "Input File not Found in SyncTeX Data!"},
    };
    for (const Case &c : cases) {
        EXPECT_FALSE(search(c.source, c.line));
        EXPECT_EQ(sync.ErrMsg.get(), c.message);
        EXPECT_EQ(numrect, 0);
        EXPECT_EQ(rects.size(), 8u);
    }
}

TEST_F(ForwardSearch, WithoutDataTheLoadMessageStands)
{
    EXPECT_FALSE(search(main, 1));
    EXPECT_EQ(sync.ErrMsg.get(), "SyncTeX File \"\" not found.");
    EXPECT_EQ(numrect, 0);
}

TEST_F(ForwardSearch, ALaterPageWinsOnlyWhereTheLineDominates)
{
    const QByteArray headPage = "[1,1:0,52000000:39000000,52000000,0\n"
                                "(1,5:4000000,3000000:30000000,600000,200000\n"
                                ")\n"
                                "(1,30:4000000,10000000:30000000,650000,200000\n"
                                "x1,30:4000000,10000000\nx1,30:5000000,10000000\nx1,30:6000000,10000000\n"
                                ")\n]\n";
    const auto document = [&](const QByteArray &page3Body) {
        return "{1\n" + headPage + "}1\n{2\n" + headPage
            + "}2\n{3\n[1,1:0,52000000:39000000,52000000,0\n"
              "(1,5:4000000,3000000:30000000,600000,200000\n)\n"
              "(1,5:4000000,10000000:30000000,650000,200000\n"
            + page3Body
            + ")\n]\n}3\n"
              "{4\n[1,1:0,52000000:39000000,52000000,0\n(1,40:4000000,10000000:30000000,650000,200000\n)\n]\n}4\n";
    };
    // Page 3 holds the section of line 5 itself.
    load(document("x1,5:4000000,10000000\nx1,5:5000000,10000000\nx1,5:6000000,10000000\nx1,6:7000000,10000000\n"));
    ASSERT_TRUE(search(main, 5)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 3);
    // Page 3 mentions line 5 once beside other lines: not enough to beat the first page.
    load(document("x1,5:4000000,10000000\nx1,40:5000000,10000000\nx1,40:6000000,10000000\nx1,40:7000000,10000000\n"));
    ASSERT_TRUE(search(main, 5)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 1);
}

TEST_F(ForwardSearch, APageThatStartsWithALeftoverOfTheLineIsPassedOver)
{
    load("{1\n[1,1:0,52000000:39000000,52000000,0\n(1,10:4000000,10000000:30000000,650000,200000\nx1,10:4000000,"
         "10000000\n)\n]\n}1\n"
         "{2\n[1,1:0,52000000:39000000,52000000,0\n"
         "(1,30:4000000,3000000:30000000,600000,200000\nx1,30:4000000,3000000\n)\n"
         "(1,25:4000000,10000000:30000000,650000,200000\nx1,25:4000000,10000000\n)\n]\n}2\n"
         "{3\n[1,1:0,52000000:39000000,52000000,0\n"
         "(1,30:4000000,10000000:30000000,650000,200000\nx1,30:4000000,10000000\nx1,31:5000000,10000000\n)\n]\n}3\n");
    ASSERT_TRUE(search(main, 30)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 3);
    expectBoxes({{4000000, 9350000, 34000000, 10200000}});
}

TEST_F(ForwardSearch, APageMadeOnlyOfTheLineIsMarkedWhole)
{
    load("{1\n[1,1:0,52000000:39000000,52000000,0\n(1,3:4000000,10000000:30000000,650000,200000\n)\n]\n}1\n"
         "{2\n[1,40:0,52000000:39000000,52000000,0\n(1,40:4000000,30000000:30000000,20000000,0\nx1,40:4000000,"
         "30000000\n)\n]\n}2\n");
    ASSERT_TRUE(search(main, 40)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 2);
    expectBoxes({{0, 0, INT_MAX, INT_MAX}});
}

TEST_F(ForwardSearch, TheParentBoxWidensTheMarkUnlessItHoldsAnEarlierLineBefore)
{
    const auto document = [](const QByteArray &between) {
        return "{1\n[1,1:0,52000000:39000000,52000000,0\n"
               "(1,49:4000000,10000000:30000000,650000,200000\n"
            + between + "(1,50:4000000,10000000:10000000,650000,200000\nx1,50:4000000,10000000\n)\n)\n]\n}1\n";
    };
    load(document(""));
    ASSERT_TRUE(search(main, 50)) << sync.ErrMsg.get();
    expectBoxes({{4000000, 9350000, 34000000, 10200000}});
    load(document("x1,48:4000000,10000000\n"));
    ASSERT_TRUE(search(main, 50)) << sync.ErrMsg.get();
    expectBoxes({{4000000, 9350000, 14000000, 10200000}});
}

TEST_F(ForwardSearch, BoxesFartherApartThanTheMergeDistanceStaySeparate)
{
    load("{1\n[1,1:0,52000000:39000000,52000000,0\n"
         "(1,7:4000000,10000000:30000000,650000,200000\nx1,7:4000000,10000000\n)\n"
         "(1,7:4000000,13000000:30000000,650000,200000\nx1,7:4000000,13000000\n)\n" // 2,150,000 below: merged
         "(1,7:4000000,16500000:30000000,650000,200000\nx1,7:4000000,16500000\n)\n" // 2,650,000 below: apart
         "(1,8:4000000,18000000:30000000,650000,200000\n)\n]\n}1\n");
    ASSERT_TRUE(search(main, 7)) << sync.ErrMsg.get();
    expectBoxes({{4000000, 9350000, 34000000, 13200000}, {4000000, 15850000, 34000000, 16700000}});
}

TEST_F(ForwardSearch, SourceFilesAreIdentifiedByTheirExactPath)
{
    writeBytes(dir.filePath("chap1.tex"), "a");
    writeBytes(dir.filePath("Chap1.tex"), "b");
    load("Input:2:./chap1.tex\nInput:3:./Chap1.tex\n"
         "{1\n[1,1:0,52000000:39000000,52000000,0\n(2,3:4000000,10000000:30000000,650000,200000\n)\n]\n}1\n"
         "{2\n[1,1:0,52000000:39000000,52000000,0\n(3,3:4000000,10000000:30000000,650000,200000\n)\n]\n}2\n");
    struct Case {
        QString source;
        int page;
    };
    const Case cases[] = {
        {dir.filePath("chap1.tex"), 1},
        {dir.filePath("Chap1.tex"), 2},
        {dir.filePath("sub/../chap1.tex"), 1},
        {dir.filePath("CHAP1.TEX"), 2}, // no such file: the last candidate by name stands in
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(search(c.source, 3)) << c.source << sync.ErrMsg.get();
        EXPECT_EQ(page, c.page) << c.source;
    }
}

TEST_F(ForwardSearch, TheSecondRecordOfADocstripSourceCarriesItsLines)
{
    writeBytes(dir.filePath("pkg.dtx"), "%");
    load("Input:3:pkg.dtx\n"
         "{1\n[1,1:0,52000000:39000000,52000000,0\n(3,7:4000000,10000000:30000000,650000,200000\n)\n]\n}1\n"
         "Input:4:pkg.dtx\n"
         "{2\n[1,1:0,52000000:39000000,52000000,0\n(4,7:4000000,10000000:30000000,650000,200000\n)\n]\n}2\n");
    ASSERT_TRUE(search(dir.filePath("pkg.dtx"), 7)) << sync.ErrMsg.get();
    EXPECT_EQ(page, 2);
}
