#include "engine/PageWork.h"

#include "base/BusyIndicator.h"
#include "engine/HostLink.h"

#include <QCoreApplication>

namespace {

constexpr int kBusyAbove = 9;
constexpr int kInfoFrom = 100;
constexpr int kEscapeEvery = 10;
constexpr int kEventsEvery = 100;

} // namespace

TPageWork::TPageWork(const THostLink &host, int span, const QString &busyText, const QString &s, const QString &ex,
                     int a, int b)
    : Host(host), Busy(span > kBusyAbove), Info(span >= kInfoFrom)
{
    if (Busy)
        StartWorking(busyText);
    if (Info)
        Host.View().StartInfo(s, ex, a, b);
}

TPageWork::~TPageWork() { StopBusy(); }

bool TPageWork::Step(int n, int pos, const QString &progress)
{
    if (n % kEscapeEvery == 0) {
        Host.View().SetInfo(progress, -1);
        Host.View().SetPos(pos);
        if (EscapePressed())
            return false;
    }
    if (n % kEventsEvery == 0) {
        SetInfoText(progress);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

void TPageWork::Cancel()
{
    SetInfoText(QStringLiteral("!!! Cancel ..."));
    Host.View().SetCancel();
    // The key's repeats must not reach the windows as a new Esc.
    while (EscapePressed())
        SleepMs(99);
    Abandon();
}

void TPageWork::Finish(const QString &done, int pos)
{
    if (Info) {
        Host.View().SetInfo(done, -1);
        Host.View().SetPos(pos);
        Host.View().StopInfo(0, kNoteMs);
    }
    StopBusy();
}

void TPageWork::Abandon()
{
    Host.View().StopInfo(0, kNoteMs);
    StopBusy();
}

void TPageWork::StopBusy()
{
    if (Busy)
        StopWorking();
    Busy = false;
}
