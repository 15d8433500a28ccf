#include "engine/OpenFailure.h"

#include "app/FileUtils.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The library accepts a header after some leading bytes; past this point it looks no further.
constexpr qint64 kHeaderReach = 1024;

QString Reason(const QString &path)
{
    if (FolderExists(path))
        return QStringLiteral("a folder");
    if (FileSize64(path) == 0)
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
