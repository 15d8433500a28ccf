// The system file watch: writes closed and renames into place are reported for the files
// added, once per batch, and a folder's watch lasts as long as a file in it is added.
#include "platform/FileWatch.h"

#include "EventWait.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

namespace {

struct FileWatchTest : ::testing::Test {
    QTemporaryDir dir;
    pl::FileWatch watch;
    QStringList seen;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(watch.Active());
        watch.Changed = [this](const QString &path) { seen << path; };
    }
    QString path(const QString &name) const { return dir.filePath(name); }
    static void write(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    // Events that would have come arrive within this time.
    void settle() { processEventsFor(100); }
};

} // namespace

TEST_F(FileWatchTest, RewritesAndRenamesOfAddedFilesAreReported)
{
    const QString pdf = path("thesis.pdf");
    const QString sync = path("thesis.synctex.gz");
    write(pdf, "old");
    ASSERT_TRUE(watch.Add(pdf));
    ASSERT_TRUE(watch.Add(sync));

    write(pdf, "new"); // in place
    ASSERT_TRUE(processEventsUntil([&] { return seen == QStringList{pdf}; }));

    seen.clear();
    write(path("thesis.synctex.gz.tmp"), "sync"); // latexmk's way: a temporary file renamed over
    ASSERT_TRUE(QDir(dir.path()).rename("thesis.synctex.gz.tmp", "thesis.synctex.gz"));
    ASSERT_TRUE(processEventsUntil([&] { return seen == QStringList{sync}; }));

    seen.clear();
    write(path("notes.txt"), "other files are not reported");
    { // opened for reading only: no change
        QFile f(pdf);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    }
    settle();
    EXPECT_TRUE(seen.isEmpty()) << seen.join(", ").toStdString();
}

// TeX writing in pieces, then closing, and several closes before the program looks: one report.
TEST_F(FileWatchTest, ABurstOfWritesIsReportedOnce)
{
    const QString pdf = path("thesis.pdf");
    write(pdf, "");
    ASSERT_TRUE(watch.Add(pdf));
    for (int i = 0; i < 5; ++i)
        write(pdf, QByteArray(1000 * (i + 1), 'x'));
    ASSERT_TRUE(processEventsUntil([&] { return !seen.isEmpty(); }));
    settle();
    EXPECT_EQ(seen, QStringList{pdf});
}

TEST_F(FileWatchTest, AFolderIsWatchedWhileAFileInItIsAdded)
{
    QTemporaryDir other;
    const QString a = path("a.pdf"), b = path("b.pdf"), c = other.filePath("c.pdf");
    ASSERT_TRUE(watch.Add(a));
    ASSERT_TRUE(watch.Add(b));
    ASSERT_TRUE(watch.Add(c));
    EXPECT_EQ(watch.FolderCount(), 2) << "one watch per folder";
    ASSERT_TRUE(watch.Add(a)); // a second document of the same file

    watch.Remove(a);
    watch.Remove(b);
    EXPECT_EQ(watch.FolderCount(), 2) << "a is still added once";
    write(a, "still watched");
    ASSERT_TRUE(processEventsUntil([&] { return seen == QStringList{a}; }));

    watch.Remove(a);
    EXPECT_EQ(watch.FolderCount(), 1);
    watch.Remove(a); // more removes than adds change nothing
    watch.Remove(c);
    EXPECT_EQ(watch.FolderCount(), 0);
    seen.clear();
    write(a, "no longer");
    write(c, "no longer");
    settle();
    EXPECT_TRUE(seen.isEmpty());
}

TEST_F(FileWatchTest, AFolderThatCannotBeWatchedIsRefused)
{
    EXPECT_FALSE(watch.Add(path("missing/thesis.pdf")));
    EXPECT_EQ(watch.FolderCount(), 0);
}
