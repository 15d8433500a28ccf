// The main window follows its documents' files through the file watch with its status timer
// stopped: TeX's rewrite in place and latexmk's rename over the file show the new version at
// the same page, and the watch ends when the last document closes.
#include "engine/DocumentWatch.h"
#include "app/StatusTimer.h"
#include "ui/MainForm.h"

#include "MainFormFixture.h"

#include <QFile>
#include <QTest>

#include <cstdio>

namespace {

struct MainFormReloadTest : MainFormFixture {
    void SetUp() override
    {
        MainFormFixture::SetUp();
        Prefer.WindowRect = {100, 50, 500, 650};
        // The page view fills the client area, as the pages below are reckoned for.
        Prefer.ShowBookmarks = false;
        createForm();
        form->show();
        QCoreApplication::processEvents(); // the deferred start, which starts the timer
        form->StatusTimer()->Stop();
    }
    int reloads() const { return log().count("File watch: "); }
};

} // namespace

TEST_F(MainFormReloadTest, RewritesAndRenamesAreShownWithoutTheStatusTimer)
{
    const QString path = copy("multi/multi.pdf", "thesis.pdf");
    ASSERT_TRUE(engine->LoadFile(path));
    ASSERT_NE(form->DocumentWatch(), nullptr);
    ASSERT_TRUE(form->DocumentWatch()->Active());
    EXPECT_EQ(form->DocumentWatch()->FolderCount(), 1);
    ASSERT_TRUE(engine->Navigator().GOTOPage(4, nullptr));

    rewrite(path, fixture("widths/widths.pdf"), 10); // in place, three pages
    QTRY_COMPARE_WITH_TIMEOUT(pageCount(), 3, 5000);
    EXPECT_EQ(page(), 3) << "the page nearest the one shown";
    ASSERT_FALSE(form->StatusTimer()->Active());

    const QString temp = dir.filePath("thesis.pdf.tmp");
    QFile::copy(fixturePath("multi/multi.pdf"), temp);
    ASSERT_TRUE(pl::files().setTimes(temp, FileTime64(path) + 10 * kSecond, FileTime64(path)));
    ASSERT_EQ(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()), 0);
    QTRY_COMPARE_WITH_TIMEOUT(pageCount(), 7, 5000);
    EXPECT_EQ(current().FileDate, FileTime64(path));
    EXPECT_EQ(reloads(), 2);

    ASSERT_TRUE(engine->CloseFile(path, -1));
    EXPECT_EQ(form->DocumentWatch()->FolderCount(), 0) << "the watch ends with the last document";
    EXPECT_FALSE(form->StatusTimer()->Active());
}
