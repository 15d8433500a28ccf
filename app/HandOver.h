#pragma once
// The exchange between a second start and the running instance of the same name. The second
// start sends each instance one message with the identification values, the name it looks
// for and the command text; the instance whose caption begins with that name takes the
// focus, runs the command and replies once it ran, from its event loop. It paints afterwards:
// the second start never waits for a picture.
#include "app/HandOverMessage.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace pl {
class LinkServer;
}

namespace LinkMessage {
constexpr uint32_t Caption = 0x000D; // the main window's caption as the reply's text
constexpr uint32_t CmdLine = 1145;   // the hand-over message below: 1 ran, 0 not, OtherName
constexpr uint32_t Focus = 1146;     // wParam 0: take the focus; 1 when allowed to send
constexpr uint32_t Ping = 1147;      // 1
constexpr uint32_t Ident1 = 1148;    // 20260613
constexpr uint32_t Ident2 = 1149;    // 21
constexpr int64_t Ident1Reply = 20260613;
constexpr int64_t Ident2Reply = 21;
// CmdLine's wParam bits.
constexpr int64_t SendBeforeFocus = 1; // run the command, then take the focus
constexpr int64_t FindOnly = 2;        // only say whether this is the instance; nothing runs
// CmdLine's reply when the caption does not begin with the name looked for, and when
// FindOnly found the instance.
constexpr int64_t OtherName = 2;
constexpr int64_t Found = 3;
} // namespace LinkMessage

// Waits for a reply: 60 s for a command, 5 s for anything else; a connection 500 ms.
constexpr int LinkCommandTimeoutMs = 60000;
constexpr int LinkRequestTimeoutMs = 5000;
constexpr int LinkConnectTimeoutMs = 500;

// How long a start waits for the link lock: a hand-over in progress holds it for at most its
// command wait and a few requests.
constexpr int LinkLockWaitMs = LinkCommandTimeoutMs + 4 * LinkRequestTimeoutMs;

// What became of a start's look for a running instance.
enum class THandOver {
    NoInstance,    // none runs: this start becomes the viewer and keeps the link lock until it listens
    HandedOver,    // one runs and was asked to take the command, whatever came of it: status 0
    Refused,       // the link lock was not free in time, or the command is too long: status 1
    IllegalSwitch, // the command holds an illegal switch and nothing was handed over: status 2
};
int ExitStatus(THandOver outcome);

// A second start: looks for a running instance named App.InstanceName and hands it the
// command items. Refusals are said on standard error: this start has no window and no log.
// While the link lock is held, a start at the same moment waits and then finds this one.
THandOver HandOverCommand(const QStringList &items, bool sendBeforeFocus, int lockWaitMs = LinkLockWaitMs);

// The running instance's side of the link.
class TInstanceListener {
public:
    struct Hooks {
        std::function<QString()> caption;                 // the main window's caption
        std::function<bool()> focus;                      // FocusApplication
        std::function<void(const QString &text)> execute; // runs a command text
        std::function<bool()> modalOpen;                  // a modal box of this program is open
        std::function<void()> shown;                      // after a command's reply: paint its result
    };
    explicit TInstanceListener(Hooks hooks);
    ~TInstanceListener();

    // Listens in the link folder, then lets waiting starts search. Logs why when the link is
    // off; the program then runs on its own.
    bool Listen();
    // This instance was activated: later searches try it first.
    void Touch();
    // Commands wait until the deferred start has run; they run in the order they came. While a
    // modal box is open they run at once, inside its loop.
    void SetReady();

private:
    using Reply = std::function<void(int64_t, const QString &)>;
    struct Job {
        QString text;
        Reply reply;
        bool focusAfter; // the sender asked for the command before the focus
    };
    void Handle(uint32_t message, int64_t wParam, const QByteArray &payload, Reply reply);
    void HandleCommand(int64_t wParam, const QByteArray &payload, const Reply &reply);
    void RunCommands();

    Hooks hooks;
    std::unique_ptr<pl::LinkServer> server;
    std::deque<Job> jobs; // received, not yet run; each sender waits for its reply
    bool ready = false;
    int running = 0; // commands being executed; more than one when a modal box served another
};
