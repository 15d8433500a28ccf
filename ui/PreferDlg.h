#pragma once
// The Preferences: eight pages of controls over the settings, OK, Cancel and Apply. OK and
// Apply store every page into the settings, push them into the running program and write
// the data file; Cancel stores nothing (what Apply stored stays).
#include "settings/ColorText.h"
#include "settings/Prefer.h"

#include <QDialog>

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QRadioButton;
class QScreen;
class QStackedWidget;
class QTabWidget;
class QWidget;
class TMainForm;

// "Monitor: 800 x 800  @  100 / 96 dpi  (100%)": the monitor's size, its raw and effective
// pixels per inch (each averaged over both directions weighted by width and height), and the
// program's scale.
QString MonitorLine(const QScreen *screen, int currentPPI);

// The sixteen basic colours the colour dialog offers as custom colours, black to white.
std::array<QColor, 16> BasicColors();

class TPreferDlg final : public QDialog {
    Q_OBJECT
public:
    explicit TPreferDlg(TMainForm &form);
    ~TPreferDlg() override;

    // Shows the dialog modally; true when OK closed it.
    static bool Execute(TMainForm &form);
    // The same once the running command has returned: storing rebuilds the menus, and the menu
    // that ran the command must not be deleted under its own handler.
    static void ExecuteLater(TMainForm &form);

    // OK and Apply: every page into the settings and the program, then the data file.
    void StoreAll();
    // The pages from the settings.
    void LoadAll();

    // The buttons of the pages.
    void RestoreDefaultSettings();
    void InterfaceDefault();
    void ThemesDefault();
    void ColorsDefault();
    void ToolbarDefault();
    void BrowseLocalFolder();
    // The colour editor: the text of every colour, and reading it back (false and a message
    // naming the first refused line when a line does not fit).
    void EditColors();
    bool ImportColorsText();
    // Opens the colour dialog for the shown colour's first (dark) or second (light) value.
    void PickColor(bool second);

    QTabWidget *Pages = nullptr;

private:
    void CreateDocuments();
    void CreateDefaults();
    void CreateThemes();
    void CreateColors();
    void CreateInterface();
    void CreateToolbar();
    void CreateAdobe();
    void CreateAdvanced();

    void LoadInterface();
    // The sample line in the font the Interface page's fields name.
    void RefreshFontSample();
    void LoadShownTheme();
    void StoreShownTheme();
    void LoadShownColor();
    bool StoreShownColor(); // false when a text is not a colour (focus there)
    void LoadAdobe();

    // The field's number in [lo, hi]; otherwise the old value goes back into it, it gets the
    // focus with its text selected, and false.
    bool ReadNumber(QLineEdit *edit, int lo, int hi, int old, int &value);
    void Refuse(QLineEdit *edit, const QString &oldText);
    void FocusField(QLineEdit *edit); // its page shown, focused, its text selected

    void StoreDocuments();
    void StoreDefaults();
    void StoreInterface();
    void StoreToolbar();
    void StoreThemes();
    void StoreColors();
    void Finish();

    TMainForm &Form;

    // Working copies.
    std::array<TColTheme, 2> Themes;
    int ShownTheme = 0;
    TColorTextSets ColorSets;
    int ShownColor = 0, ShownMode = 0;
    QString ShownToolbarText;

public:
    // Documents.
    QLineEdit *edMaxListLen = nullptr;
    QRadioButton *rbRestoreAlways = nullptr, *rbRestoreSmart = nullptr, *rbRestoreNever = nullptr;
    QCheckBox *cbRememberDoc = nullptr, *cbSDInterface = nullptr, *cbAutoHideTabs = nullptr, *cbCustomTabs = nullptr,
              *cbTabFiletypes = nullptr;
    QLineEdit *edMaxTabString = nullptr;
    // Defaults.
    QCheckBox *cbContinuous = nullptr, *cbFrameLinks = nullptr, *cbRenderAnnot = nullptr, *cbShowBookmarks = nullptr,
              *cbTrackBookmarks = nullptr;
    QRadioButton *rbSinglePage = nullptr, *rbDoublePage = nullptr, *rbBookView = nullptr;
    QRadioButton *rbActualSize = nullptr, *rbFitWidth = nullptr, *rbFitPage = nullptr, *rbCustomZoom = nullptr;
    QLineEdit *edZoom = nullptr;
    QCheckBox *cbZoomMenu = nullptr;
    QLineEdit *edZoomMenu = nullptr;
    QCheckBox *cbZoomAuto = nullptr;
    // Themes.
    QComboBox *cbTheme = nullptr;
    QRadioButton *rbWindowsDefault = nullptr, *rbDarkControls = nullptr, *rbLightControls = nullptr;
    QRadioButton *rbNormalMode = nullptr, *rbInvertBrightness = nullptr, *rbInvertRGB = nullptr;
    QCheckBox *cbColorRange = nullptr, *cbRenderGray = nullptr, *cbShowThemesMenu = nullptr;
    // Colors.
    QListWidget *lbColors = nullptr;
    QComboBox *cbMode = nullptr;
    QLineEdit *edRGBBlack = nullptr, *edRGBWhite = nullptr;
    QWidget *ColorSample = nullptr;
    QStackedWidget *ColorStack = nullptr;
    QPlainTextEdit *MemoColors = nullptr;
    // Interface.
    QComboBox *edFontMain = nullptr, *edFontMainSize = nullptr, *edFontMainEx = nullptr;
    QCheckBox *cbCustomMenuDraw = nullptr;
    QLineEdit *edLargeIcons = nullptr, *edSmallIcons = nullptr, *edToolbarHeight = nullptr, *edTabsHeight = nullptr,
              *edStatusHeight = nullptr, *edPageGap = nullptr;
    QLabel *lbFontSample = nullptr;
    QLineEdit *edMonitor = nullptr;
    // Toolbar.
    QPlainTextEdit *MemoToolbar = nullptr;
    QCheckBox *cbSearchToolbar = nullptr;
    // Adobe.
    QLineEdit *edAdobeReg = nullptr, *edAdobeExe = nullptr, *edAdobeCmd = nullptr, *edAdobeMenu = nullptr,
              *edAdobeShortcut = nullptr, *edNewInstanceCmd = nullptr;
    QCheckBox *cbAdobeInToolbar = nullptr, *cbAdobeInMenu = nullptr;
    QLabel *LabelAdobeOK = nullptr;
    // Advanced.
    QLineEdit *edIniFile = nullptr, *edInverseSearch = nullptr;
    QCheckBox *cbUseThreads = nullptr, *cbAllowPanning = nullptr, *cbDblClickClose = nullptr, *cbPDFMemory = nullptr,
              *cbUseTimer = nullptr, *cbPersistentFS = nullptr;
};
