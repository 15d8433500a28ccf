#include "engine/RecentDocuments.h"

#include "settings/Prefer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <vector>

namespace {

struct RecentDocuments : ::testing::Test {
    TPrefer prefer;
    TRecentDocuments recent{prefer};

    void SetUp() override
    {
        prefer.MaxListLen = 3;
        prefer.DocList = QList<TDocInfo>(4);
        prefer.DocListCount = 0;
        prefer.RememberDoc = true;
    }
    static TDocument doc(const QString &name)
    {
        TDocument d;
        d.FileName = name;
        return d;
    }
    QStringList names() const
    {
        QStringList list;
        for (int i = 0; i < prefer.DocListCount; ++i)
            list << prefer.DocList[i].FileName + ":" + QString::number(prefer.DocList[i].wasOpened);
        return list;
    }
};

} // namespace

// Inserting puts the name at the top: a known one moves up without growing the list, a new
// one drops the oldest of a full list; a list shorter than its capacity grows to capacity
// plus the spare entry, and a count or capacity out of range is brought back into it.
TEST_F(RecentDocuments, InsertKeepsTheListMostRecentFirstAndWithinItsCapacity)
{
    struct Case {
        const char *name;
        int maxLen;
        int listSize;
        int count; // entries already in the list: /1 ... /count, /1 the most recent
        const char *insert;
        QStringList expected;
        int expectedSize;
    };
    const Case cases[] = {
        {"new on a short list", 3, 4, 2, "/n", {"/n:0", "/1:0", "/2:0"}, 4},
        {"new on a full list", 3, 4, 3, "/n", {"/n:0", "/1:0", "/2:0"}, 4},
        {"known in the middle", 3, 4, 3, "/2", {"/2:0", "/1:0", "/3:0"}, 4},
        {"known at the top", 3, 4, 3, "/1", {"/1:0", "/2:0", "/3:0"}, 4},
        {"the oldest", 3, 4, 3, "/3", {"/3:0", "/1:0", "/2:0"}, 4},
        {"a list read shorter than its capacity", 3, 0, 0, "/n", {"/n:0"}, 4},
        {"a count above the capacity", 2, 5, 4, "/n", {"/n:0", "/1:0"}, 5},
        {"no capacity holds one", 0, 0, 0, "/n", {"/n:0"}, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prefer.MaxListLen = c.maxLen;
        prefer.DocList = QList<TDocInfo>(c.listSize);
        for (int i = 0; i < c.count && i < c.listSize; ++i)
            prefer.DocList[i].FileName = "/" + QString::number(i + 1);
        prefer.DocListCount = c.count;
        recent.Insert(doc(c.insert), 0);
        EXPECT_EQ(names(), c.expected);
        EXPECT_EQ(prefer.DocList.size(), c.expectedSize);
    }
}

// The entry records the document's view and password as they are, for the next open.
TEST_F(RecentDocuments, InsertRecordsTheViewAndRecallGivesItBack)
{
    TDocument d = doc("/a.pdf");
    d.FilePwd = "secret";
    d.ZoomMode = zCustom;
    d.Zoom = 175;
    d.Rotate = 3;
    d.PageView = TPageViewMode::Book;
    d.AllowScrolling = false;
    d.RenderAnnot = true;
    d.FrameLinks = false;
    d.ShowBookmarks = true;
    d.TrackBookmarks = true;
    d.Position = {5, 12.5, 3.25};
    recent.Insert(d, 2);
    EXPECT_EQ(prefer.DocList[0].wasOpened, 2);
    recent.Insert(doc("/b.pdf"), 0);

    TDocument back = doc("/a.pdf");
    ASSERT_TRUE(recent.Recall("/a.pdf", back));
    EXPECT_TRUE(back.ViewRemembered);
    EXPECT_EQ(back.FilePwd, "secret");
    EXPECT_EQ(back.ZoomMode, zCustom);
    EXPECT_EQ(back.Zoom, 175);
    EXPECT_EQ(back.Rotate, 3);
    EXPECT_EQ(back.PageView, TPageViewMode::Book);
    EXPECT_FALSE(back.AllowScrolling);
    EXPECT_TRUE(back.RenderAnnot);
    EXPECT_FALSE(back.FrameLinks);
    EXPECT_TRUE(back.ShowBookmarks);
    EXPECT_TRUE(back.TrackBookmarks);
    EXPECT_EQ(back.Position.cp, 5);
    EXPECT_EQ(back.Position.Top, 12.5);
    EXPECT_EQ(back.Position.Left, 3.25);
}

// Recall gives nothing when the settings keep no views or the name is not (or no longer)
// in the list; a damaged entry comes back as a valid view.
TEST_F(RecentDocuments, RecallOnlyGivesAValidViewOfAListedName)
{
    recent.Insert(doc("/gone.pdf"), 0);
    TDocument d = doc("/a.pdf");
    d.Position = {0, 0, 0};
    recent.Insert(d, 0);
    prefer.DocListCount = 1; // /gone.pdf is past the end now

    TDocument back;
    EXPECT_FALSE(recent.Recall("/gone.pdf", back));
    EXPECT_FALSE(recent.Recall("/A.pdf", back)) << "names compare exactly";
    prefer.RememberDoc = false;
    EXPECT_FALSE(recent.Recall("/a.pdf", back));
    EXPECT_FALSE(back.ViewRemembered);

    prefer.RememberDoc = true;
    prefer.DocList[0].ZoomMode = 42;
    ASSERT_TRUE(recent.Recall("/a.pdf", back));
    EXPECT_EQ(back.ZoomMode, zCustom);
    EXPECT_EQ(back.Position.cp, 1) << "a view starts at page 1 at least";
}

// The open documents go to the top in tab order, the current one marked 2, above the
// documents closed before.
TEST_F(RecentDocuments, TheOpenDocumentsGoToTheTopInTabOrder)
{
    recent.Insert(doc("/old"), 0);
    std::vector<TDocument> open;
    open.push_back(doc("/a"));
    open.push_back(doc("/b"));
    recent.InsertOpen(open, 1);
    EXPECT_EQ(names(), QStringList({"/a:1", "/b:2", "/old:0"}));
    recent.InsertOpen(open, -1);
    EXPECT_EQ(names(), QStringList({"/a:1", "/b:1", "/old:0"}));
}

// The documents open at the last exit come in list order until the first closed entry;
// a file that is gone is marked closed and not offered.
TEST_F(RecentDocuments, TheWalkOffersTheDocumentsOpenAtTheLastExit)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto file = [&](const QString &name) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    };
    prefer.MaxListLen = 5;
    const QString a = file("a.pdf"), b = file("b.pdf"), after = file("after.pdf");
    const QString gone = dir.filePath("gone.pdf");
    // Inserted last first: a (open), gone (open), b (current), closed, after (open).
    recent.Insert(doc(after), 1);
    recent.Insert(doc(dir.filePath("closed.pdf")), 0);
    recent.Insert(doc(b), 2);
    recent.Insert(doc(gone), 1);
    recent.Insert(doc(a), 1);

    QStringList offered;
    recent.ForEachOpened(
        [&](const QString &FN, bool selected) { offered << QFileInfo(FN).fileName() + (selected ? "*" : ""); });
    EXPECT_EQ(offered, QStringList({"a.pdf", "b.pdf*"}));
    EXPECT_EQ(prefer.DocList[1].wasOpened, 0) << "the missing file is no longer open";
    EXPECT_EQ(prefer.DocList[4].wasOpened, 1) << "entries past the first closed one stay as they were";
}
