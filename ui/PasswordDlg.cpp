#include "ui/PasswordDlg.h"

#include "base/Centering.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

TPasswordDlg::TPasswordDlg(QWidget *parent)
    : QDialog(parent), LabelTop(new QLabel(this)), edPwd(new QLineEdit(this)),
      cbSavePwd(new QCheckBox(QStringLiteral("&Remember the password for this document"), this))
{
    setWindowTitle(QStringLiteral("Enter password"));
    edPwd->setEchoMode(QLineEdit::Password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelTop);
    layout->addWidget(edPwd);
    layout->addWidget(cbSavePwd);
    layout->addWidget(buttons);
}

bool TPasswordDlg::Execute(QWidget *parent, const QString &fileName, QString &password, bool &remember)
{
    TPasswordDlg dlg(parent);
    dlg.LabelTop->setText(QStringLiteral("File:  ") + QFileInfo(fileName).fileName());
    dlg.edPwd->setText(password);
    dlg.edPwd->selectAll();
    dlg.cbSavePwd->setChecked(remember);
    dlg.adjustSize();
    if (const QWidget *owner = parent ? parent->window() : nullptr; owner && owner->isVisible()) {
        const QRect monitor = owner->screen() ? owner->screen()->availableGeometry() : owner->frameGeometry();
        dlg.move(CenterOver(owner->frameGeometry(), monitor, dlg.width(), dlg.height()));
    }
    dlg.edPwd->setFocus();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    password = dlg.edPwd->text();
    remember = dlg.cbSavePwd->isChecked();
    return true;
}
