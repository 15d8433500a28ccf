#pragma once
// The link between the running instances of this user on this display: a private folder
// with one listening socket per instance, a lock that lets one start at a time search and
// hand over; a request may carry a payload (the command text of a hand-over).
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QSocketNotifier;

namespace pl {

// <runtime folder>/OrvalePDF/<display>, each level created with mode 0700 and checked: a
// folder, not a symlink, owned by the user, closed to everybody else. The runtime folder is
// $XDG_RUNTIME_DIR, else <temp>/runtime-<user> as Qt would choose. Empty when the folder
// cannot be made safe; why then says what is wrong.
QString linkFolder(QString *why);

// The exclusive link lock (<folder>/OrvalePDF.lock); released by the destructor and by the
// end of the process.
class LinkLock {
public:
    // Waits at most timeoutMs for the lock; held() tells whether it was taken, failure() why not.
    LinkLock(const QString &folder, int timeoutMs);
    ~LinkLock();
    LinkLock(const LinkLock &) = delete;
    LinkLock &operator=(const LinkLock &) = delete;
    bool held() const { return fd >= 0; }
    QString failure() const { return why; }

private:
    int fd = -1;
    QString why;
};

// The instance sockets in folder, the most recently activated first, at most cap of them.
QStringList instanceSockets(const QString &folder, int cap);

struct LinkReply {
    int64_t result = 0;
    QString text;
};

// One connection to an instance's socket; requests are answered in turn.
class LinkConnection {
public:
    enum class Outcome { Connected, Stale, Failed };
    // Connects within timeoutMs and checks that the listener runs as this user. A socket
    // nobody listens on is removed when it is this user's (Outcome::Stale).
    static std::unique_ptr<LinkConnection> connectTo(const QString &socketPath, int timeoutMs, Outcome *outcome);
    ~LinkConnection();
    LinkConnection(const LinkConnection &) = delete;
    LinkConnection &operator=(const LinkConnection &) = delete;

    // Sends a request and waits at most timeoutMs for its reply; nothing on a timeout or a
    // broken connection.
    std::optional<LinkReply> request(uint32_t message, int64_t wParam, int timeoutMs);
    // The two halves of a request: the request with its payload in one write, and its reply.
    bool send(uint32_t message, int64_t wParam, const QByteArray &payload, int timeoutMs);
    std::optional<LinkReply> receive(int timeoutMs);

private:
    explicit LinkConnection(int fd) : fd(fd) {}
    int fd;
};

// The listening side; runs in the event loop of the thread that created it.
class LinkServer {
public:
    // Answers one request; may be called later than the request arrived, at most once.
    using Reply = std::function<void(int64_t result, const QString &text)>;
    using Handler = std::function<void(uint32_t message, int64_t wParam, const QByteArray &payload, Reply reply)>;

    // A request whose payload is longer than maxPayloadBytes, or a garbled one, ends its
    // connection without a reply and without reaching the handler.
    explicit LinkServer(Handler handler, qsizetype maxPayloadBytes = 0);
    ~LinkServer();
    LinkServer(const LinkServer &) = delete;
    LinkServer &operator=(const LinkServer &) = delete;

    // Listens on <folder>/inst-<pid>.sock; false with why when it cannot. The socket gets its
    // name only once it listens, so a search never finds it refusing connections.
    bool listen(const QString &folder, QString *why);
    QString socketPath() const { return path; }
    // Marks this instance as the most recently activated one.
    void touch();

private:
    struct Peer;
    void accept();
    void readFrom(const std::shared_ptr<Peer> &peer);
    void drop(const std::shared_ptr<Peer> &peer);

    Handler handler;
    qsizetype maxPayload;
    int fd = -1;
    QString path;
    std::unique_ptr<QSocketNotifier> notifier;
    std::vector<std::shared_ptr<Peer>> peers;
};

} // namespace pl
