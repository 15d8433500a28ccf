#include "print/PrinterChoice.h"

#include <QFileInfo>

QString SuggestedOutputFile(const QString &lastOutputFile, const QString &documentFile)
{
    if (!lastOutputFile.isEmpty())
        return lastOutputFile;
    const QFileInfo info(documentFile);
    return info.absolutePath() + QStringLiteral("/") + info.completeBaseName() + QStringLiteral("-print.pdf");
}
