#include "base/DurableWrite.h"

#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "platform/Files.h"

#include <QRandomGenerator>

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
