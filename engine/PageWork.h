#pragma once
// Work that goes through the pages of a document one by one (a search, a copy) and that the
// user can watch and stop. Above 9 pages the program shows it is busy; from 100 pages the
// information window shows a bar. Every 10 pages the window's text and bar move on and Esc is
// looked at; every 100 pages the status line shows the progress and the windows run.
#include <QString>

class THostLink;

class TPageWork {
public:
    // span: the size of the work in pages, counted as the thresholds count it. busyText: the
    // busy state's text; s and ex the information window's text and the longest text it must
    // hold, its bar from a to b.
    TPageWork(const THostLink &host, int span, const QString &busyText, const QString &s, const QString &ex, int a,
              int b);
    ~TPageWork();
    TPageWork(const TPageWork &) = delete;
    TPageWork &operator=(const TPageWork &) = delete;

    // After the n-th page of the work (from 1), the bar at pos: false when Esc is held.
    bool Step(int n, int pos, const QString &progress);
    // Esc stopped the work: "Cancel ..." shows until the key is let go.
    void Cancel();
    // The work ended: the window shows done with a full bar at pos for a while (when it
    // showed at all), the busy state ends.
    void Finish(const QString &done, int pos);
    // The work was cut short: the window goes after a while, the busy state ends.
    void Abandon();

    // How long the window stays after the work, in milliseconds.
    static constexpr int kNoteMs = 2222;

private:
    void StopBusy();

    const THostLink &Host;
    bool Busy;
    const bool Info;
};
