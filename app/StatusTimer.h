#pragma once
// The main window's status timer: the periodic refresh, an interval that grows with the
// user's idle time, and saving the settings once the user has left the program alone.
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>

class TStatusTimer final : public QObject {
    Q_OBJECT
public:
    static constexpr int64_t AutoSaveIdleMs = 111000;
    static constexpr int MinInterval = 1000;

    explicit TStatusTimer(QObject *parent = nullptr);

    // The main window's periodic refresh; run on each tick while UseTimer is on.
    std::function<void()> UpdateStatus;
    // Writes the settings; true on success. The settings store by default.
    std::function<bool()> WriteData;
    // The main window is minimised.
    std::function<bool()> Minimized;

    void Start();
    void Stop();
    bool Active() const { return Timer.isActive(); }

    // One tick of the timer; tests call it directly with a manual clock.
    void TimerStatus();
    // Input in the page view: the user is back.
    void UserActivity();
    // The application was activated or deactivated.
    void Activation();

    int Interval() const { return FInterval; }
    int64_t ActivityTick() const { return FActivityTick; }
    // A save is due while the save mark is older than the last activity.
    bool SaveDue() const { return FSaveMark < FActivityTick; }

    // Interval in ms for an idle time in ms.
    static int NextInterval(int64_t idleMs, bool useTimer, bool minimized);

private:
    void SetInterval(int ms);
    void LowerInterval();

    QTimer Timer;
    int FInterval = MinInterval;
    int64_t FActivityTick = 0;
    int64_t FSaveMark;
    int64_t FAttemptTick = 0; // the last automatic save that failed
};
