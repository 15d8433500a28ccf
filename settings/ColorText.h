#pragma once
// The colour settings as a text the user edits, exports and imports: the window frame
// colours, then the Light Mode and Dark Mode document colours. Lines end in CR LF; users keep
// such files, so the headers are written as they always were ("Inctive Window" included).
#include "settings/Colors.h"

#include <QString>

#include <array>

struct TColorTextSets {
    std::array<TMenuColorSet, 2> frames; // [0] light, [1] dark; values 1-4 inactive, 5-8 active
    TQPDFColors light, dark;
    bool operator==(const TColorTextSets &) const = default;
};

QString ExportColors(const TColorTextSets &sets);

// The first line the import refused (1-based) and why; line 0 when every line fitted.
struct TColorImport {
    int line = 0;
    QString text;
    QString reason;
    bool ok() const { return line == 0; }
};
// Reads text into sets. Lines that fit are applied even when others are refused.
TColorImport ImportColors(const QString &text, TColorTextSets &sets);
