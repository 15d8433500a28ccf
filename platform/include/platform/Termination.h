#pragma once
#include <QObject>

#include <functional>

namespace pl {

// Turns SIGTERM and SIGINT into a call on the event loop (a byte through a self-pipe),
// and ignores SIGPIPE (closed link sockets) and SIGIO (lease breaks).
void ignoreQuietSignals();
void watchTermination(QObject *parent, std::function<void()> onTerminate);

} // namespace pl
