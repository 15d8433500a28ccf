#pragma once
#include <QEvent>
#include <QObject>
#include <QPointer>

// Sent to the page view when a SyncTeX loader thread has ended.
constexpr QEvent::Type SyncTeXLoadEndedEvent = QEvent::Type(QEvent::User + 129);

// Receives the end of each loader thread on the main thread and hands it to the page view.
// It lives as long as the application, so a loader ending while the page view is being
// destroyed (or before it exists) posts to a valid object.
class TSyncTeXRelay final : public QObject {
public:
    // Created on the first call, which must come from the main thread.
    static TSyncTeXRelay *instance();

    // The object that gets SyncTeXLoadEndedEvent; it may be destroyed at any time.
    void setReceiver(QObject *receiver) { receiver_ = receiver; }
    QObject *receiver() const { return receiver_; }

    ~TSyncTeXRelay() override;

protected:
    void customEvent(QEvent *event) override;

private:
    explicit TSyncTeXRelay(QObject *parent);
    QPointer<QObject> receiver_;
};

// Thread-safe: queues the end of a load for the relay, if it exists.
void PostSyncTeXLoadEnded();
