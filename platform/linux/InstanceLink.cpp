#include "platform/InstanceLink.h"
#include "platform/LinkFrames.h"

#include <QDir>
#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace pl {

namespace {

// Replies: {result, text length} + UTF-16 text (requests: LinkFrames.h).
constexpr uint32_t kMaxTextChars = 4096;

struct ReplyHead {
    int64_t result;
    uint32_t chars;
    uint32_t pad;
};
static_assert(sizeof(ReplyHead) == 16);

using Clock = std::chrono::steady_clock;

QString errnoText(const char *what, const QString &path)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(what), path, QString::fromLocal8Bit(std::strerror(errno)));
}

// A folder that only this user can reach: not a symlink, owned by the user, mode 0700 or less.
bool checkPrivateFolder(const QString &path, QString *why)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        *why = errnoText("cannot examine", path);
        return false;
    }
    if (!S_ISDIR(st.st_mode))
        *why = QStringLiteral("not a folder: ") + path;
    else if (st.st_uid != ::geteuid())
        *why = QStringLiteral("owned by another user: ") + path;
    else if ((st.st_mode & 077) != 0)
        *why = QStringLiteral("open to other users: ") + path;
    else
        return true;
    return false;
}

bool makePrivateFolder(const QString &path, QString *why)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST) {
        *why = errnoText("cannot create", path);
        return false;
    }
    return checkPrivateFolder(path, why);
}

// The runtime folder as Qt chooses it, without Qt's warning when the variable is unset.
QString runtimeFolder(QString *why)
{
    const QString fromEnv = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (fromEnv.isEmpty()) {
        const passwd *pw = ::getpwuid(::geteuid());
        const QString user = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::geteuid());
        const QString folder = QDir::tempPath() + QStringLiteral("/runtime-") + user;
        return makePrivateFolder(folder, why) ? folder : QString();
    }
    // The session's folder: it must be this user's and writable by nobody else.
    struct stat st {};
    if (::stat(QFile::encodeName(fromEnv).constData(), &st) != 0) {
        *why = errnoText("cannot examine", fromEnv);
        return {};
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 022) != 0) {
        *why = QStringLiteral("runtime folder not private: ") + fromEnv;
        return {};
    }
    return QDir::cleanPath(fromEnv);
}

QString sanitised(const QString &display)
{
    QString out = display.left(64);
    for (QChar &c : out) {
        const ushort u = c.unicode();
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.'
            || u == '_' || u == '-' || u == ':';
        if (!plain)
            c = QLatin1Char('_');
    }
    return out;
}

QString displayScope()
{
    const QString x11 = qEnvironmentVariable("DISPLAY");
    if (!x11.isEmpty())
        return QStringLiteral("x11-") + sanitised(x11);
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        return QStringLiteral("wl-") + sanitised(wayland);
    return QStringLiteral("nodisplay");
}

bool socketAddress(const QString &path, sockaddr_un &addr)
{
    const QByteArray native = QFile::encodeName(path);
    if (native.size() >= int(sizeof(addr.sun_path)))
        return false;
    std::memset(&addr, 0, sizeof(addr));
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, native.constData(), size_t(native.size()));
    return true;
}

bool peerIsUser(int fd)
{
    ucred cred{};
    socklen_t len = sizeof(cred);
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) == 0 && cred.uid == ::geteuid();
}

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::max<int64_t>(0, left));
}

// Writes all bytes or fails; waits for room until the deadline.
bool sendAll(int fd, const char *data, size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            data += n;
            size -= size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, remainingMs(deadline)) > 0)
                continue;
        }
        return false;
    }
    return true;
}

bool receiveAll(int fd, char *data, size_t size, Clock::time_point deadline)
{
    while (size > 0) {
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, remainingMs(deadline));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        const ssize_t n = ::recv(fd, data, size, MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

// ---- Folder and lock ----------------------------------------------------------------------

QString linkFolder(QString *why)
{
    QString reason;
    QString folder = runtimeFolder(&reason);
    if (!folder.isEmpty()) {
        const QString outer = folder + QStringLiteral("/OrvalePDF");
        folder = outer + QLatin1Char('/') + displayScope();
        if (!makePrivateFolder(outer, &reason) || !makePrivateFolder(folder, &reason))
            folder.clear();
    }
    // The longest socket name must fit into a socket address.
    sockaddr_un probe;
    if (!folder.isEmpty() && !socketAddress(folder + QStringLiteral("/inst-4294967295.sock"), probe)) {
        reason = QStringLiteral("folder name too long for a socket: ") + folder;
        folder.clear();
    }
    if (why)
        *why = reason;
    return folder;
}

LinkLock::LinkLock(const QString &folder, int timeoutMs)
{
    const QString name = folder + QStringLiteral("/OrvalePDF.lock");
    const QByteArray path = QFile::encodeName(name);
    const int file = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (file < 0) {
        why = errnoText("cannot open", name);
        return;
    }
    struct stat st {};
    if (::fstat(file, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        why = QStringLiteral("not a private regular file: ") + name;
        ::close(file);
        return;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (::flock(file, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        if ((err != EWOULDBLOCK && err != EINTR) || Clock::now() >= deadline) {
            why = err != EWOULDBLOCK && err != EINTR
                ? errnoText("cannot lock", name)
                : QStringLiteral("%1 still held after %2 ms").arg(name).arg(timeoutMs);
            ::close(file);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    fd = file;
}

LinkLock::~LinkLock()
{
    if (fd >= 0)
        ::close(fd); // closing the only descriptor releases the lock
}

QStringList instanceSockets(const QString &folder, int cap)
{
    struct Entry {
        QString path;
        timespec when;
    };
    std::vector<Entry> entries;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("inst-*.sock")}, QDir::System | QDir::Files, QDir::Name);
    for (const QString &name : names) {
        const QString path = folder + QLatin1Char('/') + name;
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid())
            entries.push_back({path, st.st_mtim});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.when.tv_sec != b.when.tv_sec ? a.when.tv_sec > b.when.tv_sec : a.when.tv_nsec > b.when.tv_nsec;
    });
    QStringList out;
    for (const Entry &e : entries) {
        if (out.size() >= cap)
            break;
        out << e.path;
    }
    return out;
}

// ---- Client ---------------------------------------------------------------------------------

std::unique_ptr<LinkConnection> LinkConnection::connectTo(const QString &socketPath, int timeoutMs, Outcome *outcome)
{
    *outcome = Outcome::Failed;
    sockaddr_un addr;
    if (!socketAddress(socketPath, addr))
        return nullptr;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return nullptr;
    // A full backlog makes connect wait; the send timeout bounds that wait.
    timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
    const QByteArray native = QFile::encodeName(socketPath);
    struct stat before {};
    const bool examined = ::lstat(native.constData(), &before) == 0;
    int rc;
    do
        rc = ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof(addr));
    while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int err = errno;
        ::close(fd);
        if (err == ECONNREFUSED && examined) {
            // Nobody listens: an instance that ended without cleaning up. Only that socket
            // goes, not one a new instance put under the same name meanwhile.
            struct stat st {};
            if (::lstat(native.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid()
                && st.st_dev == before.st_dev && st.st_ino == before.st_ino) {
                ::unlink(native.constData());
                *outcome = Outcome::Stale;
            }
        }
        return nullptr;
    }
    if (!peerIsUser(fd)) {
        ::close(fd);
        return nullptr;
    }
    *outcome = Outcome::Connected;
    return std::unique_ptr<LinkConnection>(new LinkConnection(fd));
}

LinkConnection::~LinkConnection() { ::close(fd); }

bool LinkConnection::send(uint32_t message, int64_t wParam, const QByteArray &payload, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const QByteArray bytes = encodeLinkRequest(message, wParam, payload);
    // One write for frame and payload: the listener gets the whole message in one wake-up.
    return sendAll(fd, bytes.constData(), size_t(bytes.size()), deadline);
}

std::optional<LinkReply> LinkConnection::request(uint32_t message, int64_t wParam, int timeoutMs)
{
    if (!send(message, wParam, {}, timeoutMs))
        return std::nullopt;
    return receive(timeoutMs);
}

std::optional<LinkReply> LinkConnection::receive(int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    ReplyHead head{};
    if (!receiveAll(fd, reinterpret_cast<char *>(&head), sizeof(head), deadline) || head.chars > kMaxTextChars)
        return std::nullopt;
    LinkReply reply;
    reply.result = head.result;
    if (head.chars > 0) {
        reply.text.resize(qsizetype(head.chars));
        if (!receiveAll(fd, reinterpret_cast<char *>(reply.text.data()), head.chars * 2u, deadline))
            return std::nullopt;
    }
    return reply;
}

// ---- Server ---------------------------------------------------------------------------------

struct LinkServer::Peer {
    int fd = -1;
    QSocketNotifier *notifier = nullptr;
    QByteArray buffer;
    bool pending = false; // a request waits for its reply; later frames wait too
    ~Peer()
    {
        // The notifier may be the one whose signal is running.
        notifier->setEnabled(false);
        notifier->deleteLater();
        ::close(fd);
    }
};

LinkServer::LinkServer(Handler handler, qsizetype maxPayloadBytes)
    : handler(std::move(handler)), maxPayload(maxPayloadBytes)
{}

LinkServer::~LinkServer()
{
    peers.clear();
    notifier.reset();
    if (fd >= 0) {
        // The name goes first, so nobody finds a socket that refuses connections.
        ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
    }
}

bool LinkServer::listen(const QString &folder, QString *why)
{
    const QString target = folder + QStringLiteral("/inst-%1.sock").arg(::getpid());
    // Bound and listening under a name searches skip, then renamed into place: a search that
    // came between bind and listen would take the socket for a stale one and remove it.
    const QString bound = folder + QStringLiteral("/bind-%1.tmp").arg(::getpid());
    sockaddr_un addr;
    if (!socketAddress(target, addr) || !socketAddress(bound, addr)) {
        *why = QStringLiteral("socket name too long: ") + target;
        return false;
    }
    const int s = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (s < 0) {
        *why = errnoText("cannot make a socket for", target);
        return false;
    }
    // Left by an earlier process with this number.
    ::unlink(addr.sun_path);
    if (::bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof(addr)) != 0 || ::chmod(addr.sun_path, 0600) != 0
        || ::listen(s, 64) != 0 || ::rename(addr.sun_path, QFile::encodeName(target).constData()) != 0) {
        *why = errnoText("cannot listen on", target);
        ::unlink(addr.sun_path);
        ::close(s);
        return false;
    }
    fd = s;
    path = target;
    notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { accept(); });
    return true;
}

void LinkServer::touch()
{
    if (fd >= 0)
        ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), nullptr, AT_SYMLINK_NOFOLLOW);
}

void LinkServer::accept()
{
    for (;;) {
        const int c = ::accept4(fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c < 0)
            return;
        if (!peerIsUser(c)) {
            ::close(c);
            continue;
        }
        auto peer = std::make_shared<Peer>();
        peer->fd = c;
        peer->notifier = new QSocketNotifier(c, QSocketNotifier::Read);
        const std::weak_ptr<Peer> weak = peer;
        QObject::connect(peer->notifier, &QSocketNotifier::activated, [this, weak] {
            if (const std::shared_ptr<Peer> p = weak.lock())
                readFrom(p);
        });
        peers.push_back(std::move(peer));
    }
}

void LinkServer::drop(const std::shared_ptr<Peer> &peer)
{
    peers.erase(std::remove(peers.begin(), peers.end(), peer), peers.end());
}

void LinkServer::readFrom(const std::shared_ptr<Peer> &peer)
{
    char chunk[16384];
    for (;;) {
        const ssize_t n = ::recv(peer->fd, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (n > 0) {
            // A peer only ever has one request in flight; more is not this protocol.
            if (peer->buffer.size() + n > linkBufferLimit(maxPayload))
                return drop(peer);
            peer->buffer.append(chunk, n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            break;
        return drop(peer); // closed or broken
    }
    LinkRequest request;
    while (!peer->pending) {
        const FrameRead read = takeLinkRequest(peer->buffer, maxPayload, request);
        if (read == FrameRead::Incomplete)
            break;
        // A garbled or oversized frame ends the connection unanswered: nothing of it is handled.
        if (read == FrameRead::Garbled)
            return drop(peer);
        peer->pending = true;
        const std::weak_ptr<Peer> weak = peer;
        handler(request.message, request.wParam, request.payload, [this, weak](int64_t result, const QString &text) {
            const std::shared_ptr<Peer> p = weak.lock();
            if (!p || !p->pending)
                return;
            const QString sent = text.left(kMaxTextChars);
            const ReplyHead head{result, uint32_t(sent.size()), 0};
            QByteArray bytes(reinterpret_cast<const char *>(&head), sizeof(head));
            bytes.append(reinterpret_cast<const char *>(sent.constData()), sent.size() * 2);
            p->pending = false;
            if (!sendAll(p->fd, bytes.constData(), size_t(bytes.size()), Clock::now() + std::chrono::seconds(1)))
                return drop(p);
            // Frames that came while this one was handled.
            if (!p->buffer.isEmpty())
                QMetaObject::invokeMethod(
                    p->notifier,
                    [this, weak] {
                        if (const std::shared_ptr<Peer> q = weak.lock())
                            readFrom(q);
                    },
                    Qt::QueuedConnection);
        });
    }
}

} // namespace pl
