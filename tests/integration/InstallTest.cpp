// The installed program: `cmake --install` into a temporary prefix, run from another folder
// through its link, on its own X server; the desktop entry, the manual pages and the PDF
// association as the desktop's tools read them.
#include "PrivateXvfb.h"
#include "ProgramRun.h"
#include "TestPaths.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <filesystem>

namespace {

struct InstallTest : ::testing::Test {
    QTemporaryDir dir;
    QString prefix;

    void SetUp() override
    {
        prefix = dir.filePath("prefix");
        const QString build = QFileInfo(binPath(".")).absolutePath();
        const RunResult r = RunTool("cmake", {"--install", QDir::cleanPath(build), "--prefix", prefix});
        ASSERT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    }
    static void requireTool(const char *tool)
    {
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed";
    }
};

TEST_F(InstallTest, TheProgramsFolderAndTheLinksWorkFromAnyFolder)
{
    for (const char *file :
         {"lib/orvalepdf/OrvalePDF", "lib/orvalepdf/orvalepdf-synctex", "lib/orvalepdf/libpdfium.so",
          "lib/orvalepdf/Resources/PNGImages/Open.png", "share/applications/orvalepdf.desktop",
          "share/icons/hicolor/scalable/apps/orvalepdf.svg", "share/icons/hicolor/16x16/apps/orvalepdf.png",
          "share/icons/hicolor/256x256/apps/orvalepdf.png", "share/man/man1/orvalepdf.1",
          "share/man/man1/orvalepdf-synctex.1"})
        EXPECT_TRUE(QFileInfo(prefix + '/' + file).isFile()) << file;
    for (const char *link : {"orvalepdf", "orvalepdf-synctex"}) {
        const QFileInfo info(prefix + "/bin/" + link);
        EXPECT_TRUE(info.isSymLink()) << link;
        // Relative, so that the whole prefix can move.
        EXPECT_TRUE(std::filesystem::read_symlink(QFile::encodeName(info.filePath()).toStdString()).is_relative());
        EXPECT_TRUE(info.exists()) << link << " points nowhere";
    }
    // From another folder, through the links: the library and the data beside the real files.
    const RunResult version = RunTool(prefix + "/bin/orvalepdf", {"--version"}, {}, dir.path());
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.contains("MuPDF")) << version.out.toStdString();
    const RunResult inputs =
        RunTool(prefix + "/bin/orvalepdf-synctex", {"inputs", fixturePath("multi/multi.pdf")}, {}, dir.path());
    EXPECT_EQ(inputs.code, 0) << inputs.out.toStdString();
    EXPECT_TRUE(inputs.out.contains("Found: ")) << inputs.out.toStdString();
}

TEST_F(InstallTest, TheInstalledViewerShowsADocumentOnItsOwnServer)
{
    PrivateXvfb xvfb;
    if (!xvfb.start())
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    ProgramRun run;
    QProcessEnvironment env = run.process.processEnvironment();
    env.insert("DISPLAY", xvfb.display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.remove("WAYLAND_DISPLAY");
    run.process.setProcessEnvironment(env);
    run.process.setProgram(prefix + "/bin/orvalepdf");
    run.process.setWorkingDirectory(dir.path());
    const QString log = dir.filePath("viewer.log");
    const QString pdf = QFileInfo(fixturePath("multi/multi.pdf")).canonicalFilePath();
    run.start({"-D=" + log, pdf});
    EXPECT_TRUE(ProgramRun::waitForText(log, "Loaded: " + pdf, 60000)) << LogTexts(log).join('\n').toStdString();
}

TEST_F(InstallTest, TheDesktopToolsAcceptTheEntryThePagesAndTheAssociation)
{
    requireTool("desktop-file-validate");
    requireTool("groff");
    requireTool("xdg-mime");
    const RunResult valid = RunTool("desktop-file-validate", {prefix + "/share/applications/orvalepdf.desktop"});
    EXPECT_EQ(valid.code, 0);
    EXPECT_EQ(valid.out + valid.err, QString()) << (valid.out + valid.err).toStdString();
    for (const char *page : {"orvalepdf.1", "orvalepdf-synctex.1"}) {
        const RunResult r = RunTool("groff", {"-man", "-ww", "-z", prefix + "/share/man/man1/" + page});
        EXPECT_EQ(r.code, 0) << page;
        EXPECT_EQ(r.err, QString()) << page << ": " << r.err.toStdString();
    }
    // The association, in folders of the test's own.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("XDG_DATA_DIRS", prefix + "/share");
    QDir().mkpath(dir.filePath("data"));
    QDir().mkpath(dir.filePath("config"));
    const RunResult set = RunTool("xdg-mime", {"default", "orvalepdf.desktop", "application/pdf"}, env);
    EXPECT_EQ(set.code, 0) << set.err.toStdString();
    const RunResult query = RunTool("xdg-mime", {"query", "default", "application/pdf"}, env);
    EXPECT_EQ(query.out.trimmed(), "orvalepdf.desktop") << query.err.toStdString();
}

// uninstall.sh takes away what the manifest lists and the folders left empty, nothing else.
TEST_F(InstallTest, UninstallRemovesWhatTheManifestLists)
{
    // What the install put there, as install.sh lists it (the build's own list may be another
    // test's by now).
    QByteArray list;
    QDirIterator it(prefix, QDir::Files | QDir::System | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        list += QFile::encodeName(it.next()) + "\n";
    const QString manifest = prefix + "/lib/orvalepdf/install_manifest.txt";
    QFile out(manifest);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(list + QFile::encodeName(manifest) + "\n");
    out.close();
    const QString mine = prefix + "/share/applications/mine.desktop";
    QFile keep(mine);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.close();

    const RunResult r = RunTool(fixturePath("../../scripts/uninstall.sh"), {prefix});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(prefix + "/lib/orvalepdf"));
    EXPECT_FALSE(QFileInfo::exists(prefix + "/bin/orvalepdf"));
    EXPECT_FALSE(QFileInfo::exists(prefix + "/share/icons/hicolor/16x16"));
    EXPECT_TRUE(QFileInfo::exists(mine)) << "a file it did not install stays";
}

} // namespace
