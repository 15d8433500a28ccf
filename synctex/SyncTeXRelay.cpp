#include "synctex/SyncTeXRelay.h"

#include <QCoreApplication>
#include <QThread>

#include <mutex>

namespace {

std::mutex relayMutex;
TSyncTeXRelay *relay = nullptr;

} // namespace

TSyncTeXRelay::TSyncTeXRelay(QObject *parent) : QObject(parent) {}

TSyncTeXRelay::~TSyncTeXRelay()
{
    std::lock_guard lock(relayMutex);
    relay = nullptr;
}

TSyncTeXRelay *TSyncTeXRelay::instance()
{
    std::lock_guard lock(relayMutex);
    if (!relay) {
        Q_ASSERT(QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread());
        relay = new TSyncTeXRelay(QCoreApplication::instance());
    }
    return relay;
}

void TSyncTeXRelay::customEvent(QEvent *event)
{
    if (event->type() == SyncTeXLoadEndedEvent && receiver_)
        QCoreApplication::sendEvent(receiver_, event);
}

void PostSyncTeXLoadEnded()
{
    std::lock_guard lock(relayMutex);
    if (relay)
        QCoreApplication::postEvent(relay, new QEvent(SyncTeXLoadEndedEvent));
}
