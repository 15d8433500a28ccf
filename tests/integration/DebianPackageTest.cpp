// The Debian package: built by CPack from the build folder into a temporary folder, checked by
// lintian, then installed with dpkg, run, and removed again. Installing touches /usr, so that
// part runs only as root, and never on a machine where the package or its program already is.
#include "TestPaths.h"
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// CPack's output, built once for all the cases (it takes a quarter of a minute).
struct BuiltPackage {
    QTemporaryDir dir;
    QString deb, error;

    BuiltPackage()
    {
        const QString build = QDir::cleanPath(QFileInfo(binPath(".")).absolutePath());
        const RunResult r = RunTool("cpack", {"--config", build + "/CPackConfig.cmake", "-B", dir.path()}, {}, build);
        const QStringList debs = QDir(dir.path()).entryList({"orvalepdf_*_amd64.deb"}, QDir::Files);
        if (r.code == 0 && debs.size() == 1)
            deb = dir.filePath(debs[0]);
        else
            error = r.out + r.err;
    }
};

struct DebianPackageTest : ::testing::Test {
    QTemporaryDir dir;
    QString deb;

    void SetUp() override
    {
        for (const char *tool : {"cpack", "dpkg-deb", "dpkg-shlibdeps"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/deps.sh installs it)";
        static const BuiltPackage package;
        ASSERT_FALSE(package.deb.isEmpty()) << package.error.toStdString();
        deb = package.deb;
    }
};

TEST_F(DebianPackageTest, TheControlDataAndDebiansFilesAreThere)
{
    const RunResult fields = RunTool("dpkg-deb", {"-f", deb});
    ASSERT_EQ(fields.code, 0);
    // Found by dpkg-shlibdeps, not written by hand.
    for (const char *dependency : {"Depends: ", "libqt6widgets6", "libc6", "libdeflate0"})
        EXPECT_TRUE(fields.out.contains(dependency)) << dependency << "\n" << fields.out.toStdString();
    for (const char *field : {"Package: orvalepdf", "Section: graphics", "Maintainer: ", "Description: "})
        EXPECT_TRUE(fields.out.contains(field)) << field;

    const RunResult contents = RunTool("dpkg-deb", {"-c", deb});
    for (const char *file : {"./usr/lib/orvalepdf/OrvalePDF", "./usr/lib/orvalepdf/libpdfium.so",
                             "./usr/bin/orvalepdf -> ", "./usr/share/applications/orvalepdf.desktop",
                             "./usr/share/doc/orvalepdf/copyright", "./usr/share/doc/orvalepdf/changelog.gz",
                             "./usr/share/man/man1/orvalepdf.1.gz", "./usr/share/man/man1/orvalepdf-synctex.1.gz"})
        EXPECT_TRUE(contents.out.contains(file)) << file;
}

TEST_F(DebianPackageTest, LintianFindsNoErrors)
{
    if (QStandardPaths::findExecutable("lintian").isEmpty())
        GTEST_SKIP() << "lintian is not installed (scripts/deps.sh installs it)";
    const RunResult r = RunTool("lintian", {"--fail-on", "error", deb});
    EXPECT_EQ(r.code, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("\nE: ") || r.out.startsWith("E: ")) << r.out.toStdString();
}

TEST_F(DebianPackageTest, InstallRunAndRemoveLeaveNothingBehind)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "dpkg -i and dpkg -r change /usr and need root";
    const QString status = RunTool("dpkg-query", {"-W", "-f=${db:Status-Status}", "orvalepdf"}).out;
    if (!status.isEmpty() && status != "not-installed")
        GTEST_SKIP() << "a package orvalepdf is installed on this machine; the test leaves it alone";
    if (QFileInfo::exists("/usr/bin/orvalepdf") || QFileInfo::exists("/usr/lib/orvalepdf"))
        GTEST_SKIP() << "/usr/bin/orvalepdf or /usr/lib/orvalepdf exists outside a package; left alone";

    const RunResult install = RunTool("dpkg", {"-i", deb});
    ASSERT_EQ(install.code, 0) << install.out.toStdString() << install.err.toStdString();
    const QStringList files = RunTool("dpkg-query", {"-L", "orvalepdf"}).out.split('\n', Qt::SkipEmptyParts);
    // The link in PATH from another folder: the program finds its library beside itself.
    const RunResult version = RunTool("/usr/bin/orvalepdf", {"--version"}, {}, dir.path());
    const RunResult removal = RunTool("dpkg", {"-r", "orvalepdf"});
    EXPECT_EQ(version.code, 0) << version.err.toStdString();
    EXPECT_TRUE(version.out.contains("MuPDF")) << version.out.toStdString();
    ASSERT_EQ(removal.code, 0) << removal.out.toStdString() << removal.err.toStdString();
    // dpkg -r keeps the package's record; the purge drops it, so the next run finds none.
    RunTool("dpkg", {"-P", "orvalepdf"});

    EXPECT_TRUE(files.contains("/usr/lib/orvalepdf/OrvalePDF")) << files.join('\n').toStdString();
    for (const QString &file : files) {
        // Folders the system shares with other packages stay.
        if (QFileInfo(file).isDir() && !file.contains("orvalepdf"))
            continue;
        EXPECT_FALSE(QFileInfo(file).exists() || QFileInfo(file).isSymLink()) << file.toStdString() << " is left";
    }
}

} // namespace
