#include "ui/MainForm.h"

#include "base/AppState.h"
#include "base/BusyIndicator.h"
#include "base/Centering.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "app/MainSequence.h"
#include "base/MessageDialog.h"
#include "settings/Prefer.h"
#include "settings/PreferStore.h"
#include "app/ScreenDensity.h"
#include "app/StatusTimer.h"
#include "engine/DocumentRefresh.h"
#include "engine/QPDF.h"
#include "engine/ZoomSteps.h"
#include "ui/AboutBox.h"
#include "ui/CustomZoomDlg.h"
#include "ui/DocTabs.h"
#include "ui/GotoPageDlg.h"
#include "ui/MainCommands.h"
#include "ui/PasswordDlg.h"
#include "ui/ScrollForm.h"
#include "ui/StatusLine.h"
#include "ui/TabImages.h"

#include <QAction>
#include <QActionGroup>
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
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>

namespace {

const QString kFilter = QStringLiteral("PDF Documents (*.pdf *.PDF);;All Files (*)");
// The widest text of the zoom box.
const QString kZoomBoxSample = QString::number(int(kMaxZoom)) + QLatin1Char('%');

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

// An image of the menu image list by name: the PNG file of that name in the program's
// image folder, none while it is missing.
QIcon MenuImage(const char *name)
{
    if (!*name)
        return {};
    const QString file = App.ExeFolder + QStringLiteral("/Resources/PNGImages/") + QLatin1String(name) + ".png";
    return QFileInfo::exists(file) ? QIcon(file) : QIcon();
}

QLabel *clickableLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setCursor(Qt::PointingHandCursor);
    return label;
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
    ApplyStoredRect();
    if (Prefer.StartMaximized)
        Prefer.Maximized = true;

    // The settings hold sizes at the density they were read for; the window's screen may
    // have another one.
    const int oldPPI = CurrentPPI;
    const int newPPI = WindowPPI();
    if (oldPPI != newPPI) {
        DebugLog(QStringLiteral("DPI Changed from ") + QString::number(oldPPI) + QStringLiteral(" to ")
                 + QString::number(newPPI));
        ScaleStoredSizes(oldPPI, newPPI);
        CurrentPPI = newPPI;
    }
    ApplyStoredRect();
    if (Prefer.Maximized || Prefer.StartMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    setMinimumSize(Scaled(228), Scaled(108));

    CreateComponents();
    CreateDialogs();
    UpdateMainFont();
    BuildMenu();

    Timer = new TStatusTimer(this);
    Timer->UpdateStatus = [this] { UpdateStatus(); };
    Timer->WriteData = writeData_;
    Timer->Minimized = [this] { return isMinimized(); };
    if (QPDF) {
        Refresh = std::make_unique<TDocumentRefresh>(*QPDF);
        Refresh->TabsVisible = [this] { return TabsVisible(); };
        ScrollForm = new TScrollForm(QPDF, MainClientPanel);
        ScrollForm->setObjectName(QStringLiteral("PageView"));
        MainClientPanel->layout()->addWidget(ScrollForm);
        Host = std::make_unique<TPageViewHost>(ScrollForm);
        Host->SetWindow(this);
        QPDF->SetHost(Host.get());
    }

    PreferStoreHooks.storeWindowPlacement = [this] { SetMainSize(); };
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
    CreateToolbarEdits();
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
    TabControl->SetImages(TTabImageList::DocumentStates(MulDiv(16, CurrentPPI, 96)));
    connect(TabControl, &TDocTabs::TabControlChange, this, &TMainForm::TabControlChange);
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

    PopupView = new QMenu(this);
    PopupView->setObjectName(QStringLiteral("PopupMenuView"));
    for (const TPopupEntry &e : PopupMenuViewTable()) {
        if (!*e.name) {
            PopupView->addSeparator();
            continue;
        }
        QAction *a = PopupView->addAction(QString::fromUtf8(e.caption));
        a->setObjectName(QLatin1String(e.name));
        const QString counterpart = QLatin1String(e.counterpart);
        connect(a, &QAction::triggered, this, [this, counterpart] {
            if (QAction *c = Command(counterpart))
                c->trigger();
        });
    }
}

void TMainForm::CreateToolbarEdits()
{
    auto *layout = new QHBoxLayout(CoolBar);
    layout->setContentsMargins(Scaled(4), 0, Scaled(4), 0);
    layout->setSpacing(Scaled(4));

    edPageLabel = clickableLabel(QStringLiteral("Page:"), CoolBar);
    edPageGoto = new QLineEdit(CoolBar);
    edPageGoto->setObjectName(QStringLiteral("edPageGoto"));
    edPageGoto->setMaxLength(5);
    edPageGoto->setAlignment(Qt::AlignCenter);
    edPageGoto->setContextMenuPolicy(Qt::NoContextMenu);
    edPages = new QLabel(QStringLiteral("1/1"), CoolBar);

    edZoom = clickableLabel(QStringLiteral("Zoom:"), CoolBar);
    cbZoom = new QComboBox(CoolBar);
    cbZoom->setObjectName(QStringLiteral("cbZoom"));
    cbZoom->setEditable(true);
    cbZoom->setInsertPolicy(QComboBox::NoInsert);
    cbZoom->setMaxVisibleItems(18);
    for (const char *z : {"10%", "25%", "50%", "75%", "100%", "125%", "150%", "200%", "250%", "300%", "400%",
                          "500%", "600%", "800%", "1000%", "1200%", "1600%", "2000%"})
        cbZoom->addItem(QLatin1String(z));
    cbZoom->lineEdit()->setMaxLength(kZoomBoxSample.size());
    cbZoom->setContextMenuPolicy(Qt::NoContextMenu);
    cbZoom->setCurrentText(QStringLiteral("100%"));

    edFindLabel = new QLabel(QStringLiteral("Find:"), CoolBar);
    edFindString = new QLineEdit(CoolBar);
    edFindString->setObjectName(QStringLiteral("edFindString"));
    edFindString->setContextMenuPolicy(Qt::NoContextMenu);
    edFoundLabel = new QLabel(CoolBar);

    SizeToolbarEdits();

    layout->addStretch(1);
    for (QWidget *w : std::initializer_list<QWidget *>{edPageLabel, edPageGoto, edPages, edZoom, cbZoom,
                                                        edFindLabel, edFindString, edFoundLabel})
        layout->addWidget(w);

    for (QObject *o : std::initializer_list<QObject *>{edPageGoto, cbZoom->lineEdit(), edFindString, edPageLabel,
                                                        edZoom})
        o->installEventFilter(this);
    connect(cbZoom, &QComboBox::textActivated, this, [this] { ZoomEnter(); });
    connect(cbZoom->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        // Typing the "%" applies the zoom at once.
        if (text.size() >= 2 && text.endsWith(QLatin1Char('%')))
            ZoomEnter();
    });
    connect(edFindString, &QLineEdit::textChanged, this, [this] { EnableMenu(); });
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

int TMainForm::Scaled(int n) const { return MulDiv(n, CurrentPPI, 96); }

int TMainForm::WindowPPI() const
{
    const QScreen *s = screen();
    if (!s)
        return CurrentPPI;
    return (qRound(s->logicalDotsPerInchX()) + qRound(s->logicalDotsPerInchY()) + 1) / 2;
}

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
    const int toolbarHeight = Scaled(Prefer.ToolbarHeight + 4);
    CoolBar->setFixedHeight(toolbarHeight);

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

    if (App.AppRunning && ScrollForm)
        ScrollForm->SetShowScrollbars(Prefer.ShowScrollbars);

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

// The boxes' widths follow the font: the zoom box holds the largest zoom with its sign.
void TMainForm::SizeToolbarEdits()
{
    const int charWidth = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    edPageGoto->setFixedWidth(charWidth * 6 + Scaled(8));
    QStyleOptionComboBox option;
    option.initFrom(cbZoom);
    option.editable = true;
    const QSize text(fontMetrics().horizontalAdvance(kZoomBoxSample) + Scaled(8), fontMetrics().height());
    cbZoom->setFixedWidth(style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, cbZoom).width());
    edFindString->setFixedWidth(Scaled(140));
}

void TMainForm::UpdateMainFont()
{
    const int size = Prefer.FontSize > 0 ? Prefer.FontSize : 9;
    const int tenths = std::clamp(Prefer.FontSizeTenths, 0, 9);
    const int height = (CurrentPPI * (10 * size + tenths) + 360) / 720;
    const QString name = Prefer.FontName.isEmpty() ? QStringLiteral("Segoe UI") : Prefer.FontName;
    if (font().family() != name || font().pixelSize() != height) {
        QFont f(name);
        f.setPixelSize(std::max(1, height));
        setFont(f);
        menuBar()->setFont(f);
        if (StatusLine)
            StatusLine->InitStatusLine(f);
        if (TabControl)
            TabControl->UpdateDocTabs();
        SizeToolbarEdits();
    }
    if (MainClientPanel && MainClientPanel->font().pixelSize() != height) {
        QFont client(QStringLiteral("Tahoma"));
        client.setPixelSize(std::max(1, height));
        MainClientPanel->setFont(client);
    }
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

void TMainForm::SetSLPanel(int index, const QString &text) { StatusLine->SetSLPanel(index, text); }

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

void TMainForm::FocusPageView()
{
    if (ScrollForm && ScrollForm->isVisible())
        ScrollForm->setFocus(Qt::OtherFocusReason);
}

bool TMainForm::AskPassword(const QString &fileName, QString &password, bool &remember)
{
    return TPasswordDlg::Execute(this, fileName, password, remember);
}

bool TMainForm::PageGotoFocused() const { return edPageGoto->hasFocus(); }

void TMainForm::SetPageGoto(const QString &label, const QString &pages)
{
    if (edPageGoto->text() != label)
        edPageGoto->setText(label);
    if (edPages->text() != pages)
        edPages->setText(pages);
}

void TMainForm::EnablePageGoto(bool enabled) { edPageGoto->setEnabled(enabled); }

bool TMainForm::ZoomBoxFocused() const { return cbZoom->lineEdit()->hasFocus(); }

void TMainForm::SetZoomBox(const QString &text)
{
    if (cbZoom->currentText() != text)
        cbZoom->setCurrentText(text);
}

void TMainForm::EnableZoomBox(bool enabled) { cbZoom->setEnabled(enabled); }

void TMainForm::CheckZoomMode(TZoomMode mode)
{
    static const char *const fields[] = {"menuZoomFitPage", "menuZoomFitWidth", "menuZoomActualSize",
                                         "menuZoomCustom"};
    if (mode >= zfitPage && mode <= zCustom)
        SetCommandCheck(fields[mode], true);
}

bool TMainForm::AskGotoPage(const QString &label, const QString &pages, QString &typed)
{
    return TGotoPageDlg::Execute(this, DialogOrigin(), label, pages, typed);
}

bool TMainForm::AskZoom(const QString &zoom, QString &typed)
{
    return TZoomDlg::Execute(this, DialogOrigin(), zoom, typed);
}

void TMainForm::EscapeReset()
{
    ToolbarEditing = false;
    if (ScrollForm && ScrollForm->IsLocked()) {
        ScrollForm->LockUpdate(false);
        ScrollForm->update();
    }
}

void TMainForm::PagePainted()
{
    if (Timer)
        Timer->UserActivity();
}

void TMainForm::UpdateStatus()
{
    if (!App.AppRunning || !QPDF)
        return;
    Refresh->Run();
    EnableMenu();
}

void TMainForm::StatusUpdated()
{
    if (QPDF)
        ChangeCaption(QPDF->FileName());
    // Switching by menu or key goes through the engine: the selected tab follows.
    TabControl->FollowEngine();
    EnableMenu();
}

// ---- Placement -------------------------------------------------------------------------

void TMainForm::ScaleStoredSizes(int oldPPI, int newPPI)
{
    if (oldPPI <= 0 || newPPI <= 0)
        return;
    Prefer.BookmarksWidth = MulDiv(Prefer.BookmarksWidth, newPPI, oldPPI);
    TWindowRect &r = Prefer.WindowRect;
    r.Left = MulDiv(r.Left, newPPI, oldPPI);
    r.Top = MulDiv(r.Top, newPPI, oldPPI);
    r.Right = MulDiv(r.Right, newPPI, oldPPI);
    r.Bottom = MulDiv(r.Bottom, newPPI, oldPPI);
}

void TMainForm::ApplyStoredRect()
{
    const TWindowRect &r = Prefer.WindowRect;
    QRect rect(QPoint(r.Left, r.Top), QSize(std::max(1, r.Right - r.Left), std::max(1, r.Bottom - r.Top)));
    // A rectangle on a screen that is gone would put the window out of reach.
    const QScreen *primary = QGuiApplication::primaryScreen();
    bool onScreen = false;
    for (const QScreen *s : QGuiApplication::screens())
        onScreen = onScreen || s->availableVirtualGeometry().intersects(rect);
    if (!onScreen && primary)
        rect.moveTopLeft(primary->availableGeometry().topLeft());
    move(rect.topLeft());
    resize(rect.size());
}

void TMainForm::ResizeMainWindow(bool doMin)
{
    const bool wantMaximized = isMaximized() || Prefer.Maximized || Prefer.StartMaximized;
    DebugLog(QStringLiteral("Resizing..."));
    if (!isMaximized())
        ApplyStoredRect();
    // A window that is not mapped yet cannot be minimised for placing on this platform: the
    // rectangle above is all the first pass needs.
    if (doMin) {
        DebugLog(QStringLiteral("Placement: Minimized..."));
    } else if (wantMaximized) {
        DebugLog(QStringLiteral("Placement: Maximized..."));
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        DebugLog(QStringLiteral("Placement: Normal..."));
    }
    DebugLog(QStringLiteral("Resizing Exit..."));
}

void TMainForm::SetMainSize()
{
    TWindowRect &r = Prefer.WindowRect;
    Prefer.Maximized = isMaximized();
    if (Prefer.Maximized) {
        const QRect normal = normalGeometry();
        if (normal.isValid()) {
            r.Left = normal.left();
            r.Top = normal.top();
            r.Right = normal.left() + normal.width();
            r.Bottom = normal.top() + normal.height();
        }
        return;
    }
    // pos() and size() go back through move() and resize() unchanged.
    r.Left = pos().x();
    r.Top = pos().y();
    r.Right = pos().x() + width();
    r.Bottom = pos().y() + height();
}

QPoint TMainForm::DialogOrigin() const
{
    if (MainClientPanel->isVisible())
        return MainClientPanel->mapToGlobal(QPoint(0, 0));
    if (isVisible())
        return geometry().topLeft();
    const QScreen *s = screen();
    return s ? s->geometry().topLeft() : QPoint();
}

QPoint TMainForm::CenterOnMainWindow(int width, int height) const
{
    if (!isVisible())
        return {};
    const QScreen *s = screen();
    const QRect monitor = s ? s->availableGeometry() : QRect();
    return CenterOver(frameGeometry(), monitor, width, height);
}

void TMainForm::WatchScreen(QScreen *s)
{
    if (WatchedScreen)
        disconnect(WatchedScreen, nullptr, this, nullptr);
    WatchedScreen = s;
    if (s)
        connect(s, &QScreen::logicalDotsPerInchChanged, this, [this] { DpiChanged(WindowPPI()); });
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
        // Qt does not rescale the window with its own scaling off.
        if (!isMaximized())
            resize(MulDiv(width(), newPPI, oldPPI), MulDiv(height(), newPPI, oldPPI));
        ScaleStoredSizes(oldPPI, newPPI);
        CurrentPPI = newPPI;
        setMinimumSize(Scaled(228), Scaled(108));
        if (QPDF)
            QPDF->SetPixelsPerInch(MonitorPixelsPerInch(screen()));
        SetupView();
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
    if (Shown)
        return;
    Shown = true;
    DebugLog(QStringLiteral("Theme OK..."));
    ResizeMainWindow(true);
    SetupView();
    ResizeMainWindow(false);
    SetupView();
    if (QWindow *w = windowHandle()) {
        WatchScreen(w->screen());
        connect(w, &QWindow::screenChanged, this, [this](QScreen *s) {
            WatchScreen(s);
            DpiChanged(WindowPPI());
        });
    }
    QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::Start, 0));
    DebugLog(QStringLiteral("Showing Exit..."));
}

bool TMainForm::FormCloseQuery() { return MainFormCloseQuery(writeData_); }

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
            BuildMenu();
            SetupView();
            EnableMenu();
            UpdateStatus();
            TopPanel->setUpdatesEnabled(true);
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
            QCoreApplication::postEvent(this, new TDeferredEvent(TDeferredEvent::ThemeRefresh, 0));
        }
        DebugLog(QStringLiteral("wmThemeChanged handler done..."));
        break;
    default:
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

// ---- Toolbar edits and keyboard routing --------------------------------------------------

void TMainForm::LeaveToolbarEditing()
{
    ToolbarEditing = false;
    FocusPageView();
}

void TMainForm::GotoPageEnter()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().doGOTOPageLabel(edPageGoto->text());
    EnableMenu();
}

void TMainForm::ZoomEnter()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().doSetZoom(cbZoom->currentText());
    EnableMenu();
}

bool TMainForm::WantChildKey(QObject *child, QEvent *event)
{
    const bool edit = child == edPageGoto || child == cbZoom->lineEdit() || child == cbZoom || child == edFindString;
    if (!edit || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape) {
        LeaveToolbarEditing();
        return true;
    }
    return false;
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (WantChildKey(watched, event))
        return true;
    const bool pageBox = watched == edPageGoto;
    const bool zoomBox = watched == cbZoom->lineEdit();
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (enter && pageBox) {
            GotoPageEnter();
            return true;
        }
        if (enter && zoomBox) {
            ZoomEnter();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (pageBox || zoomBox) {
            ToolbarEditing = true;
            // A click places the cursor after the focus arrives: select once it has. Keys
            // typed at once must not be selected over, so the other ways select now.
            auto *edit = static_cast<QLineEdit *>(watched);
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
            else
                edit->selectAll();
        }
        break;
    case QEvent::FocusOut:
        if ((pageBox || zoomBox) && ToolbarEditing) {
            ToolbarEditing = false;
            // The boxes show the view again.
            if (QPDF && QPDF->SelDoc() >= 0)
                QPDF->UpdateStatus();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == edPageLabel) {
            if (edPageGoto->hasFocus())
                GotoPageEnter();
            else
                menuGoToPageClick();
            return true;
        }
        if (watched == edZoom) {
            if (cbZoom->lineEdit()->hasFocus())
                ZoomEnter();
            else
                menuZoomCustomClick();
            return true;
        }
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Menus -------------------------------------------------------------------------------

void TMainForm::BuildMenu()
{
    QMenuBar *bar = menuBar();
    bar->clear();
    for (QActionGroup *g : std::as_const(RadioGroups))
        delete g;
    RadioGroups.clear();
    qDeleteAll(Commands);
    Commands.clear();
    qDeleteAll(Menus);
    Menus.clear();
    ZoomMenu = nullptr;

    // Parents by level; level 0 is the menu bar.
    QList<QMenu *> stack;
    QAction *last = nullptr;
    for (const TMenuEntry &e : MainMenuTable()) {
        QMenu *parent = stack.isEmpty() ? nullptr : stack.last();
        switch (e.kind) {
        case TMenuEntry::Separator:
            if (parent)
                parent->addSeparator()->setData(-1);
            break;
        case TMenuEntry::Descend:
            if (last && stack.size() < 8) {
                auto *sub = new QMenu(last->text(), parent ? static_cast<QWidget *>(parent) : bar);
                sub->setObjectName(last->objectName());
                last->setMenu(sub);
                stack << sub;
                Menus << sub;
                connect(sub, &QMenu::aboutToShow, this, [this] { SetStatusText(QStringLiteral("Menu ...")); });
                connect(sub, &QMenu::aboutToHide, this, [this] { SetStatusText(QString()); });
                if (last->objectName() == QLatin1String("menuZoom"))
                    ZoomMenu = sub;
            }
            break;
        case TMenuEntry::Ascend:
            if (!stack.isEmpty())
                stack.removeLast();
            break;
        case TMenuEntry::Item:
            AddCommand(parent, e);
            last = Commands.value(QLatin1String(e.field));
            break;
        }
    }
    if (QAction *themes = Command(QStringLiteral("menuThemes")))
        themes->setVisible(Prefer.ShowThemesMenu);
    CreateZoomMenu();
}

void TMainForm::AddCommand(QMenu *parent, const TMenuEntry &e)
{
    const QString field = QLatin1String(e.field);
    QString caption = QString::fromUtf8(e.caption);
    QString shortcut = QLatin1String(e.shortcut);
    bool visible = e.visible;
    if (field == QLatin1String("menuOpenAdobe")) {
        caption = Prefer.AdobeMenu;
        shortcut = Prefer.AdobeShortcut;
        visible = Prefer.AdobeInMenu;
    }
    auto *a = new QAction(MenuImage(e.image), caption, this);
    a->setObjectName(field);
    a->setData(e.tag);
    a->setCheckable(e.checkable);
    a->setShortcutContext(Qt::WindowShortcut);
    if (*e.alternateOf) {
        // The visible command takes the second shortcut: a hidden action never fires.
        if (QAction *main = Command(QLatin1String(e.alternateOf)))
            main->setShortcuts(main->shortcuts() << QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    } else if (!shortcut.isEmpty()) {
        a->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
    }
    if (e.radioGroup > 0) {
        QActionGroup *&group = RadioGroups[e.radioGroup];
        if (!group)
            group = new QActionGroup(this);
        group->addAction(a);
    }
    a->setVisible(visible && !*e.alternateOf);
    Commands.insert(field, a);
    if (parent)
        parent->addAction(a);
    else
        menuBar()->addAction(a);
    // Shortcuts of actions in hidden menus still fire when the window holds them.
    addAction(a);
    const auto click = e.click;
    const bool isMenu = !e.click && !*e.shortcut && parent == nullptr;
    if (isMenu)
        return;
    connect(a, &QAction::triggered, this, [this, a, click] { RunCommand(a, click); });
}

void TMainForm::RunCommand(QAction *action, void (TMainForm::*click)())
{
    if (!click) {
        NotAvailableYet(action);
        EnableMenu();
        return;
    }
    CurrentCommand = action;
    (this->*click)();
    CurrentCommand = nullptr;
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->UpdateStatus();
    EnableMenu();
}

void TMainForm::NotAvailableYet(QAction *action)
{
    const QString text = PlainCaption(action->text()) + QStringLiteral(": not available yet");
    DebugLog(text);
    SetStatusText(text);
}

void TMainForm::CreateZoomMenu()
{
    if (!ZoomMenu)
        return;
    for (QAction *a : ZoomMenu->actions())
        if (a->data().toInt() > 0) {
            ZoomMenu->removeAction(a);
            delete a;
        }
    if (!Prefer.ZoomMenu)
        return;
    for (int value : ZoomMenuPresets(Prefer.ZoomMenuValues)) {
        QAction *a = ZoomMenu->addAction(QString::number(value) + QLatin1Char('%'));
        a->setData(value);
        connect(a, &QAction::triggered, this, [this, a] { RunCommand(a, &TMainForm::menuZoomClick); });
    }
}

void TMainForm::SetCommandState(const char *field, bool enabled)
{
    if (QAction *a = Command(QLatin1String(field)))
        a->setEnabled(enabled);
}

void TMainForm::SetCommandCheck(const char *field, bool checked)
{
    if (QAction *a = Command(QLatin1String(field)))
        a->setChecked(checked);
}

void TMainForm::EnableMenu()
{
    if (!App.AppRunning || !QPDF)
        return;
    const bool doc = QPDF->DocumentCount() > 0 && QPDF->SelDoc() >= 0;
    const bool pages = doc && HasPages();
    const QString file = doc ? QPDF->FileName() : QString();
    const bool exists = doc && FileExists(file);
    const int count = QPDF->DocumentCount();
    const TPageLayout &view = QPDF->Layout();
    const int presentationState = 0;

    // View check marks.
    SetCommandCheck("menuSinglePage", doc && view.PageView == TPageViewMode::Single);
    SetCommandCheck("menuDoublePage", doc && view.PageView == TPageViewMode::Double);
    SetCommandCheck("menuBookView", doc && view.PageView == TPageViewMode::Book);
    SetCommandCheck("menuCountiniousView", doc && view.AllowScrolling);
    SetCommandCheck("menuShowBookmarks", doc && QPDF->ShowBookmarks);
    SetCommandCheck("menuFrameLinks", doc && QPDF->FrameLinks);
    SetCommandCheck("menuRenderAnnot", doc && QPDF->RenderAnnot);
    SetCommandCheck("menuPresentation", presentationState == 2);
    SetCommandCheck("menuFullScreen", presentationState == 1);
    if (doc) {
        switch (view.FZoomMode) {
        case zfitPage: SetCommandCheck("menuZoomFitPage", true); break;
        case zfitWidth: SetCommandCheck("menuZoomFitWidth", true); break;
        case zActualSize: SetCommandCheck("menuZoomActualSize", true); break;
        case zCustom: SetCommandCheck("menuZoomCustom", true); break;
        }
    }

    // Options and themes.
    SetCommandCheck("menuShowToolbar", Prefer.ShowToolbar);
    SetCommandCheck("menuShowTabs", Prefer.ShowTabs);
    SetCommandCheck("menuShowStatusLine", Prefer.ShowStatusLine);
    SetCommandCheck("menuShowScrollbars", Prefer.ShowScrollbars);
    SetCommandCheck("menuRenderToBitmap", Prefer.RenderToBitmap);
    SetCommandCheck("menuToggleTheme", Prefer.ThemeSelector > 0);
    SetCommandCheck("menuDefaultTheme", Prefer.ThemeModeIndex == 0);
    SetCommandCheck("menuDarkTheme", Prefer.ThemeModeIndex == 1);
    SetCommandCheck("menuLightTheme", Prefer.ThemeModeIndex == 2);
    SetCommandCheck("menuRenderNormal", Prefer.RenderModeIndex == 0);
    SetCommandCheck("menuInvertBrightness", Prefer.RenderModeIndex == 1);
    SetCommandCheck("menuInvertRGB", Prefer.RenderModeIndex == 2);
    SetCommandCheck("menuColorRange", Prefer.blendEnabled);
    SetCommandCheck("menuGrayShades", Prefer.RenderGray);

    // File.
    SetCommandState("menuSave", pages);
    SetCommandState("menuPrint", pages);
    SetCommandState("menuSendMail", pages);
    SetCommandState("menuOpenHomeFolder", doc && FolderExists(FileFolder(file)));
    SetCommandState("menuOpenAdobe", doc && Prefer.AdobeOK && exists);
    SetCommandState("menuNewInstance", doc && exists);
    SetCommandState("menuDocumentProperties", doc);
    SetCommandState("menuReload", doc && exists);
    SetCommandState("menuClose", doc);
    SetCommandState("menuCloseAll", doc);

    // Edit: nothing is selected until the page view can select text.
    SetCommandState("menuSelAll", pages);
    SetCommandState("menuSelPage", pages);
    SetCommandState("menuCopy", false);
    SetCommandState("menuMeasuringMode", doc);
    SetCommandCheck("menuMeasuringMode", doc && ScrollForm && ScrollForm->CoordVisible());

    // Search.
    const bool findText = pages && !edFindString->text().isEmpty();
    SetCommandState("menuFind", pages);
    SetCommandState("menuFindNext", findText);
    SetCommandState("menuFindPrev", findText);
    SetCommandState("menuInverseSearch",
                    doc && QPDF->SyncTeX() && FileExists(TSyncTeX::GetSyncFileName(file)));

    // Goto.
    TNavigator &nav = QPDF->Navigator();
    SetCommandState("menuGoToPage", pages);
    SetCommandState("menuSetMark", doc);
    SetCommandState("menuGotoMark", doc && nav.CanGotoMark());
    SetCommandState("menuBack", doc && nav.CanPrevPosition());
    SetCommandState("menuForward", doc && nav.CanNextPosition());
    SetCommandState("menuNextDoc", count > 1);
    SetCommandState("menuPrevDoc", count > 1);
    SetCommandState("menuToggleDoc", count > 1);

    // View and Zoom: everything needs a document.
    for (const char *menu : {"menuView", "menuZoom"})
        if (QAction *m = Command(QLatin1String(menu)); m && m->menu())
            for (QAction *a : m->menu()->actions())
                if (!a->isSeparator())
                    a->setEnabled(doc);
    SetCommandState("menuPresentationAlt", doc);
    SetCommandState("menuFullScreenAlt", doc);
    SetCommandState("menuZoomIn", doc && view.FZoom < kMaxZoom - 0.0001);
    SetCommandState("menuZoomOut", doc && view.FZoom > kMinZoom + 0.0001);

    cbZoom->setEnabled(doc);
    edPageGoto->setEnabled(pages);
    edFindString->setEnabled(pages);
}

void TMainForm::PopupMenuViewPopup(const QPoint &globalPos)
{
    for (QAction *item : PopupView->actions()) {
        if (item->isSeparator())
            continue;
        const auto &table = PopupMenuViewTable();
        const auto it = std::find_if(table.begin(), table.end(),
                                     [&](const TPopupEntry &e) { return item->objectName() == QLatin1String(e.name); });
        QAction *main = it == table.end() ? nullptr : Command(QLatin1String(it->counterpart));
        if (!main)
            continue;
        item->setIcon(main->icon());
        item->setEnabled(main->isEnabled());
        item->setShortcut(main->shortcut());
        const QString name = item->objectName();
        if (name == QLatin1String("OpenFolder1") || name == QLatin1String("OpeninAdobe1")
            || name == QLatin1String("OpenNewinstance1")) {
            item->setText(main->text());
            item->setVisible(main->isVisible());
        }
        if (name == QLatin1String("ShowBookmarks1")) {
            item->setCheckable(true);
            item->setChecked(main->isChecked());
        }
    }
    PopupView->popup(globalPos);
}

// ---- Commands ----------------------------------------------------------------------------

void TMainForm::menuOpenClick()
{
    if (!QPDF || !ChooseOpenFiles)
        return;
    const QStringList files = ChooseOpenFiles();
    for (const QString &file : files)
        if (!QPDF->LoadFile(file)) {
            MessageDialog(QStringLiteral("PDF Error"), QStringLiteral("Error loading \"") + file + QLatin1Char('"'),
                          mtError, MsgButtons({mbOK}));
            break;
        }
    SetupView();
}

void TMainForm::menuSaveClick()
{
    if (!QPDF || !HasPages() || !ChooseSaveFile)
        return;
    const QString folder = FileFolder(QPDF->FileName());
    const QString name = ChooseSaveFile(FolderExists(folder) ? folder : QString());
    if (name.isEmpty())
        return;
    if (!QPDF->SaveFile(name))
        MessageDialog(QStringLiteral("PDF Error"), QStringLiteral("PDF Error saving \"") + name + QLatin1Char('"'),
                      mtError, MsgButtons({mbOK}));
}

void TMainForm::menuReloadClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->ReloadFile(QPDF->FileName());
}

void TMainForm::menuCloseClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->CloseFile(QString(), -1);
    SetupView();
}

void TMainForm::menuCloseAllClick()
{
    if (QPDF && QPDF->DocumentCount() > 0)
        QPDF->CloseAllFiles(-1);
    SetupView();
}

void TMainForm::menuMeasuringModeClick()
{
    if (!ScrollForm || !QPDF || QPDF->SelDoc() < 0)
        return;
    if (ScrollForm->CoordVisible())
        ScrollForm->HideCoord();
    else
        ScrollForm->ShowCoord();
}

void TMainForm::menuInverseSearchClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->InverseSearch();
}

void TMainForm::menuGoToPageClick()
{
    if (!HasPages())
        return;
    if (Prefer.ShowToolbar && CoolBar->isVisible()) {
        edPageGoto->setFocus(Qt::ShortcutFocusReason);
        edPageGoto->selectAll();
        return;
    }
    QPDF->Navigator().ShowGotoPageDlg();
}

void TMainForm::menuSetMarkClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetMark();
}

void TMainForm::menuGotoMarkClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().GotoMark();
}

void TMainForm::menuBackClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().PrevPosition();
}

void TMainForm::menuForwardClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().NextPosition();
}

void TMainForm::TabControlChange(int index)
{
    if (!QPDF || index < 0 || index >= QPDF->DocumentCount())
        return;
    QPDF->DocChanged();
    FocusPageView();
    QPDF->StoreDoc(QPDF->SelDoc());
    QPDF->RestoreDoc(index);
    const TDocument &d = QPDF->Document(index);
    if (FileExists(d.FileName) && FileTime64(d.FileName) != d.FileDate && !FileLocked(d.FileName, true, true))
        QPDF->LoadFile(QString(d.FileName));
    QPDF->SetSelDoc(index);
}

void TMainForm::menuNextDocClick()
{
    const int count = DocumentCount();
    if (count < 1)
        return;
    int index = QPDF->SelDoc();
    if (count > 1)
        index = (index + 1) % count;
    TabControlChange(index);
}

void TMainForm::menuPrevDocClick()
{
    const int count = DocumentCount();
    if (count < 1)
        return;
    int index = QPDF->SelDoc();
    if (count > 1)
        index = index > 0 ? index - 1 : count - 1;
    TabControlChange(index);
}

void TMainForm::menuToggleDocClick()
{
    const int count = DocumentCount();
    if (count < 2)
        return;
    const int current = QPDF->SelDoc();
    int index = QPDF->PreviousSelDoc();
    if (index == current)
        index = current - 1;
    if (index < 0 || index >= count)
        index = current == count - 1 ? 0 : count - 1;
    TabControlChange(index);
}

void TMainForm::menuPageViewClick()
{
    if (QPDF && QPDF->SelDoc() >= 0 && CurrentCommand) {
        CurrentCommand->setChecked(true);
        QPDF->Navigator().ChangeView(TPageViewMode(CurrentCommand->data().toInt()));
    }
}

void TMainForm::menuCountiniousViewClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        CurrentCommand->setChecked(QPDF->Navigator().ToggleContinuousView());
}

void TMainForm::menuShowBookmarksClick()
{
    // The flag travels with the document; the panel that shows it is not part of the
    // window yet.
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->ShowBookmarks = !QPDF->ShowBookmarks;
    NotAvailableYet(CurrentCommand);
}

void TMainForm::AfterViewSwitch()
{
    if (ScrollForm)
        ScrollForm->viewport()->update();
}

void TMainForm::menuFrameLinksClick()
{
    if (QPDF && QPDF->SelDoc() >= 0) {
        QPDF->FrameLinks = !QPDF->FrameLinks;
        AfterViewSwitch();
    }
}

void TMainForm::menuRenderAnnotClick()
{
    if (QPDF && QPDF->SelDoc() >= 0) {
        QPDF->RenderAnnot = !QPDF->RenderAnnot;
        AfterViewSwitch();
    }
}

void TMainForm::menuRotateRightClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetRotate((QPDF->Layout().FRotate + 1) % 4);
}

void TMainForm::menuRotateLeftClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetRotate((QPDF->Layout().FRotate + 3) % 4);
}

void TMainForm::menuZoomFitPageClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zfitPage);
}

void TMainForm::menuZoomActualSizeClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zActualSize);
}

void TMainForm::menuZoomFitWidthClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().SetZoomMode(zfitWidth);
}

void TMainForm::menuZoomCustomClick()
{
    if (!QPDF || QPDF->SelDoc() < 0)
        return;
    if (Prefer.ShowToolbar && CoolBar->isVisible()) {
        cbZoom->setFocus(Qt::ShortcutFocusReason);
        cbZoom->lineEdit()->selectAll();
        return;
    }
    QPDF->Navigator().ShowZoomDlg();
}

void TMainForm::menuZoomInClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().ZoomIn(nullptr);
}

void TMainForm::menuZoomOutClick()
{
    if (QPDF && QPDF->SelDoc() >= 0)
        QPDF->Navigator().ZoomOut(nullptr);
}

void TMainForm::menuZoomClick()
{
    if (QPDF && QPDF->SelDoc() >= 0 && CurrentCommand)
        QPDF->Navigator().ZoomCustom(CurrentCommand->data().toInt(), nullptr);
}

void TMainForm::menuShowToolbarClick()
{
    Prefer.ShowToolbar = !Prefer.ShowToolbar;
    SetupView();
}

void TMainForm::menuShowTabsClick()
{
    Prefer.ShowTabs = !Prefer.ShowTabs;
    TopPanel->setUpdatesEnabled(false);
    SetupView();
    TopPanel->setUpdatesEnabled(true);
}

void TMainForm::menuShowStatusLineClick()
{
    Prefer.ShowStatusLine = !Prefer.ShowStatusLine;
    SetupView();
}

void TMainForm::menuShowScrollbarsClick()
{
    Prefer.ShowScrollbars = !Prefer.ShowScrollbars;
    SetupView();
}

void TMainForm::menuRenderToBitmapClick()
{
    Prefer.RenderToBitmap = !Prefer.RenderToBitmap;
    SetupView();
    AfterViewSwitch();
}

void TMainForm::menuManualClick()
{
    if (!QPDF)
        return;
    const QString tail = QStringLiteral("/Doc/PDFSync.pdf");
    const QString local = App.DataFolder + tail;
    QPDF->LoadFile(FileExists(local) ? local : App.ExeFolder + tail);
    SetupView();
}

void TMainForm::menuAboutClick()
{
    TAboutBox box(this);
    box.adjustSize();
    box.move(CenterOnMainWindow(box.width(), box.height()));
    box.exec();
}
