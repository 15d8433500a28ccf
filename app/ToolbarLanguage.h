#pragma once
// The toolbar's definition language without widgets: item lines parsed into items, the
// whole text compiled, the flag letters applied to the priorities, and the row trimmed by
// whole priority levels for a given strip width. The toolbar window builds its buttons from
// the result; everything here runs without an application object.
#include <QString>
#include <QStringList>

class QFontMetrics;

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum class TToolbarItemKind : uint8_t { Button, Separator, Control };

// The eight controls of the toolbar strip, in the order of the name table.
enum class TToolbarControl : uint8_t {
    PageLabel,
    PageGoto,
    PageCount,
    ZoomLabel,
    Zoom,
    FindLabel,
    FindString,
    FoundCount
};
constexpr int ToolbarControlCount = 8;

// Where a log line goes; the program passes its debug log.
using TToolbarLog = std::function<void(const QString &)>;

struct TXToolbarItem {
    TToolbarItemKind xtype = TToolbarItemKind::Button;
    int priority = 0; // 0..9, or -1 while the flag letter excludes the item
    QChar flt = u' '; // flag letter; blank for none
    QString name;     // as written; "|" for a separator
    QString extra;    // first quoted string
    QString caption;  // second quoted string
    bool hasExtra = false;
    bool hasCaption = false;
    int fltprior = 0;                                     // the digit as written
    bool vis = false;                                     // shown after the last trim
    TToolbarControl control = TToolbarControl::PageLabel; // for a control
};

class TToolbarLanguage {
public:
    static constexpr int MaxItems = 256;

    // The command words a button line may name (the toolbar column of the command table).
    static const QStringList &CommandNames();
    static const QStringList &ControlNames();
    static std::optional<TToolbarControl> ControlOf(const QString &name);

    // One line that starts with a digit: nothing when it has no name (logged) or a name in
    // neither table (silently).
    static std::optional<TXToolbarItem> ParseItem(const QString &line, const TToolbarLog &log);
    // Every line in order: items, separators (never two in a row), comments, ignored lines
    // (logged); at most 256 items. The flags are not applied yet.
    static std::vector<TXToolbarItem> Compile(const QStringList &lines, const TToolbarLog &log);
    // The priorities of flagged items from the two settings; whether any item has a flag.
    static bool FixPriority(std::vector<TXToolbarItem> &items, bool searchToolbar, bool adobeInToolbar);
};

// The strip and its buttons at ppi pixels per inch, for the settings' toolbar height and large
// image size (both at 96 per inch), the main font's text height and the image width.
struct TToolbarGeometry {
    int stripHeight = 0;
    int buttonTop = 0;
    int buttonHeight = 0;
    int buttonWidth = 0;
    static TToolbarGeometry Of(int ppi, int toolbarHeight, int largeIcons, int textHeight, int imageWidth);
};

// The width a control's first string asks for, in the main font: a combo box adds room for
// its arrow; an edit and a label take the text's width.
enum class TToolbarControlKind : uint8_t { Label, Edit, ComboBox };
TToolbarControlKind ControlKindOf(TToolbarControl control);
int ToolbarControlWidth(TToolbarControl control, const QString &extra, const QFontMetrics &font, int ppi);

// The trim's measures, in pixels at ppi pixels per inch.
struct TToolbarMetrics {
    int ppi = 96;
    int buttonWidth = 0;
    int stripWidth = 0;
    std::vector<int> controlWidths; // per item; read for controls only
};

struct TToolbarPlacement {
    int threshold = 9;
    // Per item: the left edge when shown (a separator: its line), nothing when hidden.
    std::vector<std::optional<int>> left;
    int rowWidth = 0; // the right end of the row at the threshold
};

// The lowest priority threshold whose row fits the strip (9 in any case) and each shown
// item's left edge; updates the items' vis.
TToolbarPlacement TrimToolbarItems(std::vector<TXToolbarItem> &items, const TToolbarMetrics &metrics);
