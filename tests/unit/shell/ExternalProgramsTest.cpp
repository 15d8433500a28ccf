#include "shell/ExternalPrograms.h"

#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "shell/AdobeExe.h"
#include "RecordingSink.h"
#include "FakeProgram.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

struct ExternalPrograms : ::testing::Test {
    QTemporaryDir dir;
    QString tools; // the fake programs live in tools/bin, first on PATH
    RecordingSink sink;
    void SetUp() override
    {
        LoadPreferDefaults(Prefer);
        tools = dir.filePath("tools with blank");
        QDir().mkpath(tools);
    }
    void TearDown() override
    {
        LoadPreferDefaults(Prefer);
        App.ExePath.clear();
    }
    QString document(const QString &folder, const QString &name)
    {
        QDir().mkpath(folder);
        const QString path = folder + "/" + name;
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write("%PDF-1.4\n");
        return path;
    }
};

} // namespace

TEST_F(ExternalPrograms, TheDefaultViewerCommandAtPage7)
{
    const FakeProgram viewer(tools, "viewer");
    Prefer.AdobeReg = '"' + viewer.path() + '"';
    ASSERT_TRUE(FindAdobeExe());
    const QString file = document(dir.filePath("my documents"), "a b.pdf");
    EXPECT_TRUE(OpenInExternalViewer(file, 7));
    EXPECT_EQ(viewer.argumentList(), QStringList({"/A", "page=7&pagemode=none", file}));
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ExternalPrograms, AnyDocumentNameIsOneArgument)
{
    const FakeProgram viewer(tools, "viewer");
    Prefer.AdobeReg = '"' + viewer.path() + '"';
    ASSERT_TRUE(FindAdobeExe());
    const QString file = document(dir.filePath("x"), "say \"hi\" $(touch pwned); back\\\" end.pdf");
    EXPECT_TRUE(OpenInExternalViewer(file, 2));
    EXPECT_EQ(viewer.argumentList(), QStringList({"/A", "page=2&pagemode=none", file}));
    EXPECT_FALSE(QFile::exists(dir.filePath("x/pwned")));
    EXPECT_FALSE(QFile::exists("pwned"));
}

TEST_F(ExternalPrograms, TheViewerWithoutADocumentGetsNoArguments)
{
    const FakeProgram viewer(tools, "viewer");
    Prefer.AdobeReg = '"' + viewer.path() + '"';
    ASSERT_TRUE(FindAdobeExe());
    EXPECT_TRUE(OpenInExternalViewer("", 7));
    EXPECT_EQ(viewer.arguments(), "");
    EXPECT_TRUE(QFile::exists(viewer.argvFile()));
}

TEST_F(ExternalPrograms, AViewerThatCannotRunShowsTheSystemsReason)
{
    const FakeProgram viewer(tools, "viewer");
    QFile::setPermissions(viewer.path(), QFile::ReadOwner | QFile::WriteOwner);
    Prefer.AdobeReg = '"' + viewer.path() + '"';
    ASSERT_TRUE(FindAdobeExe()); // a regular file: offered, and found out at the start
    const QString file = document(dir.filePath("d"), "a.pdf");
    EXPECT_FALSE(OpenInExternalViewer(file, 1));
    ASSERT_EQ(sink.shown.size(), 1u);
    const TMessageRequest &m = sink.shown[0];
    EXPECT_EQ(m.title, "Internal Error");
    EXPECT_EQ(m.type, mtError);
    const QString lead = "Error Launching Alternative of PDF Viewer: \r\n\"" + viewer.path()
        + "\" /A \"page=1&pagemode=none\" \"" + file + "\"\r\n";
    EXPECT_TRUE(m.text.startsWith(lead)) << m.text.toStdString();
    EXPECT_GT(m.text.size(), lead.size()) << "the system's text follows";
}

TEST_F(ExternalPrograms, TheDefaultNewInstanceCommand)
{
    const FakeProgram self(tools, "OrvalePDF");
    App.ExePath = self.path();
    const QString file = document(dir.filePath("d e"), "a.pdf");
    EXPECT_TRUE(StartNewInstance(file, 7));
    EXPECT_EQ(self.argumentList(),
              QStringList({"-V", QString::fromUtf8("-C= ❤ OrvalePDF"), "-L=%b\\OrvalePDF2.dat", "-B", "--page-index",
                           "7", file}));
}

TEST_F(ExternalPrograms, ANewInstanceThatCannotStart)
{
    App.ExePath = dir.filePath("gone/OrvalePDF");
    Prefer.NewInstanceCmd = "-N \"%f\"";
    const QString file = document(dir.filePath("d"), "a.pdf");
    EXPECT_FALSE(StartNewInstance(file, 1));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].title, "Internal Error");
    const QString lead =
        "Error Launching a new instance of PDF Viewer: \r\n\"" + App.ExePath + "\" -N \"" + file + "\"\r\n";
    EXPECT_TRUE(sink.shown[0].text.startsWith(lead)) << sink.shown[0].text.toStdString();
    EXPECT_GT(sink.shown[0].text.size(), lead.size());
}

TEST_F(ExternalPrograms, TheFolderOrTheHomeFolder)
{
    const FakeProgram opener(tools, "xdg-open");
    ScopedPath path(tools + "/bin");
    const QString folder = dir.filePath("a folder \"x\"");
    QDir().mkpath(folder);
    struct Case {
        QString folder;
        QString opened;
    };
    const Case cases[] = {
        {folder, folder},       {folder + "/", folder},          {dir.filePath("deleted"), QDir::homePath()},
        {"", QDir::homePath()}, {"-relative", QDir::homePath()},
    };
    for (const Case &c : cases) {
        QFile::remove(opener.argvFile());
        EXPECT_TRUE(OpenFolderInFileManager(c.folder)) << c.folder.toStdString();
        EXPECT_EQ(opener.argumentList(), QStringList({c.opened})) << c.folder.toStdString();
    }
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(ExternalPrograms, WithoutAFileManager)
{
    ScopedPath path(tools + "/bin"); // no xdg-open there
    EXPECT_FALSE(OpenFolderInFileManager(dir.path()));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].title, "Shell Error");
    EXPECT_EQ(sink.shown[0].type, mtError);
    const QString lead = "Error Launching File Manager: \r\nxdg-open \"" + dir.path() + "\"\r\n";
    EXPECT_TRUE(sink.shown[0].text.startsWith(lead)) << sink.shown[0].text.toStdString();
    EXPECT_GT(sink.shown[0].text.size(), lead.size());
}
