#include "settings/Colors.h"

#include "settings/DataFile.h"
#include "base/NumberParse.h"

#include <QGuiApplication>
#include <QPalette>

#include <optional>

TColors Colors;
std::array<TMenuColorSet, 2> MenuColors = DefaultMenuColors();

namespace {

std::optional<QPalette> systemPalette;

const QPalette &SystemPalette()
{
    if (!systemPalette)
        systemPalette =
            qobject_cast<QGuiApplication *>(QCoreApplication::instance()) ? QGuiApplication::palette() : QPalette();
    return *systemPalette;
}

int32_t FromQColor(const QColor &c)
{
    return int32_t((uint32_t(c.blue()) << 16) | (uint32_t(c.green()) << 8) | uint32_t(c.red()));
}

// Weighted mixture per channel, rounded: (p*a + q*b + (p+q)/2) / (p+q).
constexpr int32_t Mix(int p, int32_t a, int q, int32_t b)
{
    int32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int ca = (a >> shift) & 0xFF;
        const int cb = (b >> shift) & 0xFF;
        result |= ((p * ca + q * cb + (p + q) / 2) / (p + q)) << shift;
    }
    return result;
}

struct TPdfColorRow {
    const char *name;
    uint32_t lightB, lightW, darkB, darkW; // as RRGGBB
};

const TPdfColorRow pdfColorRows[cc_Last] = {
    {"cr_Origin", 0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF},
    {"cr_Bookmarks", 0x3D3623, 0xFCFCFC, 0x000000, 0xEFE8D5},
    {"cr_Workspace", 0x000000, 0xF0F0F0, 0x000000, 0xD0D0D0},
    {"cr_ColorRange", 0x000000, 0xFDF6E3, 0x000000, 0xEDE6D3},
    {"cr_TextSelect", 0x000000, 0x99C1DA, 0x0058A8, 0xFFFFFF},
    {"cr_FoundString", 0x000000, 0xEB0000, 0x804020, 0xFFFFFF},
    {"cr_FoundStrings", 0x000000, 0xE6E44C, 0x545400, 0xFFFFFF},
    {"cr_ForwardSearch", 0x000000, 0xF08650, 0x008080, 0xFFFFFF},
};

struct TThemeColorRow {
    const char *name;
    int32_t system, dark, light; // internal values
};

constexpr int32_t Sys(int index) { return SystemColor(index); }
constexpr int32_t Rgb(uint32_t rrggbb) { return RgbColor(rrggbb); }
const int32_t blue4080FF = Rgb(0x4080FF);

// The system value of "Tree Lines" is the window text colour fixed at start-up (marked -2 here).
constexpr int32_t WindowTextAtStart = -2;

const TThemeColorRow themeColorRows[cct_Last] = {
    {"Workspace", Sys(COLOR_APPWORKSPACE), Rgb(0x000000), Rgb(0xC0C0C0)},
    {"Splitter", Sys(COLOR_BTNFACE), Rgb(0x505050), Rgb(0xE0E0E0)},
    {"Toolbar Background", Sys(COLOR_WINDOW), Rgb(0x000000), Rgb(0xFFFFFF)},
    {"Toolbar Edit Text", Sys(COLOR_WINDOWTEXT), Rgb(0xFFFFFF), Rgb(0x000000)},
    {"Toobar Label Text", Sys(COLOR_GRAYTEXT), Rgb(0xD9D9D9), Rgb(0x808080)},
    {"Document Tab Background", Sys(COLOR_BTNFACE), Rgb(0x161616), Rgb(0xF0F0F0)},
    {"Document Tab Text", Sys(COLOR_BTNTEXT), Rgb(0xE0E0E0), Rgb(0x242424)},
    {"Document Tab Panel", Sys(COLOR_BTNFACE), Rgb(0x080808), Rgb(0xEEEEEE)},
    {"Tree Custom Color", Sys(COLOR_WINDOW), Rgb(0x000000), Rgb(0xFFFFFF)},
    {"Tree Background", Sys(COLOR_WINDOW), Rgb(0x000000), Rgb(0xFFFFFF)},
    {"Tree Text", Sys(COLOR_WINDOWTEXT), Rgb(0xF0F0F0), Rgb(0x242424)},
    {"Tree Focused Background", Rgb(0xC6D3EF), Mix(30, 0, 70, blue4080FF), Rgb(0xC6D3EF)},
    {"Tree Focused Text", Rgb(0x000000), Rgb(0xFFFFFF), Rgb(0x000000)},
    {"Tree Selected Background", Rgb(0xD6E3FF), Mix(40, 0, 60, blue4080FF), Rgb(0xD6E3FF)},
    {"Tree Selected Text", Rgb(0x222222), Rgb(0xFFFFFF), Rgb(0x222222)},
    {"Tree Hot Background", Rgb(0xE8E8E8), Rgb(0x484850), Rgb(0xE8E8E8)},
    {"Tree Hot Text", Rgb(0x444488), Rgb(0xF4F4F4), Rgb(0x444488)},
    {"Tree Opened Glyph", Rgb(0x333333), Rgb(0xCCCCCC), Rgb(0x333333)},
    {"Tree Closed Glyph", Rgb(0x8F8F8F), Rgb(0x8F8F8F), Rgb(0x8F8F8F)},
    {"Tree Opened Hot Glyph", Rgb(0xBB2222), Rgb(0xBB2222), Rgb(0xBB2222)},
    {"Tree Closed Hot Glyph", Rgb(0x22AA22), Rgb(0x22AA22), Rgb(0x22AA22)},
    {"Tree Lines", WindowTextAtStart, Rgb(0xCCFFCC), Rgb(0x0000FF)},
    {"Status Line Background", Sys(COLOR_WINDOW), Rgb(0x181818), Rgb(0xF0F0F0)},
    {"Status Line Text", Sys(COLOR_BTNTEXT), Rgb(0xE0E0E0), Rgb(0x222222)},
    {"Status Line Gray Text", Sys(COLOR_GRAYTEXT), Rgb(0xB0B0B0), Rgb(0x888888)},
    {"Status Line Info Text", Sys(COLOR_HIGHLIGHT), Rgb(0xFFFFFF), Rgb(0x0000FF)},
};

void FillThemeSet(TThemeColors &set, int32_t TThemeColorRow::*column)
{
    for (int n = 0; n < cct_Last; ++n) {
        int32_t v = themeColorRows[n].*column;
        if (v == WindowTextAtStart)
            v = ResolveColor(SystemColor(COLOR_WINDOWTEXT));
        set[n] = TCustomCol{v, v, QString::fromLatin1(themeColorRows[n].name)};
    }
}

bool ReadPdfSet(TDataFile &df, TQPDFColors &set)
{
    for (int n = 0; n < cc_Last; ++n) {
        set[n].B = int32_t(df.RdNum(1, 0));
        set[n].W = int32_t(df.RdNum(1, 0));
        set[n].name = df.RdStr();
    }
    df.RdStr();
    return df.ErrCode == 0;
}

bool WritePdfSet(TDataFile &df, const TQPDFColors &set)
{
    for (int n = 0; n < cc_Last; ++n)
        df.WrNum(set[n].B) && df.WrNum(set[n].W) && df.WrStr(set[n].name);
    df.WrStr(QString());
    return df.ErrCode == 0;
}

} // namespace

std::array<TMenuColorSet, 2> DefaultMenuColors()
{
    return {{{Rgb(0xF0F0F0), Rgb(0x808080), Rgb(0xB0B0B0), 0, Rgb(0x6B7891), Rgb(0xF8F8F8), Rgb(0x808080), 0},
             {Rgb(0x1B2841), Rgb(0xC0C0C0), Rgb(0x484848), 0, Rgb(0x3B4861), Rgb(0xF4F4F4), Rgb(0x747474), 0}}};
}

void LoadColorDefaults()
{
    for (int n = 0; n < cc_Last; ++n) {
        const TPdfColorRow &r = pdfColorRows[n];
        const QString name = QString::fromLatin1(r.name);
        Colors.PdfLight[n] = TCustomQCol{Rgb(r.lightB), Rgb(r.lightW), name};
        Colors.PdfDark[n] = TCustomQCol{Rgb(r.darkB), Rgb(r.darkW), name};
    }
    Colors.PdfLight[cc_Last] = Colors.PdfDark[cc_Last] = TCustomQCol{};
    Colors.Pdf = Colors.PdfLight;
    FillThemeSet(Colors.ThemeSystem, &TThemeColorRow::system);
    FillThemeSet(Colors.ThemeDark, &TThemeColorRow::dark);
    FillThemeSet(Colors.ThemeLight, &TThemeColorRow::light);
    Colors.ThemeSystem[cct_Last] = Colors.ThemeDark[cct_Last] = Colors.ThemeLight[cct_Last] = TCustomCol{};
    Colors.Theme = Colors.ThemeSystem;
}

void SelectPdfColors(int mode) { Colors.Pdf = mode <= 0 ? Colors.PdfLight : Colors.PdfDark; }

void SelectThemeColors(int theme)
{
    Colors.Theme = theme == 0 ? Colors.ThemeSystem : theme == 1 ? Colors.ThemeDark : Colors.ThemeLight;
}

int32_t ColorFromText(const QString &text)
{
    qint64 value = 0;
    return ParseInteger(text, -1, 0xFFFFFF, value) ? int32_t(value) : clNone;
}

void RememberSystemPalette(const QPalette &palette) { systemPalette = palette; }

int32_t ResolveColor(int32_t color)
{
    if (!IsSystemColor(color))
        return color;
    const QPalette &p = SystemPalette();
    switch (color & 0xFF) {
    case COLOR_APPWORKSPACE: return FromQColor(p.color(QPalette::Dark));
    case COLOR_BTNFACE: return FromQColor(p.color(QPalette::Button));
    case COLOR_WINDOW: return FromQColor(p.color(QPalette::Base));
    case COLOR_WINDOWTEXT: return FromQColor(p.color(QPalette::Text));
    case COLOR_GRAYTEXT: return FromQColor(p.color(QPalette::Disabled, QPalette::Text));
    case COLOR_BTNTEXT: return FromQColor(p.color(QPalette::ButtonText));
    case COLOR_HIGHLIGHT: return FromQColor(p.color(QPalette::Highlight));
    default: return FromQColor(p.color(QPalette::Window));
    }
}

QColor ToQColor(int32_t color)
{
    const int32_t c = ResolveColor(color);
    if (c < 0 || c > 0xFFFFFF)
        return QColor();
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

bool ReadPdfColorSets(TDataFile &df) { return ReadPdfSet(df, Colors.PdfLight) && ReadPdfSet(df, Colors.PdfDark); }

bool WritePdfColorSets(TDataFile &df) { return WritePdfSet(df, Colors.PdfLight) && WritePdfSet(df, Colors.PdfDark); }

bool ReadMenuColorSets(TDataFile &df)
{
    for (TMenuColorSet &set : MenuColors) {
        for (int first : {4, 0}) {
            for (int n = first; n < first + 4; ++n)
                set[n] = int32_t(df.RdNum(1, 0));
            df.RdStr();
        }
    }
    return df.ErrCode == 0;
}

bool WriteMenuColorSets(TDataFile &df)
{
    for (const TMenuColorSet &set : MenuColors) {
        for (int first : {4, 0}) {
            for (int n = first; n < first + 4; ++n)
                df.WrNum(set[n]);
            df.WrStr(QString());
        }
    }
    return df.ErrCode == 0;
}
