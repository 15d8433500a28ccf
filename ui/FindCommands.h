#pragma once
// The search commands of the main window: Find, Find Next, Find Previous and the search
// options' popup, the find dialog they share with the toolbar's find box, and what the
// page view's Enter and Esc do with the matches.
#include <QObject>
#include <QString>

#include <cstdint>

class QAction;
class QMenu;
class QWidget;
class TFindForm;
class TMainForm;
class TQPDF;

class TFindCommands final : public QObject {
public:
    TFindCommands(TMainForm &form, TQPDF *engine);
    ~TFindCommands() override;

    void menuFindClick();
    void menuFindNextClick();
    void menuFindPrevClick();
    // The options' popup under the toolbar button that sent the command.
    void menuFindOptClick();

    // The find dialog, created once with the window.
    TFindForm &FindForm() const { return *Dialog; }

    // The engine's search with string s.
    bool StartSearch(const QString &s);
    bool FindNext(const QString &s);
    bool FindPrevious(const QString &s);
    // The search string or an option changed: the match list is dropped; an emptied string
    // also drops the selection.
    void SearchChanged(const QString &s);
    void OptionsChanged();
    // The main window and its page view take the keyboard.
    void FocusPageView();

    // Enter in the page view: with a search string while the matches are marked or the
    // dialog shows, the next match (backward: the previous one); true when it stepped.
    bool PageViewEnter(bool backward);
    // Esc in the page view: the dialog is hidden and the marks turned off, or visible marks
    // turned off; true when one of them acted.
    bool EscapeKey();

    QMenu *PopupMenuSearchOptions = nullptr;
    QAction *popupCaseSensitive = nullptr;
    QAction *popupWholeWordsOnly = nullptr;
    QAction *popupFindDialog = nullptr;

private:
    void popupFindDialogClick();
    // The popup has closed: the settings take its marks.
    void PopupClosed(QWidget *button);

    TMainForm &Form;
    TQPDF *QPDF;
    TFindForm *Dialog = nullptr;
    // When the options button was last pressed: a second press within 333 ms closes the
    // popup and must not open it again.
    int64_t LastOptPress = INT64_MIN / 2;
    bool Starting = false;
};
