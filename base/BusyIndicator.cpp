#include "base/BusyIndicator.h"

#include "base/DebugLog.h"
#include "platform/Clock.h"
#include "platform/KeyState.h"

#include <algorithm>

namespace {

TBusyHost *busyHost = nullptr;
bool busy = false;
bool escapeFlag = false;

} // namespace

void SetBusyHost(TBusyHost *host) { busyHost = host; }
bool IsWorking() { return busy; }
bool EscapeFlag() { return escapeFlag; }

void StartWorking(const QString &text)
{
    busy = true;
    escapeFlag = false;
    DebugLog(QStringLiteral("Start Working: ") + text);
    if (busyHost && !busyHost->HourglassShown())
        busyHost->ShowHourglass();
    SetInfoText(text);
    // Painting the status line may have changed the cursor.
    if (busyHost && !busyHost->HourglassShown())
        busyHost->ShowHourglass();
}

void StopWorking(int mode)
{
    busy = false;
    if (busyHost && (!busyHost->DefaultCursorShown() || mode > 1))
        busyHost->ShowDefaultCursor();
    if (busyHost)
        busyHost->ShowDefaultCursor();
    SetInfoText(QString());
    DebugLog(QStringLiteral("Stop Working"));
}

void SetInfoText(const QString &text)
{
    DebugLog(QStringLiteral("Set Info Text: ") + text);
    if (busyHost)
        busyHost->ShowStatusText(text);
}

bool EscapePressed()
{
    if (!pl::keyState().escapeDown())
        return false;
    escapeFlag = true;
    return true;
}

void WaitEscapeReleased()
{
    if (escapeFlag && pl::keyState().escapeDown() && busyHost)
        busyHost->FocusApplication();
    for (int i = 0; i < 255 && pl::keyState().escapeDown(); ++i) {
        if (busyHost)
            busyHost->ProcessMessages();
        pl::sleeper().sleepMs(9);
    }
}

void SleepMs(int ms) { pl::sleeper().sleepMs(std::clamp(ms, 0, 9999)); }
