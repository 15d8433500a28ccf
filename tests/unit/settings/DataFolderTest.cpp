#include "base/AppState.h"
#include "settings/DataFolder.h"
#include "base/FileUtils.h"
#include "base/PathMacros.h"
#include "platform/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class DataFolder : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QByteArray savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    QString configHome;
    QString exeFolder;

    void SetUp() override
    {
        configHome = dir.filePath(QStringLiteral("config"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome));
        exeFolder = dir.filePath(QStringLiteral("install/bin"));
        ASSERT_TRUE(QDir().mkpath(exeFolder));
        App.ExePath = exeFolder + QStringLiteral("/OrvalePDF");
        App.ExeFolder = exeFolder;
        App.DataFolder.clear();
        App.DataFile.clear();
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", savedConfigHome); }

    QString DefaultFolder() const { return configHome + QStringLiteral("/Orvale Team/Orvale 11/PDF"); }

    void Resolve(const QString &switchValue)
    {
        App.DataFolder = FindDataFolder();
        ApplyDataFileSwitch(ExpandPathMacros(switchValue, App.ExeFolder, App.DataFolder));
    }
};

TEST_F(DataFolder, PerUserConfigurationFolderIsCreatedPrivate)
{
    Resolve(QString());
    EXPECT_EQ(App.DataFolder, DefaultFolder());
    EXPECT_EQ(App.DataFile, DefaultFolder() + QStringLiteral("/OrvalePDF.dat"));
    for (const QString &folder : {configHome + QStringLiteral("/Orvale Team"), DefaultFolder()})
        EXPECT_EQ(pl::files().status(folder).mode, 0700u) << folder.toStdString();
}

TEST_F(DataFolder, PrivateLocalFoldersServePortableInstalls)
{
    const QString exeLocal = exeFolder + QStringLiteral("/Local");
    ASSERT_TRUE(pl::files().makeFolders(exeLocal, true));
    EXPECT_EQ(FindDataFolder(), exeLocal);
    EXPECT_FALSE(QFile::exists(exeLocal + QStringLiteral("/OrvalePDF.tmp"))); // the probe is gone

    // The parent's Local/PDF wins over the program folder's Local.
    const QString parentLocal = dir.filePath(QStringLiteral("install/Local"));
    ASSERT_TRUE(pl::files().makeFolders(parentLocal, true));
    EXPECT_EQ(FindDataFolder(), parentLocal + QStringLiteral("/PDF"));
    EXPECT_EQ(pl::files().status(parentLocal + QStringLiteral("/PDF")).mode, 0700u);
}

TEST_F(DataFolder, LocalFolderWritableByOthersIsSkipped)
{
    const QString exeLocal = exeFolder + QStringLiteral("/Local");
    ASSERT_TRUE(pl::files().makeFolders(exeLocal, true));
    for (uint32_t mode : {0770u, 0757u}) {
        ASSERT_TRUE(pl::files().setMode(exeLocal, mode));
        EXPECT_EQ(FindDataFolder(), DefaultFolder()) << std::oct << mode;
    }
}

TEST_F(DataFolder, LocalWriteTestFailsWhereNoFileCanBeMade)
{
    const QString plain = dir.filePath(QStringLiteral("plain"));
    QFile f(plain);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_FALSE(LocalWriteTest(plain + QStringLiteral("/PDF"))); // a path component is a file
    EXPECT_TRUE(LocalWriteTest(dir.filePath(QStringLiteral("new/PDF"))));

    // A planted symbolic link at the probe's name is not followed.
    const QString folder = dir.filePath(QStringLiteral("linked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = dir.filePath(QStringLiteral("target"));
    ASSERT_TRUE(QFile::link(target, folder + QStringLiteral("/OrvalePDF.tmp")));
    EXPECT_FALSE(LocalWriteTest(folder));
    EXPECT_FALSE(QFile::exists(target));
}

struct SwitchCase {
    const char *value;
    const char *folder; // relative to the default data folder or, when absolute, as is
    const char *file;
};

void PrintTo(const SwitchCase &c, std::ostream *os) { *os << c.value; }

class DataFileSwitch : public DataFolder, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(DataFileSwitch, SetsFolderAndName)
{
    const SwitchCase &c = GetParam();
    const QString value = QString::fromUtf8(c.value).replace(QStringLiteral("<tmp>"), dir.path());
    Resolve(value);
    QString folder = QString::fromUtf8(c.folder).replace(QStringLiteral("<tmp>"), dir.path());
    if (!folder.startsWith('/'))
        folder = DefaultFolder() + folder;
    EXPECT_EQ(App.DataFolder, folder);
    EXPECT_EQ(App.DataFile, folder + '/' + QString::fromUtf8(c.file));
    EXPECT_TRUE(FolderExists(folder));
}

INSTANTIATE_TEST_SUITE_P(Table, DataFileSwitch,
                         ::testing::Values(SwitchCase{"%b/other.dat", "", "other.dat"},
                                           SwitchCase{"%b\\other.dat", "", "other.dat"},
                                           SwitchCase{"<tmp>/t/cfg/x.dat", "<tmp>/t/cfg", "x.dat"},
                                           SwitchCase{"x.dat", "", "x.dat"}));

} // namespace
