#pragma once
#include <QString>

// What the busy indicator asks of the windows: the status panel, the screen cursor,
// pumping events inside long loops and bringing the program to the front.
class TBusyHost {
public:
    virtual ~TBusyHost() = default;
    virtual void ShowStatusText(const QString &text) = 0; // status panel, repainted at once
    virtual bool HourglassShown() = 0;
    virtual bool DefaultCursorShown() = 0;
    virtual void ShowHourglass() = 0;
    virtual void ShowDefaultCursor() = 0;
    virtual void ProcessMessages() = 0;
    virtual bool FocusApplication() = 0;
};

void SetBusyHost(TBusyHost *host); // nullptr: log only

// Long operations on the GUI thread: busy cursor and status text, Esc polled between items.
void StartWorking(const QString &text);
void StopWorking(int mode = 0);
void SetInfoText(const QString &text);
bool EscapePressed();
void WaitEscapeReleased();
void SleepMs(int ms);
bool IsWorking();
bool EscapeFlag();
