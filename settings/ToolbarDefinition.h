#pragma once
#include <QString>
#include <QStringList>

class TDataFile;

// The toolbar's definition text, one item per line, kept verbatim (comments included), and
// the "Place Search in Toolbar" choice. The toolbar compiles its buttons from it; the
// settings store reads and writes it at its place in the data file.
class TToolbarDefinition {
public:
    static constexpr int MaxLines = 999;

    bool SearchToolbar = true;
    QStringList lines;

    TToolbarDefinition() { LoadDefault(); }

    // Lines end at CR, LF or CR LF; a final line break adds no empty line; at most 999 lines.
    int ReadFromString(const QString &text);
    QString WriteToString() const; // every line followed by CR LF

    // Data file section: the search choice, the line count (0..999), the lines, an empty line.
    bool ReadItems(TDataFile &df);
    bool WriteItems(TDataFile &df) const;

    static QString DefaultText(); // the built-in definition
    void LoadDefault();           // the built-in lines and the search items in the toolbar
};

extern TToolbarDefinition ToolbarDefinition;
