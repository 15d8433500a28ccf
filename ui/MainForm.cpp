#include "ui/MainForm.h"

#include "base/AppState.h"
#include "base/BusyIndicator.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "app/CommandStates.h"
#include "app/MainSequence.h"
#include "app/Placement.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "ui/ThemeCommands.h"
#include "ui/style/Themes.h"
#include "settings/PreferStore.h"
#include "app/ScreenDensity.h"
#include "app/StatusTimer.h"
#include "engine/DocumentRefresh.h"
#include "engine/DocumentWatch.h"
#include "engine/QPDF.h"
#include "ui/CustomZoomDlg.h"
#include "ui/DocMgrDlg.h"
#include "ui/DocTabs.h"
#include "ui/DocumentCommands.h"
#include "ui/GotoPageDlg.h"
#include "ui/FileCommands.h"
#include "ui/FindBar.h"
#include "ui/FindCommands.h"
#include "ui/FindForm.h"
#include "ui/NavigationCommands.h"
#include "ui/PasswordDlg.h"
#include "ui/PrintCommands.h"
#include "ui/ClientForm.h"
#include "ui/ScrollForm.h"
#include "ui/SelectionCommands.h"
#include "ui/ShellCommands.h"
#include "ui/StatusLine.h"
#include "ui/ImageRes.h"
#include "ui/Toolbar.h"
#include "ui/ToolbarBoxes.h"
#include "ui/ToolbarKeys.h"
#include "ui/TreeForm.h"
#include "ui/ViewCommands.h"
#include "ui/WindowPlacement.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kFilter = QStringLiteral("PDF Documents (*.pdf *.PDF);;All Files (*)");

// "Segoe UI" and "Tahoma" name fonts that Linux systems lack: both become DejaVu Sans, so
// that sizes are the same on every machine.
void RegisterFontSubstitutes()
{
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("Segoe UI"), QStringLiteral("DejaVu Sans"));
        QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"));
        return true;
    }();
    (void)done;
}

} // namespace

TMainForm::TMainForm(TQPDF *engine, std::function<bool()> writeData, QWidget *parent)
    : QMainWindow(parent), QPDF(engine), writeData_(std::move(writeData))
{
    isInit = false;
    RegisterFontSubstitutes();
    setObjectName(QStringLiteral("MainForm"));

    if (!App.Switches.IconFile.isEmpty() && FileExists(App.Switches.IconFile)) {
        const QIcon icon(App.Switches.IconFile);
        if (icon.isNull()) {
            DebugLog(QStringLiteral("Error seeting the icon: ") + App.Switches.IconFile);
        } else {
            QApplication::setWindowIcon(icon);
            setWindowIcon(icon);
        }
    }
    setWindowTitle(App.InstanceName);
    Placement = new TWindowPlacement(*this);
    Placement->ApplyStoredRect();
    if (Prefer.StartMaximized)
        Prefer.Maximized = true;

    // The settings hold sizes at the density they were read for; the window's screen may
    // have another one.
    Placement->AdoptScreenDensity();
    Placement->ApplyStoredRect();
    if (Prefer.Maximized || Prefer.StartMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    setMinimumSize(Scaled(228), Scaled(108));

    Files = std::make_unique<TFileCommands>(*this, QPDF);
    Views = std::make_unique<TViewCommands>(*this, QPDF);
    Navigation = std::make_unique<TNavigationCommands>(*this, QPDF);
    Documents = std::make_unique<TDocumentCommands>(*this, QPDF);
    Selections = std::make_unique<TSelectionCommands>(*this, QPDF);
    Shell = std::make_unique<TShellCommands>(QPDF);
    Printing = std::make_unique<TPrintCommands>(*this);
    Themes = std::make_unique<TThemeCommands>(*this);
    Menu = new TMainMenu(*this);
    LoadImageLists();
    CreateComponents();
    Finder = new TFindCommands(*this, QPDF);
    CreateDialogs();
    UpdateMainFont();
    BuildMenu();
    FindItems = new TFindBar(*this);
    // Its buttons are bound to the commands the menu holds.
    ToolbarItems = new TXToolbar(*this);
    TabControl->DocIconChanged = [this](int image) { ToolbarItems->SetDocIcon(image); };
    InitToolbar();

    Timer = new TStatusTimer(this);
    Timer->UpdateStatus = [this] { UpdateStatus(); };
    Timer->WriteData = writeData_;
    Timer->Minimized = [this] { return isMinimized(); };
    if (QPDF) {
        Refresh = std::make_unique<TDocumentRefresh>(*QPDF);
        Refresh->TabsVisible = [this] { return TabsVisible(); };
        Watch = std::make_unique<TDocumentWatch>(*QPDF, *Refresh);
        ClientForm = new TClientForm(QPDF, MainClientPanel, this);
        // Full screen and presentation have colours of their own (the workspace's dark value).
        ClientForm->StateChanged = [this] {
            UpdateColors();
            EnableMenu();
        };
        Placement->SetStandIn(ClientForm);
        Placement->ClampPanelWidth = [this] { ClientForm->ClampBookmarksWidth(); };
        ScrollForm = ClientForm->PageView();
        Host = std::make_unique<TPageViewHost>(ScrollForm);
        Host->SetWindow(this);
        QPDF->SetHost(Host.get());
        TreeForm = new TTreeForm(QPDF, ClientForm);
        TreeForm->Dock(ClientForm);
        TreeForm->MenusChanged = [this] { EnableMenu(); };
        TreeForm->FocusPageView = [this] { FocusPageView(); };
        UpdateColors();
    }

    PreferStoreHooks.storeWindowPlacement = [this] { Placement->SetMainSize(); };
    PreferStoreHooks.updateDocList = [this] {
        if (QPDF)
            QPDF->UpdateDocList();
    };

    DebugLog(QStringLiteral("Drag Accept Files"));
    setAcceptDrops(true);
    connect(qApp, &QApplication::focusChanged, this, [this] {
        // The active form changed: refresh once start-up has completed, never nested.
        if (!App.AppRunning || InActiveFormChange)
            return;
        InActiveFormChange = true;
        UpdateStatus();
        InActiveFormChange = false;
    });
    isInit = true;
    SetupView();
    DebugLog(QStringLiteral("MainForm Created..."));
}

TMainForm::~TMainForm()
{
    // Hiding the window below would report a focus change to a half-destroyed form.
    disconnect(qApp, nullptr, this, nullptr);
    Closing = true;
    PreferStoreHooks.storeWindowPlacement = nullptr;
    PreferStoreHooks.updateDocList = nullptr;
    if (QPDF && Host)
        QPDF->SetHost(nullptr);
    if (Host)
        Host->SetWindow(nullptr);
    // The full-screen window is no child of this one: back home, it goes with the others
    // instead of outliving the engine its page view draws.
    if (ClientForm && ClientForm->isWindow()) {
        ClientForm->hide();
        ClientForm->setParent(MainClientPanel);
    }
    // The helpers that filter the events of the form's widgets reach into the form: they go
    // before the widgets, whose closing and destruction still send events.
    delete Keys;
    Keys = nullptr;
    delete ToolbarItems;
    ToolbarItems = nullptr;
    delete FindItems;
    FindItems = nullptr;
    FreeImageLists();
}

// ---- Components ------------------------------------------------------------------------

void TMainForm::CreateComponents()
{
    Body = new QWidget(this);
    auto *bodyLayout = new QVBoxLayout(Body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    setCentralWidget(Body);

    TopPanel = new QWidget(Body);
    TopPanel->setObjectName(QStringLiteral("TopPanel"));
    auto *topLayout = new QVBoxLayout(TopPanel);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);

    CoolBar = new QWidget(TopPanel);
    CoolBar->setObjectName(QStringLiteral("CoolBar"));
    CoolBar->setContextMenuPolicy(Qt::NoContextMenu);
    Keys = new TToolbarKeys(*this);
    Boxes = std::make_unique<TToolbarBoxes>(*this, *Keys);
    CoolBevel = new QFrame(TopPanel);
    CoolBevel->setFrameShape(QFrame::HLine);
    CoolBevel->setFixedHeight(1);

    TabPanel = new QWidget(TopPanel);
    TabPanel->setObjectName(QStringLiteral("TabPanel"));
    auto *tabLayout = new QVBoxLayout(TabPanel);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    TabControl = new TDocTabs(TabPanel);
    TabControl->SetEngine(QPDF);
    TabControl->SetImages(ImageListOf(1));
    connect(TabControl, &TDocTabs::TabControlChange, this, [this](int index) { Documents->TabControlChange(index); });
    TabControl->OpenNewInstance = [this] { Shell->menuNewInstanceClick(); };
    TabControl->DocumentList = [this] { TDocMgrDlg::Execute(*this, false); };
    tabLayout->addWidget(TabControl);
    tabLayout->addStretch(1);
    TabBottomBevel = new QFrame(TabPanel);
    TabBottomBevel->setFrameShape(QFrame::HLine);
    TabBottomBevel->setFixedHeight(1);
    tabLayout->addWidget(TabBottomBevel);

    topLayout->addWidget(CoolBar);
    topLayout->addWidget(CoolBevel);
    topLayout->addWidget(TabPanel);

    MainClientPanel = new QWidget(Body);
    MainClientPanel->setObjectName(QStringLiteral("MainClientPanel"));
    MainClientPanel->setContextMenuPolicy(Qt::NoContextMenu);
    auto *clientLayout = new QVBoxLayout(MainClientPanel);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->setSpacing(0);

    StatusBar = new QWidget(Body);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    auto *statusLayout = new QHBoxLayout(StatusBar);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    StatusLine = new TStatusLine(StatusBar);
    statusLayout->addWidget(StatusLine, 1);

    bodyLayout->addWidget(TopPanel);
    bodyLayout->addWidget(MainClientPanel, 1);
    // Takes the client panel's room while it is hidden (no document), so that the status line
    // stays at the bottom; beside the visible panel it gets nothing.
    bodyLayout->addStretch(0);
    bodyLayout->addWidget(StatusBar);
}

void TMainForm::CreateDialogs()
{
    dlgOpen = new QFileDialog(this);
    dlgOpen->setObjectName(QStringLiteral("dlgOpen"));
    dlgOpen->setOption(QFileDialog::DontUseNativeDialog);
    dlgOpen->setFileMode(QFileDialog::ExistingFiles);
    dlgOpen->setAcceptMode(QFileDialog::AcceptOpen);
    dlgOpen->setNameFilter(kFilter);
    dlgOpen->setDefaultSuffix(QStringLiteral("pdf"));

    dlgSave = new QFileDialog(this);
    dlgSave->setObjectName(QStringLiteral("dlgSave"));
    dlgSave->setOption(QFileDialog::DontUseNativeDialog);
    dlgSave->setFileMode(QFileDialog::AnyFile);
    dlgSave->setAcceptMode(QFileDialog::AcceptSave);
    dlgSave->setNameFilter(kFilter);
    dlgSave->setDefaultSuffix(QStringLiteral("pdf"));

    ChooseOpenFiles = [this] {
        dlgOpen->selectFile(QString());
        dlgOpen->selectNameFilter(kFilter.section(QStringLiteral(";;"), 0, 0));
        return dlgOpen->exec() == QDialog::Accepted ? dlgOpen->selectedFiles() : QStringList();
    };
    ChooseSaveFile = [this](const QString &folder) {
        dlgSave->setDirectory(folder.isEmpty() ? QDir::currentPath() : folder);
        dlgSave->selectFile(QString());
        dlgSave->selectNameFilter(kFilter.section(QStringLiteral(";;"), 0, 0));
        const QStringList files = dlgSave->exec() == QDialog::Accepted ? dlgSave->selectedFiles() : QStringList();
        return files.isEmpty() ? QString() : files.first();
    };
}

// ---- Frame -----------------------------------------------------------------------------

int TMainForm::DocumentCount() const { return QPDF ? QPDF->DocumentCount() : 0; }

bool TMainForm::HasPages() const { return QPDF && QPDF->SelDoc() >= 0 && QPDF->Pages().PageCount() > 0; }

bool TMainForm::TabsVisible() const { return Prefer.ShowTabs && !(Prefer.AutoHideTabs && DocumentCount() <= 1); }

void TMainForm::SetupView()
{
    if (!TopPanel)
        return;
    const bool tabs = TabsVisible();
    const bool tabsShown = !TabPanel->isHidden();
    int tabHeight = Scaled(Prefer.TabsHeight + 6);
    for (QWidget *w : TabPanel->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w != TabBottomBevel)
            tabHeight = std::max(tabHeight, w->sizeHint().height() + 1);
    TabPanel->setFixedHeight(tabHeight);
    const int toolbarHeight = ToolbarItems ? ToolbarItems->Geometry().stripHeight : 0;

    const int height = (tabs ? tabHeight + 2 : 0) + (Prefer.ShowToolbar ? toolbarHeight : 0);
    if (height == 0) {
        TopPanel->hide();
    } else {
        TopPanel->setFixedHeight(height + 1);
        TopPanel->show();
    }
    CoolBar->setVisible(Prefer.ShowToolbar);
    CoolBevel->setVisible(Prefer.ShowToolbar);
    if (tabs != tabsShown) {
        TopPanel->setUpdatesEnabled(false);
        TabPanel->setVisible(tabs);
        TopPanel->setUpdatesEnabled(true);
    }
    StatusBar->setVisible(Prefer.ShowStatusLine);

    // Presentation shows no scroll bars whatever the setting.
    if (App.AppRunning && ScrollForm)
        ScrollForm->SetShowScrollbars(Prefer.ShowScrollbars && DisplayState() != int(TDisplayState::Presentation));

    if (DocumentCount() > 0) {
        if (MainClientPanel->isHidden()) {
            if (ScrollForm) {
                ScrollForm->SetVertRange(0);
                ScrollForm->SetHorzRange(0);
            }
            MainClientPanel->show();
            QCoreApplication::processEvents();
        }
        FocusPageView();
    } else {
        MainClientPanel->hide();
    }
    UpdateMainFont();
}

void TMainForm::UpdateColors() { Themes->UpdateColors(); }

void TMainForm::UpdateInterface()
{
    TPosition pos;
    const bool docs = QPDF && DocumentCount() > 0 && QPDF->SelDoc() >= 0;
    if (docs) {
        pos.cp = QPDF->Layout().SelPage;
        QPDF->Navigator().SavePosition(pos.cp, pos.Top, pos.Left);
    }
    LoadImageLists();
    BuildMenu();
    TabControl->SetImages(ImageListOf(1));
    UpdateMainFont();
    InitToolbar();
    if (StatusLine)
        StatusLine->InitStatusLine(font());
    SetupView();
    if (docs)
        QPDF->Navigator().RestorePosition(pos.cp, pos.Top, pos.Left);
}

void TMainForm::UpdateAdobe()
{
    Menu->UpdateAdobe();
    UpdateToolbar(true);
}

QFont TMainForm::MainFontOf(const QString &name, int size, int tenths, int ppi)
{
    const int height = (ppi * (10 * (size > 0 ? size : 9) + std::clamp(tenths, 0, 9)) + 360) / 720;
    QFont f(name.isEmpty() ? QStringLiteral("Segoe UI") : name);
    f.setPixelSize(std::max(1, height));
    return f;
}

void TMainForm::UpdateMainFont()
{
    const QFont f = MainFontOf(Prefer.FontName, Prefer.FontSize, Prefer.FontSizeTenths, CurrentPPI);
    const int height = f.pixelSize();
    if (font().family() != f.family() || font().pixelSize() != height) {
        setFont(f);
        menuBar()->setFont(f);
        if (StatusLine)
            StatusLine->InitStatusLine(f);
        if (TabControl)
            TabControl->UpdateDocTabs();
    }
    if (MainClientPanel && MainClientPanel->font().pixelSize() != height) {
        QFont client(QStringLiteral("Tahoma"));
        client.setPixelSize(std::max(1, height));
        MainClientPanel->setFont(client);
    }
}

void TMainForm::InitToolbar()
{
    ToolbarItems->CompileToolbar();
    ToolbarItems->TrimToolbar();
    SetupView();
    EnableMenu();
}

void TMainForm::UpdateToolbar(bool fixOnly)
{
    if (!fixOnly) {
        InitToolbar();
        return;
    }
    ToolbarItems->FixPriority();
    ToolbarItems->TrimToolbar();
}

bool TMainForm::ChangeCaption(const QString &doc)
{
    QString title = App.InstanceName;
    if (!doc.isEmpty())
        title += QStringLiteral(" - [") + doc + QLatin1Char(']');
    if (title == windowTitle())
        return false;
    setWindowTitle(title);
    return true;
}

void TMainForm::SetStatusText(const QString &text) { StatusLine->SetSLPanel(slPanelStatus, text); }

QString TMainForm::StatusText() const { return StatusLine->PanelText(slPanelStatus); }

// ---- Document tabs: tab i shows document i ------------------------------------------------

void TMainForm::AddTab(const QString &fileName)
{
    TabControl->AddTab(fileName);
    SetupView();
}

void TMainForm::DeleteTab(int index)
{
    TabControl->DeleteTab(index);
    SetupView();
}

void TMainForm::SelectTab(int index) { TabControl->SelectTab(index); }

void TMainForm::RenameTab(int index, const QString &fileName) { TabControl->RenameTab(index, fileName); }

void TMainForm::UpdateTabIcon(int index) { TabControl->UpdateTabImage(index); }

void TMainForm::BookmarksBuilding()
{
    if (TreeForm)
        TreeForm->BookmarksBuilding();
}

void TMainForm::ShowBookmarkTree(const std::shared_ptr<TTree> &tree, bool track)
{
    if (TreeForm)
        TreeForm->ShowTree(tree, track);
}

void TMainForm::SaveBookmarkTree(TTree &tree)
{
    if (TreeForm)
        TreeForm->SaveTree(tree);
}

bool TMainForm::ShowBookmarksPanel(bool show)
{
    if (!TreeForm)
        return false;
    return show ? TreeForm->doShowDocked(true) : TreeForm->doHideDocked(true);
}

void TMainForm::FollowPage(int page)
{
    if (TreeForm)
        TreeForm->FollowPage(page);
}

void TMainForm::FocusPageView()
{
    if (ScrollForm && ScrollForm->isVisible())
        ScrollForm->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::AskPassword(const QString &fileName, QString &password, bool &remember)
{
    return TPasswordDlg::Execute(DialogParent(), fileName, password, remember);
}

void TMainForm::ShowViewStatus(const TViewStatus &status)
{
    const TViewStatusText text = StatusFormat.Format(status, edPageGoto->hasFocus(), cbZoom->lineEdit()->hasFocus());
    if (text.PageBox && edPageGoto->text() != *text.PageBox)
        edPageGoto->setText(*text.PageBox);
    if (text.CountBox && edPages->text() != *text.CountBox)
        edPages->setText(*text.CountBox);
    edPageGoto->setEnabled(text.PageBoxEnabled);
    StatusLine->SetSLPanel(slPanelPage, text.PagePanel);
    StatusLine->SetSLPanel(slPanelPages, text.PagesPanel);
    StatusLine->SetSLPanel(slPanelZoom, text.ZoomPanel);
    StatusLine->SetSLPanel(slPanelZoomMode, text.ZoomModePanel);
    cbZoom->setEnabled(text.ZoomBoxEnabled);
    if (const char *zoomMode = text.CheckedZoomMode ? ZoomModeCommand(*text.CheckedZoomMode) : nullptr)
        Menu->SetCommand({QLatin1String(zoomMode), TCommandStates::Checked, true});
    if (text.ZoomBox && cbZoom->currentText() != *text.ZoomBox)
        cbZoom->setCurrentText(*text.ZoomBox);
    if (text.FocusView && ScrollForm)
        ScrollForm->setFocus(Qt::OtherFocusReason);
    if (text.SyncTeX)
        StatusLine->SetSLPanel(slPanelSyncTeX, *text.SyncTeX);
}

bool TMainForm::AskGotoPage(const QString &label, const QString &pages, QString &typed)
{
    return TGotoPageDlg::Execute(DialogParent(), DialogOrigin(), label, pages, typed);
}

bool TMainForm::AskZoom(const QString &zoom, QString &typed)
{
    return TZoomDlg::Execute(DialogParent(), DialogOrigin(), zoom, typed);
}

void TMainForm::EscapeReset()
{
    Keys->ToolbarEditing = false;
    if (ScrollForm && ScrollForm->IsLocked()) {
        ScrollForm->LockUpdate(false);
        ScrollForm->update();
    }
}

bool TMainForm::EscapeKey() { return Finder->EscapeKey() || (ClientForm && ClientForm->LeaveFullScreen()); }

int TMainForm::DisplayState() const { return ClientForm ? int(ClientForm->PresentationState()) : 0; }

bool TMainForm::NoPDFPainting() const { return ClientForm && ClientForm->NoPDFPainting(); }

bool TMainForm::FindEnter(bool backward) { return Finder->PageViewEnter(backward); }

bool TMainForm::UseToolBarFind() const { return Finder->FindForm().UseToolBarFind(); }

bool TMainForm::FocusFindBox()
{
    if (!edFindString->isEnabled())
        return false;
    edFindString->setFocus(Qt::ShortcutFocusReason);
    return true;
}

bool TMainForm::FindDialogVisible() const { return Finder->FindForm().isVisible(); }

void TMainForm::ShowFindDialog()
{
    TFindForm &dialog = Finder->FindForm();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.edFindString->setFocus(Qt::OtherFocusReason);
}

void TMainForm::SetSearchString(const QString &s) { Finder->FindForm().SetSearchString(s); }

void TMainForm::SetFindCaption(int ind, int num) { Finder->FindForm().SetCaption(ind, num); }

void TMainForm::PageViewFocused() { Keys->ToolbarEditing = false; }

void TMainForm::PagePainted()
{
    if (Timer)
        Timer->UserActivity();
}

void TMainForm::EnableMenu()
{
    if (!App.AppRunning || !QPDF)
        return;
    if (ClientForm && QPDF->DocumentCount() == 0 && DisplayState() != 0)
        ClientForm->SetFullScreenMode(TDisplayState::Normal);
    TWindowFacts facts;
    facts.Measuring = ScrollForm && ScrollForm->CoordVisible();
    facts.PresentationState = DisplayState();
    // The dialog's input holds the string of either input.
    facts.FindText = !Finder->FindForm().edFindString->text().isEmpty();
    const TCommandStates states = CommandStates(TEngineSnapshot::Of(QPDF), facts, Prefer);
    Menu->Apply(states);
    cbZoom->setEnabled(states.ZoomBox);
    edPageGoto->setEnabled(states.PageBox);
    edFindString->setEnabled(states.FindBox);
    Finder->FindForm().RefreshButtons();
    ToolbarItems->EnableToolbar();
}

void TMainForm::UpdateStatus()
{
    if (!App.AppRunning || !QPDF)
        return;
    Refresh->Run();
    Watch->Follow();
    EnableMenu();
}

void TMainForm::StatusUpdated()
{
    if (QPDF) {
        ChangeCaption(QPDF->FileName());
        // Documents opened or closed: the file watch follows them.
        Watch->Follow();
    }
    // Switching by menu or key goes through the engine: the selected tab follows.
    TabControl->FollowEngine();
    EnableMenu();
}

// ---- Density ---------------------------------------------------------------------------

QWidget *TMainForm::DialogParent() const
{
    // A window manager keeps a dialog of the hidden main window behind the full-screen one.
    if (ClientForm && ClientForm->isWindow() && ClientForm->isVisible())
        return ClientForm;
    return const_cast<TMainForm *>(this);
}

QPoint TMainForm::DialogOrigin() const
{
    if (ClientForm && ClientForm->isWindow() && ClientForm->isVisible())
        return ClientForm->mapToGlobal(QPoint(0, 0));
    if (MainClientPanel->isVisible())
        return MainClientPanel->mapToGlobal(QPoint(0, 0));
    if (isVisible())
        return geometry().topLeft();
    const QScreen *s = screen();
    return s ? s->geometry().topLeft() : QPoint();
}

void TMainForm::DpiChanged(int newPPI)
{
    DebugLog(QStringLiteral("wmDpiChanged handler: ") + QLatin1String(DocumentCount() > 0 ? "1" : "0"));
    CoolBevel->setFixedHeight(1);
    if (!App.AppRunning || !isInit || newPPI <= 0)
        return;
    setUpdatesEnabled(false);
    TPosition pos;
    const bool docs = QPDF && DocumentCount() > 0 && QPDF->SelDoc() >= 0;
    if (docs) {
        pos.cp = QPDF->Layout().SelPage;
        QPDF->Navigator().SavePosition(pos.cp, pos.Top, pos.Left);
    }
    const int oldPPI = CurrentPPI;
    if (oldPPI != newPPI) {
        Placement->ChangeDensity(oldPPI, newPPI);
        if (QPDF)
            QPDF->SetPixelsPerInch(MonitorPixelsPerInch(screen()));
        LoadImageLists();
        BuildMenu();
        TabControl->SetImages(ImageListOf(1));
        InitToolbar();
        UpdateMainFont();
        if (docs)
            QPDF->Navigator().RestorePosition(pos.cp, pos.Top, pos.Left);
        UpdateStatus();
        QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::DpiRefresh, 0));
    }
    setUpdatesEnabled(true);
    DebugLog(QStringLiteral("wmDpiChanged handler done..."));
}

// ---- Life --------------------------------------------------------------------------------

void TMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow()
{
    DebugLog(QStringLiteral("Showing Enter..."));
    SetWindowFrame(this, isActiveWindow());
    if (Shown)
        return;
    Shown = true;
    Themes->ApplyTheme(true);
    UpdateColors();
    DebugLog(QStringLiteral("Theme OK..."));
    Placement->ResizeMainWindow(true);
    SetupView();
    Placement->ResizeMainWindow(false);
    SetupView();
    Placement->WatchScreens([this](int ppi) { DpiChanged(ppi); });
    QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::Start, 0));
    DebugLog(QStringLiteral("Showing Exit..."));
}

bool TMainForm::FormCloseQuery()
{
    // The settings keep the documents' normal views, whatever state shows them now.
    return MainFormCloseQuery(writeData_, [this] {
        if (QPDF)
            QPDF->RestoreDefaultViews();
    });
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (!Closing) {
        Closing = true;
        FormCloseQuery();
    }
    event->accept();
}

bool TMainForm::event(QEvent *event)
{
    switch (int(event->type())) {
    case TDeferredEvent::Start:
        if (DeferredStart)
            DeferredStart();
        SetupView();
        EnableMenu();
        if (Timer && App.AppRunning)
            Timer->Start();
        return true;
    case TDeferredEvent::ThemeRefresh: {
        const int param = static_cast<TDeferredEvent *>(event)->param;
        if (param > 8) {
            Themes->SystemThemeRefresh();
            TopPanel->setUpdatesEnabled(true);
            setUpdatesEnabled(true);
            UpdateStatus();
            update();
            ThemeRefreshPending = false;
        } else if (ThemeRefreshPending) {
            QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::ThemeRefresh, param + 1));
        }
        return true;
    }
    case TDeferredEvent::DpiRefresh: {
        const int param = static_cast<TDeferredEvent *>(event)->param;
        if (param > 9) {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w != this && w->isVisible()) {
                    w->update();
                    for (QWidget *child : w->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                        child->update();
                }
        } else {
            QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::DpiRefresh, param + 1));
        }
        return true;
    }
    case QEvent::ThemeChange:
        DebugLog(QStringLiteral("wmThemeChanged handler..."));
        if (!ThemeRefreshPending) {
            ThemeRefreshPending = true;
            TopPanel->setUpdatesEnabled(false);
            setUpdatesEnabled(false);
            QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::ThemeRefresh, 0));
        }
        DebugLog(QStringLiteral("wmThemeChanged handler done..."));
        break;
    default:
        if (Printing && Printing->HandleEvent(event))
            return true;
        break;
    }
    return QMainWindow::event(event);
}

void TMainForm::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !App.AppRunning)
        return;
    if (Timer)
        Timer->Activation();
    SetWindowFrame(this, isActiveWindow());
    menuBar()->update();
    if (isActiveWindow()) {
        Aborted = false;
        if (!QApplication::activeModalWidget() && !isAncestorOf(QApplication::focusWidget()))
            QTimer::singleShot(0, this, [this] { FocusPageView(); });
        UpdateStatus();
    }
}

// ---- Dropped files -----------------------------------------------------------------------

void TMainForm::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasUrls())
        return;
    event->acceptProposedAction();
    OpenDroppedFiles(event->mimeData()->urls());
}

int TMainForm::OpenDroppedFiles(const QList<QUrl> &urls)
{
    Aborted = false;
    int opened = 0;
    if (!urls.isEmpty() && isMinimized())
        showNormal();
    for (const QUrl &url : urls) {
        if (EscapePressed() || Aborted)
            break;
        if (!url.isLocalFile())
            continue;
        const QString name = url.toLocalFile();
        if (name.isEmpty() || !QFileInfo(name).isFile())
            continue;
        if (QPDF && QPDF->OpenDocument(name, false, QString(), 0, TDestType::ForwardSearch))
            ++opened;
    }
    Aborted = false;
    SetupView();
    EnableMenu();
    return opened;
}
