#include "platform/Process.h"

#include "SyncTeXText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Sets an environment variable for the lifetime of a test.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const QByteArray &value)
        : name_(name), had_(qEnvironmentVariableIsSet(name)), old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char *name_;
    bool had_;
    QByteArray old_;
};

QByteArray waitForFile(const QString &path)
{
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(path) && timer.elapsed() < 5000)
        QThread::msleep(10);
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no output>");
}

bool makeExecutable(const QString &path, const QByteArray &text)
{
    return writeBytes(path, text)
        && QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

TEST(CommandLineSplitter, FollowsTheWindowsRules)
{
    struct Case {
        const char *line;
        QStringList args;
    };
    const Case cases[] = {
        {"", {}},
        {"   ", {}},
        {"prog", {"prog"}},
        {"  prog  a\tb  ", {"prog", "a", "b"}},
        {"\"C:\\Program Files\\ed.exe\" x", {"C:\\Program Files\\ed.exe", "x"}},
        {"p\\q\\\"r s\" t", {"p\\q\\r s", "t"}}, // the program name knows no escapes
        {"p \"a b\" c", {"p", "a b", "c"}},
        {"p a\"b c\"d", {"p", "ab cd"}},
        {"p \"\"", {"p", ""}},
        {"p \"\" x", {"p", "", "x"}},
        {"p a\\\\b", {"p", "a\\\\b"}},             // backslashes not before a quote are literal
        {"p a\\\"b", {"p", "a\"b"}},               // 1 backslash + quote: literal quote
        {"p a\\\\\"b c\"", {"p", "a\\b c"}},       // 2 backslashes + quote: one backslash, quote toggles
        {"p a\\\\\\\"b", {"p", "a\\\"b"}},         // 3 backslashes + quote: one backslash, literal quote
        {"p a\\\\\\\\\"b c\"", {"p", "a\\\\b c"}}, // 4 backslashes + quote: two backslashes, toggles
        {"p \"a\\\"b\"", {"p", "a\"b"}},
        {"p \"unterminated arg", {"p", "unterminated arg"}},
        {"p tail\\", {"p", "tail\\"}},
        {"Orvale.exe \"[Open(|f.tex|);SelPar(12,8);]\"", {"Orvale.exe", "[Open(|f.tex|);SelPar(12,8);]"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pl::splitCommandLine(QString::fromUtf8(c.line)), c.args) << c.line;
}

TEST(ProgramSearch, UsesOnlyAbsolutePathEntries)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("bin");
    QDir(dir.path()).mkdir("plain");
    ASSERT_TRUE(makeExecutable(dir.filePath("bin/tool"), "#!/bin/sh\n"));
    writeBytes(dir.filePath("plain/tool"), "not executable");
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        ScopedEnv path("PATH", "bin::.:" + QFile::encodeName(dir.filePath("plain")));
        EXPECT_EQ(pl::findProgramOnPath("tool"), QString());
    }
    {
        ScopedEnv path("PATH", QFile::encodeName(dir.filePath("plain") + ":" + dir.filePath("bin") + "/"));
        EXPECT_EQ(pl::findProgramOnPath("tool"), dir.filePath("bin") + "/tool");
        EXPECT_EQ(pl::findProgramOnPath("bin/tool"), QString());
    }
    QDir::setCurrent(cwd);
}

TEST(ProcessStart, RunsTheProgramDetachedWithCleanEnvironmentAndFiles)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.txt");
    const QString script = dir.filePath("fake editor");
    // The script reports its arguments, two variables and whether a descriptor of ours is open.
    ASSERT_TRUE(makeExecutable(script,
                               "#!/bin/sh\n"
                               "{ for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done\n"
                               "  echo \"kept=${ORVALE_TEST_KEPT-unset} injected=${ORVALE_TEST_INJECTED-unset}\"\n"
                               "  if [ -e /proc/$$/fd/$FD ]; then echo fd=open; else echo fd=closed; fi\n"
                               "} > \"$OUT.part\" && mv \"$OUT.part\" \"$OUT\"\n"));
    const int fd = ::fcntl(::open("/dev/null", O_RDONLY), F_DUPFD, 100); // inheritable on purpose
    ASSERT_GE(fd, 100);
    ScopedEnv outVar("OUT", QFile::encodeName(out));
    ScopedEnv fdVar("FD", QByteArray::number(fd));
    ScopedEnv kept("ORVALE_TEST_KEPT", "yes");
    ScopedEnv injected("ORVALE_TEST_INJECTED", "1");

    pl::ProcessError error;
    const QStringList argv{script, "a \"quoted\" name.tex", "", "$(touch x);y"};
    ASSERT_TRUE(pl::process().start(argv, {"ORVALE_TEST_INJECTED"}, error)) << error.text;
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(waitForFile(out), "<a \"quoted\" name.tex>\n<>\n<$(touch x);y>\nkept=yes injected=unset\nfd=closed\n");
    EXPECT_FALSE(QFile::exists(dir.filePath("x")));
    ::close(fd);
}

TEST(ProcessStart, ReportsWhyAProgramCouldNotRun)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("empty");
    writeBytes(dir.filePath("data.txt"), "not a program");
    ScopedEnv path("PATH", QFile::encodeName(dir.filePath("empty")));
    struct Case {
        QStringList argv;
        int code;
    };
    const Case cases[] = {
        {{"Orvale.exe", "x"}, ENOENT},
        {{dir.filePath("missing")}, ENOENT},
        {{dir.filePath("data.txt")}, EACCES},
        {{}, ENOENT},
    };
    for (const Case &c : cases) {
        pl::ProcessError error;
        EXPECT_FALSE(pl::process().start(c.argv, {}, error)) << c.argv.join(" ");
        EXPECT_EQ(error.code, c.code) << c.argv.join(" ");
        EXPECT_EQ(error.text, QString::fromLocal8Bit(std::strerror(c.code))) << c.argv.join(" ");
    }
}
