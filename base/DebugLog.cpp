#include "base/DebugLog.h"

#include "platform/Clock.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <mutex>

TLogHook LogHook = nullptr;

namespace {

long long startTick = pl::clock().tickMs();

// Made on first use, after the file system layer: the log may be written until the end.
pl::FileHandle &logFile()
{
    static pl::FileHandle handle;
    return handle;
}

// SyncTeX loader threads write to the log too; a line is never interleaved with another.
std::recursive_mutex &logMutex()
{
    static std::recursive_mutex mutex;
    return mutex;
}

// The log may hold paths and command lines: private to the user, and never written
// through a symlink planted at its name.
bool openPrivate(const QString &path)
{
    logFile() = pl::files().create(path, 0600, false);
    return logFile().isOpen();
}

bool writeLine(const QString &line) { return logFile().write(line.toUtf8() + "\r\n"); }

const char *const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char *const kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

} // namespace

void SetStartTick(long long tickMs) { startTick = tickMs; }
long long StartTick() { return startTick; }

QString LogTimeStamp(long long e)
{
    return QString::number(e / 1000) + '.' + QString::number((e / 100) % 10) + QString::number((e / 10) % 10)
        + QString::number(e % 10) + ' ';
}

QString LogDate(const QDateTime &t)
{
    const QDate d = t.date();
    return QString::fromLatin1(kDays[d.dayOfWeek() % 7]) + ' ' + (d.day() < 10 ? QStringLiteral(" ") : QString())
        + QString::number(d.day()) + '-' + QString::fromLatin1(kMonths[d.month() - 1]) + '-'
        + QString::number(d.year());
}

QString LogClockTime(const QDateTime &t)
{
    const QTime tm = t.time();
    return (tm.hour() < 10 ? QStringLiteral(" ") : QString()) + QString::number(tm.hour()) + ':'
        + QStringLiteral("%1").arg(tm.minute(), 2, 10, QLatin1Char('0'));
}

bool DebugLogOpen()
{
    std::lock_guard lock(logMutex());
    return logFile().isOpen();
}

bool OpenDebugLog(const QString &path)
{
    std::lock_guard lock(logMutex());
    if (logFile().isOpen())
        CloseDebugLog();
    const QString folder = QFileInfo(path).path();
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    if (!QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).isDir())
        return false;
    if (!openPrivate(path))
        return false;
    const QDateTime now = pl::clock().localNow();
    const bool ok = writeLine(QStringLiteral("Debug Start: ") + LogDate(now) + ' ' + LogClockTime(now))
        && writeLine(QString())
        && writeLine(QStringLiteral("*** Log File Start: ") + LogTimeStamp(pl::clock().tickMs() - startTick))
        && writeLine(QString());
    if (!ok) {
        logFile().reset();
        return false;
    }
    LogHook = &DebugLog;
    return true;
}

bool CloseDebugLog()
{
    std::lock_guard lock(logMutex());
    LogHook = nullptr;
    if (!logFile().isOpen())
        return false;
    const QDateTime now = pl::clock().localNow();
    writeLine(QString());
    writeLine(QStringLiteral("Debug Close: ") + LogDate(now) + ' ' + LogClockTime(now));
    logFile().reset();
    return true;
}

void DebugLog(const QString &text, bool blankLine)
{
    std::lock_guard lock(logMutex());
    // "Relax ..." marks a no-op for callers that probe files; it never reaches the log.
    if (!logFile().isOpen() || text == QLatin1String("Relax ..."))
        return;
    if (blankLine)
        writeLine(QString());
    writeLine(text.isEmpty() ? QString() : LogTimeStamp(pl::clock().tickMs() - startTick) + text);
}
