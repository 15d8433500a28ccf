#include "base/DebugLog.h"

#include "platform/Clock.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

TLogHook LogHook = nullptr;

namespace {

FILE *logFile = nullptr;
long long startTick = pl::clock().tickMs();

// The log may hold paths and command lines: private to the user, and never written
// through a symlink planted at its name.
FILE *openPrivate(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return nullptr;
    FILE *f = ::fdopen(fd, "wb");
    if (!f)
        ::close(fd);
    return f;
}

bool writeLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + "\r\n";
    return std::fwrite(bytes.constData(), 1, bytes.size(), logFile) == size_t(bytes.size()) && std::fflush(logFile) == 0;
}

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
        + QString::number(d.day()) + '-' + QString::fromLatin1(kMonths[d.month() - 1]) + '-' + QString::number(d.year());
}

QString LogClockTime(const QDateTime &t)
{
    const QTime tm = t.time();
    return (tm.hour() < 10 ? QStringLiteral(" ") : QString()) + QString::number(tm.hour()) + ':'
        + QStringLiteral("%1").arg(tm.minute(), 2, 10, QLatin1Char('0'));
}

bool DebugLogOpen() { return logFile != nullptr; }

bool OpenDebugLog(const QString &path)
{
    if (logFile)
        CloseDebugLog();
    const QString folder = QFileInfo(path).path();
    if (!folder.isEmpty() && !QFileInfo(folder).isDir())
        QDir().mkpath(folder);
    if (!QFileInfo(folder.isEmpty() ? QStringLiteral(".") : folder).isDir())
        return false;
    logFile = openPrivate(path);
    if (!logFile)
        return false;
    const QDateTime now = pl::clock().localNow();
    const bool ok = writeLine(QStringLiteral("Debug Start: ") + LogDate(now) + ' ' + LogClockTime(now)) && writeLine(QString())
        && writeLine(QStringLiteral("*** Log File Start: ") + LogTimeStamp(pl::clock().tickMs() - startTick))
        && writeLine(QString());
    if (!ok) {
        std::fclose(logFile);
        logFile = nullptr;
        return false;
    }
    LogHook = &DebugLog;
    return true;
}

bool CloseDebugLog()
{
    LogHook = nullptr;
    if (!logFile)
        return false;
    const QDateTime now = pl::clock().localNow();
    writeLine(QString());
    writeLine(QStringLiteral("Debug Close: ") + LogDate(now) + ' ' + LogClockTime(now));
    std::fclose(logFile);
    logFile = nullptr;
    return true;
}

void DebugLog(const QString &text, bool blankLine)
{
    // "Relax ..." marks a no-op for callers that probe files; it never reaches the log.
    if (!logFile || text == QLatin1String("Relax ..."))
        return;
    if (blankLine)
        writeLine(QString());
    writeLine(text.isEmpty() ? QString() : LogTimeStamp(pl::clock().tickMs() - startTick) + text);
}
