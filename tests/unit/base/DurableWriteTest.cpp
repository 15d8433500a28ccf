#include "base/DurableWrite.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

void WriteAged(const QString &path, int ageSeconds)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("left by a killed save");
    f.flush();
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
}

} // namespace

// A save removes the temporary files that killed saves of the same file left, once they are
// old enough that no running save can own them; nothing else.
TEST(DurableWriteTest, ASaveRemovesOnlyStaleTemporariesOfItsOwnFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("OrvalePDF.dat");
    struct Case {
        const char *name;
        int age;
        bool removed;
    };
    const Case cases[] = {
        {"OrvalePDF.dat.1a2b3c4d.tmp", 7200, true},
        {"OrvalePDF.dat.ff.tmp", 20, false},        // a save in progress elsewhere
        {"OrvalePDF.dat.notours.tmp", 7200, false}, // not a name this program makes
        {"OrvalePDF.dat.bak", 7200, false},
        {"OrvalePDF2.dat.1a2b.tmp", 7200, false},     // another data file's
        {"OrvalePDF.dat.123456789.tmp", 7200, false}, // longer than a save's random part
    };
    for (const Case &c : cases)
        WriteAged(dir.filePath(c.name), c.age);
    ASSERT_TRUE(WriteFileDurably(file, "settings", PrivateFileMode));
    for (const Case &c : cases)
        EXPECT_EQ(QFile::exists(dir.filePath(c.name)), !c.removed) << c.name;
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "settings");
}
