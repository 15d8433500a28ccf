#include "synctex/EditorCommand.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/MessageDialog.h"
#include "synctex/RunCommandLine.h"
#include "FakeProgram.h"
#include "RecordingSink.h"
#include "RecordingProcess.h"
#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <cstring>

namespace {

const QString DefaultTemplate = "Orvale.exe \"[Open(|%f|);SelPar(%l,8);]\"";

struct EditorCommand : ::testing::Test {
    QTemporaryDir dir;
    QString exeFolder, dataFolder;
    void SetUp() override
    {
        QDir(dir.path()).mkpath("apps/OrvalePDF");
        QDir(dir.path()).mkpath("data/OrvalePDF");
        QDir(dir.path()).mkpath("empty");
        exeFolder = dir.filePath("apps/OrvalePDF");
        dataFolder = dir.filePath("data/OrvalePDF");
        App.ExeFolder = exeFolder;
        App.DataFolder = dataFolder;
    }
    void TearDown() override
    {
        App.ExeFolder.clear();
        App.DataFolder.clear();
        App.InjectedEnvironment.clear();
    }
};

} // namespace

TEST_F(EditorCommand, PlaceholdersAreFilledAfterSplitting)
{
    const QString apps = dir.filePath("apps"), data = dir.filePath("data");
    struct Case {
        QString templ;
        QString text;
        QStringList argv;
    };
    const QString file = "/src/a b.tex";
    const Case cases[] = {
        {"%f:%l %%", "/src/a b.tex:12 %", {"/src/a b.tex:12", "%"}},
        {"ed %x%", "ed %%", {"ed", "%%"}}, // an unknown letter gives "%", a final "%" stays
        {"ed %!x", "ed %x", {"ed", "%x"}},
        {"ed %!", "ed %!", {"ed", "%!"}},
        {"%B/ed --data=%b --up=%!B,%!b",
         exeFolder + "/ed --data=" + dataFolder + " --up=" + apps + "," + data,
         {exeFolder + "/ed", "--data=" + dataFolder, "--up=" + apps + "," + data}},
        {"ed \"%f\" -l%l", "ed \"/src/a b.tex\" -l12", {"ed", file, "-l12"}},
        {"ed %f", "ed /src/a b.tex", {"ed", file}}, // a value never adds arguments
        {DefaultTemplate,
         "Orvale.exe \"[Open(|/src/a b.tex|);SelPar(12,8);]\"",
         {"Orvale.exe", "[Open(|/src/a b.tex|);SelPar(12,8);]"}},
        {"", "", {}},
    };
    for (const Case &c : cases) {
        const TEditorCommand command = ExpandEditorCommand(c.templ, file, 12, exeFolder, dataFolder);
        EXPECT_EQ(command.text, c.text) << c.templ;
        EXPECT_EQ(command.argv, c.argv) << c.templ;
    }
    EXPECT_TRUE(ExpandEditorCommand("", file, 1, exeFolder, dataFolder).isEmpty());
}

TEST_F(EditorCommand, ASourceNameWithQuotesStaysOneArgument)
{
    const QString hostile = "/src/x\" --evil \"y.tex";
    const TEditorCommand command = ExpandEditorCommand("ed \"%f\" %l", hostile, 3, exeFolder, dataFolder);
    EXPECT_EQ(command.argv, QStringList({"ed", hostile, "3"}));
}

TEST_F(EditorCommand, TheEditorIsFoundOnPathOrBesideTheProgramButNeverInTheCurrentFolder)
{
    const auto makeEditor = [&](const QString &path) {
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(writeBytes(path, "#!/bin/sh\n"));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    const QString cwd = QDir::currentPath();
    makeEditor(dir.filePath("cwd/Orvale"));
    QDir::setCurrent(dir.filePath("cwd"));
    ScopedPath path(dir.filePath("empty"));
    const auto resolved = [&] {
        TEditorCommand command = ExpandEditorCommand(DefaultTemplate, "/a.tex", 4, exeFolder, dataFolder);
        ResolveEditor(command, exeFolder);
        return command;
    };
    // In the current folder only: not found, the command stays as it was.
    TEditorCommand command = resolved();
    EXPECT_EQ(command.argv[0], "Orvale.exe");
    EXPECT_EQ(command.text, "Orvale.exe \"[Open(|/a.tex|);SelPar(4,8);]\"");

    makeEditor(dir.filePath("apps/Orvale"));
    command = resolved();
    EXPECT_EQ(command.argv, QStringList({dir.filePath("apps/Orvale"), "[Open(|/a.tex|);SelPar(4,8);]"}));
    EXPECT_EQ(command.text, "\"" + dir.filePath("apps/Orvale") + "\" \"[Open(|/a.tex|);SelPar(4,8);]\"");

    QFile::remove(dir.filePath("apps/Orvale"));
    makeEditor(dir.filePath("apps/Orvale/Orvale"));
    EXPECT_EQ(resolved().argv[0], dir.filePath("apps/Orvale/Orvale"));

    makeEditor(dir.filePath("bin/Orvale"));
    ScopedPath onPath(dir.filePath("bin"));
    EXPECT_EQ(resolved().argv[0], dir.filePath("bin/Orvale"));

    // Only a template that itself begins with the editor's name is resolved.
    TEditorCommand other = ExpandEditorCommand("%f x", "Orvale.exe ", 1, exeFolder, dataFolder);
    ResolveEditor(other, exeFolder);
    EXPECT_EQ(other.argv[0], "Orvale.exe ");
    QDir::setCurrent(cwd);
}

TEST_F(EditorCommand, AnEditorThatCannotStartShowsTheShellError)
{
    RecordingSink sink;
    ScopedPath path(dir.filePath("empty"));
    const QString log = dir.filePath("log.txt");
    ASSERT_TRUE(OpenDebugLog(log));
    EXPECT_FALSE(StartInverseSearchEditor(DefaultTemplate, "/src/main.tex", 12));
    CloseDebugLog();
    const QString command = "Orvale.exe \"[Open(|/src/main.tex|);SelPar(12,8);]\"";
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].title, "Shell Error");
    EXPECT_EQ(sink.shown[0].type, mtError);
    EXPECT_EQ(sink.shown[0].text,
              "Error Launching Editor for Inverse Search: \r\n" + command + "\r\n"
                  + QString::fromLocal8Bit(std::strerror(ENOENT)));
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(f.readAll()).contains("Error Executing: " + command));
}

TEST_F(EditorCommand, TheEditorGetsTheArgumentsAndTheUsersEnvironment)
{
    pl::fake::RecordingProcess process;
    RecordingSink sink;
    App.InjectedEnvironment = QStringList{"QT_ENABLE_HIGHDPI_SCALING"};
    EXPECT_TRUE(StartInverseSearchEditor("ed --line %l \"%f\"", "/src/it's \"q\".tex", 7));
    ASSERT_EQ(process.starts.size(), 1u);
    EXPECT_EQ(process.starts[0].argv, QStringList({"ed", "--line", "7", "/src/it's \"q\".tex"}));
    EXPECT_EQ(process.starts[0].unsetNames, QStringList({"QT_ENABLE_HIGHDPI_SCALING"}));
    EXPECT_TRUE(sink.shown.empty());
    // An empty command starts nothing.
    EXPECT_FALSE(StartInverseSearchEditor("", "/a.tex", 1));
    EXPECT_EQ(process.starts.size(), 1u);
    EXPECT_TRUE(sink.shown.empty());
}

// Splitting keeps a value inside its argument, but the default template's editor reads its
// own command text in that argument: "|);" in a name would close Open and add commands.
TEST_F(EditorCommand, AValueThatWouldEndTheEditorsOwnSyntaxStartsNothing)
{
    pl::fake::RecordingProcess process;
    RecordingSink sink;
    const QString log = dir.filePath("log.txt");
    ASSERT_TRUE(OpenDebugLog(log));
    const QString hostile = "/src/a|);Exec(|sh|);Open(|b.tex";
    struct Case {
        QString templ;
        QString file;
        bool started;
    };
    const Case cases[] = {
        {DefaultTemplate, hostile, false},
        {DefaultTemplate, "/src/a|b.tex", false},
        {DefaultTemplate, "/src/a)b.tex", false},
        {DefaultTemplate, "/src/a;b.tex", false},
        {DefaultTemplate, "/src/a]b.tex", false},
        {DefaultTemplate, "/src/it's \"q\" [(b.tex", true}, // quotes and openers end nothing
        {"ed \"--cmd=[%f]\"", "/src/a;b.tex", false},
        {"ed \"|%f|\" %l", "/src/a);]b.tex", true}, // between pipes only "|" ends the text
        {"ed \"|%f|\" %l", "/src/a|b.tex", false},
        {"ed \"%f\" [%l]", hostile, true},  // the brackets belong to another argument
        {"ed --line %l %f", hostile, true}, // other templates are unaffected
        // A quoted text of the editor's language: a quote or backslash would end or escape it.
        {"nvim --headless -c \"VimtexInverseSearch %l '%f'\"", "/src/it's.tex", false},
        {"nvim --headless -c \"VimtexInverseSearch %l '%f'\"", "/src/a\\b.tex", false},
        {"emacsclient --eval \"(find-file \\\"%f\\\")\"", "/src/a\\\").tex", false},
        {"emacsclient --eval \"(find-file \\\"%f\\\")\"", "/src/ä b.tex", true},
        {"emacsclient +%l \"%f\"", "/src/it's \"q\\\".tex", true}, // a file argument only
    };
    for (const Case &c : cases) {
        const size_t starts = process.starts.size(), shown = sink.shown.size();
        EXPECT_EQ(StartInverseSearchEditor(c.templ, c.file, 12), c.started) << c.templ << " " << c.file;
        EXPECT_EQ(process.starts.size(), starts + (c.started ? 1 : 0)) << c.templ << " " << c.file;
        if (c.started)
            continue;
        ASSERT_EQ(sink.shown.size(), shown + 1) << c.templ << " " << c.file;
        EXPECT_EQ(sink.shown.back().title, "Shell Error");
        EXPECT_TRUE(sink.shown.back().text.contains(c.file)) << sink.shown.back().text;
    }
    CloseDebugLog();
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(logged.contains("Editor not started: ") && logged.contains(hostile)) << logged;
    EXPECT_FALSE(logged.contains("Error Executing"));
}

TEST_F(EditorCommand, ARealEditorReceivesItsArguments)
{
    const QString out = dir.filePath("argv.txt");
    const QString script = dir.filePath("bin/editor");
    QDir().mkpath(dir.filePath("bin"));
    ASSERT_TRUE(writeBytes(script,
                           "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" + out.toUtf8()
                               + ".part\" && /bin/mv \"" + out.toUtf8() + ".part\" \"" + out.toUtf8() + "\"\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ScopedPath path(dir.filePath("bin"));
    RecordingSink sink;
    EXPECT_TRUE(StartInverseSearchEditor("editor -g \"%f:%l\"", "/src/a \"b\" c.tex", 42));
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(out) && timer.elapsed() < 5000)
        QThread::msleep(10);
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "[-g]\n[/src/a \"b\" c.tex:42]\n");
    EXPECT_TRUE(sink.shown.empty());

    QString error;
    EXPECT_TRUE(RunCommandLine("editor \"x y\" z", &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_FALSE(RunCommandLine("no-such-editor x", &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(ENOENT)));
}
