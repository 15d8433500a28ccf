// Two and more real processes of the program sharing one runtime folder: the first start
// becomes the viewer, later starts hand their command over and end.
#include "ProgramRun.h"

#include "app/HandOver.h"
#include "platform/InstanceLink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>

#include <csignal>
#include <cstring>
#include <map>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A running viewer with its own runtime, config and home folders and a log.
struct Viewer : ProgramRun {
    QString log = home.path() + "/a.log";

    Viewer()
    {
        // The link folder then has the same name whatever display the test machine has.
        QProcessEnvironment env = process.processEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        process.setProcessEnvironment(env);
    }
    ~Viewer()
    {
        if (process.state() != QProcess::NotRunning) {
            ::kill(pid_t(process.processId()), SIGTERM);
            process.waitForFinished(30000);
        }
    }
    QString linkFolder() const { return home.path() + "/runtime/OrvalePDF/nodisplay"; }
    void startViewer(const QStringList &more = {})
    {
        start(QStringList{"-D=" + log} + more);
        ASSERT_TRUE(waitForText(log, "Instance link: " + linkFolder())) << LogTexts(log).join('\n').toStdString();
    }
    // Another start of the program in the same environment.
    std::unique_ptr<QProcess> second(const QStringList &args, const QString &folder = QString()) const
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(process.processEnvironment());
        p->setProgram(binPath("OrvalePDF"));
        p->setArguments(args);
        if (!folder.isEmpty())
            p->setWorkingDirectory(folder);
        p->start();
        p->waitForStarted(10000);
        return p;
    }
    QStringList logTexts() const { return LogTexts(log); }
};

// Every file under folder with its modification time.
std::map<QString, QDateTime> FileTimes(const QString &folder)
{
    std::map<QString, QDateTime> times;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        times[it.filePath()] = it.fileInfo().lastModified();
    }
    return times;
}

bool Contains(const QStringList &texts, const QString &part)
{
    for (const QString &t : texts)
        if (t.contains(part))
            return true;
    return false;
}

// The link folder as the program makes it: every level closed to others.
void MakeLinkFolder(const Viewer &viewer)
{
    for (const QString &level : {viewer.home.path() + "/runtime/OrvalePDF", viewer.linkFolder()}) {
        QDir().mkpath(level);
        QFile::setPermissions(level, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

// A socket file that nobody listens on, as a crashed viewer leaves it.
void MakeStaleSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, QFile::encodeName(path).constData(), sizeof(addr.sun_path) - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
    ::close(fd);
}

TEST(HandOverTest, ForwardSearchRunsInTheFirstInstanceAndTheSecondEndsQuietly)
{
    Viewer a;
    a.startViewer();
    const auto configBefore = FileTimes(a.home.path() + "/config");

    // Relative names from the second start's folder.
    const QString bLog = a.home.path() + "/b.log";
    auto b = a.second({"-D=" + bLog, "-forward-search", "chapters/iron.tex", "2", "multi.pdf"}, fixturePath("multi"));
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(b->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(b->exitCode(), 0);
    EXPECT_FALSE(QFileInfo::exists(bLog));
    EXPECT_EQ(FileTimes(a.home.path() + "/config"), configBefore);
    EXPECT_FALSE(QFileInfo::exists(a.linkFolder() + "/OrvalePDF.tmp"));

    const QString source = fixturePath("multi/chapters/iron.tex");
    const QString pdf = fixturePath("multi/multi.pdf");
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Command Line Done"));
    const QStringList log = a.logTexts();
    EXPECT_TRUE(log.contains("Command Line Received: \"-forward-search\" \"" + source + "\" \"2\" \"" + pdf + "\""))
        << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains("Forward Search: \"" + source + "\" line 2: page 6")) << log.join('\n').toStdString();
}

// Other viewers' forms, as editors' presets send them, reach the running viewer as its own.
TEST(HandOverTest, OtherViewersFormsHandOverAsForwardSearches)
{
    Viewer a;
    a.startViewer();
    const QString iron = fixturePath("multi/chapters/iron.tex");
    const QString stone = fixturePath("multi/chapters/stone.tex");
    const QString pdf = fixturePath("multi/multi.pdf");
    const struct {
        QStringList args;
        QString received; // the items the viewer logs, quoted
        QString marked;
    } cases[] = {
        {{"--synctex-forward", "2:1:chapters/iron.tex", "multi.pdf"},
         "\"-forward-search\" \"" + iron + "\" \"2\" \"" + pdf + "\"",
         "\"" + iron + "\" line 2: page 6"},
        {{"-x", "ed +%{line} %{input}", "--synctex-forward=9:0:" + stone, pdf},
         "\"-inverse-search\" \"ed +%l %f\" \"-forward-search\" \"" + stone + "\" \"9\" \"" + pdf + "\"",
         "\"" + stone + "\" line 9: page 3"},
        {{"--unique", "file:" + pdf + "#src:2" + iron},
         "\"-forward-search\" \"" + iron + "\" \"2\" \"" + pdf + "\"",
         "\"" + iron + "\" line 2: page 6"},
        {{"--unique", pdf + "#src:" + stone + ":9:0"},
         "\"-forward-search\" \"" + stone + "\" \"9\" \"" + pdf + "\"",
         "\"" + stone + "\" line 9: page 3"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        auto b = a.second(c.args, fixturePath("multi"));
        ASSERT_TRUE(b->waitForFinished(60000));
        EXPECT_EQ(b->exitCode(), 0);
        const QStringList log = a.logTexts();
        EXPECT_TRUE(log.contains("Command Line Received: " + c.received)) << log.join('\n').toStdString();
        const qsizetype last = log.lastIndexOf(QRegularExpression("^Forward Search: .*"));
        ASSERT_GE(last, 0);
        EXPECT_EQ(log[last], "Forward Search: " + c.marked);
    }
}

TEST(HandOverTest, SecondStartWithoutDisplayNeverMakesItsWindowObjects)
{
    Viewer a;
    a.startViewer();
    auto b = std::make_unique<QProcess>();
    QProcessEnvironment env = a.process.processEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb"); // would end the process at once without a display
    b->setProcessEnvironment(env);
    b->setProgram(binPath("OrvalePDF"));
    b->setArguments({fixturePath("multi/multi.pdf")});
    b->start();
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(b->exitCode(), 0);
    EXPECT_TRUE(b->readAllStandardError().isEmpty());
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Command Line Done"));
}

TEST(HandOverTest, RunningViewerAnswersTheLinkRequests)
{
    Viewer a;
    a.startViewer();
    const QString socket = a.linkFolder() + QStringLiteral("/inst-%1.sock").arg(a.process.processId());
    pl::LinkConnection::Outcome outcome;
    auto link = pl::LinkConnection::connectTo(socket, 500, &outcome);
    ASSERT_TRUE(link);
    const auto result = [&link](uint32_t message, int64_t wParam, const QByteArray &payload = {}) {
        if (!link->send(message, wParam, payload, 5000))
            return int64_t(-1);
        const std::optional<pl::LinkReply> reply = link->receive(60000);
        return reply ? reply->result : int64_t(-1);
    };
    const std::optional<pl::LinkReply> caption = link->request(0x000D, 0, 5000);
    ASSERT_TRUE(caption);
    EXPECT_TRUE(caption->text.startsWith("OrvalePDF")) << caption->text.toStdString();
    EXPECT_EQ(result(1147, 0), 1);
    EXPECT_EQ(result(1148, 0), 20260613);
    EXPECT_EQ(result(1149, 0), 21);
    EXPECT_EQ(result(1146, 1), 1);

    const QString pdf = fixturePath("multi/multi.pdf");
    const QString command = "-page-label\n3\n" + pdf + "\n";
    // Garbled messages, a blank text and another name: nothing runs.
    QByteArray wrongIdent = THandOverMessage{"OrvalePDF", command}.Encode();
    wrongIdent[0] = char(wrongIdent[0] ^ 1);
    EXPECT_EQ(result(1145, 0), 0);
    EXPECT_EQ(result(1145, 0, wrongIdent), 0);
    EXPECT_EQ(result(1145, 0, THandOverMessage{"OrvalePDF", command}.Encode().chopped(2)), 0);
    EXPECT_EQ(result(1145, 0, THandOverMessage{"OrvalePDF", "\n\n"}.Encode()), 0);
    EXPECT_EQ(result(1145, 0, THandOverMessage{"OrvalePDF Work", command}.Encode()), 2);
    EXPECT_EQ(result(1145, 2, THandOverMessage{"orvalepdf", command}.Encode()), 3);
    EXPECT_EQ(result(1145, 1, THandOverMessage{"OrvalePDF", command}.Encode()), 1);
    QStringList log = a.logTexts();
    EXPECT_EQ(log.count("Failing to read the command line..."), 3) << log.join('\n').toStdString();
    EXPECT_EQ(log.count("Command Line Received: \"-page-label\" \"3\" \"" + pdf + "\""), 1);

    // A message longer than a viewer takes ends the connection unanswered and runs nothing.
    auto other = pl::LinkConnection::connectTo(socket, 500, &outcome);
    ASSERT_TRUE(other);
    const QString huge = pdf + QString(600000, 'a');
    // The viewer may close the connection before the whole message is written.
    other->send(1145, 0, THandOverMessage{"OrvalePDF", huge}.Encode(), 5000);
    EXPECT_FALSE(other->receive(5000));
    // The viewer still serves the first connection.
    EXPECT_EQ(result(1147, 0), 1);
    log = a.logTexts();
    EXPECT_FALSE(Contains(log, "aaaaaaaa"));
}

TEST(HandOverTest, EmptyCommandTextOnlyFocuses)
{
    Viewer a;
    a.startViewer();
    auto b = a.second({});
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(b->exitCode(), 0);
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Setting Focus..."));
    const QStringList log = a.logTexts();
    EXPECT_FALSE(Contains(log, "Command Line Received")) << log.join('\n').toStdString();
    EXPECT_FALSE(Contains(log, "Failing to read the command line"));
    EXPECT_FALSE(QFileInfo::exists(a.linkFolder() + "/OrvalePDF.tmp"));
}

TEST(HandOverTest, StaleSocketIsReplacedByTheNewViewer)
{
    Viewer a;
    MakeLinkFolder(a);
    const QString stale = a.linkFolder() + "/inst-999999.sock";
    MakeStaleSocket(stale);
    a.startViewer();
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_EQ(QDir(a.linkFolder()).entryList({"inst-*.sock"}, QDir::System),
              QStringList{QStringLiteral("inst-%1.sock").arg(a.process.processId())});

    auto b = a.second({fixturePath("multi/multi.pdf")});
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(b->exitCode(), 0);
    EXPECT_TRUE(ProgramRun::waitForText(a.log, "Command Line Done"));
}

TEST(HandOverTest, ListenerWithTheWrongIdentificationIsNotTaken)
{
    Viewer b;
    MakeLinkFolder(b);
    // Another program's listener with a matching caption but other identification values.
    std::vector<uint32_t> asked;
    pl::LinkServer foreign(
        [&asked](uint32_t message, int64_t, const QByteArray &, pl::LinkServer::Reply reply) {
            asked.push_back(message);
            reply(0, message == 0x000D ? QStringLiteral("OrvalePDF") : QString());
        },
        1 << 21);
    QString why;
    ASSERT_TRUE(foreign.listen(b.linkFolder(), &why)) << why.toStdString();

    b.start({"-D=" + b.log, fixturePath("multi/multi.pdf")});
    // The foreign listener answers from this event loop while the program searches.
    QDeadlineTimer deadline(60000);
    while (!deadline.hasExpired() && !QFile(b.log).exists())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(ProgramRun::waitForText(b.log, "Instance link: " + b.linkFolder()));
    EXPECT_EQ(b.process.state(), QProcess::Running);
    // It got the one hand-over message; its answer lacks the identification.
    EXPECT_EQ(asked, (std::vector<uint32_t>{1145}));
}

// The command travels inside the link's message: a symlink planted where a command file
// could be is neither followed nor read.
TEST(HandOverTest, SymlinkAtTheOldCommandFileIsLeftAlone)
{
    Viewer a;
    a.startViewer();
    const QString target = a.home.path() + "/target";
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("keep me");
    t.close();
    ASSERT_TRUE(QFile::link(target, a.linkFolder() + "/OrvalePDF.tmp"));

    const QString pdf = fixturePath("multi/multi.pdf");
    auto b = a.second({"-page-index", "3", pdf});
    ASSERT_TRUE(b->waitForFinished(60000));
    EXPECT_EQ(b->exitCode(), 0);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), "keep me");
    EXPECT_TRUE(QFileInfo(a.linkFolder() + "/OrvalePDF.tmp").isSymLink());
    // The reply came after the command ran.
    EXPECT_TRUE(a.logTexts().contains("Command Line Received: \"-page-index\" \"3\" \"" + pdf + "\""))
        << a.logTexts().join('\n').toStdString();
}

TEST(HandOverTest, NewInstanceSwitchAndNamesChooseTheViewer)
{
    Viewer a;
    a.startViewer({"-C=Alpha"});
    const QString pdf = fixturePath("multi/multi.pdf");

    // -N opens the file itself beside the running viewer; so does another name.
    for (const QString &sw : {QStringLiteral("-N"), QStringLiteral("-C=Beta")}) {
        const QString log = a.home.path() + "/" + sw.mid(1, 1) + ".log";
        auto b = a.second({"-D=" + log, sw, pdf});
        ASSERT_TRUE(ProgramRun::waitForText(log, "Loaded: " + pdf)) << sw.toStdString();
        EXPECT_EQ(b->state(), QProcess::Running);
        EXPECT_TRUE(QFileInfo::exists(a.linkFolder() + QStringLiteral("/inst-%1.sock").arg(b->processId())));
        ::kill(pid_t(b->processId()), SIGTERM);
        EXPECT_TRUE(b->waitForFinished(30000));
    }
    EXPECT_FALSE(Contains(a.logTexts(), "Command Line Received"));

    // The name is a caption prefix, compared without case.
    auto c = a.second({"-C=alpha", "-page-index", "2", pdf});
    ASSERT_TRUE(c->waitForFinished(60000));
    EXPECT_EQ(c->exitCode(), 0);
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Command Line Done"));
    EXPECT_TRUE(Contains(a.logTexts(), "Command Line Received: \"-page-index\" \"2\""));
}

// A command the running viewer would refuse is refused by the second start itself, where the
// editor that started it sees why; nothing reaches the viewer.
TEST(HandOverTest, IllegalSwitchIsRefusedBeforeTheHandOver)
{
    Viewer a;
    a.startViewer();
    const QString pdf = fixturePath("multi/multi.pdf");
    const struct {
        QStringList args;
        QString said;
    } cases[] = {
        {{"-bogus", pdf}, "Illegal Command Line Switch: \"-bogus\""},
        {{pdf, "-Page-Index", "3", pdf}, "Illegal Command Line Switch: \"-Page-Index\""},
        // One file name holding line breaks, which the command text would split into switches.
        {{"/p/a\n-inverse-search\nsh -c ||touch X||\nb.pdf"},
         "Illegal Command Line Switch: \"/p/a\\n-inverse-search\\nsh -c \"touch X\"\\nb.pdf\""},
    };
    for (const auto &c : cases) {
        auto b = a.second(c.args);
        ASSERT_TRUE(b->waitForFinished(30000)) << c.said.toStdString();
        EXPECT_EQ(b->exitCode(), 2);
        EXPECT_EQ(QString::fromLocal8Bit(b->readAllStandardError()).trimmed(), c.said);
    }
    // The viewer was asked for nothing, and a good command still gets through.
    auto d = a.second({"-page-index", "2", pdf});
    ASSERT_TRUE(d->waitForFinished(60000));
    EXPECT_EQ(d->exitCode(), 0);
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Command Line Done"));
    const QStringList log = a.logTexts();
    EXPECT_EQ(log.filter("Command Line Received").size(), 1) << log.join('\n').toStdString();
    EXPECT_EQ(log.filter("Setting Focus...").size(), 1);
    EXPECT_FALSE(Contains(log, "Unknown Switch"));
}

// Requests reach the viewer inside the loops of its modal boxes: a message of its start-up
// command, a password dialog. Opening waits for the password dialog, and so does its sender.
TEST(HandOverTest, CommandsAreServedWhileAModalBoxIsOpen)
{
    Viewer a;
    a.startViewer({"-bogus"});
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "Message: Unknown Switch"));
    const QString source = fixturePath("multi/chapters/iron.tex");
    const QString pdf = fixturePath("multi/multi.pdf");
    auto b = a.second({"-forward-search", source, "2", pdf});
    ASSERT_TRUE(b->waitForFinished(30000));
    EXPECT_EQ(b->exitCode(), 0);
    EXPECT_TRUE(ProgramRun::waitForText(a.log, "Forward Search: \"" + source + "\" line 2: page 6"))
        << a.logTexts().join('\n').toStdString();

    const QString locked = fixturePath("multi/multi-locked.pdf");
    auto c = a.second({locked});
    ASSERT_TRUE(ProgramRun::waitForText(a.log, "PDFium Errror (4): " + locked));
    const QString other = a.home.path() + "/other.pdf";
    ASSERT_TRUE(QFile::copy(pdf, other));
    auto d = a.second({other});
    ASSERT_TRUE(d->waitForFinished(30000));
    EXPECT_EQ(d->exitCode(), 0);
    // The start whose command shows the password dialog waits for its answer; the one that
    // came while the dialog is open did not.
    EXPECT_EQ(c->state(), QProcess::Running);
    c->kill();
    c->waitForFinished(30000);
    // The command ran inside the dialog's loop and opened nothing.
    const QString received = "Command Line Received: \"" + other + "\"";
    QStringList log;
    for (QDeadlineTimer deadline(30000); !deadline.hasExpired(); QThread::msleep(20)) {
        log = a.logTexts();
        if (log.indexOf("Command Line Done", log.indexOf(received) + 1) > log.indexOf(received)
            && log.contains(received))
            break;
    }
    ASSERT_GT(log.indexOf("Command Line Done", log.indexOf(received) + 1), log.indexOf(received))
        << log.join('\n').toStdString();
    EXPECT_TRUE(log.contains(received));
    EXPECT_FALSE(Contains(log, "Loaded: " + other));
    EXPECT_FALSE(Contains(log, "Closing..."));
}

TEST(HandOverTest, TwentySimultaneousStartsGiveOneViewer)
{
    Viewer env;
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 20; ++i)
        starts.push_back(env.second({QStringLiteral("-D=%1/log%2.txt").arg(env.home.path()).arg(i), "-page-index",
                                     QString::number(i % 7), fixturePath("multi/multi.pdf")}));
    // Nineteen end; the one left is the viewer.
    QDeadlineTimer deadline(120000);
    int finished = 0;
    while (!deadline.hasExpired()) {
        finished = 0;
        for (auto &p : starts)
            finished += p->state() == QProcess::NotRunning || p->waitForFinished(10);
        if (finished >= 19)
            break;
    }
    ASSERT_EQ(finished, 19);
    QProcess *viewer = nullptr;
    for (auto &p : starts) {
        if (p->state() == QProcess::NotRunning)
            EXPECT_EQ(p->exitCode(), 0);
        else
            viewer = p.get();
    }
    ASSERT_TRUE(viewer);
    EXPECT_EQ(QDir(env.linkFolder()).entryList({"inst-*.sock"}, QDir::System),
              QStringList{QStringLiteral("inst-%1.sock").arg(viewer->processId())});
    int logs = 0;
    QString viewerLog;
    for (int i = 0; i < 20; ++i) {
        const QString path = QStringLiteral("%1/log%2.txt").arg(env.home.path()).arg(i);
        if (QFileInfo::exists(path)) {
            ++logs;
            viewerLog = path;
        }
    }
    EXPECT_EQ(logs, 1);
    int received = 0;
    for (const QString &t : LogTexts(viewerLog))
        received += t.startsWith("Command Line Received");
    EXPECT_EQ(received, 19);
    ::kill(pid_t(viewer->processId()), SIGTERM);
    EXPECT_TRUE(viewer->waitForFinished(30000));
}

} // namespace
