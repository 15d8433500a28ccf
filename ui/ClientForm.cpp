#include "ui/ClientForm.h"

#include "app/MonitorChoice.h"
#include "app/Placement.h"
#include "base/AppState.h"
#include "engine/QPDF.h"
#include "platform/KeySymbols.h"
#include "settings/Prefer.h"
#include "ui/ScrollForm.h"
#include "ui/TreeForm.h"
#include "ui/widgets/PanelCaption.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>

#include <algorithm>

namespace {

// Ends a switch however it ends: the running mark goes and both windows draw again.
class TSwitchGuard {
public:
    TSwitchGuard(bool &running, bool &noPainting, QWidget *form, QWidget *mainWindow)
        : Running(running), NoPainting(noPainting), Form(form), MainWindow(mainWindow)
    {
        Running = true;
        NoPainting = true;
        Form->setUpdatesEnabled(false);
        MainWindow->setUpdatesEnabled(false);
    }
    ~TSwitchGuard()
    {
        MainWindow->setUpdatesEnabled(true);
        Form->setUpdatesEnabled(true);
        NoPainting = false;
        Running = false;
    }
    TSwitchGuard(const TSwitchGuard &) = delete;
    TSwitchGuard &operator=(const TSwitchGuard &) = delete;

private:
    bool &Running;
    bool &NoPainting;
    QWidget *Form;
    QWidget *MainWindow;
};

// The blackout keys by the symbol of their key without Shift, so that "." is "." with Shift
// on every layout, and a layout's own ">" key is not taken for it. Without the server's keymap
// (offscreen) Qt's key stands, where Shift+"." arrives as ">" as on a US layout.
int BlackoutKeyOf(const QKeyEvent &e)
{
    switch (pl::UnshiftedKeySym(e.nativeScanCode(), e.nativeModifiers())) {
    case 0: return e.key();
    case 0x2e: return Qt::Key_Period; // period
    case 0x62: return Qt::Key_B;      // b
    case 0x77: return Qt::Key_W;      // w
    case 0xff1b: return Qt::Key_Escape;
    default: return Qt::Key_unknown;
    }
}

} // namespace

TClientForm::TClientForm(TQPDF *engine, QWidget *home, QWidget *mainWindow)
    : QWidget(home), QPDF(engine), Home(home), MainWindow(mainWindow)
{
    setObjectName(QStringLiteral("ClientForm"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    LeftSplitter = new QSplitter(Qt::Horizontal, this);
    LeftSplitter->setObjectName(QStringLiteral("LeftSplitter"));
    LeftSplitter->setChildrenCollapsible(false);
    LeftSplitter->setOpaqueResize(true);
    layout->addWidget(LeftSplitter);

    LeftPanel = new QWidget(LeftSplitter);
    LeftPanel->setObjectName(QStringLiteral("LeftPanel"));
    auto *left = new QVBoxLayout(LeftPanel);
    left->setContentsMargins(0, 0, 0, 0);
    // The panel's own lower bound, not its tree's size hint, which changes with the outline
    // and would move the page view under a reload.
    LeftPanel->setMinimumWidth(Scaled(32));
    LeftPanel->hide();

    ClientPanel = new QWidget(LeftSplitter);
    ClientPanel->setObjectName(QStringLiteral("ClientPanel"));
    auto *client = new QVBoxLayout(ClientPanel);
    client->setContentsMargins(0, 0, 0, 0);
    LeftSplitter->addWidget(LeftPanel);
    LeftSplitter->addWidget(ClientPanel);
    LeftSplitter->setStretchFactor(1, 1);
    // The panel's width before the settings give it one: 600 px at 288 pixels per inch.
    LeftSplitter->setSizes({Scaled(200), Scaled(600)});
    // Live resizing redraws the page view at every step of a drag: it waits for the drop.
    LeftSplitter->handle(1)->installEventFilter(this);
    connect(LeftSplitter, &QSplitter::splitterMoved, this, [this](int pos, int) {
        Prefer.BookmarksWidth = GetBMWidth(pos);
        if (pos != Prefer.BookmarksWidth)
            LeftSplitter->setSizes({Prefer.BookmarksWidth, LeftSplitter->width() - Prefer.BookmarksWidth});
    });

    if (QPDF) {
        ScrollForm = new TScrollForm(QPDF, ClientPanel);
        ScrollForm->setObjectName(QStringLiteral("PageView"));
        client->addWidget(ScrollForm);
        ScrollForm->installEventFilter(this);
        edCoord = new QLineEdit(QStringLiteral(" Cursor: 100.0 x 100.0 mm"), ClientPanel);
        edCoord->setObjectName(QStringLiteral("edCoord"));
        edCoord->setReadOnly(true);
        edCoord->setAlignment(Qt::AlignCenter);
        edCoord->setFocusPolicy(Qt::NoFocus);
        edCoord->setFrame(false);
        edCoord->installEventFilter(this);
        ScrollForm->SetCoordBox(edCoord);
    }
    installEventFilter(this);
    if (auto *homeLayout = Home->layout())
        homeLayout->addWidget(this);
}

TClientForm::~TClientForm() = default;

int TClientForm::GetBMWidth(int a) const
{
    const int margin = Scaled(32);
    return std::max(margin, std::min(a, LeftSplitter->width() - margin));
}

void TClientForm::SetTreeForm(TTreeForm *tree)
{
    TreeForm = tree;
    // The panel cannot be undocked, so its caption is only a title and a close button.
    auto *caption = new TPanelCaption(QStringLiteral("Bookmarks"), LeftPanel);
    caption->setObjectName(QStringLiteral("BookmarksCaption"));
    connect(caption, &TPanelCaption::CloseClicked, tree, [tree] { tree->doHideDocked(true); });
    LeftPanel->layout()->addWidget(caption);
    LeftPanel->layout()->addWidget(tree);
}

void TClientForm::ShowLeftPanel(bool show)
{
    const bool appears = show && LeftPanel->isHidden();
    LeftPanel->setVisible(show);
    // The handle beside it at once, not at the splitter's next layout, which would narrow the
    // page view later (under a reload, costing it its place).
    LeftSplitter->refresh();
    if (appears) {
        const int width = GetBMWidth(Prefer.BookmarksWidth);
        LeftSplitter->setSizes({width, std::max(0, LeftSplitter->width() - width)});
    }
}

void TClientForm::ClampBookmarksWidth()
{
    // The window's new size reaches the splitter through its layouts on their next pass:
    // they settle now, from the window down.
    QList<QWidget *> chain;
    for (QWidget *w = LeftSplitter->parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        chain.prepend(w);
    for (QWidget *w : chain)
        if (QLayout *l = w->layout()) {
            l->invalidate();
            l->activate();
        }
    // A hidden form is not laid out: it has no width to clamp against.
    if (!LeftSplitter->isVisible() || LeftSplitter->width() <= 2 * Scaled(32))
        return;
    Prefer.BookmarksWidth = GetBMWidth(Prefer.BookmarksWidth);
    if (!LeftPanel->isHidden())
        LeftSplitter->setSizes({Prefer.BookmarksWidth, std::max(0, LeftSplitter->width() - Prefer.BookmarksWidth)});
}

void TClientForm::SuspendClientDrawing(bool suspend)
{
    // Not before the start-up has finished, nor while the page view does not show.
    if (suspend && (!App.AppRunning || !ScrollForm || !ScrollForm->isVisible()))
        return;
    if (ClientPanel->updatesEnabled() == !suspend)
        return;
    ClientPanel->setUpdatesEnabled(!suspend);
    if (!suspend)
        ClientPanel->update();
}

// ---- Switching -----------------------------------------------------------------------------

void TClientForm::SetFullScreenMode(TDisplayState target)
{
    if (Switching)
        return;
    noPDFPainting = false;
    if (!QPDF || QPDF->SelDoc() < 0 || target == State)
        target = TDisplayState::Normal;
    if (target == State)
        return;
    const TDisplayState from = State;
    {
        TSwitchGuard guard(Switching, noPDFPainting, this, MainWindow);
        SetBlackout(TBlackout::None);
        if (target == TDisplayState::Normal)
            ReturnToMainWindow();
        else if (from == TDisplayState::Normal)
            LeaveMainWindow();
        State = target;
        noPDFPainting = false;
        ApplyViewSettings(from, target);
    }
    if (StateChanged)
        StateChanged();
    if (ScrollForm) {
        ScrollForm->setFocus();
        ScrollForm->viewport()->update();
    }
    if (State != TDisplayState::Normal) {
        raise();
        activateWindow();
    }
}

bool TClientForm::LeaveFullScreen()
{
    if (State == TDisplayState::Normal)
        return false;
    SetFullScreenMode(TDisplayState::Normal);
    return true;
}

void TClientForm::LeaveMainWindow()
{
    // The monitor the main window is on, whatever the window manager does with the request.
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> monitors;
    for (const QScreen *s : screens)
        monitors << s->geometry();
    const int chosen = MonitorOfWindow(MainWindow->frameGeometry(), monitors);
    const QRect monitor = chosen >= 0 ? monitors[chosen] : QGuiApplication::primaryScreen()->geometry();
    setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QApplication::applicationDisplayName());
    setGeometry(monitor);
    if (layout())
        layout()->activate();
    showFullScreen();
    setGeometry(monitor);
    // A window shortcut fires only in the windows its action was added to.
    addActions(MainWindow->actions());
    // The hidden main window is unmapped: this window alone stands for the program.
    MainWindow->hide();
}

void TClientForm::ReturnToMainWindow()
{
    hide();
    for (QAction *a : MainWindow->actions())
        removeAction(a);
    setParent(Home, Qt::Widget);
    setWindowTitle(QString());
    if (auto *homeLayout = Home->layout())
        homeLayout->addWidget(this);
    show();
    MainWindow->show();
    if (Home->layout())
        Home->layout()->activate();
}

void TClientForm::ApplyViewSettings(TDisplayState from, TDisplayState to)
{
    if (!ScrollForm)
        return;
    ScrollForm->SetShowScrollbars(false);
    ScrollForm->SetFullScreenBackground(to != TDisplayState::Normal);
    QPDF->SwitchDisplayState(from, to);
    if (TreeForm) {
        if (QPDF->ShowBookmarks)
            TreeForm->doShowDocked(true);
        else
            TreeForm->doHideDocked(true);
        // The tree moved to another window: rebuilt, keeping its open nodes, selection and top.
        TreeForm->RestoreTree();
    }
    ScrollForm->SetShowScrollbars(to != TDisplayState::Presentation && Prefer.ShowScrollbars);
}

// ---- Blackout ------------------------------------------------------------------------------

bool TClientForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == LeftSplitter->handle(1)) {
        if (e->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent *>(e)->button() == Qt::LeftButton)
            SuspendClientDrawing(true);
        else if (e->type() == QEvent::MouseButtonRelease)
            SuspendClientDrawing(false);
        return QWidget::eventFilter(watched, e);
    }
    // A click or Esc in the measuring box ends the measuring.
    if (watched == edCoord && ScrollForm
        && (e->type() == QEvent::MouseButtonPress
            || (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_Escape))) {
        ScrollForm->HideCoord();
        ScrollForm->setFocus();
        return true;
    }
    if (e->type() == QEvent::KeyPress && State == TDisplayState::Presentation) {
        const auto *key = static_cast<QKeyEvent *>(e);
        if (BlackoutKey(BlackoutKeyOf(*key), key->modifiers() & Qt::ShiftModifier))
            return true;
    }
    return QWidget::eventFilter(watched, e);
}

bool TClientForm::BlackoutKey(int key, bool shift)
{
    TBlackout wanted = TBlackout::None;
    switch (key) {
    case Qt::Key_Escape:
        if (FBlackout == TBlackout::None)
            return false;
        SetBlackout(TBlackout::None);
        return true;
    // Shift+"." arrives as ">" on layouts that put it there.
    case Qt::Key_Greater: wanted = TBlackout::White; break;
    case Qt::Key_Period: wanted = shift ? TBlackout::White : TBlackout::Black; break;
    case Qt::Key_B: wanted = TBlackout::Black; break;
    case Qt::Key_W: wanted = TBlackout::White; break;
    default: return false;
    }
    SetBlackout(wanted == FBlackout ? TBlackout::None : wanted);
    return true;
}

void TClientForm::SetBlackout(TBlackout b)
{
    if (b == FBlackout)
        return;
    const bool starts = FBlackout == TBlackout::None;
    FBlackout = b;
    if (b != TBlackout::None) {
        ClientPanel->hide();
        if (starts) {
            wasLeftPanelVisible = LeftPanel->isVisible();
            LeftPanel->hide();
        }
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, b == TBlackout::Black ? Qt::black : Qt::white);
        setPalette(pal);
        setCursor(Qt::BlankCursor);
        if (!QApplication::overrideCursor())
            QApplication::setOverrideCursor(Qt::BlankCursor);
        update();
        return;
    }
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    unsetCursor();
    setPalette(QPalette());
    setAutoFillBackground(false);
    if (wasLeftPanelVisible)
        LeftPanel->show();
    wasLeftPanelVisible = false;
    ClientPanel->show();
    update();
    if (ScrollForm)
        ScrollForm->setFocus();
}

void TClientForm::closeEvent(QCloseEvent *e)
{
    // A window of its own stands for the program: closing it closes the main window.
    if (isWindow()) {
        e->ignore();
        MainWindow->close();
        return;
    }
    QWidget::closeEvent(e);
}
