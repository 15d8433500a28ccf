// The bookmarks panel inside the main window: the outline of the current document, the
// bookmark of the page in view selected while paging, clicks and keys that follow bookmarks,
// the state kept per document, and F4.
#include "ui/ClientForm.h"
#include "ui/MainForm.h"
#include "ui/TreeForm.h"
#include "ui/widgets/PanelCaption.h"
#include "settings/Colors.h"

#include "MainFormFixture.h"
#include "PdfWriter.h"

#include <QAction>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>

namespace {

struct BookmarksPanel : MainFormFixture {
    TTreeForm *panel = nullptr;
    QTreeWidget *tree = nullptr;

    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 400, 850}; // top, left, bottom, right
        Prefer.ShowBookmarks = true;
        Prefer.TrackBookmarks = true;
        Prefer.BookmarksWidth = 220;
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QApplication::setActiveWindow(form.get());
        panel = form->BookmarksPanel();
        ASSERT_NE(panel, nullptr);
        tree = panel->Tree;
    }
    QString open(const QString &fixture, const QString &name)
    {
        const QString path = copy(fixture, name);
        EXPECT_TRUE(engine->LoadFile(path));
        QApplication::processEvents();
        return path;
    }
    QTreeWidgetItem *node(const QString &caption)
    {
        const auto found = tree->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }
    QString selected() const { return tree->currentItem() ? tree->currentItem()->text(0) : QString(); }
    void go(int page)
    {
        engine->Navigator().GOTOPage(page, nullptr);
        QApplication::processEvents();
    }
    void click(QTreeWidgetItem *item, int dx = 20)
    {
        const QRect r = tree->visualItemRect(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(r.left() + dx, r.center().y()));
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(BookmarksPanel, ShowsTheOutlineBesideThePageView)
{
    open("multi/multi.pdf", "multi.pdf");
    EXPECT_TRUE(panel->isVisible());
    TClientForm *client = form->ClientArea();
    EXPECT_EQ(panel->parentWidget(), client->LeftPanel);
    EXPECT_EQ(client->LeftSplitter->widget(0), client->LeftPanel);
    EXPECT_EQ(form->PageView()->parentWidget(), client->ClientPanel);
    EXPECT_EQ(tree->topLevelItemCount(), 5);
    EXPECT_EQ(node("Weathering")->parent(), node("Stone Arches"));
    EXPECT_NEAR(client->LeftPanel->width(), 220, 8);
    // The page view begins right of the panel and the handle between them.
    EXPECT_TRUE(client->LeftSplitter->handle(1)->isVisible());
    EXPECT_EQ(client->ClientPanel->x(), client->LeftPanel->width() + client->LeftSplitter->handleWidth());

    // A document without an outline hides it.
    open("pdfium/search.pdf", "search.pdf");
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(engine->ShowBookmarks);
}

TEST_F(BookmarksPanel, FollowsThePageInView)
{
    open("multi/multi.pdf", "multi.pdf");
    go(3);
    EXPECT_EQ(selected(), "Introduction");
    // Page 5 has no bookmark of its own: the last one before it, or its closed chapter.
    go(5);
    EXPECT_EQ(selected(), "Timber Spans");
    node("Timber Spans")->setExpanded(true);
    go(1);
    go(5);
    EXPECT_EQ(selected(), "Repairs");

    // While the tree has the keyboard, paging leaves its selection alone.
    tree->setFocus();
    ASSERT_TRUE(tree->hasFocus());
    go(6);
    EXPECT_EQ(selected(), "Repairs");
}

TEST_F(BookmarksPanel, RequestsBeforeTheTrackingEventRunsLeaveOneForTheLastPage)
{
    open("multi/multi.pdf", "multi.pdf");
    Prefer.UseThreads = true;
    QSignalSpy changes(tree, &QTreeWidget::currentItemChanged);
    for (int page : {3, 4, 6, 7, 3, 4, 6, 7, 3, 6})
        panel->FollowPage(page);
    EXPECT_EQ(changes.count(), 0);
    QApplication::processEvents();
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(selected(), "Iron and Concrete");
}

TEST_F(BookmarksPanel, ClicksFollowBookmarksButNotTheirExpandButtons)
{
    Prefer.TrackBookmarks = false;
    open("multi/multi.pdf", "multi.pdf");
    ASSERT_EQ(page(), 1);
    QTreeWidgetItem *stone = node("Stone Arches");
    // The press on the expand button opens the chapter and follows nothing.
    click(stone, -tree->indentation() / 2);
    EXPECT_TRUE(stone->isExpanded());
    EXPECT_EQ(page(), 1);

    click(node("Parapets"));
    EXPECT_EQ(page(), 4);
    go(1);
    // The selected bookmark, clicked again, is followed again.
    click(node("Parapets"));
    EXPECT_EQ(page(), 4);

    // Enter follows the selected one; Tab gives the page view the keyboard.
    go(1);
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Return);
    EXPECT_EQ(page(), 4);
    QTest::keyClick(tree, Qt::Key_Tab);
    EXPECT_TRUE(form->PageView()->hasFocus());
}

TEST_F(BookmarksPanel, SwitchingDocumentsKeepsEachTreesState)
{
    Prefer.TrackBookmarks = false;
    // Thirty entries, the sixth with two children: more than the panel shows at once.
    PdfWriter w;
    w.addPage();
    for (int i = 0; i < 30; ++i)
        w.outline.push_back({"Entry " + QByteArray::number(i), 0, {}, i == 5 ? 30 : -1, i < 29 ? i + 1 : -1, -1});
    w.outline.push_back({"Child A", 0, {}, -1, 31, 5});
    w.outline.push_back({"Child B", 0, {}, -1, -1, 5});
    const QString long_ = dir.filePath("long.pdf");
    ASSERT_TRUE(w.write(long_));
    ASSERT_TRUE(engine->LoadFile(long_));
    QApplication::processEvents();
    node("Entry 5")->setExpanded(true);
    tree->setCurrentItem(node("Child B"));
    tree->scrollToItem(node("Entry 10"), QAbstractItemView::PositionAtTop);
    QApplication::processEvents();
    ASSERT_EQ(tree->itemAt(0, 0)->text(0), "Entry 10");

    open("multi/multi.pdf", "multi.pdf");
    EXPECT_EQ(tree->topLevelItemCount(), 5);
    ASSERT_TRUE(engine->OpenDocument(long_, false, QString(), 0, TDestType::ForwardSearch));
    QApplication::processEvents();
    EXPECT_TRUE(node("Entry 5")->isExpanded());
    EXPECT_EQ(selected(), "Child B");
    EXPECT_EQ(tree->itemAt(0, 0)->text(0), "Entry 10");
}

TEST_F(BookmarksPanel, F4ShowsAndHidesThePanel)
{
    open("multi/multi.pdf", "multi.pdf");
    ASSERT_TRUE(panel->isVisible());
    QTest::keyClick(form.get(), Qt::Key_F4);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_FALSE(engine->ShowBookmarks);
    EXPECT_FALSE(form->Command("menuShowBookmarks")->isChecked());
    QTest::keyClick(form.get(), Qt::Key_F4);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_TRUE(form->Command("menuShowBookmarks")->isChecked());
}

// The caption above the docked panel names it; its close button hides the panel as F4 does.
TEST_F(BookmarksPanel, TheCaptionsCloseButtonHidesThePanel)
{
    open("multi/multi.pdf", "multi.pdf");
    auto *caption = form->ClientArea()->LeftPanel->findChild<TPanelCaption *>("BookmarksCaption");
    ASSERT_NE(caption, nullptr);
    EXPECT_EQ(caption->Caption(), "Bookmarks");
    EXPECT_TRUE(caption->isVisible());
    EXPECT_LT(caption->y(), panel->y()) << "the caption stands above the tree";
    const QPoint cross = caption->CloseButtonRect().center();
    QTest::mouseClick(caption, Qt::LeftButton, Qt::NoModifier, cross);
    EXPECT_TRUE(panel->isHidden());
    EXPECT_TRUE(form->ClientArea()->LeftPanel->isHidden());
    EXPECT_FALSE(engine->ShowBookmarks);
    EXPECT_FALSE(form->Command("menuShowBookmarks")->isChecked());
}

TEST_F(BookmarksPanel, TheThemesTreeColoursAndTheHotExpandButton)
{
    open("multi/multi.pdf", "multi.pdf");
    const TThemeColors saved = Colors.Theme;
    Colors.Theme[tvcCustomColor].val = 0x203040;
    Colors.Theme[tvcCustomBk].val = 0x203040;
    Colors.Theme[tvcCustomText].val = 0xF0F0F0;
    QTreeWidgetItem *stone = node("Stone Arches");
    const QRect row = tree->visualItemRect(stone);
    tree->viewport()->update();
    const QImage drawn = tree->viewport()->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(row.right() - 4, row.center().y()), ToQColor(0x203040));
    EXPECT_EQ(drawn.pixelColor(row.left() - tree->indentation() + 1, row.top() + 1), ToQColor(0x203040));
    Colors.Theme = saved;

    // The pointer over the expand button makes its node hot, and the log says so.
    QTest::mouseMove(tree->viewport(), QPoint(row.left() - tree->indentation() / 2, row.center().y()));
    QApplication::processEvents();
    EXPECT_TRUE(log().contains("Hot Tree Item: Stone Arches ")) << log().toStdString();
}

TEST_F(BookmarksPanel, DottedLinesJoinNodesInTheThemesLineColour)
{
    open("multi/multi.pdf", "multi.pdf");
    const auto saved = Colors;
    // The colours of the system theme, which the interface colours are taken from.
    Prefer.ThemeModeIndex = 0;
    TThemeColors &set = Colors.ThemeSystem;
    set[tvcCustomColor].val = 0x203040;
    set[tvcCustomBk].val = 0x203040;
    set[tvcCustomText].val = 0xF0F0F0;
    node("Stone Arches")->setExpanded(true);
    // Dots of a colour in the branch area of a child, left of its text.
    const auto dots = [&](int32_t color) {
        const QRect row = tree->visualItemRect(node("Weathering"));
        const QImage drawn = tree->viewport()->grab().toImage();
        int n = 0;
        for (int y = row.top(); y <= row.bottom(); ++y)
            for (int x = 0; x < row.left(); ++x)
                n += drawn.pixelColor(x, y) == ToQColor(color);
        return n;
    };
    for (int32_t lines : {0xFF00FF, 0x00FFFF}) {
        SCOPED_TRACE(lines);
        set[tvcLines].val = lines;
        form->UpdateColors();
        QApplication::processEvents();
        // A vertical line through the chapter's column and the elbow to the child.
        EXPECT_GT(dots(lines), tree->visualItemRect(node("Weathering")).height() / 4);
    }
    EXPECT_EQ(dots(0xFF00FF), 0);
    // Hiding and showing the panel applies the colour in force.
    Colors.Theme[tvcLines].val = 0x00FF00;
    panel->doHideDocked(true);
    panel->doShowDocked(true);
    QApplication::processEvents();
    EXPECT_GT(dots(0x00FF00), 0);
    Colors = saved;
}

TEST_F(BookmarksPanel, AReloadReadsTheOutlineOfTheNewVersion)
{
    const QString file = open("multi/multi.pdf", "book.pdf");
    go(5);
    ASSERT_EQ(selected(), "Timber Spans");
    // TeX wrote another document under the same name.
    rewrite(file, EngineFixture::fixture("pdfium/text.pdf"));
    ASSERT_TRUE(engine->ReloadFile(file));
    QApplication::processEvents();
    EXPECT_EQ(tree->topLevelItemCount(), 4);
    ASSERT_NE(node("Rotated page"), nullptr);
    click(node("Rotated page"));
    EXPECT_EQ(page(), 4);
    // The click gave the tree the keyboard; tracking resumes once the page view has it.
    form->PageView()->setFocus();
    go(5);
    EXPECT_EQ(selected(), "Cropped page");
}
