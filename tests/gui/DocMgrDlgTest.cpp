// The document manager over the main window and a real engine, with files in a temporary
// folder: its rows and images, sorting, opening and closing many documents, the recent
// list it writes back, and its remembered size.
#include "settings/DocMgrGeometry.h"
#include "ui/DocMgrDlg.h"
#include "ui/ImageRes.h"
#include "ui/widgets/PngSpeedButton.h"

#include "MainFormFixture.h"
#include "RecordingSink.h"

#include <QComboBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>

namespace {

struct DocMgrDlgTest : MainFormFixture {
    TDocMgrGeometry savedGeometry = DocMgrGeometry;
    int savedPPI = CurrentPPI;
    void SetUp() override
    {
        MainFormFixture::SetUp();
        DocMgrGeometry = {};
        createForm();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    void TearDown() override
    {
        DocMgrGeometry = savedGeometry;
        CurrentPPI = savedPPI;
        MainFormFixture::TearDown();
    }
    // The recent list holds these files, most recent first, each with a zoom of its own.
    void setRecent(const QStringList &files)
    {
        for (int i = 0; i < files.size(); ++i) {
            Prefer.DocList[i] = TDocInfo();
            Prefer.DocList[i].FileName = files[i];
            Prefer.DocList[i].Zoom = 100 + i;
        }
        Prefer.DocListCount = int32_t(files.size());
    }
    QString touch(const QString &name, int64_t time = 0)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.close();
        if (time) {
            EXPECT_TRUE(pl::files().setTimes(path, time, time));
        }
        return path;
    }
    static QStringList names(const TDocMgrDlg &dlg)
    {
        QStringList out;
        for (const auto &r : dlg.Rows())
            out << r.Name;
        return out;
    }
    static void select(TDocMgrDlg &dlg, const QList<int> &rows)
    {
        auto *model = dlg.ListView()->model();
        dlg.ListView()->selectionModel()->clear();
        for (int r : rows)
            dlg.ListView()->selectionModel()->select(model->index(r, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        dlg.UpdateButtons();
    }
    QStringList recentFiles() const
    {
        QStringList out;
        for (int i = 0; i < Prefer.DocListCount; ++i)
            out << QFileInfo(Prefer.DocList[i].FileName).fileName();
        return out;
    }
};

TEST_F(DocMgrDlgTest, RecentRowsImagesAndCaption)
{
    const QString synced = copy("multi/multi.pdf", "synced.pdf");
    QFile::copy(fixturePath("multi/multi.synctex.gz"), dir.filePath("synced.synctex.gz"));
    const QString plain = copy("multi/multi.pdf", "plain.pdf");
    const QString text = touch("notes.txt");
    const QString held = copy("multi/multi.pdf", "held.pdf");
    QFile writer(held);
    ASSERT_TRUE(writer.open(QIODevice::ReadWrite));
    setRecent({dir.filePath("gone.pdf"), synced, plain, text, held});

    TDocMgrDlg dlg(*form, true);
    EXPECT_EQ(dlg.windowTitle(), "Recently Opened Documents (5 files)");
    EXPECT_EQ(names(dlg), QStringList({"gone.pdf", "synced.pdf", "plain.pdf", "notes.txt", "held.pdf"}));
    const QStringList images = {"DocGone", "DocSync", "DocPdf", "Doc", "DocLockedMod"};
    for (int i = 0; i < images.size(); ++i)
        EXPECT_EQ(dlg.Rows()[i]._img, ImageListOf(1).GetImageIndex(images[i])) << i;
    EXPECT_TRUE(dlg.Rows()[0].Date.isEmpty());
    EXPECT_FALSE(dlg.Rows()[1].Date.isEmpty());
    EXPECT_EQ(dlg.Rows()[1].Path, dir.path());
    // One missing file: removing the missing ones is offered; nothing is selected yet.
    EXPECT_TRUE(dlg.Button("tbRemoveNonExistent")->isEnabled());
    EXPECT_FALSE(dlg.Button("tbOpen")->isEnabled());
    EXPECT_TRUE(dlg.Button("tbSort")->isEnabled());
    EXPECT_EQ(dlg.Combo()->count(), 5);
    EXPECT_EQ(dlg.Combo()->itemText(0), "gone.pdf");
}

TEST_F(DocMgrDlgTest, NoRecentDocumentsOnlyThePageButtons)
{
    setRecent({});
    TDocMgrDlg dlg(*form, true);
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Recently Opened Documents (0 files)");
    QStringList enabled;
    for (auto *b : dlg.findChildren<TPngSpeedButton *>())
        if (b->isVisible() && b->isEnabled())
            enabled << b->objectName();
    enabled.sort();
    EXPECT_EQ(enabled, QStringList({"tbOpened", "tbRecent"}));
}

TEST_F(DocMgrDlgTest, SortingKeepsSelectionAndFocus)
{
    const int64_t t = FileTime64(touch("probe"));
    setRecent({touch("file10.pdf", t), touch("file2.pdf", t + 2 * kSecond), touch("File3.pdf", t + kSecond),
               touch("file010.pdf", t + kSecond)});
    TDocMgrDlg dlg(*form, true);
    select(dlg, {1});
    dlg.ListView()->selectionModel()->setCurrentIndex(dlg.ListView()->model()->index(1, 0),
                                                      QItemSelectionModel::NoUpdate);
    const struct {
        TDocMgrDlg::TSortKey key;
        bool inc;
        QStringList order;
    } cases[] = {
        {TDocMgrDlg::skName, true, {"file2.pdf", "File3.pdf", "file10.pdf", "file010.pdf"}},
        {TDocMgrDlg::skDate, true, {"file2.pdf", "File3.pdf", "file010.pdf", "file10.pdf"}},
        {TDocMgrDlg::skDate, false, {"file10.pdf", "File3.pdf", "file010.pdf", "file2.pdf"}},
        {TDocMgrDlg::skIndex, true, {"file10.pdf", "file2.pdf", "File3.pdf", "file010.pdf"}},
        {TDocMgrDlg::skIndex, false, {"file010.pdf", "File3.pdf", "file2.pdf", "file10.pdf"}},
    };
    for (const auto &c : cases) {
        dlg.SortBy(c.key, c.inc);
        QStringList order = names(dlg);
        if (c.key == TDocMgrDlg::skName) // file10 and file010 are the same number: either order
            std::sort(order.begin() + 2, order.end(), std::greater<>());
        EXPECT_EQ(order, c.order) << int(c.key) << c.inc;
        const QModelIndexList selected = dlg.ListView()->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(dlg.Rows()[selected[0].row()].Name, "file2.pdf");
        EXPECT_EQ(dlg.Rows()[dlg.ListView()->currentIndex().row()].Name, "file2.pdf");
    }
    // The sort button reverses index order once the rows stand in it.
    dlg.SortBy(TDocMgrDlg::skIndex, true);
    dlg.Button("tbSort")->click();
    EXPECT_EQ(names(dlg).first(), "file010.pdf");
    dlg.Button("tbSort")->click();
    EXPECT_EQ(names(dlg).first(), "file10.pdf");
}

TEST_F(DocMgrDlgTest, OpeningRecentRowsMovesThemToTheOpenedPage)
{
    QStringList files;
    for (const char *n : {"a.pdf", "b.pdf", "c.pdf", "d.pdf", "e.pdf"})
        files << copy("multi/multi.pdf", n);
    setRecent(files);
    TDocMgrDlg dlg(*form, true);
    select(dlg, {0, 2, 4});
    dlg.OpenSelected();
    EXPECT_EQ(engine->DocumentCount(), 3);
    EXPECT_EQ(names(dlg), QStringList({"b.pdf", "d.pdf"}));
    dlg.SwitchPage(false);
    EXPECT_EQ(names(dlg), QStringList({"a.pdf", "c.pdf", "e.pdf"}));
    EXPECT_EQ(dlg.windowTitle(), "Currently Opened Documents (3 files)");

    // Two documents closed go to the front of the recent rows.
    select(dlg, {0, 2});
    dlg.CloseDocuments("tbClose");
    EXPECT_EQ(engine->DocumentCount(), 1);
    EXPECT_EQ(names(dlg), QStringList({"c.pdf"}));
    dlg.SwitchPage(true);
    EXPECT_EQ(names(dlg), QStringList({"a.pdf", "e.pdf", "b.pdf", "d.pdf"}));
}

TEST_F(DocMgrDlgTest, HundredSelectedRowsOpenNothing)
{
    Prefer.MaxListLen = 150;
    Prefer.DocList = QList<TDocInfo>(151);
    QStringList files;
    for (int i = 0; i < 100; ++i)
        files << dir.filePath(QStringLiteral("f%1.pdf").arg(i));
    setRecent(files);
    RecordingSink sink;
    TDocMgrDlg dlg(*form, true);
    dlg.ListView()->selectAll();
    dlg.OpenSelected();
    EXPECT_EQ(sink.texts(), QStringList({"Open aborted...: Too many selected files!"}));
    EXPECT_EQ(engine->DocumentCount(), 0);
    EXPECT_EQ(dlg.Rows().size(), 100);
}

TEST_F(DocMgrDlgTest, RemovingAndWhatOkEnterAndEscKeep)
{
    const QString a = touch("a.pdf"), b = touch("b.pdf"), c = touch("c.pdf");
    setRecent({a, dir.filePath("gone.pdf"), b, c});
    const QList<TDocInfo> stored = Prefer.DocList;
    {
        TDocMgrDlg dlg(*form, true);
        dlg.show();
        dlg.RemoveRows(true);
        select(dlg, {1});
        dlg.RemoveRows(false);
        EXPECT_EQ(names(dlg), QStringList({"a.pdf", "c.pdf"}));
        QTest::keyClick(dlg.ListView(), Qt::Key_Escape);
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Prefer.DocList, stored);
    EXPECT_EQ(Prefer.DocListCount, 4);
    for (const bool byEnter : {false, true}) {
        setRecent({a, dir.filePath("gone.pdf"), b, c});
        TDocMgrDlg dlg(*form, true);
        dlg.show();
        select(dlg, {2});
        dlg.RemoveRows(false);
        dlg.ListView()->selectionModel()->clear();
        if (byEnter) {
            dlg.ListView()->setCurrentIndex(dlg.ListView()->model()->index(0, 0));
            dlg.ListView()->selectionModel()->clear();
            QTest::keyClick(dlg.ListView(), Qt::Key_Return);
        } else
            dlg.accept();
        EXPECT_EQ(recentFiles(), QStringList({"a.pdf", "gone.pdf", "c.pdf"})) << byEnter;
        EXPECT_EQ(Prefer.DocList[2].Zoom, 103) << "c.pdf keeps its stored zoom";
    }
    // Clear List empties the page.
    TDocMgrDlg dlg(*form, true);
    dlg.ClearList();
    EXPECT_EQ(dlg.windowTitle(), "Recently Opened Documents (0 files)");
}

TEST_F(DocMgrDlgTest, KeysAndComboFollowTheList)
{
    setRecent({touch("b.pdf"), touch("a.pdf")});
    TDocMgrDlg dlg(*form, true);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(dlg.ListView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(dlg.RecentPage());
    QTest::keyClick(dlg.ListView(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(dlg.RecentPage());
    // The combo box lists names in order; choosing one selects its row alone.
    EXPECT_EQ(dlg.Combo()->itemText(0), "a.pdf");
    dlg.Combo()->setCurrentIndex(0);
    emit dlg.Combo()->activated(0);
    EXPECT_EQ(dlg.ListView()->currentIndex().row(), 1);
    EXPECT_TRUE(dlg.Button("tbOpen")->isEnabled());
    // A click on the first row names it in the combo box.
    QTest::mouseClick(dlg.ListView()->viewport(), Qt::LeftButton, {},
                      dlg.ListView()->visualRect(dlg.ListView()->model()->index(0, 0)).center());
    EXPECT_EQ(dlg.Combo()->currentText(), "b.pdf");
    QTest::keyClick(dlg.ListView(), Qt::Key_Backspace);
    EXPECT_FALSE(dlg.ListView()->selectionModel()->hasSelection());
    EXPECT_EQ(dlg.Combo()->currentIndex(), -1);
    EXPECT_FALSE(dlg.Button("tbOpen")->isEnabled());
}

TEST_F(DocMgrDlgTest, SizeIsRememberedOnOkAndScaledByDensity)
{
    setRecent({});
    {
        TDocMgrDlg dlg(*form, true);
        dlg.show();
        dlg.resize(611, 433);
        dlg.reject();
    }
    EXPECT_EQ(DocMgrGeometry, TDocMgrGeometry());
    {
        TDocMgrDlg dlg(*form, true);
        dlg.show();
        dlg.resize(611, 433);
        dlg.accept();
    }
    {
        TDocMgrDlg dlg(*form, true);
        EXPECT_EQ(dlg.size(), QSize(611, 433));
    }
    CurrentPPI = 144;
    TDocMgrDlg dlg(*form, true);
    EXPECT_EQ(dlg.size(), QSize(917, 650));
}

} // namespace
