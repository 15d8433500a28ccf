#pragma once
// Asks for the password of a protected document.
#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

class TPasswordDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPasswordDlg(QWidget *parent = nullptr);

    // Modal, centred over parent's window: the file's name without its folder above the
    // masked edit, which starts with password; remember sets the check box. On OK password
    // and remember receive what the user left there; false on Cancel.
    static bool Execute(QWidget *parent, const QString &fileName, QString &password, bool &remember);

    QLabel *LabelTop;
    QLineEdit *edPwd;
    QCheckBox *cbSavePwd;
};
