#pragma once
#include <QString>

// Expands a leading %B (program folder), %b (data folder), %!B or %!b (their parents);
// a "\" right after the macro reads as "/". Other text is returned unchanged.
QString ExpandPathMacros(const QString &value, const QString &exeFolder, const QString &dataFolder);
