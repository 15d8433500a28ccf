#include "app/StatusTimer.h"

#include "base/DebugLog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"

#include "platform/Clock.h"

#include <algorithm>
#include <iterator>

TStatusTimer::TStatusTimer(QObject *parent)
    : QObject(parent), WriteData([] { return ::WriteData(); }), FActivityTick(pl::clock().tickMs()),
      FSaveMark(FActivityTick + 9) // nothing due before the user does something
{
    Timer.setInterval(FInterval);
    connect(&Timer, &QTimer::timeout, this, &TStatusTimer::TimerStatus);
}

void TStatusTimer::Start() { Timer.start(FInterval); }

void TStatusTimer::Stop() { Timer.stop(); }

int TStatusTimer::NextInterval(int64_t idleMs, bool useTimer, bool minimized)
{
    static const struct {
        int64_t upTo;
        int ms;
    } steps[] = {{60000, 1000},   {300000, 2000},  {600000, 3000},  {900000, 4000},
                 {1200000, 5000}, {1800000, 6000}, {3600000, 7000}, {6000000, 8000}};
    const auto step =
        std::find_if(std::begin(steps), std::end(steps), [idleMs](const auto &s) { return idleMs <= s.upTo; });
    int ms = step != std::end(steps) ? step->ms : 10000;
    if (idleMs > 60000) {
        // Without document checks nothing happens on a tick but the idle bookkeeping.
        if (!useTimer && idleMs > 180000)
            ms *= 10;
        if (minimized)
            ms *= 1000;
    }
    return ms + 111;
}

void TStatusTimer::TimerStatus()
{
    if (Prefer.UseTimer && UpdateStatus)
        UpdateStatus();
    const int64_t now = pl::clock().tickMs();
    const int64_t idle = now - FActivityTick;
    // One save per idle period: the settings do not change while nobody uses the program,
    // and a save that failed is tried again after another idle period.
    if (SaveDue() && now - std::max(FActivityTick, FAttemptTick) > AutoSaveIdleMs) {
        DebugLog(QStringLiteral("Auto Saving Configuration ..."));
        if (WriteData && WriteData())
            FSaveMark = FActivityTick + 1;
        FAttemptTick = now;
    }
    SetInterval(NextInterval(idle, Prefer.UseTimer, Minimized && Minimized()));
}

void TStatusTimer::UserActivity()
{
    FActivityTick = pl::clock().tickMs();
    LowerInterval();
}

void TStatusTimer::Activation()
{
    const int64_t now = pl::clock().tickMs();
    // Switching windows is no change of the settings; a save that was due stays due.
    if (!SaveDue())
        FSaveMark = now;
    FActivityTick = now;
    LowerInterval();
}

void TStatusTimer::SetInterval(int ms)
{
    if (ms == FInterval)
        return;
    FInterval = ms;
    Timer.setInterval(ms);
}

void TStatusTimer::LowerInterval()
{
    if (FInterval > MinInterval)
        SetInterval(MinInterval);
}
