#pragma once
#include <QString>

// Folders known to the build: the source tree's fixtures and the program's output folder.
inline QString fixturePath(const QString &name) { return QStringLiteral(ORVALE_FIXTURES_DIR) + '/' + name; }
inline QString binPath(const QString &name) { return QStringLiteral(ORVALE_BIN_DIR) + '/' + name; }
