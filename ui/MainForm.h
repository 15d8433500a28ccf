#pragma once
// The main window: menu bar, the top panel with the toolbar strip and the document tabs,
// the client panel that holds the page view, and the status line. It holds no document
// state; every command goes to the engine, and the engine's status update comes back here
// to refresh caption, toolbar edits, status text and menus.
#include "ui/PageViewHost.h"
#include "ui/ScrollForm.h"
#include "app/ViewStatusFormatter.h"
#include "ui/MainMenu.h"

#include <QEvent>
#include <QMainWindow>

#include <functional>
#include <memory>

class QAction;
class QComboBox;
class QFileDialog;
class QFrame;
class QLabel;
class QLineEdit;
class TDocumentCommands;
class TDocumentRefresh;
class TDocumentWatch;
class TFileCommands;
class TShellCommands;
class TPrintCommands;
class TThemeCommands;
class TFindBar;
class TFindCommands;
class TNavigationCommands;
class TSelectionCommands;
class TViewCommands;
class TQPDF;
class TScrollForm;
class TStatusTimer;
class TDocTabs;
class TStatusLine;
class TToolbarBoxes;
class TToolbarKeys;
class TTreeForm;
class TClientForm;
class TWindowPlacement;
class TXToolbar;

// Work the window posts to itself so that it runs after the current event has finished.
class TDeferredEvent final : public QEvent {
public:
    enum Kind { Start = QEvent::User + 126, ThemeRefresh = QEvent::User + 131, DpiRefresh = QEvent::User + 132 };
    TDeferredEvent(Kind kind, int param) : QEvent(Type(kind)), param(param) {}
    const int param;
};

class TMainForm final : public QMainWindow, public TPageViewWindow {
    Q_OBJECT
public:
    // engine may be null (no document commands then); writeData saves the settings at close.
    TMainForm(TQPDF *engine, std::function<bool()> writeData, QWidget *parent = nullptr);
    ~TMainForm() override;

    // Runs once after the first show, from a posted event (restores documents, runs the
    // start-up command).
    std::function<void()> DeferredStart;

    // ---- Frame ------------------------------------------------------------------------
    void SetupView();
    void UpdateMainFont();
    // The main font for a name, size and tenths at ppi pixels per inch; an empty name or a size
    // of 0 take the defaults.
    static QFont MainFontOf(const QString &name, int size, int tenths, int ppi);
    // The toolbar compiled from its definition and trimmed (at creation, after a change of
    // density or theme); UpdateToolbar(true) only re-applies the flag letters.
    void InitToolbar();
    void UpdateToolbar(bool fixOnly);
    TXToolbar &Toolbar() { return *ToolbarItems; }
    // Periodic refresh: idle SyncTeX data, engine status, tab states, reload of a changed
    // file, menus. Nothing before start-up has completed.
    void UpdateStatus();
    // Title := application title, plus " - [doc]"; true when it changed.
    bool ChangeCaption(const QString &doc);
    // Where dialogs open: the client area's top-left corner on the screen.
    QPoint DialogOrigin() const;
    // The window dialogs belong to: the full-screen window while it stands for the program.
    QWidget *DialogParent() const;
    // A change of the window's pixels per inch (another screen, another density).
    void DpiChanged(int newPPI);
    // The free text of the status line.
    void SetStatusText(const QString &text);
    QString StatusText() const;

    // ---- The page view and the engine's main-window calls -------------------------------
    TScrollForm *PageView() const { return ScrollForm; }
    TPageViewHost *PageViewHost() const { return Host.get(); }
    TStatusTimer *StatusTimer() const { return Timer; }
    TDocumentWatch *DocumentWatch() const { return Watch.get(); }
    void SetCaption(const QString &fileName) override { ChangeCaption(fileName); }
    void AddTab(const QString &fileName) override;
    void DeleteTab(int index) override;
    void SelectTab(int index) override;
    void RenameTab(int index, const QString &fileName) override;
    void UpdateTabIcon(int index) override;
    void Relayout() override { SetupView(); }
    // The engine's status update: caption and menus.
    void StatusUpdated() override;
    bool AskPassword(const QString &fileName, QString &password, bool &remember) override;
    // The status line and the toolbar boxes show the view; the boxes keep what the user types.
    void ShowViewStatus(const TViewStatus &status) override;
    bool AskGotoPage(const QString &label, const QString &pages, QString &typed) override;
    bool AskZoom(const QString &zoom, QString &typed) override;
    void PopupMenuView(const QPoint &globalPos) override { PopupMenuViewPopup(globalPos); }
    void EscapeReset() override;
    bool EscapeKey() override;
    bool FindEnter(bool backward) override;
    // The find inputs: the toolbar's box or the find dialog (see TFindForm).
    bool UseToolBarFind() const override;
    bool FocusFindBox() override;
    bool FindDialogVisible() const override;
    void ShowFindDialog() override;
    void SetSearchString(const QString &s) override;
    void SetFindCaption(int ind, int num) override;
    void PageViewFocused() override;
    void PagePainted() override;
    bool MainWindowActive() const override { return isActiveWindow(); }
    // The bookmarks panel (see TTreeForm).
    TTreeForm *BookmarksPanel() const { return TreeForm; }
    // The client area with full screen and presentation (see TClientForm).
    TClientForm *ClientArea() const { return ClientForm; }
    int DisplayState() const override;
    bool NoPDFPainting() const override;
    void BookmarksBuilding() override;
    void ShowBookmarkTree(const std::shared_ptr<TTree> &tree, bool track) override;
    void SaveBookmarkTree(TTree &tree) override;
    bool ShowBookmarksPanel(bool show) override;
    void FollowPage(int page) override;

    // ---- Commands ----------------------------------------------------------------------
    // The menus (see TMainMenu); the command states follow the engine and the window.
    void BuildMenu() { Menu->BuildMenu(); }
    void EnableMenu();
    void CreateZoomMenu() { Menu->CreateZoomMenu(); }
    QAction *Command(const QString &field) const { return Menu->Command(field); }
    QList<QAction *> CommandActions() const { return Menu->CommandActions(); }
    QMenu *PopupMenuViewMenu() const { return Menu->PopupMenuViewMenu(); }
    void PopupMenuViewPopup(const QPoint &globalPos) { Menu->PopupMenuViewPopup(globalPos); }
    // Opens dropped local files in drop order; folders, missing files and other URLs are
    // skipped; Esc or an abort request stops the rest. The number opened.
    int OpenDroppedFiles(const QList<QUrl> &urls);
    // Set by a request to stop long work; cleared on activation and after a drop.
    bool Aborted = false;

    // The command handlers, by what they act on.
    TFileCommands &FileCommands() { return *Files; }
    TViewCommands &ViewCommands() { return *Views; }
    TNavigationCommands &NavigationCommands() { return *Navigation; }
    TDocumentCommands &DocumentCommands() { return *Documents; }
    TSelectionCommands &SelectionCommands() { return *Selections; }
    TFindCommands &FindCommands() { return *Finder; }
    TShellCommands &ShellCommands() { return *Shell; }
    TPrintCommands &PrintCommands() { return *Printing; }
    TThemeCommands &ThemeCommands() { return *Themes; }
    // The interface colours on every part of the window (see TThemeCommands).
    void UpdateColors();
    // The program draws the menus (see TMainMenu::SetOwnerDrawn).
    void SetOwnerDrawnMenus(bool on) { Menu->SetOwnerDrawn(on); }
    // After the interface settings changed: fonts, image lists, menus, toolbar and status
    // line again, the view where it was.
    void UpdateInterface();
    // The external viewer's menu item and toolbar button from the settings.
    void UpdateAdobe();
    TFindBar &FindBar() { return *FindItems; }
    // What the handlers use of the window: the engine, the action whose handler runs, a note
    // for a command whose window does not exist yet, the page view's focus, the placement.
    TQPDF *Engine() const { return QPDF; }
    QAction *RunningCommand() const { return Menu->RunningCommand(); }
    // Toolbar buttons: the command of a toolbar word, run as sent by a button.
    QAction *ToolbarCommand(const QString &word) const { return Menu->ToolbarCommand(word); }
    void RunFromButton(QAction *action, QWidget *button) { Menu->RunFromButton(action, button); }
    QWidget *RunningButton() const { return Menu->RunningButton(); }
    void NotAvailableYet(QAction *action) { Menu->NotAvailableYet(action); }
    void FocusPageView();
    TWindowPlacement &WindowPlacement() const { return *Placement; }
    TDocTabs *DocTabs() const { return TabControl; }
    int DocumentCount() const;
    bool HasPages() const;

    // The files the open dialog returns; a test replaces the dialog with a list.
    std::function<QStringList()> ChooseOpenFiles;
    std::function<QString(const QString &folder)> ChooseSaveFile;

    // Components, named as the window's parts.
    QWidget *TopPanel = nullptr;
    QWidget *CoolBar = nullptr;
    QFrame *CoolBevel = nullptr;
    QWidget *TabPanel = nullptr;
    TDocTabs *TabControl = nullptr;
    QFrame *TabBottomBevel = nullptr;
    QWidget *MainClientPanel = nullptr;
    QWidget *StatusBar = nullptr;
    TStatusLine *StatusLine = nullptr;
    QLabel *edPageLabel = nullptr;
    QLineEdit *edPageGoto = nullptr;
    QLabel *edPages = nullptr;
    QLabel *edZoom = nullptr;
    QComboBox *cbZoom = nullptr;
    QLabel *edFindLabel = nullptr;
    QLineEdit *edFindString = nullptr;
    QLabel *edFoundLabel = nullptr;
    QFileDialog *dlgOpen = nullptr;
    QFileDialog *dlgSave = nullptr;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateComponents();
    void CreateDialogs();
    void FormShow();
    bool FormCloseQuery();
    bool TabsVisible() const;

    TQPDF *QPDF;
    std::function<bool()> writeData_;
    QWidget *Body = nullptr;
    TScrollForm *ScrollForm = nullptr;
    TTreeForm *TreeForm = nullptr;
    TClientForm *ClientForm = nullptr;
    std::unique_ptr<TPageViewHost> Host;
    TStatusTimer *Timer = nullptr;
    std::unique_ptr<TDocumentRefresh> Refresh;
    std::unique_ptr<TDocumentWatch> Watch;
    TMainMenu *Menu = nullptr;
    TToolbarKeys *Keys = nullptr;
    std::unique_ptr<TToolbarBoxes> Boxes;
    TViewStatusFormatter StatusFormat;
    std::unique_ptr<TFileCommands> Files;
    std::unique_ptr<TViewCommands> Views;
    std::unique_ptr<TNavigationCommands> Navigation;
    std::unique_ptr<TDocumentCommands> Documents;
    std::unique_ptr<TSelectionCommands> Selections;
    std::unique_ptr<TShellCommands> Shell;
    std::unique_ptr<TPrintCommands> Printing;
    std::unique_ptr<TThemeCommands> Themes;
    TFindCommands *Finder = nullptr;
    TFindBar *FindItems = nullptr;
    TXToolbar *ToolbarItems = nullptr;
    TWindowPlacement *Placement = nullptr;

    bool isInit = false;
    bool Shown = false;
    bool Closing = false;
    bool Updating = false;
    bool InActiveFormChange = false;
    bool ThemeRefreshPending = false;
};
