#include "app/HandOver.h"
#include "platform/InstanceLink.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Sets or removes an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char *name, const QByteArray &value)
        : name(name), had(qEnvironmentVariableIsSet(name)), old(qgetenv(name))
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    ~EnvVar()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }

private:
    const char *name;
    bool had;
    QByteArray old;
};

int modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

struct LinkFolderTest : ::testing::Test {
    QTemporaryDir dir;
    QString runtime;
    std::unique_ptr<EnvVar> xdg, display, wayland;
    void SetUp() override
    {
        runtime = dir.path() + "/run";
        ASSERT_TRUE(QDir().mkdir(runtime));
        ::chmod(QFile::encodeName(runtime).constData(), 0700);
        xdg = std::make_unique<EnvVar>("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        display = std::make_unique<EnvVar>("DISPLAY", QByteArray());
        wayland = std::make_unique<EnvVar>("WAYLAND_DISPLAY", QByteArray());
    }
};

TEST_F(LinkFolderTest, PrivateFolderPerDisplay)
{
    QString why;
    EXPECT_EQ(pl::linkFolder(&why), runtime + "/OrvalePDF/nodisplay") << why.toStdString();
    EXPECT_EQ(modeOf(runtime + "/OrvalePDF"), 0700);
    EXPECT_EQ(modeOf(runtime + "/OrvalePDF/nodisplay"), 0700);

    EnvVar x11("DISPLAY", "localhost:10.0");
    EXPECT_EQ(pl::linkFolder(&why), runtime + "/OrvalePDF/x11-localhost:10.0");
    EnvVar odd("DISPLAY", ":0/../../x");
    EXPECT_EQ(pl::linkFolder(&why), runtime + "/OrvalePDF/x11-:0_.._.._x");
}

TEST_F(LinkFolderTest, UnsafeFoldersTurnTheLinkOff)
{
    QString why;
    // Someone else's folder planted through a symlink.
    const QString elsewhere = dir.path() + "/elsewhere";
    QDir().mkdir(elsewhere);
    ::chmod(QFile::encodeName(elsewhere).constData(), 0700);
    ASSERT_TRUE(QFile::link(elsewhere, runtime + "/OrvalePDF"));
    EXPECT_TRUE(pl::linkFolder(&why).isEmpty());
    EXPECT_TRUE(why.contains("not a folder")) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(elsewhere + "/nodisplay"));

    // A folder that others may enter.
    QFile::remove(runtime + "/OrvalePDF");
    QDir().mkdir(runtime + "/OrvalePDF");
    ::chmod(QFile::encodeName(runtime + "/OrvalePDF").constData(), 0755);
    EXPECT_TRUE(pl::linkFolder(&why).isEmpty());
    EXPECT_TRUE(why.contains("open to other users")) << why.toStdString();

    // A runtime folder that others may write.
    ::chmod(QFile::encodeName(runtime).constData(), 0777);
    EXPECT_TRUE(pl::linkFolder(&why).isEmpty());
    EXPECT_TRUE(why.contains("not private")) << why.toStdString();
}

TEST_F(LinkFolderTest, WithoutRuntimeVariableTheTemporaryFallbackIsUsed)
{
    EnvVar tmp("TMPDIR", QFile::encodeName(dir.path()));
    EnvVar none("XDG_RUNTIME_DIR", QByteArray());
    QString why;
    const QString folder = pl::linkFolder(&why);
    ASSERT_FALSE(folder.isEmpty()) << why.toStdString();
    EXPECT_TRUE(folder.startsWith(dir.path() + "/runtime-")) << folder.toStdString();
    EXPECT_EQ(modeOf(folder.section('/', 0, -3)), 0700);
}

struct HandOverFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString file() const { return dir.path() + "/OrvalePDF.tmp"; }
};

TEST_F(HandOverFileTest, WrittenPrivateAndReadBack)
{
    QFile old(file());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and longer text");
    old.close();
    ::chmod(QFile::encodeName(file()).constData(), 0644);

    QString why;
    pl::HandOverFileId written;
    ASSERT_TRUE(pl::writeHandOverFile(file(), "abc", &why, &written)) << why.toStdString();
    EXPECT_EQ(modeOf(file()), 0600);
    QByteArray bytes;
    ASSERT_TRUE(pl::readHandOverFile(file(), 1 << 20, bytes, &why)) << why.toStdString();
    EXPECT_EQ(bytes, "abc");
    EXPECT_FALSE(pl::readHandOverFile(file(), 2, bytes, &why));
    EXPECT_TRUE(why.contains("too large"));
    EXPECT_TRUE(pl::removeHandOverFile(file(), written));
    EXPECT_FALSE(QFileInfo::exists(file()));
}

TEST_F(HandOverFileTest, SymlinksAndSpecialFilesAreRefused)
{
    const QString target = dir.path() + "/target";
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("keep me");
    t.close();
    ASSERT_TRUE(QFile::link(target, file()));

    QString why;
    EXPECT_FALSE(pl::writeHandOverFile(file(), "-inverse-search\nevil\n", &why));
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), "keep me");
    t.close();
    QByteArray bytes;
    EXPECT_FALSE(pl::readHandOverFile(file(), 1 << 20, bytes, &why));
    EXPECT_TRUE(bytes.isEmpty());

    // A FIFO neither blocks the reader nor the writer.
    QFile::remove(file());
    ASSERT_EQ(::mkfifo(QFile::encodeName(file()).constData(), 0600), 0);
    EXPECT_FALSE(pl::readHandOverFile(file(), 1 << 20, bytes, &why));
    EXPECT_TRUE(why.contains("not a regular file")) << why.toStdString();
    EXPECT_FALSE(pl::writeHandOverFile(file(), "x", &why));
}

TEST_F(HandOverFileTest, OnlyTheFileThisStartWroteIsRemoved)
{
    QString why;
    pl::HandOverFileId mine, theirs;
    ASSERT_TRUE(pl::writeHandOverFile(file(), "x.pdf\n", &why, &mine)) << why.toStdString();
    // Another start wrote its command under the same name meanwhile.
    ASSERT_TRUE(pl::writeHandOverFile(file(), "-page-index\n3\ny.pdf\n", &why, &theirs));
    EXPECT_FALSE(pl::removeHandOverFile(file(), mine));
    QByteArray bytes;
    ASSERT_TRUE(pl::readHandOverFile(file(), 1 << 20, bytes, &why));
    EXPECT_EQ(bytes, "-page-index\n3\ny.pdf\n");
    EXPECT_TRUE(pl::removeHandOverFile(file(), theirs));
    EXPECT_FALSE(QFileInfo::exists(file()));
}

TEST(LinkLockTest, OneHolderAtATime)
{
    QTemporaryDir dir;
    auto first = std::make_unique<pl::LinkLock>(dir.path(), 0);
    ASSERT_TRUE(first->held());
    EXPECT_FALSE(pl::LinkLock(dir.path(), 30).held());
    first.reset();
    EXPECT_TRUE(pl::LinkLock(dir.path(), 0).held());
}

// Runs client work on its own thread while this thread's event loop serves the link.
template <typename F>
void WithEventLoop(F work)
{
    std::atomic<bool> done = false;
    std::thread client([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    client.join();
}

TEST(LinkServerTest, RequestsRepliesAndLateReplies)
{
    QTemporaryDir dir;
    std::vector<uint32_t> seen;
    pl::LinkServer server([&](uint32_t message, int64_t wParam, pl::LinkServer::Reply reply) {
        seen.push_back(message);
        if (message == 1)
            reply(0, "Caption Text");
        else if (message == 2) // answered later, from the event loop
            QTimer::singleShot(20, [reply, wParam] { reply(wParam * 2, {}); });
        else
            reply(-1, {});
    });
    QString why;
    ASSERT_TRUE(server.listen(dir.path(), &why)) << why.toStdString();
    EXPECT_EQ(server.socketPath(), dir.path() + QStringLiteral("/inst-%1.sock").arg(::getpid()));

    std::optional<pl::LinkReply> caption, late, other, timedOut;
    WithEventLoop([&] {
        pl::LinkConnection::Outcome outcome;
        auto link = pl::LinkConnection::connectTo(server.socketPath(), 500, &outcome);
        ASSERT_TRUE(link);
        EXPECT_EQ(outcome, pl::LinkConnection::Outcome::Connected);
        caption = link->request(1, 0, 5000);
        late = link->request(2, 21, 5000);
        other = link->request(3, 0, 5000);
    });
    ASSERT_TRUE(caption && late && other);
    EXPECT_EQ(caption->text, "Caption Text");
    EXPECT_EQ(late->result, 42);
    EXPECT_EQ(other->result, -1);
    EXPECT_EQ(seen, (std::vector<uint32_t>{1, 2, 3}));

    // A reply that never comes ends at the timeout.
    pl::LinkServer silent([](uint32_t, int64_t, pl::LinkServer::Reply) {});
    QTemporaryDir other2;
    ASSERT_TRUE(silent.listen(other2.path(), &why));
    WithEventLoop([&] {
        pl::LinkConnection::Outcome outcome;
        auto link = pl::LinkConnection::connectTo(silent.socketPath(), 500, &outcome);
        ASSERT_TRUE(link);
        timedOut = link->request(1145, 0, 100);
    });
    EXPECT_FALSE(timedOut);
}

TEST(LinkServerTest, StaleSocketsAreRemovedAndActivationOrdersTheSearch)
{
    QTemporaryDir dir;
    // A socket file nobody listens on, as a crashed instance leaves it.
    const QString stale = dir.path() + "/inst-999999.sock";
    {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, QFile::encodeName(stale).constData(), sizeof(addr.sun_path) - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
        ::close(fd);
    }
    pl::LinkServer server([](uint32_t, int64_t, pl::LinkServer::Reply reply) { reply(1, {}); });
    QString why;
    ASSERT_TRUE(server.listen(dir.path(), &why));
    // Activation times set apart: the stale socket was activated last, then the server is.
    const auto setTime = [](const QString &path, time_t ago) {
        const timespec when[2] = {{::time(nullptr) - ago, 0}, {::time(nullptr) - ago, 0}};
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), when, AT_SYMLINK_NOFOLLOW);
    };
    setTime(server.socketPath(), 100);
    setTime(stale, 50);
    EXPECT_EQ(pl::instanceSockets(dir.path(), 10), (QStringList{stale, server.socketPath()}));
    server.touch();
    EXPECT_EQ(pl::instanceSockets(dir.path(), 10), (QStringList{server.socketPath(), stale}));
    EXPECT_EQ(pl::instanceSockets(dir.path(), 1), QStringList{server.socketPath()});

    pl::LinkConnection::Outcome outcome;
    EXPECT_FALSE(pl::LinkConnection::connectTo(stale, 500, &outcome));
    EXPECT_EQ(outcome, pl::LinkConnection::Outcome::Stale);
    EXPECT_FALSE(QFileInfo::exists(stale));
    EXPECT_EQ(pl::instanceSockets(dir.path(), 10), QStringList{server.socketPath()});
}

// A search that connects while a new instance's socket is bound but not yet listening would
// take it for a stale one and remove it; a search connecting as fast as it can must never
// find the socket before it listens.
TEST(LinkServerTest, SocketIsNeverFoundBeforeItListens)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/inst-%1.sock").arg(::getpid());
    std::atomic<bool> stop = false;
    std::thread search([&] {
        while (!stop) {
            pl::LinkConnection::Outcome outcome;
            pl::LinkConnection::connectTo(path, 500, &outcome);
        }
    });
    int lost = 0, failed = 0;
    for (int i = 0; i < 3000 && lost == 0 && failed == 0; ++i) {
        pl::LinkServer server([](uint32_t, int64_t, pl::LinkServer::Reply reply) { reply(1, {}); });
        QString why;
        failed += !server.listen(dir.path(), &why);
        lost += !QFileInfo::exists(path);
    }
    stop = true;
    search.join();
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::System | QDir::Files), QStringList());
}

// The second start's side, against a viewer of this process that answers from this thread's
// event loop while the start runs on a thread of its own.
struct HandOverCommandTest : ::testing::Test {
    static inline std::unique_ptr<QTemporaryDir> dir;
    static inline std::unique_ptr<EnvVar> xdg, display, wayland;
    static void SetUpTestSuite()
    {
        // One runtime folder for the suite: the program keeps the link folder it found first.
        dir = std::make_unique<QTemporaryDir>();
        ::chmod(QFile::encodeName(dir->path()).constData(), 0700);
        xdg = std::make_unique<EnvVar>("XDG_RUNTIME_DIR", QFile::encodeName(dir->path()));
        display = std::make_unique<EnvVar>("DISPLAY", QByteArray());
        wayland = std::make_unique<EnvVar>("WAYLAND_DISPLAY", QByteArray());
    }
    static void TearDownTestSuite()
    {
        wayland.reset();
        display.reset();
        xdg.reset();
        dir.reset();
    }
    static QString folder() { return pl::linkFolder(nullptr); }
    static QString commandFile() { return folder() + "/OrvalePDF.tmp"; }

    // Answers as a running viewer and records what it was asked.
    struct FakeViewer {
        std::vector<uint32_t> asked;
        std::function<void()> onCommand;
        pl::LinkServer server{[this](uint32_t message, int64_t, pl::LinkServer::Reply reply) {
            asked.push_back(message);
            if (message == LinkMessage::CmdLine && onCommand)
                onCommand();
            const int64_t result = message == LinkMessage::Ident1 ? LinkMessage::Ident1Reply
                : message == LinkMessage::Ident2                  ? LinkMessage::Ident2Reply
                                                                  : 1;
            reply(result, message == LinkMessage::Caption ? QStringLiteral("OrvalePDF - [a.pdf]") : QString());
        }};
        FakeViewer()
        {
            QString why;
            EXPECT_TRUE(server.listen(folder(), &why)) << why.toStdString();
        }
    };

    static THandOver HandOver(const QStringList &items, std::string &said, int lockWaitMs = LinkLockWaitMs)
    {
        THandOver outcome = THandOver::NoInstance;
        testing::internal::CaptureStderr();
        WithEventLoop([&] { outcome = HandOverCommand(items, false, lockWaitMs); });
        said = testing::internal::GetCapturedStderr();
        return outcome;
    }
    static QByteArray Utf16(const QString &text)
    {
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    }
};

TEST_F(HandOverCommandTest, LockNotTakenEndsTheStartAndTouchesNothing)
{
    FakeViewer viewer;
    pl::LinkLock other(folder(), 0);
    ASSERT_TRUE(other.held());
    QString why;
    ASSERT_TRUE(pl::writeHandOverFile(commandFile(), "another start's command", &why));

    std::string said;
    EXPECT_EQ(HandOver({"/w/x.pdf"}, said, 50), THandOver::Refused);
    EXPECT_EQ(ExitStatus(THandOver::Refused), 1);
    EXPECT_NE(said.find("Instance link busy: "), std::string::npos) << said;
    EXPECT_TRUE(viewer.asked.empty());
    QByteArray bytes;
    ASSERT_TRUE(pl::readHandOverFile(commandFile(), 1 << 20, bytes, &why));
    EXPECT_EQ(bytes, "another start's command");
    QFile::remove(commandFile());
}

TEST_F(HandOverCommandTest, OversizedCommandIsRefusedBeforeAnythingIsSent)
{
    FakeViewer viewer;
    std::string said;
    // 600,000 characters are 1.2 MB in UTF-16, more than a viewer reads.
    EXPECT_EQ(HandOver({"/w/" + QString(600000, 'a') + ".pdf"}, said), THandOver::Refused);
    EXPECT_NE(said.find("Command line too long: 1200016 bytes"), std::string::npos) << said;
    EXPECT_EQ(viewer.asked, (std::vector<uint32_t>{LinkMessage::Caption, LinkMessage::Ident1, LinkMessage::Ident2}));
    EXPECT_FALSE(QFileInfo::exists(commandFile()));
}

TEST_F(HandOverCommandTest, CommandFileOfALaterStartIsLeftAlone)
{
    FakeViewer viewer;
    QByteArray received;
    // While this start waits for its reply, another one writes its own command.
    viewer.onCommand = [&received] {
        QString why;
        pl::readHandOverFile(commandFile(), 1 << 20, received, &why);
        pl::writeHandOverFile(commandFile(), Utf16("-page-index\n3\n/w/y.pdf\n"), &why);
    };
    std::string said;
    EXPECT_EQ(HandOver({"/w/x.pdf"}, said), THandOver::HandedOver);
    EXPECT_TRUE(said.empty()) << said;
    EXPECT_EQ(received, Utf16("/w/x.pdf\n"));
    QByteArray left;
    QString why;
    ASSERT_TRUE(pl::readHandOverFile(commandFile(), 1 << 20, left, &why)) << why.toStdString();
    EXPECT_EQ(left, Utf16("-page-index\n3\n/w/y.pdf\n"));
    QFile::remove(commandFile());
}

} // namespace
