#include "platform/Termination.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace pl {
namespace {

int selfPipe[2] = {-1, -1};

extern "C" void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t n = ::write(selfPipe[1], &byte, 1);
}

} // namespace

void ignoreQuietSignals()
{
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGIO, SIG_IGN);
}

void watchTermination(QObject *parent, std::function<void()> onTerminate)
{
    if (selfPipe[0] < 0 && ::pipe2(selfPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(selfPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [onTerminate = std::move(onTerminate)] {
        char buf[16];
        while (::read(selfPipe[0], buf, sizeof buf) > 0) {
        }
        onTerminate();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

} // namespace pl
