#pragma once
// The Goto Page dialog: a page label or, after a space, a page number to go to.
#include <QDialog>

class QLineEdit;

class TGotoPageDlg : public QDialog {
    Q_OBJECT
public:
    explicit TGotoPageDlg(QWidget *parent = nullptr);

    // Opens with its top-left corner at origin, label in the edit and pages ("(3 / 12)")
    // beside it; typed receives the edit's text. False on Cancel.
    static bool Execute(QWidget *parent, const QPoint &origin, const QString &label, const QString &pages,
                        QString &typed);

    QLineEdit *edPageGoto;
    QLineEdit *edPages;
};
