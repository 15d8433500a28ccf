// The README's editor recipes with the real editors: a viewer runs on a private X server with
// its own runtime folder; the editor, started on a copy of the multi-page fixture in a folder
// whose name holds a blank and non-ASCII letters, runs the recipe's forward search (the text of
// tests/fixtures/editors/), and the viewer's log shows the marked page. Then the viewer's
// inverse search runs the recipe's command, and the editor is asked where its cursor is.
#include "PrivateXvfb.h"
#include "ProgramRun.h"
#include "RecordingSink.h"
#include "ToolRun.h"

#include "synctex/EditorCommand.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <functional>

namespace {

// vimtex's documented inverse search puts the name into Vim's command language; the viewer
// refuses a name there that holds a quote or a backslash.
const QString VimtexInverseSearch = "nvim --headless -c \"VimtexInverseSearch %l '%f'\"";

// Copies the fixture folder's files and subfolders into target.
void CopyTree(const QString &from, const QString &target)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString copy = target + '/' + QDir(from).relativeFilePath(file);
        QDir().mkpath(QFileInfo(copy).path());
        QFile::copy(file, copy);
    }
}

// Asks until answer() gives want (an editor handles a remote command in its own time).
QString Await(const std::function<QString()> &answer, const QString &want)
{
    QDeadlineTimer deadline(20000);
    QString got;
    while (!deadline.hasExpired()) {
        got = answer();
        if (got == want)
            break;
        QThread::msleep(100);
    }
    return got;
}

// A running process that is ended with the test.
struct Child : QProcess {
    ~Child() override
    {
        if (state() != QProcess::NotRunning) {
            ::kill(pid_t(processId()), SIGTERM);
            if (!waitForFinished(5000))
                kill();
            waitForFinished(5000);
        }
    }
};

struct EditorRecipes : ::testing::Test {
    PrivateXvfb xvfb;
    ProgramRun viewer;
    QProcessEnvironment env;
    QString log, runtime, source, marked;
    QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");

    void SetUp() override
    {
        if (!xvfb.start())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        const QString home = viewer.home.path();
        runtime = home + "/runtime";
        log = home + "/viewer.log";
        const QString folder = home + "/Dös Büch";
        CopyTree(fixturePath("multi"), folder);
        source = folder + "/multi.tex";
        marked = "Forward Search: \"" + source + "\" line 39: page 3";
        // The recipes call "orvalepdf", as the installed link is named.
        QDir(home).mkpath("bin");
        ASSERT_TRUE(QFile::link(binPath("OrvalePDF"), home + "/bin/orvalepdf"));
        env = viewer.process.processEnvironment();
        env.insert("DISPLAY", xvfb.display);
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("PATH", home + "/bin:" + env.value("PATH"));
        viewer.process.setProcessEnvironment(env);
        viewer.start({"-D=" + log});
        ASSERT_TRUE(ProgramRun::waitForText(log, "Instance link: ")) << LogTexts(log).join('\n').toStdString();
        // The inverse search below runs in this process: the editor's server is looked for in
        // the same runtime folder.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    void TearDown() override
    {
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
        if (viewer.process.state() != QProcess::NotRunning) {
            ::kill(pid_t(viewer.process.processId()), SIGTERM);
            viewer.process.waitForFinished(30000);
        }
    }
    static bool missing(const char *tool) { return QStandardPaths::findExecutable(tool).isEmpty(); }
    bool awaitFile(const QString &path) const
    {
        return !Await([&] { return QString::number(QFileInfo::exists(path)); }, "1").startsWith('0');
    }
    // What the tool printed; Neovim prints a remote expression's value on its standard error.
    QString run(const QString &program, const QStringList &args) const
    {
        const RunResult r = RunTool(program, args, env);
        return (program == "nvim" ? r.err : r.out).trimmed();
    }
};

TEST_F(EditorRecipes, NeovimSendsTheForwardSearchAndTakesTheInverseSearch)
{
    if (missing("nvim"))
        GTEST_SKIP() << "neovim is not installed (scripts/deps.sh installs it)";
    const QString socket = runtime + "/nvim-orvale.sock";
    Child nvim;
    nvim.setProcessEnvironment(env);
    nvim.start("nvim",
               {"--headless", "--clean", "-n", "-i", "NONE", "--listen", socket, "-S",
                fixturePath("editors/orvalepdf.vim"), "+39", source});
    ASSERT_TRUE(awaitFile(socket));
    const auto ask = [&](const QString &expr) { return run("nvim", {"--server", socket, "--remote-expr", expr}); };
    ask("execute('OrvaleForward')");
    EXPECT_TRUE(ProgramRun::waitForText(log, marked)) << LogTexts(log).join('\n').toStdString();

    ask("execute('1')");
    ASSERT_EQ(ask("line('.')"), "1");
    const QString recipe =
        "nvim --headless --clean -n -i NONE --cmd \"let s = sockconnect('pipe', 'SOCKET', {'rpc': v:true})\" "
        "--cmd \"call rpcrequest(s, 'nvim_command', 'drop ' .. fnameescape(argv(0)))\" "
        "--cmd \"call rpcrequest(s, 'nvim_win_set_cursor', 0, [%l, 0])\" --cmd \"qa!\" \"%f\"";
    ASSERT_TRUE(StartInverseSearchEditor(QString(recipe).replace("SOCKET", socket), source, 39));
    const auto where = [&] { return ask("expand('%:p') .. ':' .. line('.')"); };
    EXPECT_EQ(Await(where, source + ":39"), source + ":39");

    // A name with a quote never reaches a template that puts it inside the editor's language.
    RecordingSink sink;
    EXPECT_FALSE(StartInverseSearchEditor(VimtexInverseSearch, source.chopped(4) + "'.tex", 12));
    ASSERT_EQ(sink.shown.size(), 1);
    EXPECT_EQ(sink.shown[0].title, "Shell Error");
}

TEST_F(EditorRecipes, EmacsWithAuctexSendsTheForwardSearchAndTakesTheInverseSearch)
{
    if (missing("emacs") || missing("emacsclient"))
        GTEST_SKIP() << "emacs-nox is not installed (scripts/deps.sh installs it)";
    Child emacs;
    emacs.setProcessEnvironment(env);
    emacs.setProcessChannelMode(QProcess::MergedChannels);
    emacs.start("emacs", {"-q", "--fg-daemon", "-l", fixturePath("editors/orvalepdf.el")});
    ASSERT_TRUE(awaitFile(runtime + "/emacs/server")) << emacs.readAll().toStdString();
    const auto eval = [&](const QString &lisp) { return run("emacsclient", {"--eval", lisp}); };
    ASSERT_EQ(eval("(progn (require 'tex) (featurep 'tex))"), "t") << "AUCTeX is not installed";
    eval("(progn (find-file \"" + source + "\") (goto-char (point-min)) (forward-line 38) (TeX-view))");
    EXPECT_TRUE(ProgramRun::waitForText(log, marked)) << LogTexts(log).join('\n').toStdString();

    const auto where = [&] {
        return eval("(with-current-buffer (window-buffer (selected-window)) "
                    "(format \"%s:%d\" buffer-file-name (line-number-at-pos (window-point))))");
    };
    eval("(with-current-buffer (window-buffer (selected-window)) (goto-char (point-min)))");
    ASSERT_NE(where(), '"' + source + ":39\"");
    ASSERT_TRUE(StartInverseSearchEditor("emacsclient -n +%l \"%f\"", source, 39));
    const QString want = '"' + source + ":39\"";
    EXPECT_EQ(Await(where, want), want);
}

// Vim's client-server link runs over the X server. (Its inverse search, --remote-silent +LINE,
// left the cursor on the first line of a file that was already open here.)
TEST_F(EditorRecipes, VimSendsTheForwardSearch)
{
    if (missing("vim.gtk3"))
        GTEST_SKIP() << "vim-gtk3 is not installed (scripts/deps.sh installs it)";
    Child vim;
    vim.setProcessEnvironment(env);
    vim.start("vim.gtk3",
              {"-g", "-f", "--servername", "ORVALETEST", "--clean", "-n", "-i", "NONE", "-S",
               fixturePath("editors/orvalepdf.vim"), "+39", source});
    const auto servers = [&] { return run("vim.gtk3", {"--serverlist"}); };
    ASSERT_EQ(Await(servers, "ORVALETEST"), "ORVALETEST");
    const auto ask = [&](const QString &expr) {
        return run("vim.gtk3", {"--servername", "ORVALETEST", "--remote-expr", expr});
    };
    ask("execute('OrvaleForward')");
    EXPECT_TRUE(ProgramRun::waitForText(log, marked)) << LogTexts(log).join('\n').toStdString();
}

} // namespace
