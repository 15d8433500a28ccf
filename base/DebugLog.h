#pragma once
#include <QDateTime>
#include <QString>

// The diagnostic log (switch -D): one line per event, each prefixed by the seconds since
// start with three decimals. Lines written while the log is closed are dropped.
bool OpenDebugLog(const QString &path);
bool CloseDebugLog();
bool DebugLogOpen();
void DebugLog(const QString &text, bool blankLine = false);

// Process-wide hook other modules may call; set while the log is open, else null.
using TLogHook = void (*)(const QString &text, bool blankLine);
extern TLogHook LogHook;

// Tick at process start; the base of the time stamps.
void SetStartTick(long long tickMs);
long long StartTick();

// Text pieces of the log, also used by the date utilities.
QString LogTimeStamp(long long elapsedMs); // "83.045 "
QString LogDate(const QDateTime &t);       // "Wed  9-DEC-2026"
QString LogClockTime(const QDateTime &t);  // " 9:05"
