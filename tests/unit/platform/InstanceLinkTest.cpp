#include "app/HandOver.h"
#include "base/AppState.h"
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
#include <sys/wait.h>
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
    pl::LinkServer server([&](uint32_t message, int64_t wParam, const QByteArray &, pl::LinkServer::Reply reply) {
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
    pl::LinkServer silent([](uint32_t, int64_t, const QByteArray &, pl::LinkServer::Reply) {});
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

// A payload arrives whole with its request, however it is cut on the way; a longer one than
// the listener takes, or a garbled frame, ends the connection unanswered and reaches nobody.
TEST(LinkServerTest, PayloadsArriveWholeAndOversizedOrGarbledFramesAreDropped)
{
    QTemporaryDir dir;
    std::vector<QByteArray> seen;
    pl::LinkServer server(
        [&](uint32_t, int64_t, const QByteArray &payload, pl::LinkServer::Reply reply) {
            seen.push_back(payload);
            reply(payload.size(), {});
        },
        100);
    QString why;
    ASSERT_TRUE(server.listen(dir.path(), &why)) << why.toStdString();
    // Raw frames as another program would write them: {magic, message, wParam, length, pad}.
    const auto frame = [](uint32_t magic, uint32_t length, uint32_t pad = 0) {
        const uint32_t head[6] = {magic, 1145, 0, 0, length, pad};
        return QByteArray(reinterpret_cast<const char *>(head), sizeof(head));
    };
    const uint32_t magic = 0x3250524F;
    std::optional<pl::LinkReply> whole;
    WithEventLoop([&] {
        pl::LinkConnection::Outcome outcome;
        auto link = pl::LinkConnection::connectTo(server.socketPath(), 500, &outcome);
        ASSERT_TRUE(link);
        ASSERT_TRUE(link->send(1145, 7, QByteArray(100, 'p'), 1000));
        whole = link->receive(5000);
    });
    const auto sendRaw = [&](const QByteArray &bytes) {
        std::optional<pl::LinkReply> reply;
        WithEventLoop([&] {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strncpy(addr.sun_path, QFile::encodeName(server.socketPath()).constData(), sizeof(addr.sun_path) - 1);
            ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)), 0);
            const qsizetype half = bytes.size() / 2;
            ASSERT_EQ(::send(fd, bytes.constData(), size_t(half), MSG_NOSIGNAL), half);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            ::send(fd, bytes.constData() + half, size_t(bytes.size() - half), MSG_NOSIGNAL);
            // The listener closes a connection it drops: the read ends at once, not at a timeout.
            char head[16];
            const ssize_t n = ::recv(fd, head, sizeof(head), MSG_WAITALL);
            if (n == ssize_t(sizeof(head))) {
                reply = pl::LinkReply{};
                std::memcpy(&reply->result, head, sizeof(int64_t));
            }
            ::close(fd);
        });
        return reply;
    };
    const std::optional<pl::LinkReply> split = sendRaw(frame(magic, 40) + QByteArray(40, 's'));
    const std::optional<pl::LinkReply> oversized = sendRaw(frame(magic, 101) + QByteArray(101, 'o'));
    const std::optional<pl::LinkReply> garbled = sendRaw(frame(0x4C50524F, 40) + QByteArray(40, 'g'));
    const std::optional<pl::LinkReply> badPad = sendRaw(frame(magic, 40, 1) + QByteArray(40, 'b'));
    ASSERT_TRUE(whole && split);
    EXPECT_EQ(whole->result, 100);
    EXPECT_EQ(split->result, 40);
    EXPECT_FALSE(oversized);
    EXPECT_FALSE(garbled);
    EXPECT_FALSE(badPad);
    EXPECT_EQ(seen, (std::vector<QByteArray>{QByteArray(100, 'p'), QByteArray(40, 's')}));
}

// A process of another user that reaches the socket (here: opened up on purpose) is
// closed on without a reply, and its message reaches nobody.
TEST(LinkServerTest, PeersOfAnotherUserAreRefused)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to run a peer as another user";
    QTemporaryDir dir;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    int handled = 0;
    pl::LinkServer server(
        [&](uint32_t, int64_t, const QByteArray &, pl::LinkServer::Reply reply) {
            ++handled;
            reply(1, {});
        },
        100);
    QString why;
    ASSERT_TRUE(server.listen(dir.path(), &why)) << why.toStdString();
    ::chmod(QFile::encodeName(server.socketPath()).constData(), 0666);
    int status = -1;
    WithEventLoop([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(3);
            pl::LinkConnection::Outcome outcome;
            // The peer check works both ways: connect itself refuses a listener of another user.
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::strncpy(addr.sun_path, QFile::encodeName(server.socketPath()).constData(), sizeof(addr.sun_path) - 1);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0)
                ::_exit(4);
            const uint32_t frame[6] = {0x3250524F, 1145, 0, 0, 0, 0};
            ::send(fd, frame, sizeof(frame), MSG_NOSIGNAL);
            char head[16];
            const ssize_t n = ::recv(fd, head, sizeof(head), MSG_WAITALL);
            const bool refusedListener = !pl::LinkConnection::connectTo(server.socketPath(), 500, &outcome);
            ::_exit(n <= 0 && refusedListener ? 0 : 5); // closed or reset, never answered
        }
        ::waitpid(child, &status, 0);
    });
    EXPECT_EQ(status, 0); // the child ended normally with 0
    EXPECT_EQ(handled, 0);
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
    pl::LinkServer server([](uint32_t, int64_t, const QByteArray &, pl::LinkServer::Reply reply) { reply(1, {}); });
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
        pl::LinkServer server([](uint32_t, int64_t, const QByteArray &, pl::LinkServer::Reply reply) { reply(1, {}); });
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

    // Answers as a running viewer named caption and records what it was asked.
    struct FakeViewer {
        QString caption = QStringLiteral("OrvalePDF - [a.pdf]");
        std::vector<uint32_t> asked;
        std::vector<int64_t> flags;
        std::vector<std::optional<THandOverMessage>> messages;
        pl::LinkServer server{
            [this](uint32_t message, int64_t wParam, const QByteArray &payload, pl::LinkServer::Reply reply) {
                asked.push_back(message);
                flags.push_back(wParam);
                const std::optional<THandOverMessage> m = THandOverMessage::Decode(payload);
                messages.push_back(m);
                const int64_t result = !m || !caption.startsWith(m->name) ? LinkMessage::OtherName
                    : wParam & LinkMessage::FindOnly                      ? LinkMessage::Found
                                                                          : 1;
                reply(result, QStringLiteral("20260613 21"));
            },
            1 << 21};
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
};

TEST_F(HandOverCommandTest, LockNotTakenEndsTheStartAndSendsNothing)
{
    FakeViewer viewer;
    pl::LinkLock other(folder(), 0);
    ASSERT_TRUE(other.held());
    std::string said;
    EXPECT_EQ(HandOver({"/w/x.pdf"}, said, 50), THandOver::Refused);
    EXPECT_EQ(ExitStatus(THandOver::Refused), 1);
    EXPECT_NE(said.find("Instance link busy: "), std::string::npos) << said;
    EXPECT_TRUE(viewer.asked.empty());
}

// One message carries the identification, the name looked for and the command text.
TEST_F(HandOverCommandTest, OneMessageCarriesNameAndCommand)
{
    FakeViewer viewer;
    std::string said;
    EXPECT_EQ(HandOver({"/w/x.pdf"}, said), THandOver::HandedOver);
    EXPECT_TRUE(said.empty()) << said;
    ASSERT_EQ(viewer.asked, std::vector<uint32_t>{LinkMessage::CmdLine});
    EXPECT_EQ(viewer.flags, std::vector<int64_t>{0});
    ASSERT_TRUE(viewer.messages[0]);
    EXPECT_EQ(viewer.messages[0]->name, "OrvalePDF");
    EXPECT_EQ(viewer.messages[0]->text, "/w/x.pdf\n");
    EXPECT_FALSE(QFileInfo::exists(folder() + "/OrvalePDF.tmp"));
}

// A viewer of another name is passed over; with none left this start becomes the viewer.
TEST_F(HandOverCommandTest, ViewerOfAnotherNameIsPassedOver)
{
    FakeViewer viewer;
    viewer.caption = QStringLiteral("OrvalePDF2 Work");
    std::string said;
    {
        const QString kept = App.InstanceName;
        App.InstanceName = QStringLiteral("OrvalePDF3");
        EXPECT_EQ(HandOver({"/w/x.pdf"}, said), THandOver::NoInstance);
        App.InstanceName = kept;
    }
    EXPECT_EQ(viewer.asked.size(), 1u);
    // This start keeps the link lock until it listens itself.
    pl::LinkLock probe(folder(), 0);
    EXPECT_FALSE(probe.held());
    TInstanceListener self({});
    EXPECT_TRUE(self.Listen());
    EXPECT_TRUE(pl::LinkLock(folder(), 0).held());
}

TEST_F(HandOverCommandTest, OversizedCommandIsRefusedAndOnlyTheViewerIsLookedFor)
{
    FakeViewer viewer;
    std::string said;
    // 600,000 characters are 1.2 MB in UTF-16, more than a viewer takes.
    EXPECT_EQ(HandOver({"/w/" + QString(600000, 'a') + ".pdf"}, said), THandOver::Refused);
    EXPECT_NE(said.find("Command line too long: 1200016 bytes"), std::string::npos) << said;
    ASSERT_EQ(viewer.asked, std::vector<uint32_t>{LinkMessage::CmdLine});
    EXPECT_EQ(viewer.flags, std::vector<int64_t>{LinkMessage::FindOnly});
    ASSERT_TRUE(viewer.messages[0]);
    EXPECT_TRUE(viewer.messages[0]->text.isEmpty());
}

// What the running viewer refuses to read as a hand-over message.
TEST(HandOverMessageTest, OnlyWellFormedMessagesDecode)
{
    const QByteArray good = THandOverMessage{"OrvalePDF", "-page-index\n3\n/w/x.pdf\n"}.Encode();
    const std::optional<THandOverMessage> back = THandOverMessage::Decode(good);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->name, "OrvalePDF");
    EXPECT_EQ(back->text, "-page-index\n3\n/w/x.pdf\n");
    QByteArray wrongIdent = good;
    wrongIdent[0] = char(wrongIdent[0] + 1);
    QByteArray longerName = good;
    longerName[8] = char(longerName[8] + 1);
    QByteArray hugeText = good;
    const uint32_t huge = (1u << 19) + 1;
    std::memcpy(hugeText.data() + 12, &huge, 4);
    hugeText.append(QByteArray(2 * int(huge) - 2 * 23, 'x'));
    for (const QByteArray &bad :
         {QByteArray(), good.left(15), good.left(good.size() - 1), good + "xx", wrongIdent, longerName, hugeText})
        EXPECT_FALSE(THandOverMessage::Decode(bad)) << bad.size();
}

} // namespace
