#include "platform/Paths.h"

#include <QFileInfo>

namespace pl {

QString executablePath() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

} // namespace pl
