// The bookmark tree read from real outlines (TeX's and damaged ones of our own making), the
// page each bookmark belongs to, and the list of named destinations.
#include "engine/NamedDestinations.h"
#include "engine/OutlineReader.h"

#include "EngineFixture.h"
#include "PdfWriter.h"

#include <QRegularExpression>

namespace {

// "Level:Caption" for each item.
QStringList Shape(const TTree &tree)
{
    QStringList out;
    for (int i = 0; i < tree.Count; ++i)
        out << QString::number(tree.Items[size_t(i)].Level) + ':' + tree.Items[size_t(i)].Caption;
    return out;
}

} // namespace

struct OutlineTest : EngineFixture {
    std::shared_ptr<TTree> open(const QString &file)
    {
        EXPECT_TRUE(engine->OpenDocument(file, false, QString(), 0, TDestType::ForwardSearch));
        engine->BuildTree(engine->Tree());
        return engine->Tree();
    }
    QString write(const PdfWriter &w, const QString &name)
    {
        const QString file = dir.filePath(name);
        EXPECT_TRUE(w.write(file));
        return file;
    }
    static PdfWriter pages(int n)
    {
        PdfWriter w;
        for (int i = 0; i < n; ++i)
            w.addPage();
        return w;
    }
};

TEST_F(OutlineTest, MultiGivesTheTreeMuPDFsToolReads)
{
    // mutool's lines: a marker, one tab per level, the quoted title.
    QFile recorded(fixturePath("multi/multi-outline.txt"));
    ASSERT_TRUE(recorded.open(QIODevice::ReadOnly));
    QStringList expected;
    static const QRegularExpression line(QStringLiteral("^[|+-](\\t+)\"(.*)\"\\t"));
    for (const QString &l : QString::fromUtf8(recorded.readAll()).split('\n', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = line.match(l);
        ASSERT_TRUE(m.hasMatch()) << l.toStdString();
        expected << QString::number(m.captured(1).size() - 1) + ':' + m.captured(2);
    }
    const auto tree = open(copy("multi/multi.pdf", "multi.pdf"));
    EXPECT_EQ(Shape(*tree), expected);
    EXPECT_TRUE(tree->Ready);
}

TEST_F(OutlineTest, TextGivesThreeLevelsAndItsPages)
{
    const auto tree = open(copy("pdfium/text.pdf", "text.pdf"));
    EXPECT_EQ(Shape(*tree),
              QStringList({"0:Front matter", QString::fromUtf8("0:Body Über Straße"), "1:Sub one", "2:Deep",
                           "0:Rotated page", "0:Cropped page"}));
    engine->ReadTreePages(*tree);
    std::vector<int> pageOf;
    for (const TTreeItem &item : tree->Items)
        pageOf.push_back(item.Page);
    EXPECT_EQ(pageOf, (std::vector<int>{1, 3, 3, 3, 4, 5}));
}

TEST_F(OutlineTest, DeepAndLoopingOutlinesGiveAFiniteTreeAndLogTheCut)
{
    struct Case {
        const char *name;
        std::function<void(PdfWriter &)> outline;
        int items;
        QString logged;
    };
    const Case cases[] = {
        {"10 levels", [](PdfWriter &w) { w.addNestedOutline(10); }, 8, "Tree Depth: 8"},
        {"10000 levels", [](PdfWriter &w) { w.addNestedOutline(10000); }, 8, "Tree Depth: 8"},
        {"siblings in a loop",
         [](PdfWriter &w) {
             w.outline = {{"A", 0, {}, -1, 1, -1}, {"B", 0, {}, -1, 2, -1}, {"C", 0, {}, -1, 0, -1}};
         },
         3, "Tree Cycle: A"},
        {"child pointing to its ancestor",
         [](PdfWriter &w) {
             w.outline = {{"A", 0, {}, 1, -1, -1}, {"B", 0, {}, 0, -1, 0}};
         },
         2, "Tree Cycle: A"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PdfWriter w = pages(1);
        c.outline(w);
        const auto tree = open(write(w, QString("outline%1.pdf").arg(n++)));
        EXPECT_EQ(tree->Count, c.items);
        EXPECT_EQ(log().count(c.logged), 1);
        engine->CloseAllFiles(-1);
        QFile::resize(logPath, 0);
    }
}

TEST_F(OutlineTest, ExpansionAndSelectionFollowTheCaptionsIntoANewReading)
{
    const auto tree = open(copy("multi/multi.pdf", "multi.pdf"));
    // "Timber Spans" open and "Rust" selected; the reload reads the outline again.
    tree->Items[4].Expanded = true;
    tree->Items[8].Selected = true;
    tree->Ready = false;
    engine->BuildTree(tree);
    for (int i = 0; i < tree->Count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tree->Items[size_t(i)].Expanded, i == 4);
        EXPECT_EQ(tree->Items[size_t(i)].Selected, i == 8);
    }
}

TEST_F(OutlineTest, ThePageOfABookmark)
{
    const auto tree = open(copy("multi/multi.pdf", "multi.pdf"));
    engine->ReadTreePages(*tree);
    struct Case {
        int page;
        QString chosen;
    };
    // The first of a page's own bookmarks; else the last one of the nearest page before.
    const Case cases[] = {{1, ""},
                          {2, ""},
                          {3, "Introduction"},
                          {4, "Parapets"},
                          {5, "Repairs"},
                          {6, "Iron and Concrete"},
                          {99, "Closing Remarks"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.page);
        const int i = tree->ItemForPage(c.page);
        EXPECT_EQ(i < 0 ? QString() : tree->Items[size_t(i)].Caption, c.chosen);
    }
}

TEST_F(OutlineTest, BookmarksWithoutAPageAreNeverChosen)
{
    PdfWriter w = pages(4);
    w.outline = {{"No page", -1, {}, -1, 1, -1}, {"Second", 1, {}, -1, 2, -1}, {"Fourth", 3, {}, -1, -1, -1}};
    const auto tree = open(write(w, "pageless.pdf"));
    engine->ReadTreePages(*tree);
    EXPECT_EQ(tree->Items[0].Page, -1);
    EXPECT_EQ(tree->ItemForPage(1), -1);
    EXPECT_EQ(tree->ItemForPage(3), 1);
    EXPECT_EQ(tree->ItemForPage(4), 2);
}

TEST_F(OutlineTest, NamedDestinationsOfText)
{
    open(copy("pdfium/text.pdf", "text.pdf"));
    const QString list = ListNamedDestinations(*engine->PDFium(), engine->Document(engine->SelDoc()).PDFiumDoc.get(),
                                               engine->Pages().PageCount());
    EXPECT_TRUE(list.startsWith("Named Destinations: 13\n\n")) << list.toStdString();
    EXPECT_EQ(list.count(QRegularExpression("Page [0-9?] <- [^\n]+\n")), 13) << list.toStdString();
    EXPECT_TRUE(list.contains("Page 3 <- section.2\n"));
}
