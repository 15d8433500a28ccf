#pragma once
// The document properties dialog: the engine's report of the current document as a text the
// user reads and copies, with a menu to forget the document's password and to list its named
// destinations.
#include <QDialog>

class QAction;
class QMenu;
class QPlainTextEdit;
class QToolButton;
class TMainForm;
class TQPDF;

class TPDFDocDlg final : public QDialog {
    Q_OBJECT
public:
    TPDFDocDlg(TQPDF *engine, QWidget *parent = nullptr);

    // Shows the dialog for the main window's current document, placed where its dialogs
    // open, until the user closes it.
    static void Execute(TMainForm &form);

    // The report again, the caret at its start.
    void BuildReport();
    // The menu's states for the current document, then the menu at the dialog's client
    // origin.
    void PopupMenuPDFDocPopup();

    QPlainTextEdit *Memo;
    QToolButton *MenuButton;
    QMenu *PopupMenuPDFDoc;
    QAction *popupForgetPassword;
    QAction *popupShowDestinations;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popupForgetPasswordClick();
    void popupShowDestinationsClick();

    TQPDF *QPDF;
};
