#include "ui/GotoPageDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TGotoPageDlg::TGotoPageDlg(QWidget *parent)
    : QDialog(parent), edPageGoto(new QLineEdit(this)), edPages(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Goto Page"));
    auto *label = new QLabel(QStringLiteral("Page:"), this);
    label->setBuddy(edPageGoto);
    edPageGoto->setAlignment(Qt::AlignCenter);
    edPageGoto->setMaxLength(5);
    edPages->setReadOnly(true);
    edPages->setFocusPolicy(Qt::NoFocus);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edPageGoto);
    row->addWidget(edPages);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

bool TGotoPageDlg::Execute(QWidget *parent, const QPoint &origin, const QString &label, const QString &pages,
                           QString &typed)
{
    TGotoPageDlg dlg(parent);
    dlg.edPageGoto->setText(label);
    dlg.edPageGoto->selectAll();
    dlg.edPages->setText(pages);
    dlg.move(origin);
    dlg.edPageGoto->setFocus();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    typed = dlg.edPageGoto->text();
    return true;
}
