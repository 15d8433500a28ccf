#include "base/DurableWrite.h"

#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "platform/Files.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : (slash == 0 ? QStringLiteral("/") : QStringLiteral("."));
}

// A fresh name beside the target; exclusive creation never reuses someone else's file.
pl::FileHandle createTemporary(const QString &path, uint32_t mode, QString &tempName)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempName = path + '.' + QString::number(QRandomGenerator::global()->generate(), 16) + QStringLiteral(".tmp");
        pl::FileHandle file = pl::files().create(tempName, mode, true);
        if (file.isOpen())
            return file;
    }
    tempName.clear();
    return {};
}

// A process killed between writing its new file and the rename leaves that file behind, holding
// a copy of the data (passwords included). Later saves remove such files once they are old
// enough that no other instance can still be writing them.
void removeStaleTemporaries(const QString &path)
{
    const QString folder = folderOf(path);
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(QRegularExpression::escape(name)
                                                                         + QStringLiteral("\\.[0-9a-f]{1,8}\\.tmp")));
    const QDateTime staleBefore = QDateTime::currentDateTimeUtc().addSecs(-600);
    const QFileInfoList entries =
        QDir(folder).entryInfoList({name + QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &entry : entries)
        if (pattern.match(entry.fileName()).hasMatch() && entry.lastModified() < staleBefore)
            pl::files().remove(entry.filePath());
}

} // namespace

bool WriteFileDurably(const QString &name, const QByteArray &bytes, uint32_t mode,
                      const std::optional<TFileTimes> &times)
{
    pl::Files &fs = pl::files();
    const QString path = LinkTarget(name);
    QString tempName;
    pl::FileHandle file = createTemporary(path, mode, tempName);
    if (!file.isOpen())
        return false;
    bool ok = fs.write(file, bytes) && fs.sync(file);
    file.reset();
    if (ok && times)
        ok = fs.setTimes(tempName, times->writeTime, times->accessTime);
    ok = ok && fs.rename(tempName, path);
    if (!ok) {
        fs.remove(tempName);
        return false;
    }
    fs.syncFolder(folderOf(path));
    removeStaleTemporaries(path);
    return true;
}

bool CopyFileKeepingTimes(const QString &from, const QString &to, uint32_t mode)
{
    const pl::FileStatus source = pl::files().status(from);
    if (source.kind != pl::FileKind::Regular)
        return false;
    QByteArray bytes;
    if (ReadWholeFile(from, bytes) != frOk)
        return false;
    return WriteFileDurably(to, bytes, mode, TFileTimes{source.writeTime, source.accessTime});
}
