#pragma once
// The client area: the bookmarks panel docked left of the page view with a splitter between
// them, and the two ways of showing the documents on a whole monitor, full screen and
// presentation, for which the client area leaves the main window and becomes a window of its
// own.
#include "engine/Presentation.h"

#include <QWidget>

#include <functional>

class QLineEdit;
class QSplitter;
class TQPDF;
class TScrollForm;
class TTreeForm;

class TClientForm final : public QWidget {
    Q_OBJECT
public:
    // The page view is created in ClientPanel; home is the main window's panel the form fills
    // in the normal state, mainWindow the window it leaves for the other states.
    TClientForm(TQPDF *engine, QWidget *home, QWidget *mainWindow);
    ~TClientForm() override;

    // The width a for the left panel: at least 32 px (at 96 pixels per inch), and as much
    // room for the page view; the lower bound wins when they cross.
    int GetBMWidth(int a) const;
    // Shows or hides the left panel with the splitter; a panel that appears takes the width
    // of the settings.
    void ShowLeftPanel(bool show);
    // The stored panel width clamped to the form's width as it is now, stored and applied.
    void ClampBookmarksWidth();

    // Normal, full screen or presentation; asking for the state that is on means normal, and
    // without a document only normal is possible. A switch asked for during one is ignored.
    void SetFullScreenMode(TDisplayState target);
    TDisplayState PresentationState() const { return State; }
    // Blackout in presentation: none, black or white.
    enum class TBlackout { None, Black, White };
    TBlackout Blackout() const { return FBlackout; }
    bool NoPDFPainting() const { return noPDFPainting; }
    // Esc in the page view: ends full screen or presentation; false in the normal state.
    bool LeaveFullScreen();

    TScrollForm *PageView() const { return ScrollForm; }
    void SetTreeForm(TTreeForm *tree);

    // The main window's part of a switch: its colours and menus follow the state.
    std::function<void()> StateChanged;

    QSplitter *LeftSplitter = nullptr;
    QWidget *LeftPanel = nullptr;
    QWidget *ClientPanel = nullptr;
    // The measuring box over the page view (the page view shows and fills it).
    QLineEdit *edCoord = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void LeaveMainWindow();
    void ReturnToMainWindow();
    void ApplyViewSettings(TDisplayState from, TDisplayState to);
    bool BlackoutKey(int key, bool shift);
    void SetBlackout(TBlackout b);
    void SuspendClientDrawing(bool suspend);

    TQPDF *QPDF;
    QWidget *Home;
    QWidget *MainWindow;
    TScrollForm *ScrollForm = nullptr;
    TTreeForm *TreeForm = nullptr;
    TDisplayState State = TDisplayState::Normal;
    TBlackout FBlackout = TBlackout::None;
    bool wasLeftPanelVisible = false;
    bool noPDFPainting = false;
    bool Switching = false;
};
