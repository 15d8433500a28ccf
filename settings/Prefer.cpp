#include "settings/Prefer.h"

#include "settings/Colors.h"
#include "settings/DataFile.h"
#include "base/DebugLog.h"
#include "settings/DocMgrGeometry.h"
#include "settings/ToolbarDefinition.h"

#include <cmath>
#include <variant>
#include <vector>

TPrefer Prefer;
TDocMgrGeometry DocMgrGeometry;
int32_t CurrentPPI = 96;

int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    return c == 0 ? -1 : int32_t(std::llround(double(a) * double(b) / double(c)));
}

namespace {

constexpr int Latest = LatestDataVersion;

// A row of a positional layout: what the line holds, the versions that hold it, where the
// value lives, its default and its bounds. Rows without a field are read and dropped (lines
// of older layouts). A section reads and writes several lines through its own functions.
template <typename R>
struct TLayoutRow {
    enum Kind : uint8_t { Blank, Bool, Int, Real, Text, Section };
    enum Scale : uint8_t { Plain, ByPPI, WritesPPI, WritesVersion };
    // A mode is stored as its number; the number read is kept as it is.
    struct EnumField {
        int32_t (*get)(R &);
        void (*set)(R &, int32_t);
    };
    using Field =
        std::variant<std::monostate, bool &(*)(R &), int32_t &(*)(R &), double &(*)(R &), QString &(*)(R &), EnumField>;
    using Default = std::variant<std::monostate, bool, int64_t, double, const char16_t *>;

    Kind kind;
    int since = 0;
    int until = Latest;
    Field field{};
    Default def{};
    int64_t min = 1, max = 0; // min > max: no range check
    Scale scale = Plain;
    bool (*read)(TDataFile &, R &) = nullptr;
    bool (*write)(TDataFile &, R &) = nullptr;
    void (*defaults)(R &) = nullptr;

    bool heldBy(int version) const { return version >= since && version <= until; }
};

// Builders keep the table readable: one line per value.
template <typename R>
struct TRows {
    using Row = TLayoutRow<R>;
    std::vector<Row> rows;

    TRows &blank(int since = 0, int until = Latest) { return add({Row::Blank, since, until}); }
    TRows &b(bool &(*f)(R &), bool def, int since = 0, int until = Latest)
    {
        return add({Row::Bool, since, until, f, def});
    }
    TRows &i(int32_t &(*f)(R &), int64_t def, int since = 0, int until = Latest, int64_t min = 1, int64_t max = 0,
             typename Row::Scale scale = Row::Plain)
    {
        return add({Row::Int, since, until, f, def, min, max, scale});
    }
    template <typename E>
    TRows &e(typename Row::EnumField f, E def)
    {
        return add({Row::Int, 0, Latest, f, int64_t(def)});
    }
    TRows &r(double &(*f)(R &), double def, int since = 0) { return add({Row::Real, since, Latest, f, def}); }
    TRows &s(QString &(*f)(R &), const char16_t *def, int since = 0) { return add({Row::Text, since, Latest, f, def}); }
    // Lines of older layouts, read and dropped.
    TRows &drop(typename Row::Kind kind, int since, int until, int count = 1)
    {
        for (int n = 0; n < count; ++n)
            add({kind, since, until});
        return *this;
    }
    TRows &section(bool (*read)(TDataFile &, R &), bool (*write)(TDataFile &, R &), void (*defaults)(R &),
                   int since = 0)
    {
        Row row{Row::Section, since, Latest};
        row.read = read;
        row.write = write;
        row.defaults = defaults;
        return add(row);
    }
    TRows &add(const Row &row)
    {
        rows.push_back(row);
        return *this;
    }
};

#define F(x) [](auto &p) -> decltype(auto) { return (p.x); }
// An enum field through its number.
#define E(x) \
    { \
        [](auto &p) { return int32_t(p.x); }, [](auto &p, int32_t v) { p.x = decltype(p.x)(v); } \
    }

// ---- the recent list entry --------------------------------------------------------------

const std::vector<TLayoutRow<TDocInfo>> &DocInfoLayout()
{
    using Row = TLayoutRow<TDocInfo>;
    static const std::vector<Row> layout = TRows<TDocInfo>()
                                               .blank()
                                               .s(F(FileName), u"")
                                               .s(F(FilePwd), u"", 8)
                                               .i(F(ZoomMode), 0)
                                               .r(F(Zoom), 0)
                                               .i(F(Rotate), 0)
                                               .e(E(PageView), TPageViewMode::Single)
                                               .b(F(AllowScrolling), false)
                                               .b(F(RenderAnnot), false)
                                               .b(F(FrameLinks), false)
                                               .b(F(ShowBookmarks), false)
                                               .b(F(TrackBookmarks), false)
                                               .i(F(cp), 0)
                                               .r(F(Top), 0)
                                               .r(F(Left), 0)
                                               .i(F(wasOpened), 0)
                                               .rows;
    return layout;
}

// ---- the generic reader, writer and defaults ----------------------------------------------

template <typename R>
int32_t Scaled(const TLayoutRow<R> &row, int64_t value, int32_t fromPPI)
{
    if (row.scale != TLayoutRow<R>::ByPPI || fromPPI <= 0)
        return int32_t(value);
    return MulDiv(int32_t(value), CurrentPPI, fromPPI);
}

template <typename R>
void SetDefaults(const std::vector<TLayoutRow<R>> &layout, R &rec, bool sections)
{
    using Row = TLayoutRow<R>;
    for (const Row &row : layout) {
        if (row.kind == Row::Section) {
            if (sections && row.defaults)
                row.defaults(rec);
            continue;
        }
        std::visit(
            [&](auto f) {
                using Fn = decltype(f);
                if constexpr (std::is_same_v<Fn, bool &(*)(R &)>)
                    f(rec) = std::get<bool>(row.def);
                else if constexpr (std::is_same_v<Fn, int32_t &(*)(R &)>)
                    f(rec) = Scaled(row, std::get<int64_t>(row.def), 96);
                else if constexpr (std::is_same_v<Fn, double &(*)(R &)>)
                    f(rec) = std::get<double>(row.def);
                else if constexpr (std::is_same_v<Fn, QString &(*)(R &)>)
                    f(rec) = QString::fromUtf16(std::get<const char16_t *>(row.def));
                else if constexpr (std::is_same_v<Fn, typename TLayoutRow<R>::EnumField>)
                    f.set(rec, int32_t(std::get<int64_t>(row.def)));
            },
            row.field);
    }
}

// savedPPI: the density of the scaled values in the file (read before them).
template <typename R>
bool ReadRows(TDataFile &df, const std::vector<TLayoutRow<R>> &layout, R &rec, int version, size_t first = 0,
              const int32_t *savedPPI = nullptr)
{
    using Row = TLayoutRow<R>;
    for (size_t n = first; n < layout.size(); ++n) {
        const Row &row = layout[n];
        if (!row.heldBy(version))
            continue;
        switch (row.kind) {
        case Row::Blank:
        case Row::Text: {
            const QString s = df.RdStr();
            if (auto f = std::get_if<QString &(*)(R &)>(&row.field))
                (*f)(rec) = s;
            break;
        }
        case Row::Bool: {
            const bool v = df.RdBool();
            if (auto f = std::get_if<bool &(*)(R &)>(&row.field))
                (*f)(rec) = v;
            break;
        }
        case Row::Int: {
            const int64_t v = df.RdNum(row.min, row.max);
            if (auto f = std::get_if<int32_t &(*)(R &)>(&row.field))
                (*f)(rec) = Scaled(row, v, savedPPI ? *savedPPI : 96);
            else if (auto m = std::get_if<typename Row::EnumField>(&row.field))
                m->set(rec, int32_t(v));
            break;
        }
        case Row::Real: {
            const int64_t v = df.RdNum(1, 0);
            if (auto f = std::get_if<double &(*)(R &)>(&row.field))
                (*f)(rec) = double(v) / 1000000.0;
            break;
        }
        case Row::Section:
            if (!row.read(df, rec))
                return false;
            break;
        }
    }
    return df.ErrCode == 0;
}

template <typename R>
bool WriteRows(TDataFile &df, const std::vector<TLayoutRow<R>> &layout, R &rec)
{
    using Row = TLayoutRow<R>;
    for (const Row &row : layout) {
        if (!row.heldBy(Latest))
            continue;
        switch (row.kind) {
        case Row::Blank: df.WrStr(QString()); break;
        case Row::Text: df.WrStr(std::get<QString &(*)(R &)>(row.field)(rec)); break;
        case Row::Bool: df.WrBool(std::get<bool &(*)(R &)>(row.field)(rec)); break;
        case Row::Int:
            df.WrNum(row.scale == Row::WritesPPI           ? CurrentPPI
                         : row.scale == Row::WritesVersion ? Latest
                         : std::holds_alternative<typename Row::EnumField>(row.field)
                         ? std::get<typename Row::EnumField>(row.field).get(rec)
                         : std::get<int32_t &(*)(R &)>(row.field)(rec));
            break;
        case Row::Real: df.WrNum(std::llround(std::get<double &(*)(R &)>(row.field)(rec) * 1000000.0)); break;
        case Row::Section:
            if (!row.write(df, rec))
                return false;
            break;
        }
        if (df.ErrCode != 0)
            return false;
    }
    return true;
}

// ---- sections of the settings --------------------------------------------------------------

bool ReadPdfColors(TDataFile &df, TPrefer &) { return ReadPdfColorSets(df); }
bool WritePdfColors(TDataFile &df, TPrefer &) { return WritePdfColorSets(df); }
bool ReadMenuColors(TDataFile &df, TPrefer &) { return ReadMenuColorSets(df); }
bool WriteMenuColors(TDataFile &df, TPrefer &) { return WriteMenuColorSets(df); }

bool ReadToolbar(TDataFile &df, TPrefer &) { return ToolbarDefinition.ReadItems(df); }
bool WriteToolbar(TDataFile &df, TPrefer &) { return ToolbarDefinition.WriteItems(df); }
void DefaultToolbar(TPrefer &) { ToolbarDefinition.LoadDefault(); }

// The document manager's geometry: density, width, height and three column widths.
int32_t *DocMgrValues(TDocMgrGeometry &g, int n)
{
    int32_t *values[6] = {&g.PixelsPerInch,  &g.Width,          &g.Height,
                          &g.ColumnWidth[0], &g.ColumnWidth[1], &g.ColumnWidth[2]};
    return values[n];
}
constexpr int64_t DocMgrMax[6] = {999999, 99999, 99999, 9999, 9999, 9999};

bool ReadDocMgrGeometry(TDataFile &df, TPrefer &)
{
    TDocMgrGeometry g;
    for (int n = 0; n < 6; ++n)
        *DocMgrValues(g, n) = int32_t(df.RdNum(0, DocMgrMax[n]));
    if (df.ErrCode != 0)
        return false;
    DocMgrGeometry = g;
    return true;
}

bool WriteDocMgrGeometry(TDataFile &df, TPrefer &)
{
    for (int n = 0; n < 6; ++n)
        df.WrNum(*DocMgrValues(DocMgrGeometry, n));
    return df.ErrCode == 0;
}

void DefaultDocMgrGeometry(TPrefer &) { DocMgrGeometry = TDocMgrGeometry(); }

// The recent list: capacity, count (bounded by the capacity), then the entries.
bool ReadRecentList(TDataFile &df, TPrefer &p)
{
    const int version = p.DataVersion;
    p.MaxListLen = int32_t(df.RdNum(0, 999));
    if (df.ErrCode != 0)
        return false;
    p.DocList = QList<TDocInfo>(p.MaxListLen + 1);
    p.DocListCount = int32_t(df.RdNum(0, p.MaxListLen));
    for (int32_t n = 0; n < p.DocListCount; ++n) {
        if (!ReadRows(df, DocInfoLayout(), p.DocList[n], version)) {
            DebugLog(QStringLiteral("Filelist Error: ") + QString::number(p.DocListCount) + QStringLiteral(" at ")
                     + QString::number(n));
            p.DocListCount = n;
            return false;
        }
    }
    return df.ErrCode == 0;
}

bool WriteRecentList(TDataFile &df, TPrefer &p)
{
    df.WrNum(p.MaxListLen);
    if (p.DocListCount < 0 || p.DocListCount >= p.DocList.size()) {
        df.WrNum(0);
        return false;
    }
    df.WrNum(p.DocListCount);
    for (int32_t n = 0; n < p.DocListCount; ++n)
        if (!WriteRows(df, DocInfoLayout(), p.DocList[n]))
            return false;
    return df.ErrCode == 0;
}

void DefaultRecentList(TPrefer &p)
{
    p.MaxListLen = 99;
    p.DocListCount = 0;
    p.DocList = QList<TDocInfo>(p.MaxListLen + 1);
}

// ---- the settings layout, version 21, with the lines older layouts held ----------------------

constexpr const char16_t *InverseSearchDefault = u"Orvale.exe \"[Open(|%f|);SelPar(%l,8);]\"";
constexpr const char16_t *AdobeCmdDefault = u"/A \"page=%p&pagemode=none\" \"%f\"";
constexpr const char16_t *NewInstanceDefault =
    u"-V -C=\" \u2764 OrvalePDF\" -L=\"%b\\OrvalePDF2.dat\"%%-B --page-index %p \"%f\"";

// A theme preset; below version 16 it held one more flag and two more numbers.
template <size_t N>
void PresetRows(TRows<TPrefer> &t, int32_t mode)
{
    using Row = TLayoutRow<TPrefer>;
    t.blank(14)
        .i(F(ColThemes[N].ThemeModeIndex), mode, 14)
        .i(F(ColThemes[N].RenderModeIndex), mode, 14)
        .b(F(ColThemes[N].RenderGray), false, 14)
        .drop(Row::Bool, 14, 15)
        .b(F(ColThemes[N].blendEnabled), false, 14)
        .drop(Row::Int, 14, 15, 2);
}

const std::vector<TLayoutRow<TPrefer>> &PreferLayout()
{
    using Row = TLayoutRow<TPrefer>;
    using P = TPrefer;
    static const std::vector<Row> layout = [&] {
        TRows<P> t;
        t.i(F(DataVersion), Latest, 0, Latest, 0, Latest, Row::WritesVersion)
            .blank()
            .s(F(FontName), u"Segoe UI", 9)
            .i(F(FontSize), 9, 9)
            .i(F(FontSizeTenths), 0, 9)
            .drop(Row::Text, 9, 19, 3)
            .b(F(CustomMenuDraw), false, 20)
            .i(F(LargeIcons), 16, 9)
            .i(F(SmallIcons), 16, 9)
            .i(F(ToolbarHeight), 26, 9)
            .i(F(TabsHeight), 18, 9)
            .i(F(StatusHeight), 16, 9)
            .i(F(PageGap), 4, 17)
            .b(F(DocDlgDestinations), false, 15)
            .i(F(MeasureUnit), 0, 1)
            .b(F(SDInterface), false)
            .b(F(RenderToBitmap), true, 18)
            .b(F(ShowScrollbars), false)
            .b(F(ShowStatusLine), false)
            .b(F(ShowToolbar), true)
            .b(F(ShowTabs), true)
            .b(F(AutoHideTabs), true)
            .b(F(PDFMemory), true, 3)
            .b(F(UseTimer), true, 4)
            // Themes: version 13 kept only the interface theme mode here.
            .i(F(ThemeModeIndex), 0, 13, 13)
            .blank(14)
            .b(F(ShowThemesMenu), true, 14)
            .drop(Row::Int, 14, 16)
            .i(F(ThemeSelector), 0, 14);
        PresetRows<0>(t, 0);
        PresetRows<1>(t, 1);
        t.i(F(ThemeModeIndex), 0, 17)
            .i(F(RenderModeIndex), 0, 17)
            .b(F(RenderGray), false, 17)
            .b(F(blendEnabled), false, 17)
            .blank(14)
            .section(ReadPdfColors, WritePdfColors, nullptr, 17)
            .section(ReadMenuColors, WriteMenuColors, nullptr, 21)
            .s(F(MaxTabString), u"A very long filename.pdf")
            .drop(Row::Int, 0, 8)
            .b(F(TabHints), true)
            .b(F(CustomTabDrawing), true)
            .b(F(TabFiletypes), false)
            .i(F(CustomTabs), 1)
            .blank()
            // Up to version 13 the render settings in force followed here.
            .drop(Row::Bool, 0, 13)
            .b(F(blendEnabled), false, 0, 13)
            .drop(Row::Int, 0, 13, 2)
            .i(F(RenderModeIndex), 0, 12, 13)
            .b(F(RenderGray), false, 12, 13)
            .i(F(PrintZoomMode), 2)
            .s(F(PrintZoom), u"100", 10)
            .b(F(PrintCenter), true)
            .b(F(PrintOffset), false)
            .b(F(PrintAutoOrient), true)
            .blank()
            .b(F(AllowPanning), true)
            .b(F(UseThreads), true)
            .b(F(DblClickClose), false, 2)
            .b(F(PersistentFS), false, 11)
            .blank()
            .b(F(FindCaseSensitive), false)
            .b(F(FindWholeWords), false)
            .b(F(FindOption3), true)
            .drop(Row::Bool, 0, 15)
            .drop(Row::Text, 0, 15)
            .blank()
            .s(F(InverseSearchCmd), InverseSearchDefault)
            .blank()
            .i(F(ZoomMode), 1)
            .r(F(Zoom), 100.0)
            .b(F(ZoomAuto), true)
            .b(F(ZoomMenu), false)
            .s(F(ZoomMenuValues), u"400,300,200,100,50")
            .blank()
            .i(F(Rotate), 0)
            .e(E(PageView), TPageViewMode::Single)
            .b(F(AllowScrolling), true)
            .b(F(RenderAnnot), true)
            .b(F(FrameLinks), true)
            .b(F(ShowBookmarks), true)
            .b(F(TrackBookmarks), true)
            .blank()
            .b(F(AdobeOK), false)
            .s(F(AdobeReg), u"%HKCR\\Software\\Adobe\\Acrobat\\Exe")
            .s(F(AdobeExe), u"")
            .s(F(AdobeCmd), AdobeCmdDefault)
            .s(F(AdobeMenu), u"Open in Adobe...")
            .s(F(AdobeShortcut), u"Ctrl+Alt+O")
            .b(F(AdobeInMenu), true)
            .b(F(AdobeInToolbar), false)
            .blank()
            .s(F(NewInstanceCmd), NewInstanceDefault, 19)
            .section(ReadToolbar, WriteToolbar, DefaultToolbar, 5)
            .i(F(SavedPPI), 96, 0, Latest, 1, 0, Row::WritesPPI)
            .i(F(BookmarksWidth), 256, 0, Latest, 1, 0, Row::ByPPI)
            .i(F(WindowRect.Top), 0, 0, Latest, 1, 0, Row::ByPPI)
            .i(F(WindowRect.Left), 0, 0, Latest, 1, 0, Row::ByPPI)
            .i(F(WindowRect.Bottom), 600, 0, Latest, 1, 0, Row::ByPPI)
            .i(F(WindowRect.Right), 800, 0, Latest, 1, 0, Row::ByPPI)
            .b(F(StartMaximized), false)
            .b(F(Maximized), true)
            .blank()
            .section(ReadDocMgrGeometry, WriteDocMgrGeometry, DefaultDocMgrGeometry)
            .blank()
            .b(F(RememberDoc), true)
            .e(E(RestoreOpened), TRestoreOpened::Always)
            .section(ReadRecentList, WriteRecentList, DefaultRecentList);
        return t.rows;
    }();
    return layout;
}

#undef F

} // namespace

TPrefer::TPrefer()
{
    SetDefaults(PreferLayout(), *this, false);
    DefaultRecentList(*this);
    TabColors = {RgbColor(0xAA0000), RgbColor(0xFFAAAA), clNone,
                 RgbColor(0x880000), RgbColor(0xF4F4F4), RgbColor(0x444444),
                 RgbColor(0xB0D0E3), RgbColor(0x202020), RgbColor(0xD4E4F4),
                 RgbColor(0x282828), RgbColor(0xA2C2DC), RgbColor(0x080808),
                 RgbColor(0x99DDBB), RgbColor(0x000088)};
}

void LoadPreferDefaults(TPrefer &p)
{
    p = TPrefer();
    SetDefaults(PreferLayout(), p, true);
}

bool ReadPrefer(TDataFile &df, TPrefer &p)
{
    p.DataVersion = int32_t(df.RdNum(0, Latest));
    if (df.ErrCode != 0)
        return false;
    const int version = p.DataVersion;
    if (!ReadRows(df, PreferLayout(), p, version, 1, &p.SavedPPI))
        return false;

    if (p.ThemeSelector < 0 || p.ThemeSelector > 1) {
        DebugLog(QStringLiteral("Read Data Theme Index: ") + QString::number(p.ThemeSelector));
        p.ThemeSelector = 0;
    }
    if (version >= 14 && version < 17) {
        // The values in force were not stored: the selected preset gives them.
        const TColTheme &preset = p.ColThemes[size_t(p.ThemeSelector)];
        p.ThemeModeIndex = preset.ThemeModeIndex;
        p.RenderModeIndex = preset.RenderModeIndex;
        p.RenderGray = preset.RenderGray;
        p.blendEnabled = preset.blendEnabled;
    }
    if (version < 17) {
        p.RenderAnnot = true;
        for (int32_t n = 0; n < p.DocListCount; ++n)
            p.DocList[n].RenderAnnot = true;
    }
    return true;
}

bool WritePrefer(TDataFile &df, TPrefer &p) { return WriteRows(df, PreferLayout(), p); }
