#include "base/FileUtils.h"

#include "base/MinuteTime.h"
#include "platform/Files.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

int64_t TimeOf(const pl::FileStatus &st, int which)
{
    return which == ftCreation ? st.creationTime : which == ftLastAccess ? st.accessTime : st.writeTime;
}

QDateTime LocalTimeOf(int64_t fileTime)
{
    return QDateTime::fromMSecsSinceEpoch((fileTime - pl::FileTimeUnixEpoch) / 10000, Qt::UTC).toLocalTime();
}

} // namespace

bool FolderExists(const QString &path)
{
    return !path.isEmpty() && pl::files().status(path).kind == pl::FileKind::Directory;
}

bool FileExists(const QString &path)
{
    if (path.endsWith('/'))
        return FolderExists(path);
    return pl::files().status(path).kind == pl::FileKind::Regular;
}

bool FileLocked(const QString &path, bool writeFlag, bool /*shareFlag*/)
{
    return FileExists(path) && pl::files().isLocked(path, writeFlag);
}

QString FileFolder(const QString &path)
{
    const int slash = path.lastIndexOf('/');
    return slash < 0 ? QString() : path.left(slash);
}

QString FileNameOnly(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    const int dot = name.lastIndexOf('.');
    return dot < 0 ? name : name.left(dot);
}

QString FileExtension(const QString &path)
{
    const int dot = path.lastIndexOf('.');
    const int sep = std::max(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    return dot > sep ? path.mid(dot) : QString();
}

int64_t FileSize64(const QString &path)
{
    const pl::FileStatus st = pl::files().status(path);
    return st.kind == pl::FileKind::Regular ? st.size : -1;
}

int64_t FileTime64(const QString &path, int which)
{
    const pl::FileStatus st = pl::files().status(path);
    return st.kind == pl::FileKind::Missing ? -1 : TimeOf(st, which);
}

int64_t FileMinuteTime(const QString &path, int which)
{
    const int64_t t = FileTime64(path, which);
    return t < 0 ? MinuteNow() : MinuteTime(LocalTimeOf(t));
}

QString FileDateText(const QString &path, const QString &format, int which)
{
    const pl::FileStatus st = pl::files().status(path);
    if (st.accessDenied)
        return QStringLiteral("File Access Denied!");
    if (st.kind == pl::FileKind::Missing)
        return QStringLiteral("Not Saved");
    return FormatFileOrClockTime(LocalTimeOf(TimeOf(st, which)), format);
}

QString CanonicalPath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString LinkTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

QString CurrentDocFolder(const QString &currentDocument)
{
    const QString folder = FileFolder(currentDocument);
    return !currentDocument.isEmpty() && FolderExists(folder) ? folder : QString();
}

QString SpecialFolder(bool local)
{
    if (local) {
        const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        if (!data.isEmpty())
            return data;
    }
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}
