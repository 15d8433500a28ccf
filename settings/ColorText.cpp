#include "settings/ColorText.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

const QString kEol = QStringLiteral("\r\n");
const char *const kFrameNames[3] = {" TitleBarBk", " TitleBarText", " WindowBorder"};

// The frame entries in the text's order: light active, light inactive, dark active, dark
// inactive; each names its set and the first of its four values.
struct TFrameEntry {
    int set, first;
    const char *header;
};
const TFrameEntry kEntries[4] = {{0, 4, "// Light Theme (Active Window):"},
                                 {0, 0, "// Light Theme (Inctive Window):"},
                                 {1, 4, "// Dark Theme (Active Window):"},
                                 {1, 0, "// Dark Theme (Inctive Window):"}};

QString Hex(int32_t color)
{
    // 0x00BBGGRR to #RRGGBB; anything that is not a fixed colour is written as black.
    const uint32_t c = color >= 0 && color <= 0xFFFFFF ? uint32_t(color) : 0u;
    const uint32_t rgb = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    return QStringLiteral("#%1").arg(rgb, 6, 16, QLatin1Char('0')).toUpper();
}

// "#RRGGBB" exactly, to 0x00BBGGRR; -1 when it is not one.
int32_t ParseHex(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^#[0-9A-Fa-f]{6}$"));
    return hex.match(text).hasMatch() ? ColorFromText(text) : clNone;
}

void ExportPdfSet(QString &out, const TQPDFColors &set, QChar mode)
{
    for (int n = 0; n < cc_Last; ++n) {
        out += Hex(set[n].B) + QLatin1Char(' ') + mode + set[n].name + QLatin1Char('B') + kEol;
        out += Hex(set[n].W) + QLatin1Char(' ') + mode + set[n].name + QLatin1Char('W') + kEol;
        out += kEol;
    }
}

} // namespace

QString ExportColors(const TColorTextSets &sets)
{
    QString out;
    for (const TFrameEntry &e : kEntries) {
        const TMenuColorSet &set = sets.frames[size_t(e.set)];
        out += QLatin1String(e.header) + kEol;
        for (int k = 0; k < 3; ++k)
            out += Hex(set[size_t(e.first + k)]) + QLatin1String(kFrameNames[k]) + kEol;
        out += QStringLiteral("> ") + QString::number(set[size_t(e.first + 3)]) + QStringLiteral(" BorderWidth") + kEol;
        out += kEol;
    }
    out += QStringLiteral("* --=============================") + kEol + kEol;
    out += QStringLiteral("// Light Mode Colors  ...") + kEol;
    ExportPdfSet(out, sets.light, QLatin1Char('l'));
    out += QStringLiteral("// Dark Mode Colors ...") + kEol;
    ExportPdfSet(out, sets.dark, QLatin1Char('d'));
    return out;
}

TColorImport ImportColors(const QString &text, TColorTextSets &sets)
{
    TColorImport result;
    const auto refuse = [&](int line, const QString &lineText, const QString &reason) {
        if (result.ok())
            result = TColorImport{line, lineText, reason};
    };
    static const QRegularExpression pdfLine(QStringLiteral("^(#\\S+)\\s+([ld])(\\S+)([BW])$"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    bool frames = true;
    int entry = 0, value = 0;
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line = line.trimmed();
        const int number = i + 1;
        if (frames) {
            if (line.startsWith(QLatin1Char('*'))) {
                frames = false;
            } else if (line.startsWith(QLatin1Char('#'))) {
                const int32_t color = ParseHex(line.section(QLatin1Char(' '), 0, 0));
                if (entry > 3 || value > 2)
                    refuse(number, line, QStringLiteral("a fourth colour for one window"));
                else if (color == clNone)
                    refuse(number, line, QStringLiteral("not a colour"));
                else
                    sets.frames[size_t(kEntries[entry].set)][size_t(kEntries[entry].first + value++)] = color;
            } else if (line.startsWith(QLatin1Char('>'))) {
                bool isNumber = false;
                const int width = line.mid(1).trimmed().section(QLatin1Char(' '), 0, 0).toInt(&isNumber);
                if (entry > 3)
                    refuse(number, line, QStringLiteral("more than four windows"));
                else if (!isNumber || width < 0 || width > 99)
                    refuse(number, line, QStringLiteral("not a number from 0 to 99"));
                else
                    sets.frames[size_t(kEntries[entry].set)][size_t(kEntries[entry].first + 3)] = width;
                ++entry;
                value = 0;
            }
            continue;
        }
        if (!line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = pdfLine.match(line);
        const int32_t color = m.hasMatch() ? ParseHex(m.captured(1)) : clNone;
        if (!m.hasMatch() || color == clNone) {
            refuse(number, line, QStringLiteral("not a colour, l or d, a name and B or W"));
            continue;
        }
        TQPDFColors &set = m.captured(2) == QLatin1String("l") ? sets.light : sets.dark;
        const QString name = m.captured(3);
        auto it =
            std::find_if(set.begin(), set.begin() + cc_Last, [&](const TCustomQCol &c) { return c.name == name; });
        if (it == set.begin() + cc_Last) {
            refuse(number, line, QStringLiteral("no such colour"));
            continue;
        }
        (m.captured(4) == QLatin1String("B") ? it->B : it->W) = color;
    }
    return result;
}
