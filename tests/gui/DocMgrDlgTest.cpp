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
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLocale>
#include <QProcess>
#include <QStandardPaths>
#include <QItemSelectionModel>
#include <QTest>
#include <QTreeView>

#include <clocale>

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
    // The same table runs once more under LC_ALL=tr_TR.UTF-8 (a second CTest entry).
    if (qEnvironmentVariable("LC_ALL").startsWith(QLatin1String("tr_TR"))
        && !QString::fromLatin1(std::setlocale(LC_COLLATE, nullptr)).startsWith(QLatin1String("tr_TR")))
        GTEST_SKIP() << "the tr_TR.UTF-8 locale is not generated (scripts/deps.sh generates it)";
    ASSERT_TRUE(QDir(dir.path()).mkpath("a") && QDir(dir.path()).mkpath("b"));
    const int64_t t = FileTime64(touch("probe"));
    setRecent({touch("b/file10.pdf", t), touch("file2.pdf", t + 2 * kSecond), touch("File3.pdf", t + kSecond),
               touch("a/file010.pdf", t + kSecond)});
    TDocMgrDlg dlg(*form, true);
    select(dlg, {1});
    dlg.ListView()->selectionModel()->setCurrentIndex(dlg.ListView()->model()->index(1, 0),
                                                      QItemSelectionModel::NoUpdate);
    const struct {
        TDocMgrDlg::TSortKey key;
        bool inc;
        QStringList order;
    } cases[] = {
        // file10 and file010 are the same number: their folders decide.
        {TDocMgrDlg::skName, true, {"file2.pdf", "File3.pdf", "file010.pdf", "file10.pdf"}},
        {TDocMgrDlg::skName, false, {"file10.pdf", "file010.pdf", "File3.pdf", "file2.pdf"}},
        {TDocMgrDlg::skPath, true, {"file2.pdf", "File3.pdf", "file010.pdf", "file10.pdf"}},
        {TDocMgrDlg::skDate, true, {"file2.pdf", "File3.pdf", "file010.pdf", "file10.pdf"}},
        {TDocMgrDlg::skDate, false, {"file10.pdf", "File3.pdf", "file010.pdf", "file2.pdf"}},
        {TDocMgrDlg::skIndex, true, {"file10.pdf", "file2.pdf", "File3.pdf", "file010.pdf"}},
        {TDocMgrDlg::skIndex, false, {"file010.pdf", "File3.pdf", "file2.pdf", "file10.pdf"}},
    };
    for (const auto &c : cases) {
        dlg.SortBy(c.key, c.inc);
        EXPECT_EQ(names(dlg), c.order) << int(c.key) << c.inc;
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

TEST_F(DocMgrDlgTest, AReadOnlyFileShowsLocked)
{
    const QString file = copy("multi/multi.pdf", "readonly.pdf");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QFile probe(file);
    if (probe.open(QIODevice::WriteOnly)) {
        // Root writes every file: the row is checked by this program run as another user.
        probe.close();
        if (!qEnvironmentVariableIsEmpty("ORVALE_TEST_AS_OTHER_USER"))
            GTEST_SKIP() << "still privileged after changing the user";
        if (QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            GTEST_SKIP() << "running as root, and setpriv (util-linux) to run as another user is missing";
        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ORVALE_TEST_AS_OTHER_USER"), QStringLiteral("1"));
        env.insert(QStringLiteral("HOME"), QDir::tempPath());
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QStringLiteral("setpriv"),
                  {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups"),
                   QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                   QStringLiteral("--gtest_filter=DocMgrDlgTest.AReadOnlyFileShowsLocked")});
        ASSERT_TRUE(run.waitForFinished(120000));
        const QString out = QString::fromLocal8Bit(run.readAll());
        EXPECT_EQ(run.exitCode(), 0) << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String("[  PASSED  ] 1 test"))) << out.toStdString();
        EXPECT_FALSE(out.contains(QLatin1String("[  SKIPPED ]"))) << out.toStdString();
        return;
    }
    setRecent({file});
    TDocMgrDlg dlg(*form, true);
    ASSERT_EQ(dlg.Rows().size(), 1);
    EXPECT_EQ(dlg.Rows()[0]._img, ImageListOf(1).GetImageIndex(QStringLiteral("DocLocked")));
}

TEST_F(DocMgrDlgTest, DatesInTheLocalesShortFormats)
{
    // 2021-03-04 05:06:07 UTC (the tests run with TZ=UTC).
    const int64_t time = 116444736000000000LL + int64_t(1614834367) * 10000000;
    const QString file = touch("dated.pdf", time);
    setRecent({file});
    const QLocale saved;
    const struct {
        QLocale locale;
        QString date;
    } cases[] = {
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("04.03.21 05:06")},
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("3/4/21 5:06 AM")},
    };
    for (const auto &c : cases) {
        QLocale::setDefault(c.locale);
        TDocMgrDlg dlg(*form, true);
        EXPECT_EQ(dlg.Rows()[0].Date, c.date) << c.locale.name().toStdString();
    }
    QLocale::setDefault(saved);
}

TEST_F(DocMgrDlgTest, ColumnsAreAtLeastAsWideAsTheirCaptions)
{
    setRecent({});
    // Remembered widths of one pixel, as a hand-edited settings file may hold.
    DocMgrGeometry = {96, 600, 400, {1, 1, 1}};
    TDocMgrDlg dlg(*form, true);
    dlg.show();
    QHeaderView *header = dlg.ListView()->header();
    const QStringList captions = {"Name", "Path", "Date"};
    for (int c = 0; c < 3; ++c) {
        const int least = header->fontMetrics().horizontalAdvance(captions[c] + QStringLiteral("  "));
        EXPECT_EQ(dlg.ListView()->columnWidth(c), least) << c;
        // Dragged narrower, a column stops at its caption.
        header->resizeSection(c, 2);
        EXPECT_EQ(dlg.ListView()->columnWidth(c), least) << c;
    }
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
