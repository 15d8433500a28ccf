#pragma once
// The find dialog: a modeless window with its own search input, the two search options and
// the steps to the next and previous match. It is created once and keeps the same string as
// the toolbar's find box; while it is shown it is the input of the search.
#include <QDialog>

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class TMainForm;

class TFindForm final : public QDialog {
    Q_OBJECT
public:
    explicit TFindForm(TMainForm &form);

    // The toolbar's find box is the input: the main window, its toolbar and the box are
    // visible and the dialog is hidden.
    bool UseToolBarFind() const;
    // The text of the input in use.
    QString GetSearchString() const;
    // s into both inputs (only where it differs), the caret at its end.
    void SetSearchString(const QString &s);
    // The position in the match list: num < 0 no list, 0 no matches, else match ind of num.
    void SetCaption(int ind, int num);
    // The steps take the enabled states of the main menu's Find Next and Find Previous.
    void RefreshButtons();

    QLineEdit *edFindString = nullptr;
    QCheckBox *cbCaseSensitive = nullptr;
    QCheckBox *cbWholeWords = nullptr;
    QPushButton *btnPrevious = nullptr;
    QPushButton *btnNext = nullptr;
    QFrame *BBevel = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void changeEvent(QEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
    // A step with the dialog's text; nothing while it is empty.
    void Step(bool next);
    void EditChanged(const QString &text);
    void BoxChanged(const QString &text);

    TMainForm &Form;
    // Set while the program itself writes the inputs.
    bool Setting = false;
};
