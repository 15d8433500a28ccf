#include "app/HandOver.h"

#include "base/AppState.h"
#include "app/CmdLine.h"
#include "base/DebugLog.h"
#include "base/TextCodec.h"
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

QString HandOverFile() { return LinkFolder() + QLatin1Char('/') + QString::fromUtf16(HandOverFileName); }

bool Replied(pl::LinkConnection &link, uint32_t message, int64_t wParam, int64_t expected, int timeoutMs)
{
    const std::optional<pl::LinkReply> reply = link.request(message, wParam, timeoutMs);
    return reply && reply->result == expected;
}

// The first instance, most recently activated first, whose caption begins with name and
// which identifies itself as this program.
std::unique_ptr<pl::LinkConnection> FindInstance(const QString &name)
{
    for (const QString &socket : pl::instanceSockets(LinkFolder(), MaxInstances)) {
        pl::LinkConnection::Outcome outcome;
        std::unique_ptr<pl::LinkConnection> link =
            pl::LinkConnection::connectTo(socket, LinkConnectTimeoutMs, &outcome);
        if (!link)
            continue;
        const std::optional<pl::LinkReply> caption = link->request(LinkMessage::Caption, 0, LinkRequestTimeoutMs);
        if (!caption || !caption->text.startsWith(name, Qt::CaseInsensitive))
            continue;
        if (Replied(*link, LinkMessage::Ident1, 0, LinkMessage::Ident1Reply, LinkRequestTimeoutMs)
            && Replied(*link, LinkMessage::Ident2, 0, LinkMessage::Ident2Reply, LinkRequestTimeoutMs))
            return link;
    }
    return nullptr;
}

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
    // Serialises the starts: a search, then either the hand-over or this start's listening.
    // Without the lock another start may be becoming the viewer: going on could make a second.
    auto lock = std::make_unique<pl::LinkLock>(LinkFolder(), lockWaitMs);
    if (!lock->held()) {
        Complain(QStringLiteral("Instance link busy: ") + lock->failure());
        return THandOver::Refused;
    }
    std::unique_ptr<pl::LinkConnection> link = FindInstance(App.InstanceName);
    if (!link) {
        StartLock = std::move(lock);
        return THandOver::NoInstance;
    }
    // Checked here, where whoever started this learns of it: in the running viewer the
    // message would be a modal box far from the editor that sent the command.
    const std::vector<TCmdStep> steps = ParseCmdLine(items);
    if (!steps.empty() && steps.back().kind == TCmdStep::IllegalSwitch) {
        Complain(QStringLiteral("Illegal Command Line Switch: \"") + steps.back().text + QLatin1Char('"'));
        return THandOver::IllegalSwitch;
    }
    // The running instance has its own current folder.
    const QString text = AbsoluteCmdLine(items, QDir::currentPath());
    const QByteArray bytes = EncodeText(text, false, tfUtf16LE, 0, false);
    if (bytes.size() > MaxCommandBytes) {
        Complain(QStringLiteral("Command line too long: %1 bytes, a running viewer takes at most %2.")
                     .arg(bytes.size())
                     .arg(MaxCommandBytes));
        return THandOver::Refused;
    }
    const bool accepted = Replied(*link, LinkMessage::Focus, sendBeforeFocus ? 1 : 0, 1, LinkRequestTimeoutMs);
    if (accepted && !CmdLineItems(text).isEmpty()) {
        const QString file = HandOverFile();
        QString why;
        pl::HandOverFileId written;
        // A file that cannot be written safely ends the hand-over and stays as it is.
        if (pl::writeHandOverFile(file, bytes, &why, &written)) {
            link->request(LinkMessage::CmdLine, 0, LinkCommandTimeoutMs);
            pl::removeHandOverFile(file, written);
        }
    }
    if (sendBeforeFocus)
        link->request(LinkMessage::Focus, 0, LinkRequestTimeoutMs);
    return THandOver::HandedOver;
}

TInstanceListener::TInstanceListener(Hooks hooks) : hooks(std::move(hooks)) {}

TInstanceListener::~TInstanceListener() = default;

bool TInstanceListener::Listen()
{
    if (LinkFolder().isEmpty()) {
        DebugLog(QStringLiteral("Instance link off: ") + OffReason);
        return false;
    }
    server = std::make_unique<pl::LinkServer>([this](uint32_t message, int64_t wParam, pl::LinkServer::Reply reply) {
        Handle(message, wParam, std::move(reply));
    });
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

void TInstanceListener::Handle(uint32_t message, int64_t wParam, std::function<void(int64_t, const QString &)> reply)
{
    switch (message) {
    case LinkMessage::Caption: reply(0, hooks.caption ? hooks.caption() : QString()); return;
    case LinkMessage::Ident1: reply(LinkMessage::Ident1Reply, {}); return;
    case LinkMessage::Ident2: reply(LinkMessage::Ident2Reply, {}); return;
    case LinkMessage::Ping: reply(1, {}); return;
    case LinkMessage::Focus: reply(wParam != 0 || (hooks.focus && hooks.focus()) ? 1 : 0, {}); return;
    case LinkMessage::CmdLine: {
        // Read at once: the sender deletes the file when the reply comes or its wait ends.
        QByteArray bytes;
        QString why;
        if (!pl::readHandOverFile(HandOverFile(), MaxCommandBytes, bytes, &why)) {
            DebugLog(QStringLiteral("Failing to read the command line..."));
            DebugLog(why);
            reply(0, {});
            return;
        }
        int format = tfUtf16LE, codepage = -1;
        const QString text = DecodeText(bytes, false, format, codepage, false);
        if (CmdLineItems(text).isEmpty()) {
            reply(0, {});
            return;
        }
        // Answered once the text is in: the sender holds the link lock until then, and no other
        // start should wait while this command waits for its turn or for a box to be answered.
        DebugLog(QStringLiteral("Command Line Received: ") + ItemsForLog(text));
        reply(1, {});
        commands.push_back(text);
        RunCommands();
        return;
    }
    default: reply(0, {});
    }
}

void TInstanceListener::RunCommands()
{
    // A command that comes while another runs (its long work lets events through) waits, as do
    // commands before the deferred start. A modal box's loop runs them at once: they must not
    // wait until somebody answers the box.
    if ((!ready || running > 0) && !(hooks.modalOpen && hooks.modalOpen()))
        return;
    ++running;
    while (!commands.empty()) {
        const QString text = commands.front();
        commands.pop_front();
        if (hooks.execute)
            hooks.execute(text);
    }
    --running;
}
