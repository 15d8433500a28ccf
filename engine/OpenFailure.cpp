#include "engine/OpenFailure.h"

#include "platform/Files.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The library accepts a header after some leading bytes; past this point it looks no further.
constexpr qint64 kHeaderReach = 1024;

QString Reason(const QString &path)
{
    const pl::FileStatus status = pl::files().status(path);
    if (status.kind == pl::FileKind::Directory)
        return QStringLiteral("a folder");
    if (status.kind == pl::FileKind::Regular && status.size == 0)
        return QStringLiteral("empty");
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && !file.read(kHeaderReach).contains("%PDF-"))
        return QStringLiteral("not a PDF file");
    return QStringLiteral("damaged");
}

} // namespace

QString OpenFailureText(const QString &path)
{
    return QStringLiteral("Cannot open \"") + QFileInfo(path).fileName() + QStringLiteral("\": ") + Reason(path);
}
