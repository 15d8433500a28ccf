#pragma once
#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

class QPalette;
class TDataFile;

// Colours are 32-bit values in the order 0x00BBGGRR; -1 is no colour; 0xFF0000nn names the
// system colour nn and follows the system until it is resolved where it is drawn.
constexpr int32_t clNone = -1;
constexpr int32_t SystemColor(int index) { return int32_t(0xFF000000u | uint32_t(index)); }
constexpr bool IsSystemColor(int32_t c) { return (uint32_t(c) & 0xFFFFFF00u) == 0xFF000000u; }
// 0xRRGGBB as written in texts to the internal order.
constexpr int32_t RgbColor(uint32_t rrggbb)
{
    return int32_t(((rrggbb & 0xFF) << 16) | (rrggbb & 0xFF00) | ((rrggbb >> 16) & 0xFF));
}

// System colour indices used by the tables.
enum TSystemColorIndex : uint8_t {
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWTEXT = 8,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_BTNFACE = 15,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18
};

enum TQPDFColor : uint8_t {
    cc_Origin,
    cc_Tree,
    cc_Workspace,
    cc_ColorRange,
    cc_TextSelect,
    cc_FoundString,
    cc_FoundStrings,
    cc_ForwardSearch,
    cc_Last
};

struct TCustomQCol {
    int32_t B = clNone; // for dark surroundings
    int32_t W = clNone; // for light surroundings
    QString name;
    bool operator==(const TCustomQCol &) const = default;
};
using TQPDFColors = std::array<TCustomQCol, cc_Last + 1>;

enum TThemeColor : uint8_t {
    cclAppWorkspace,
    cclSplitter,
    tbcCustomBk,
    tbcCustomText,
    tbcCustomLabelText,
    dtcCustomBk,
    dtcCustomText,
    dtcCustomPanel,
    tvcCustomColor,
    tvcCustomBk,
    tvcCustomText,
    tvcSelectedFocusedBk,
    tvcSelectedFocusedText,
    tvcSelectedBk,
    tvcSelectedText,
    tvcHotBk,
    tvcHotText,
    tvcOpenedGlyph,
    tvcClosedGlyph,
    tvcOpenedHotGlyph,
    tvcClosedHotGlyph,
    tvcLines,
    slcBkColor,
    slcText,
    slcAltText,
    slcInfoText,
    cct_Last
};

struct TCustomCol {
    int32_t val = clNone;
    int32_t def = clNone;
    QString name;
    bool operator==(const TCustomCol &) const = default;
};
using TThemeColors = std::array<TCustomCol, cct_Last + 1>;

struct TColors {
    TQPDFColors Pdf;      // current document-view set
    TQPDFColors PdfLight; // Light Mode set (render mode 0)
    TQPDFColors PdfDark;  // Dark Mode set (render modes 1 and 2)
    TThemeColors Theme;   // current interface set
    TThemeColors ThemeSystem;
    TThemeColors ThemeDark;
    TThemeColors ThemeLight;
};
extern TColors Colors;

// Owner-drawn menu colours: the light set [0] and the dark set [1], eight values each.
using TMenuColorSet = std::array<int32_t, 8>;
extern std::array<TMenuColorSet, 2> MenuColors;
std::array<TMenuColorSet, 2> DefaultMenuColors();

void LoadColorDefaults();
void SelectPdfColors(int mode);    // render mode: 0 Light Mode set, 1 and 2 Dark Mode set
void SelectThemeColors(int theme); // 0 system, 1 dark, else light

// "#RRGGBB" (swapped to 0x00BBGGRR), "$BBGGRR" or a decimal; anything that does not parse to
// -1 .. 0xFFFFFF gives -1.
int32_t ColorFromText(const QString &text);

// The system palette as it was before the program themed itself; system colours resolve
// against it, so a theme that follows the system never feeds on its own colours.
void RememberSystemPalette(const QPalette &palette);
int32_t ResolveColor(int32_t color); // system colours to fixed ones; others unchanged
QColor ToQColor(int32_t color);      // resolved; -1 gives an invalid colour

// The data file holds the Light Mode and Dark Mode document-view sets (three lines per entry,
// an empty line after each set), then the two menu sets (values 5-8, empty line, values 1-4,
// empty line). The current and interface sets are rebuilt from the selections at each start.
bool ReadPdfColorSets(TDataFile &df);
bool WritePdfColorSets(TDataFile &df);
bool ReadMenuColorSets(TDataFile &df);
bool WriteMenuColorSets(TDataFile &df);
