#include "app/HandOver.h"

#include "base/AppState.h"
#include "app/CmdLine.h"
#include "base/DebugLog.h"
#include "platform/InstanceLink.h"

#include <QDir>

#include <cstdio>

namespace {

// At most this many sockets are asked; more would be leftovers of something odd.
constexpr int MaxInstances = 64;

// The link of this process: its folder, why it is off, and the lock a first start keeps
// until it listens.
QString Folder;
QString OffReason;
bool FolderChecked = false;
std::unique_ptr<pl::LinkLock> StartLock;

const QString &LinkFolder()
{
    if (!FolderChecked) {
        Folder = pl::linkFolder(&OffReason);
        FolderChecked = true;
    }
    return Folder;
}

// The running instance's sign in every CmdLine reply: a listener of another program does not
// give it, and its answer counts as no instance.
QString Identification() { return QStringLiteral("%1 %2").arg(LinkMessage::Ident1Reply).arg(LinkMessage::Ident2Reply); }

void Complain(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

QString ItemsForLog(const QString &text)
{
    QStringList quoted;
    for (const QString &item : CmdLineItems(text))
        quoted << QLatin1Char('"') + item + QLatin1Char('"');
    return quoted.join(QLatin1Char(' '));
}

} // namespace

int ExitStatus(THandOver outcome)
{
    switch (outcome) {
    case THandOver::Refused: return 1;
    case THandOver::IllegalSwitch: return 2;
    default: return 0;
    }
}

THandOver HandOverCommand(const QStringList &items, bool sendBeforeFocus, int lockWaitMs)
{
    if (LinkFolder().isEmpty())
        return THandOver::NoInstance;
    // Checked before anything is sent, where whoever started this learns of it: in the running
    // viewer the message would be a modal box far from the editor that sent the command. Such a
    // command only asks whether a viewer runs.
    const std::vector<TCmdStep> steps = ParseCmdLine(items);
    const bool illegal = !steps.empty() && steps.back().kind == TCmdStep::IllegalSwitch;
    THandOverMessage message{App.InstanceName, QString()};
    // The running instance has its own current folder.
    const QString text = illegal ? QString() : AbsoluteCmdLine(items, QDir::currentPath());
    const qsizetype textBytes = text.size() * 2;
    const bool tooLong = textBytes > MaxCommandBytes;
    if (!tooLong)
        message.text = text;
    const int64_t flags = illegal || tooLong ? LinkMessage::FindOnly
        : sendBeforeFocus                    ? LinkMessage::SendBeforeFocus
                                             : 0;
    const QByteArray payload = message.Encode();

    QStringList asked;
    for (;;) {
        // Serialises the starts: a search, then either the sending or this start's listening.
        // Without the lock another start may be becoming the viewer: going on could make a second.
        auto lock = std::make_unique<pl::LinkLock>(LinkFolder(), lockWaitMs);
        if (!lock->held()) {
            Complain(QStringLiteral("Instance link busy: ") + lock->failure());
            return THandOver::Refused;
        }
        QString socket;
        for (const QString &candidate : pl::instanceSockets(LinkFolder(), MaxInstances)) {
            if (!asked.contains(candidate)) {
                socket = candidate;
                break;
            }
        }
        if (socket.isEmpty()) {
            StartLock = std::move(lock);
            return THandOver::NoInstance;
        }
        asked << socket;
        pl::LinkConnection::Outcome outcome;
        std::unique_ptr<pl::LinkConnection> link =
            pl::LinkConnection::connectTo(socket, LinkConnectTimeoutMs, &outcome);
        if (!link || !link->send(LinkMessage::CmdLine, flags, payload, LinkRequestTimeoutMs))
            continue;
        // The message is in the instance's socket: later starts need not wait while the command
        // runs or a box it shows waits for its answer.
        lock.reset();
        const std::optional<pl::LinkReply> reply =
            link->receive(flags & LinkMessage::FindOnly ? LinkRequestTimeoutMs : LinkCommandTimeoutMs);
        // Not this program, another name, or gone meanwhile: the search goes on under the lock.
        if (!reply || reply->text != Identification() || reply->result == LinkMessage::OtherName)
            continue;
        if (illegal) {
            Complain(QStringLiteral("Illegal Command Line Switch: \"") + steps.back().text + QLatin1Char('"'));
            return THandOver::IllegalSwitch;
        }
        if (tooLong) {
            Complain(QStringLiteral("Command line too long: %1 bytes, a running viewer takes at most %2.")
                         .arg(textBytes)
                         .arg(MaxCommandBytes));
            return THandOver::Refused;
        }
        return THandOver::HandedOver;
    }
}

TInstanceListener::TInstanceListener(Hooks hooks) : hooks(std::move(hooks)) {}

TInstanceListener::~TInstanceListener() = default;

bool TInstanceListener::Listen()
{
    if (LinkFolder().isEmpty()) {
        DebugLog(QStringLiteral("Instance link off: ") + OffReason);
        return false;
    }
    server = std::make_unique<pl::LinkServer>(
        [this](uint32_t message, int64_t wParam, const QByteArray &payload, pl::LinkServer::Reply reply) {
            Handle(message, wParam, payload, std::move(reply));
        },
        qsizetype(16 + 2 * MaxNameChars + MaxCommandBytes));
    QString why;
    const bool listening = server->listen(LinkFolder(), &why);
    if (!listening) {
        server.reset();
        DebugLog(QStringLiteral("Instance link off: ") + why);
    } else {
        DebugLog(QStringLiteral("Instance link: ") + server->socketPath());
    }
    StartLock.reset();
    return listening;
}

void TInstanceListener::Touch()
{
    if (server)
        server->touch();
}

void TInstanceListener::SetReady()
{
    ready = true;
    RunCommands();
}

void TInstanceListener::Handle(uint32_t message, int64_t wParam, const QByteArray &payload, Reply reply)
{
    switch (message) {
    case LinkMessage::Caption: reply(0, hooks.caption ? hooks.caption() : QString()); return;
    case LinkMessage::Ident1: reply(LinkMessage::Ident1Reply, {}); return;
    case LinkMessage::Ident2: reply(LinkMessage::Ident2Reply, {}); return;
    case LinkMessage::Ping: reply(1, {}); return;
    case LinkMessage::Focus: reply(wParam != 0 || (hooks.focus && hooks.focus()) ? 1 : 0, {}); return;
    case LinkMessage::CmdLine: HandleCommand(wParam, payload, reply); return;
    default: reply(0, {});
    }
}

void TInstanceListener::HandleCommand(int64_t wParam, const QByteArray &payload, const Reply &reply)
{
    const auto answer = [&reply](int64_t result) { reply(result, Identification()); };
    const std::optional<THandOverMessage> message = THandOverMessage::Decode(payload);
    if (!message) {
        DebugLog(QStringLiteral("Failing to read the command line..."));
        reply(0, {});
        return;
    }
    const QString caption = hooks.caption ? hooks.caption() : QString();
    if (!caption.startsWith(message->name, Qt::CaseInsensitive))
        return answer(LinkMessage::OtherName);
    if (wParam & LinkMessage::FindOnly)
        return answer(LinkMessage::Found);
    const bool focusAfter = (wParam & LinkMessage::SendBeforeFocus) != 0;
    // A refused focus means the command is not run, as if it had never been sent.
    if (!focusAfter && !(hooks.focus && hooks.focus()))
        return answer(0);
    if (CmdLineItems(message->text).isEmpty()) {
        answer(0);
        if (focusAfter && hooks.focus)
            hooks.focus();
        return;
    }
    DebugLog(QStringLiteral("Command Line Received: ") + ItemsForLog(message->text));
    jobs.push_back({message->text, reply, focusAfter});
    RunCommands();
}

void TInstanceListener::RunCommands()
{
    // A command that comes while another runs (its long work lets events through) waits, as do
    // commands before the deferred start. A modal box's loop runs them at once: they must not
    // wait until somebody answers the box.
    if ((!ready || running > 0) && !(hooks.modalOpen && hooks.modalOpen()))
        return;
    ++running;
    while (!jobs.empty()) {
        const Job job = jobs.front();
        jobs.pop_front();
        if (hooks.execute)
            hooks.execute(job.text);
        // The sender ends on this reply: the focus and the picture come after it.
        job.reply(1, Identification());
        if (job.focusAfter && hooks.focus)
            hooks.focus();
        if (hooks.shown)
            hooks.shown();
    }
    --running;
}
