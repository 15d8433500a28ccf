#include "ui/PreferDlg.h"

#include "base/AppState.h"
#include "base/MessageDialog.h"
#include "base/NumberParse.h"
#include "engine/QPDF.h"
#include "app/Placement.h"
#include "settings/Colors.h"
#include "settings/DocMgrGeometry.h"
#include "settings/PreferStore.h"
#include "settings/ToolbarDefinition.h"
#include "shell/ExternalPrograms.h"
#include "ui/ClientForm.h"
#include "ui/DocTabs.h"
#include "ui/MainForm.h"
#include "ui/ScrollForm.h"
#include "ui/StatusLine.h"
#include "ui/ThemeCommands.h"
#include "ui/style/DarkFlag.h"
#include "ui/style/Themes.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The document colours as the Colors page lists them, with the index of each in the sets.
struct TColorEntry {
    const char *caption;
    TQPDFColor color;
};
const TColorEntry kColorEntries[] = {
    {"Color Range", cc_ColorRange},   {"Text Selection", cc_TextSelect},    {"Found Strings", cc_FoundStrings},
    {"Found String", cc_FoundString}, {"Forward Search", cc_ForwardSearch}, {"Origin Marker", cc_Origin},
    {"App Workspace", cc_Workspace},  {"Bookmarks Tree", cc_Tree},
};

QString HexText(int32_t color)
{
    const uint32_t c = color >= 0 && color <= 0xFFFFFF ? uint32_t(color) : 0u;
    return QStringLiteral("#%1")
        .arg(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF), 6, 16, QLatin1Char('0'))
        .toUpper();
}

int32_t HexColor(const QString &text)
{
    const QString t = text.trimmed();
    if (t.size() != 7 || !t.startsWith(QLatin1Char('#')))
        return clNone;
    return ColorFromText(t);
}

template <typename W>
W *Named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QCheckBox *Check(QLayout *layout, const char *name, const char *caption)
{
    auto *c = Named(new QCheckBox(QString::fromUtf8(caption)), name);
    layout->addWidget(c);
    return c;
}

QRadioButton *Radio(QLayout *layout, QButtonGroup *group, const char *name, const char *caption)
{
    auto *r = Named(new QRadioButton(QString::fromUtf8(caption)), name);
    layout->addWidget(r);
    group->addButton(r);
    return r;
}

QLineEdit *Edit(QFormLayout *form, const char *name, const char *caption)
{
    auto *e = Named(new QLineEdit, name);
    form->addRow(QString::fromUtf8(caption), e);
    return e;
}

// Average of a direction pair weighted by the monitor's width and height, rounded.
int Weighted(double x, double y, int w, int h) { return w + h > 0 ? int(std::lround((x * w + y * h) / (w + h))) : 0; }

// Fonts whose name starts with a capital A to Z, as the desktop lists them.
QStringList ScreenFonts()
{
    QStringList out;
    for (const QString &f : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(f) && !f.isEmpty() && f[0] >= QLatin1Char('A') && f[0] <= QLatin1Char('Z'))
            out << f;
    return out;
}

// The look of a document colour: two pages on the workspace for the workspace, a few
// bookmarks for the tree, else a line of page text with a selected string, the origin "+"
// and a measuring marker, in the colours of the shown set (a dark page for the Dark Mode set).
QPixmap ColorSamplePixmap(const TQPDFColors &set, TQPDFColor entry, bool darkMode, QSize size)
{
    const auto color = [&](TQPDFColor c, bool second) {
        const QColor v = ToQColor(second ? set[c].W : set[c].B);
        return v.isValid() ? v : QColor(Qt::gray);
    };
    QPixmap pm(size);
    QPainter p(&pm);
    const QRect r(QPoint(0, 0), size);
    if (entry == cc_Workspace) {
        const QRect halves[2] = {QRect(0, 0, r.width() / 2, r.height()),
                                 QRect(r.width() / 2, 0, r.width() - r.width() / 2, r.height())};
        const char *const names[2] = {"Dark Theme", "Light Theme"};
        for (int i = 0; i < 2; ++i) {
            p.fillRect(halves[i], color(cc_Workspace, i == 1));
            const QRect page = halves[i].adjusted(halves[i].width() / 4, 8, -halves[i].width() / 4, -22);
            p.fillRect(page, darkMode ? Qt::black : Qt::white);
            p.setPen(i == 0 ? QColor(Qt::white) : QColor(Qt::black));
            p.drawText(halves[i].adjusted(0, 0, 0, -4), Qt::AlignHCenter | Qt::AlignBottom, QLatin1String(names[i]));
        }
        return pm;
    }
    if (entry == cc_Tree) {
        p.fillRect(r, color(cc_Tree, true));
        p.setPen(color(cc_Tree, false));
        const QFontMetrics fm(p.font());
        const char *const lines[] = {"\u276F Introduction", "\u2304 Chapter", "     Section", "     Section"};
        int y = 4 + fm.ascent();
        for (const char *line : lines) {
            p.drawText(6, y, QString::fromUtf8(line));
            y += fm.height() + 2;
        }
        return pm;
    }
    const QColor paper = darkMode ? QColor(Qt::black) : QColor(Qt::white);
    const QColor ink = darkMode ? QColor(Qt::white) : QColor(Qt::black);
    p.fillRect(r, entry == cc_ColorRange ? color(cc_ColorRange, true) : paper);
    const QFontMetrics fm(p.font());
    const QString before = QStringLiteral("Sample "), selected = QStringLiteral("selected"),
                  after = QStringLiteral(" text");
    const int y = r.height() / 2;
    const int x0 = 8, x1 = x0 + fm.horizontalAdvance(before), x2 = x1 + fm.horizontalAdvance(selected);
    if (entry != cc_ColorRange && entry != cc_Origin)
        p.fillRect(QRect(x1, y - fm.ascent(), x2 - x1, fm.height()), color(entry, !darkMode));
    p.setPen(entry == cc_ColorRange ? color(cc_ColorRange, false) : ink);
    p.drawText(x0, y, before + selected + after);
    // The origin and a measuring marker from it.
    const QPoint origin(r.width() - 24, r.height() - 14);
    p.setPen(QPen(color(cc_Origin, false), 1));
    p.drawLine(origin - QPoint(5, 0), origin + QPoint(5, 0));
    p.drawLine(origin - QPoint(0, 5), origin + QPoint(0, 5));
    p.drawLine(origin, origin + QPoint(-40, -12));
    return pm;
}

} // namespace

QString MonitorLine(const QScreen *screen, int currentPPI)
{
    if (!screen)
        return QString();
    const QSize size = screen->geometry().size();
    const int effective =
        Weighted(screen->logicalDotsPerInchX(), screen->logicalDotsPerInchY(), size.width(), size.height());
    const int raw = screen->physicalSize().isEmpty()
        ? effective
        : Weighted(screen->physicalDotsPerInchX(), screen->physicalDotsPerInchY(), size.width(), size.height());
    return QStringLiteral("Monitor: %1 x %2  @  %3 / %4 dpi  (%5%)")
        .arg(size.width())
        .arg(size.height())
        .arg(raw)
        .arg(effective)
        .arg(currentPPI * 100 / 96);
}

std::array<QColor, 16> BasicColors()
{
    return {QColor(Qt::black), QColor(0x800000), QColor(0x008000), QColor(0x808000), QColor(0x000080), QColor(0x800080),
            QColor(0x008080),  QColor(0x808080), QColor(0xC0C0C0), QColor(0xFF0000), QColor(0x00FF00), QColor(0xFFFF00),
            QColor(0x0000FF),  QColor(0xFF00FF), QColor(0x00FFFF), QColor(0xFFFFFF)};
}

TPreferDlg::TPreferDlg(TMainForm &form) : QDialog(form.DialogParent()), Form(form)
{
    setObjectName(QStringLiteral("PreferDlg"));
    setWindowTitle(QStringLiteral("Preferences"));
    setModal(true);
    auto *layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    // Every page's tab in sight: the dialog grows with the interface font instead.
    Pages->tabBar()->setUsesScrollButtons(false);
    layout->addWidget(Pages);
    CreateDocuments();
    CreateDefaults();
    CreateThemes();
    CreateColors();
    CreateInterface();
    CreateToolbar();
    CreateAdobe();
    CreateAdvanced();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply);
    buttons->button(QDialogButtonBox::Apply)->setText(QStringLiteral("&Apply"));
    buttons->button(QDialogButtonBox::Apply)->setObjectName(QStringLiteral("btnApply"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        StoreAll();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] {
        RefreshFontSample();
        StoreAll();
    });
    LoadAll();
}

TPreferDlg::~TPreferDlg() = default;

void TPreferDlg::ExecuteLater(TMainForm &form)
{
    QTimer::singleShot(0, &form, [&form] { Execute(form); });
}

bool TPreferDlg::Execute(TMainForm &form)
{
    TPreferDlg dlg(form);
    dlg.adjustSize();
    const QRect main = form.geometry();
    dlg.move(main.center() - QPoint(dlg.width() / 2, dlg.height() / 2));
    return dlg.exec() == QDialog::Accepted;
}

// ---- Pages ---------------------------------------------------------------------------------

void TPreferDlg::CreateDocuments()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    v->addLayout(form);
    edMaxListLen = Edit(form, "edMaxListLen", "Max. Recent Files List Length:");
    auto *group = new QButtonGroup(page);
    rbRestoreAlways = Radio(v, group, "rbRestoreAlways", "Always Restore Opened Files on Startup");
    rbRestoreSmart = Radio(v, group, "rbRestoreSmart", "Smart Restore (only when the command line is empty)");
    rbRestoreNever = Radio(v, group, "rbRestoreNever", "Never Restore Opened Files on Startup");
    cbRememberDoc = Check(v, "cbRememberDoc", "Remember Document Properties  (Position, View, Zoom ...)");
    cbSDInterface = Check(v, "cbSDInterface", "Single Document Interface (allow only one opened document)");
    cbAutoHideTabs = Check(v, "cbAutoHideTabs", "Hide Document Tabs  (when they are not needed)");
    cbCustomTabs = Check(v, "cbCustomTabs", "Use Close Document Tab Icon");
    cbTabFiletypes = Check(v, "cbTabFiletypes", "Show Filetypes  (.pdf)");
    auto *tabForm = new QFormLayout;
    v->addLayout(tabForm);
    edMaxTabString = Edit(tabForm, "edMaxTabString", "Max. Tab String:");
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Documents"));
}

void TPreferDlg::CreateDefaults()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    cbContinuous = Check(v, "cbContinuous", "Continuous View");
    cbFrameLinks = Check(v, "cbFrameLinks", "Render Link Frames");
    cbRenderAnnot = Check(v, "cbRenderAnnot", "Render Annotations");
    cbShowBookmarks = Check(v, "cbShowBookmarks", "Show Bookmarks");
    cbTrackBookmarks = Check(v, "cbTrackBookmarks", "Track Bookmarks");
    auto *layoutGroup = new QButtonGroup(page);
    rbSinglePage = Radio(v, layoutGroup, "rbSinglePage", "Single Page View");
    rbDoublePage = Radio(v, layoutGroup, "rbDoublePage", "Double Page View");
    rbBookView = Radio(v, layoutGroup, "rbBookView", "Book View");
    auto *zoomGroup = new QButtonGroup(page);
    rbActualSize = Radio(v, zoomGroup, "rbActualSize", "Actual Size");
    rbFitWidth = Radio(v, zoomGroup, "rbFitWidth", "Fit Width");
    rbFitPage = Radio(v, zoomGroup, "rbFitPage", "Fit Page");
    auto *custom = new QHBoxLayout;
    v->addLayout(custom);
    rbCustomZoom = Radio(custom, zoomGroup, "rbCustomZoom", "Custom Zoom:");
    edZoom = Named(new QLineEdit, "edZoom");
    custom->addWidget(edZoom);
    auto *menu = new QHBoxLayout;
    v->addLayout(menu);
    cbZoomMenu = Check(menu, "cbZoomMenu", "Zoom Menu Values List:");
    edZoomMenu = Named(new QLineEdit, "edZoomMenu");
    menu->addWidget(edZoomMenu);
    cbZoomAuto = Check(v, "cbZoomAuto", "Automatic Initial Zoom");
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Defaults"));
}

void TPreferDlg::CreateThemes()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *selector = new QFormLayout;
    v->addLayout(selector);
    cbTheme = Named(new QComboBox, "cbTheme");
    cbTheme->addItems({QStringLiteral("Light Theme"), QStringLiteral("Dark Theme")});
    selector->addRow(QStringLiteral("Theme Selector"), cbTheme);
    auto *controls = new QGroupBox(QStringLiteral("Controls Theme"));
    auto *cv = new QVBoxLayout(controls);
    auto *controlsGroup = new QButtonGroup(page);
    // The desktop's look is the system's default here.
    rbWindowsDefault = Radio(cv, controlsGroup, "rbWindowsDefault", "System Default");
    rbDarkControls = Radio(cv, controlsGroup, "rbDarkControls", "Dark Controls");
    rbLightControls = Radio(cv, controlsGroup, "rbLightControls", "Light Controls");
    v->addWidget(controls);
    auto *render = new QGroupBox(QStringLiteral("Renderer Mode"));
    auto *rv = new QVBoxLayout(render);
    auto *renderGroup = new QButtonGroup(page);
    rbNormalMode = Radio(rv, renderGroup, "rbNormalMode", "Normal Mode");
    rbInvertBrightness = Radio(rv, renderGroup, "rbInvertBrightness", "Invert Brightness");
    rbInvertRGB = Radio(rv, renderGroup, "rbInvertRGB", "Invert RGB Values");
    v->addWidget(render);
    cbColorRange = Check(v, "cbColorRange", "Use Custom Color Range when rendering PDF to screen");
    cbRenderGray = Check(v, "cbRenderGray", "Render PDF Pages in gray shades (ignore PDF colors)");
    cbShowThemesMenu = Check(v, "cbShowThemesMenu", "Show Themes Menu");
    auto *def = Named(new QPushButton(QStringLiteral("Default")), "btnThemesDefault");
    v->addWidget(def, 0, Qt::AlignRight);
    connect(def, &QPushButton::clicked, this, &TPreferDlg::ThemesDefault);
    connect(cbTheme, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index == ShownTheme || index < 0)
            return;
        StoreShownTheme();
        ShownTheme = index;
        LoadShownTheme();
    });
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Themes"));
}

void TPreferDlg::CreateColors()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    ColorStack = new QStackedWidget;
    v->addWidget(ColorStack);
    // The list with its editors.
    auto *editor = new QWidget;
    auto *h = new QHBoxLayout(editor);
    auto *left = new QVBoxLayout;
    h->addLayout(left);
    left->addWidget(new QLabel(QStringLiteral("PDF Colors")));
    lbColors = Named(new QListWidget, "lbColors");
    for (const TColorEntry &e : kColorEntries)
        lbColors->addItem(QString::fromLatin1(e.caption));
    left->addWidget(lbColors);
    auto *right = new QFormLayout;
    h->addLayout(right);
    cbMode = Named(new QComboBox, "cbMode");
    cbMode->addItems({QStringLiteral("Light Mode"), QStringLiteral("Dark Mode")});
    right->addRow(QStringLiteral("Mode Selector:"), cbMode);
    const auto colorRow = [&](const char *name, const char *caption, bool second) {
        auto *row = new QHBoxLayout;
        auto *edit = Named(new QLineEdit, name);
        auto *pick = Named(new QPushButton(QStringLiteral("...")), second ? "btnRGBWhite" : "btnRGBBlack");
        row->addWidget(edit);
        row->addWidget(pick);
        auto *label = new QLabel(QString::fromUtf8(caption));
        label->setBuddy(edit);
        right->addRow(label, row);
        connect(pick, &QPushButton::clicked, this, [this, second] { PickColor(second); });
        return edit;
    };
    edRGBBlack = colorRow("edRGBBlack", "&Dark RGB:", false);
    edRGBWhite = colorRow("edRGBWhite", "&Light  RGB:", true);
    auto *update = Named(new QPushButton(QStringLiteral("&Update")), "btnUpdate");
    right->addRow(update);
    ColorSample = Named(new QLabel, "ColorSample");
    ColorSample->setMinimumSize(Scaled(160), Scaled(90));
    right->addRow(ColorSample);
    auto *edit = Named(new QPushButton(QStringLiteral("Edit Colors")), "btnEditColors");
    auto *def = Named(new QPushButton(QStringLiteral("Default")), "btnColorsDefault");
    right->addRow(edit);
    right->addRow(def);
    ColorStack->addWidget(editor);
    // The text of every colour.
    auto *textPage = new QWidget;
    auto *tv = new QVBoxLayout(textPage);
    MemoColors = Named(new QPlainTextEdit, "MemoColors");
    MemoColors->setLineWrapMode(QPlainTextEdit::NoWrap);
    tv->addWidget(MemoColors);
    auto *row = new QHBoxLayout;
    auto *import = Named(new QPushButton(QStringLiteral("Import Colors")), "btnImportColors");
    auto *close = Named(new QPushButton(QStringLiteral("Close")), "btnCloseColors");
    row->addWidget(import);
    row->addWidget(close);
    tv->addLayout(row);
    ColorStack->addWidget(textPage);

    const auto reshow = [this](int listIndex, int mode) {
        if (!StoreShownColor())
            return;
        ShownColor = listIndex < 0 ? ShownColor : listIndex;
        ShownMode = mode < 0 ? ShownMode : mode;
        LoadShownColor();
    };
    connect(lbColors, &QListWidget::currentRowChanged, this, [reshow](int row) { reshow(row, -1); });
    connect(cbMode, &QComboBox::currentIndexChanged, this, [reshow](int mode) { reshow(-1, mode); });
    connect(update, &QPushButton::clicked, this, [reshow] { reshow(-1, -1); });
    connect(edit, &QPushButton::clicked, this, &TPreferDlg::EditColors);
    connect(def, &QPushButton::clicked, this, &TPreferDlg::ColorsDefault);
    connect(import, &QPushButton::clicked, this, &TPreferDlg::ImportColorsText);
    connect(close, &QPushButton::clicked, this, [this] { ColorStack->setCurrentIndex(0); });
    Pages->addTab(page, QStringLiteral("Colors"));
}

void TPreferDlg::CreateInterface()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *font = new QHBoxLayout;
    v->addLayout(font);
    font->addWidget(new QLabel(QStringLiteral("Main Font")));
    edFontMain = Named(new QComboBox, "edFontMain");
    edFontMain->addItems(ScreenFonts());
    edFontMain->setEditable(true);
    font->addWidget(edFontMain, 1);
    edFontMainSize = Named(new QComboBox, "edFontMainSize");
    edFontMainSize->setEditable(true);
    for (int n = 7; n <= 16; ++n)
        edFontMainSize->addItem(QString::number(n));
    font->addWidget(edFontMainSize);
    edFontMainEx = Named(new QComboBox, "edFontMainEx");
    edFontMainEx->setEditable(true);
    for (int n = 0; n <= 9; ++n)
        edFontMainEx->addItem(QString::number(n));
    font->addWidget(edFontMainEx);
    lbFontSample = Named(new QLabel(QStringLiteral("AaBbCc XxYyZz 0123456789")), "lbFontSample");
    v->addWidget(lbFontSample);
    cbCustomMenuDraw = Check(v, "cbCustomMenuDraw", "Custom Menu Draw");
    auto *icons = new QGroupBox(QStringLiteral("Icons (at 96dpi): [10..99px]"));
    auto *iconForm = new QFormLayout(icons);
    edLargeIcons = Edit(iconForm, "edLargeIcons", "Large (Toolbar) Icons:");
    edSmallIcons = Edit(iconForm, "edSmallIcons", "Small Icons:");
    v->addWidget(icons);
    auto *heights = new QGroupBox(QStringLiteral("Height (at 96dpi): [10..99px]"));
    auto *heightForm = new QFormLayout(heights);
    edToolbarHeight = Edit(heightForm, "edToolbarHeight", "Toolbar:");
    edTabsHeight = Edit(heightForm, "edTabsHeight", "Document Tabs:");
    edStatusHeight = Edit(heightForm, "edStatusHeight", "Status Line:");
    v->addWidget(heights);
    auto *gap = new QFormLayout;
    v->addLayout(gap);
    edPageGap = Edit(gap, "edPageGap", "Page Separator Gap: ");
    edMonitor = Named(new QLineEdit, "edMonitor");
    edMonitor->setReadOnly(true);
    v->addWidget(edMonitor);
    auto *def = Named(new QPushButton(QStringLiteral("Default")), "btnInterfaceDefault");
    v->addWidget(def, 0, Qt::AlignRight);
    connect(def, &QPushButton::clicked, this, &TPreferDlg::InterfaceDefault);
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Interface"));
}

void TPreferDlg::CreateToolbar()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    MemoToolbar = Named(new QPlainTextEdit, "MemoToolbar");
    MemoToolbar->setLineWrapMode(QPlainTextEdit::NoWrap);
    v->addWidget(MemoToolbar);
    auto *row = new QHBoxLayout;
    v->addLayout(row);
    cbSearchToolbar = Check(row, "cbSearchToolbar", "Place Search in Toolbar");
    auto *def = Named(new QPushButton(QStringLiteral("Default")), "btnToolbarDefault");
    row->addWidget(def);
    connect(def, &QPushButton::clicked, this, &TPreferDlg::ToolbarDefault);
    Pages->addTab(page, QStringLiteral("Toolbar"));
}

void TPreferDlg::CreateAdobe()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("External PDF Viewer (Adobe)"));
    auto *form = new QFormLayout(group);
    edAdobeReg = Named(new QLineEdit, "edAdobeReg");
    form->addRow(edAdobeReg);
    edAdobeExe = Edit(form, "edAdobeExe", "Exe:");
    edAdobeExe->setReadOnly(true);
    edAdobeCmd = Edit(form, "edAdobeCmd", "Cmd:");
    edAdobeMenu = Edit(form, "edAdobeMenu", "Menu:");
    edAdobeShortcut = Named(new QLineEdit, "edAdobeShortcut");
    form->addRow(edAdobeShortcut);
    auto *checks = new QHBoxLayout;
    cbAdobeInToolbar = Check(checks, "cbAdobeInToolbar", "Show Toolbar Button");
    cbAdobeInMenu = Check(checks, "cbAdobeInMenu", "Show Menu Item");
    form->addRow(checks);
    LabelAdobeOK = Named(new QLabel, "LabelAdobeOK");
    form->addRow(LabelAdobeOK);
    v->addWidget(group);
    auto *instance = new QFormLayout;
    v->addLayout(instance);
    edNewInstanceCmd = Edit(instance, "edNewInstanceCmd", "New OrvalePDF Instance Switches");
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Adobe"));
}

void TPreferDlg::CreateAdvanced()
{
    auto *page = new QWidget;
    auto *v = new QVBoxLayout(page);
    auto *form = new QFormLayout;
    v->addLayout(form);
    edIniFile = Edit(form, "edIniFile", "Local Configuration File");
    edIniFile->setReadOnly(true);
    auto *buttons = new QHBoxLayout;
    v->addLayout(buttons);
    auto *restore = Named(new QPushButton(QStringLiteral("Restore Default Settings")), "btnRestoreDefaults");
    auto *browse = Named(new QPushButton(QStringLiteral("Browse Local Folder...")), "btnBrowseFolder");
    buttons->addWidget(restore);
    buttons->addWidget(browse);
    connect(restore, &QPushButton::clicked, this, &TPreferDlg::RestoreDefaultSettings);
    connect(browse, &QPushButton::clicked, this, &TPreferDlg::BrowseLocalFolder);
    auto *inverse = new QFormLayout;
    v->addLayout(inverse);
    edInverseSearch = Edit(inverse, "edInverseSearch", "Inverse Search Command");
    cbUseThreads = Check(v, "cbUseThreads", "Use Threads for Background Tasks");
    cbAllowPanning = Check(v, "cbAllowPanning", "Enable Document Panning  (Dragging)");
    cbDblClickClose = Check(v, "cbDblClickClose", "Close a Document after double-clicking on its Tab");
    cbPDFMemory = Check(v, "cbPDFMemory", "Load PDF Documents into memory");
    cbUseTimer = Check(v, "cbUseTimer", "Detect Document Status on Timer");
    cbPersistentFS = Check(v, "cbPersistentFS", "Persistent Forward Search Highlighting");
    v->addStretch();
    Pages->addTab(page, QStringLiteral("Advanced"));
}

// ---- Loading -------------------------------------------------------------------------------

void TPreferDlg::LoadAll()
{
    const TPrefer &p = Prefer;
    edMaxListLen->setText(QString::number(p.MaxListLen));
    rbRestoreAlways->setChecked(p.RestoreOpened == TRestoreOpened::Always);
    rbRestoreSmart->setChecked(p.RestoreOpened == TRestoreOpened::EmptyCommandLine);
    rbRestoreNever->setChecked(p.RestoreOpened == TRestoreOpened::Never);
    cbRememberDoc->setChecked(p.RememberDoc);
    cbSDInterface->setChecked(p.SDInterface);
    cbAutoHideTabs->setChecked(p.AutoHideTabs);
    cbCustomTabs->setChecked(p.CustomTabs > 0);
    cbTabFiletypes->setChecked(p.TabFiletypes);
    edMaxTabString->setText(p.MaxTabString);

    cbContinuous->setChecked(p.AllowScrolling);
    cbFrameLinks->setChecked(p.FrameLinks);
    cbRenderAnnot->setChecked(p.RenderAnnot);
    cbShowBookmarks->setChecked(p.ShowBookmarks);
    cbTrackBookmarks->setChecked(p.TrackBookmarks);
    rbSinglePage->setChecked(p.PageView == TPageViewMode::Single);
    rbDoublePage->setChecked(p.PageView == TPageViewMode::Double);
    rbBookView->setChecked(p.PageView == TPageViewMode::Book);
    rbActualSize->setChecked(p.ZoomMode == 2);
    rbFitWidth->setChecked(p.ZoomMode == 1);
    rbFitPage->setChecked(p.ZoomMode == 0);
    rbCustomZoom->setChecked(p.ZoomMode == 3);
    edZoom->setText(QString::number(std::lround(p.Zoom)) + QLatin1Char('%'));
    cbZoomMenu->setChecked(p.ZoomMenu);
    edZoomMenu->setText(p.ZoomMenuValues);
    cbZoomAuto->setChecked(p.ZoomAuto);

    Themes = p.ColThemes;
    ShownTheme = std::clamp(p.ThemeSelector, 0, 1);
    {
        const QSignalBlocker block(cbTheme);
        cbTheme->setCurrentIndex(ShownTheme);
    }
    LoadShownTheme();
    cbShowThemesMenu->setChecked(p.ShowThemesMenu);

    ColorSets = TColorTextSets{MenuColors, Colors.PdfLight, Colors.PdfDark};
    {
        const QSignalBlocker blockList(lbColors), blockMode(cbMode);
        lbColors->setCurrentRow(ShownColor);
        cbMode->setCurrentIndex(ShownMode);
    }
    LoadShownColor();

    LoadInterface();
    ShownToolbarText = ToolbarDefinition.WriteToString();
    MemoToolbar->setPlainText(ShownToolbarText);
    cbSearchToolbar->setChecked(ToolbarDefinition.SearchToolbar);
    LoadAdobe();
    edNewInstanceCmd->setText(p.NewInstanceCmd);

    edIniFile->setText(App.DataFile);
    edInverseSearch->setText(p.InverseSearchCmd);
    cbUseThreads->setChecked(p.UseThreads);
    cbAllowPanning->setChecked(p.AllowPanning);
    cbDblClickClose->setChecked(p.DblClickClose);
    cbPDFMemory->setChecked(p.PDFMemory);
    cbUseTimer->setChecked(p.UseTimer);
    cbPersistentFS->setChecked(p.PersistentFS);
}

void TPreferDlg::LoadInterface()
{
    const TPrefer &p = Prefer;
    edFontMain->setCurrentText(p.FontName);
    edFontMainSize->setCurrentText(QString::number(p.FontSize));
    edFontMainEx->setCurrentText(QString::number(p.FontSizeTenths));
    cbCustomMenuDraw->setChecked(p.CustomMenuDraw);
    edLargeIcons->setText(QString::number(p.LargeIcons));
    edSmallIcons->setText(QString::number(p.SmallIcons));
    edToolbarHeight->setText(QString::number(p.ToolbarHeight));
    edTabsHeight->setText(QString::number(p.TabsHeight));
    edStatusHeight->setText(QString::number(p.StatusHeight));
    edPageGap->setText(QString::number(p.PageGap));
    edMonitor->setText(MonitorLine(Form.screen(), CurrentPPI));
    RefreshFontSample();
}

void TPreferDlg::RefreshFontSample()
{
    bool sizeOk = false, tenthsOk = false;
    const int size = edFontMainSize->currentText().trimmed().toInt(&sizeOk);
    const int tenths = edFontMainEx->currentText().trimmed().toInt(&tenthsOk);
    lbFontSample->setFont(TMainForm::MainFontOf(edFontMain->currentText(),
                                                sizeOk && size >= 7 && size <= 16 ? size : Prefer.FontSize,
                                                tenthsOk ? tenths : Prefer.FontSizeTenths, CurrentPPI));
}

void TPreferDlg::LoadAdobe()
{
    const TPrefer &p = Prefer;
    edAdobeReg->setText(p.AdobeReg);
    edAdobeExe->setText(p.AdobeExe);
    edAdobeCmd->setText(p.AdobeCmd);
    edAdobeMenu->setText(p.AdobeMenu);
    edAdobeShortcut->setText(p.AdobeShortcut);
    cbAdobeInToolbar->setChecked(p.AdobeInToolbar);
    cbAdobeInMenu->setChecked(p.AdobeInMenu);
    LabelAdobeOK->setText(p.AdobeOK ? QStringLiteral("\u2611 OK:") : QStringLiteral("\u26A0 ??:"));
}

void TPreferDlg::LoadShownTheme()
{
    const TColTheme &t = Themes[size_t(ShownTheme)];
    rbWindowsDefault->setChecked(t.ThemeModeIndex == 0);
    rbDarkControls->setChecked(t.ThemeModeIndex == 1);
    rbLightControls->setChecked(t.ThemeModeIndex == 2);
    rbNormalMode->setChecked(t.RenderModeIndex == 0);
    rbInvertBrightness->setChecked(t.RenderModeIndex == 1);
    rbInvertRGB->setChecked(t.RenderModeIndex == 2);
    cbColorRange->setChecked(t.blendEnabled);
    cbRenderGray->setChecked(t.RenderGray);
}

void TPreferDlg::StoreShownTheme()
{
    TColTheme &t = Themes[size_t(ShownTheme)];
    t.ThemeModeIndex = rbDarkControls->isChecked() ? 1 : rbLightControls->isChecked() ? 2 : 0;
    t.RenderModeIndex = rbInvertBrightness->isChecked() ? 1 : rbInvertRGB->isChecked() ? 2 : 0;
    t.blendEnabled = cbColorRange->isChecked();
    t.RenderGray = cbRenderGray->isChecked();
}

void TPreferDlg::LoadShownColor()
{
    const TQPDFColors &set = ShownMode == 0 ? ColorSets.light : ColorSets.dark;
    const TCustomQCol &c = set[kColorEntries[ShownColor].color];
    edRGBBlack->setText(HexText(c.B));
    edRGBWhite->setText(HexText(c.W));
    edRGBWhite->setEnabled(kColorEntries[ShownColor].color != cc_Origin);
    static_cast<QLabel *>(ColorSample)
        ->setPixmap(
            ColorSamplePixmap(set, kColorEntries[ShownColor].color, ShownMode == 1, ColorSample->minimumSize()));
}

bool TPreferDlg::StoreShownColor()
{
    TQPDFColors &set = ShownMode == 0 ? ColorSets.light : ColorSets.dark;
    TCustomQCol &c = set[kColorEntries[ShownColor].color];
    const int32_t b = HexColor(edRGBBlack->text());
    const int32_t w = HexColor(edRGBWhite->text());
    for (auto [edit, value] : {std::pair{edRGBBlack, b}, std::pair{edRGBWhite, w}})
        if (value == clNone) {
            FocusField(edit);
            return false;
        }
    c.B = b;
    c.W = w;
    return true;
}

// ---- The colour editor -------------------------------------------------------------------

void TPreferDlg::PickColor(bool second)
{
    QLineEdit *edit = second ? edRGBWhite : edRGBBlack;
    const std::array<QColor, 16> basic = BasicColors();
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, basic[size_t(i)]);
    QColorDialog dlg(ToQColor(HexColor(edit->text())), this);
    dlg.setOption(QColorDialog::DontUseNativeDialog);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const QColor c = dlg.selectedColor();
    edit->setText(QStringLiteral("#%1").arg(c.rgb() & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
    if (StoreShownColor())
        LoadShownColor();
}

void TPreferDlg::EditColors()
{
    StoreShownColor();
    MemoColors->setPlainText(ExportColors(ColorSets));
    ColorStack->setCurrentIndex(1);
}

bool TPreferDlg::ImportColorsText()
{
    const TColorImport r = ImportColors(MemoColors->toPlainText(), ColorSets);
    // The lines that fitted are applied: the editors show them, or storing would undo them.
    LoadShownColor();
    if (!r.ok()) {
        MessageDialog(QStringLiteral("Import Colors"),
                      QStringLiteral("Line %1 was not imported (%2):\r\n%3").arg(r.line).arg(r.reason, r.text),
                      mtWarning, MsgButtons({mbOK}));
        return false;
    }
    return true;
}

// ---- Default buttons -----------------------------------------------------------------------

void TPreferDlg::RestoreDefaultSettings()
{
    // The recent documents, their passwords and views are the user's, not settings.
    const int32_t maxListLen = Prefer.MaxListLen, count = Prefer.DocListCount;
    const QList<TDocInfo> list = Prefer.DocList;
    LoadPreferDefaults(Prefer);
    Prefer.MaxListLen = maxListLen;
    Prefer.DocListCount = count;
    Prefer.DocList = list;
    LoadColorDefaults();
    MenuColors = DefaultMenuColors();
    LoadAll();
    StoreAll();
}

void TPreferDlg::InterfaceDefault()
{
    const TPrefer defaults;
    Prefer.FontName = defaults.FontName;
    Prefer.FontSize = defaults.FontSize;
    Prefer.FontSizeTenths = defaults.FontSizeTenths;
    Prefer.LargeIcons = defaults.LargeIcons;
    Prefer.SmallIcons = defaults.SmallIcons;
    Prefer.ToolbarHeight = defaults.ToolbarHeight;
    Prefer.TabsHeight = defaults.TabsHeight;
    Prefer.StatusHeight = defaults.StatusHeight;
    Prefer.PageGap = defaults.PageGap;
    LoadInterface();
    StoreInterface();
    Form.UpdateInterface();
    if (Form.DocTabs())
        Form.DocTabs()->UpdateDocTabs();
}

void TPreferDlg::ThemesDefault()
{
    Themes[0] = TColTheme{0, 0, false, false};
    Themes[1] = TColTheme{1, 1, false, false};
    LoadShownTheme();
}

void TPreferDlg::ColorsDefault()
{
    // The program's colours change on OK or Apply only.
    const TColors program = Colors;
    LoadColorDefaults();
    ColorSets = TColorTextSets{DefaultMenuColors(), Colors.PdfLight, Colors.PdfDark};
    Colors = program;
    LoadShownColor();
}

void TPreferDlg::ToolbarDefault() { MemoToolbar->setPlainText(TToolbarDefinition::DefaultText()); }

void TPreferDlg::BrowseLocalFolder() { OpenFolderInFileManager(QFileInfo(App.DataFile).absolutePath()); }

// ---- Storing -------------------------------------------------------------------------------

void TPreferDlg::Refuse(QLineEdit *edit, const QString &oldText)
{
    edit->setText(oldText);
    FocusField(edit);
}

void TPreferDlg::FocusField(QLineEdit *edit)
{
    for (int i = 0; i < Pages->count(); ++i)
        if (Pages->widget(i)->isAncestorOf(edit))
            Pages->setCurrentIndex(i);
    edit->setFocus();
    edit->selectAll();
}

bool TPreferDlg::ReadNumber(QLineEdit *edit, int lo, int hi, int old, int &value)
{
    int v = 0;
    if (!ParseInteger(edit->text().trimmed(), lo, hi, v)) {
        Refuse(edit, QString::number(old));
        return false;
    }
    value = v;
    return true;
}

void TPreferDlg::StoreAll()
{
    StoreDocuments();
    StoreDefaults();
    // Advanced.
    Prefer.UseThreads = cbUseThreads->isChecked();
    Prefer.AllowPanning = cbAllowPanning->isChecked();
    Prefer.DblClickClose = cbDblClickClose->isChecked();
    Prefer.PDFMemory = cbPDFMemory->isChecked();
    Prefer.UseTimer = cbUseTimer->isChecked();
    Prefer.PersistentFS = cbPersistentFS->isChecked();
    Prefer.InverseSearchCmd = edInverseSearch->text();
    // Adobe.
    Prefer.AdobeReg = edAdobeReg->text();
    Prefer.AdobeCmd = edAdobeCmd->text();
    Prefer.AdobeMenu = edAdobeMenu->text();
    Prefer.AdobeShortcut = edAdobeShortcut->text();
    Prefer.AdobeInToolbar = cbAdobeInToolbar->isChecked();
    Prefer.AdobeInMenu = cbAdobeInMenu->isChecked();
    if (PreferStoreHooks.resolveAdobe)
        PreferStoreHooks.resolveAdobe();
    Form.UpdateAdobe();
    LoadAdobe();
    Prefer.NewInstanceCmd = edNewInstanceCmd->text();
    StoreInterface();
    StoreToolbar();
    StoreThemes();
    StoreColors();
    Finish();
}

void TPreferDlg::StoreDocuments()
{
    TPrefer &p = Prefer;
    const bool sdi = cbSDInterface->isChecked();
    if (sdi && !p.SDInterface && Form.Engine())
        Form.Engine()->CloseAllFiles(Form.Engine()->SelDoc());
    p.SDInterface = sdi;
    p.AutoHideTabs = cbAutoHideTabs->isChecked();
    if (!cbCustomTabs->isChecked())
        p.CustomTabs = 0;
    else if (p.CustomTabs == 0)
        p.CustomTabs = 1;
    p.TabFiletypes = cbTabFiletypes->isChecked();
    p.MaxTabString = edMaxTabString->text();
    p.RestoreOpened = rbRestoreAlways->isChecked() ? TRestoreOpened::Always
        : rbRestoreSmart->isChecked()              ? TRestoreOpened::EmptyCommandLine
                                                   : TRestoreOpened::Never;
    p.RememberDoc = cbRememberDoc->isChecked();
    int len = p.MaxListLen;
    if (ReadNumber(edMaxListLen, 0, 999, p.MaxListLen, len) && len != p.MaxListLen) {
        if (Form.Engine())
            Form.Engine()->UpdateDocList();
        p.MaxListLen = len;
        p.DocListCount = std::min(p.DocListCount, len);
        p.DocList.resize(len + 1);
    }
}

void TPreferDlg::StoreDefaults()
{
    TPrefer &p = Prefer;
    p.AllowScrolling = cbContinuous->isChecked();
    p.FrameLinks = cbFrameLinks->isChecked();
    p.RenderAnnot = cbRenderAnnot->isChecked();
    p.ShowBookmarks = cbShowBookmarks->isChecked();
    p.TrackBookmarks = cbTrackBookmarks->isChecked();
    p.ZoomMode = rbActualSize->isChecked() ? 2 : rbFitWidth->isChecked() ? 1 : rbFitPage->isChecked() ? 0 : 3;
    QString zoomText = edZoom->text().trimmed();
    while (zoomText.endsWith(QLatin1Char('%')) || zoomText.endsWith(QLatin1Char(' ')))
        zoomText.chop(1);
    double zoom = 0;
    if (ParseReal(zoomText, 10, 1000, zoom))
        p.Zoom = zoom;
    else
        Refuse(edZoom, QString::number(std::lround(p.Zoom)) + QLatin1Char('%'));
    p.PageView = rbDoublePage->isChecked() ? TPageViewMode::Double
        : rbBookView->isChecked()          ? TPageViewMode::Book
                                           : TPageViewMode::Single;
    p.ZoomAuto = cbZoomAuto->isChecked();
    if (cbZoomMenu->isChecked() != p.ZoomMenu || edZoomMenu->text() != p.ZoomMenuValues) {
        p.ZoomMenu = cbZoomMenu->isChecked();
        p.ZoomMenuValues = edZoomMenu->text();
        Form.CreateZoomMenu();
    }
}

void TPreferDlg::StoreInterface()
{
    TPrefer &p = Prefer;
    const TPrefer before = p;
    if (!edFontMain->currentText().isEmpty())
        p.FontName = edFontMain->currentText();
    ReadNumber(edFontMainSize->lineEdit(), 7, 16, p.FontSize, p.FontSize);
    ReadNumber(edFontMainEx->lineEdit(), 0, 9, p.FontSizeTenths, p.FontSizeTenths);
    ReadNumber(edLargeIcons, 10, 99, p.LargeIcons, p.LargeIcons);
    ReadNumber(edSmallIcons, 10, 99, p.SmallIcons, p.SmallIcons);
    ReadNumber(edToolbarHeight, 10, 99, p.ToolbarHeight, p.ToolbarHeight);
    ReadNumber(edTabsHeight, 10, 99, p.TabsHeight, p.TabsHeight);
    ReadNumber(edStatusHeight, 10, 99, p.StatusHeight, p.StatusHeight);
    ReadNumber(edPageGap, 0, 99, p.PageGap, p.PageGap);
    if (p.StatusHeight != before.StatusHeight && Form.StatusLine)
        Form.StatusLine->InitStatusLine(Form.font());
    p.CustomMenuDraw = cbCustomMenuDraw->isChecked();
    Form.ThemeCommands().EnableOwnerDrawnMenus(p.CustomMenuDraw, p.ThemeModeIndex > 0);
    const bool changed = p.FontName != before.FontName || p.FontSize != before.FontSize
        || p.FontSizeTenths != before.FontSizeTenths || p.LargeIcons != before.LargeIcons
        || p.SmallIcons != before.SmallIcons || p.ToolbarHeight != before.ToolbarHeight
        || p.TabsHeight != before.TabsHeight || p.StatusHeight != before.StatusHeight || p.PageGap != before.PageGap;
    if (changed) {
        Form.UpdateInterface();
        if (Form.DocTabs())
            Form.DocTabs()->UpdateDocTabs();
        // The coordinate display speaks in the main font.
        if (QLineEdit *coord = Form.ClientArea() ? Form.ClientArea()->edCoord : nullptr) {
            QFont f = coord->font();
            f.setFamily(Form.font().family());
            f.setPixelSize(std::max(1, Form.font().pixelSize()));
            coord->setFont(f);
        }
    }
}

void TPreferDlg::StoreToolbar()
{
    const QString text = MemoToolbar->toPlainText();
    const bool search = cbSearchToolbar->isChecked();
    // The editor shows LF where the definition holds CR LF.
    if (QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        != QString(ShownToolbarText).replace(QStringLiteral("\r\n"), QStringLiteral("\n"))) {
        ToolbarDefinition.SearchToolbar = search;
        ToolbarDefinition.ReadFromString(text);
        Form.UpdateToolbar(false);
        ShownToolbarText = text;
    } else if (search != ToolbarDefinition.SearchToolbar) {
        ToolbarDefinition.SearchToolbar = search;
        Form.UpdateToolbar(true);
    }
}

void TPreferDlg::StoreThemes()
{
    TPrefer &p = Prefer;
    StoreShownTheme();
    p.ShowThemesMenu = cbShowThemesMenu->isChecked();
    p.ColThemes = Themes;
    p.ThemeSelector = ShownTheme;
    const TColTheme &t = Themes[size_t(ShownTheme)];
    p.ThemeModeIndex = t.ThemeModeIndex;
    p.RenderModeIndex = t.RenderModeIndex;
    p.RenderGray = t.RenderGray;
    p.blendEnabled = t.blendEnabled;
    const bool wasDark = Form.ThemeCommands().Dark();
    Form.ThemeCommands().ApplyTheme(true);
    Form.UpdateColors();
    if (Form.ThemeCommands().Dark() != wasDark) {
        Form.setUpdatesEnabled(false);
        QApplication::processEvents();
        Form.UpdateInterface();
        if (Form.DocTabs())
            Form.DocTabs()->UpdateDocTabs();
        Form.setUpdatesEnabled(true);
        Form.update();
        SetWindowFrame(this, isActiveWindow());
        SetWindowFrame(&Form, Form.isActiveWindow());
        ThemeForm(this, true);
    }
}

void TPreferDlg::StoreColors()
{
    StoreShownColor();
    Colors.PdfLight = ColorSets.light;
    Colors.PdfDark = ColorSets.dark;
    MenuColors = ColorSets.frames;
    Form.UpdateColors();
}

void TPreferDlg::Finish()
{
    Form.UpdateColors();
    Form.UpdateInterface();
    if (Form.DocTabs())
        Form.DocTabs()->UpdateDocTabs();
    Form.SetupView();
    Form.UpdateStatus();
    if (Form.PageView())
        Form.PageView()->viewport()->update();
    if (Form.Engine())
        Form.Engine()->UpdateStatus();
    if (!WriteData())
        MessageDialog(QStringLiteral("Configuration Error"),
                      QStringLiteral("The settings could not be written to:\r\n") + App.DataFile, mtError,
                      MsgButtons({mbOK}));
}
