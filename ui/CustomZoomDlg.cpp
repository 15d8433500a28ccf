#include "ui/CustomZoomDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TZoomDlg::TZoomDlg(QWidget *parent) : QDialog(parent), cbZoom(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("Custom Zoom"));
    auto *label = new QLabel(QStringLiteral("Document Zoom:"), this);
    label->setBuddy(cbZoom);
    cbZoom->setEditable(true);
    cbZoom->setInsertPolicy(QComboBox::NoInsert);
    cbZoom->lineEdit()->setMaxLength(5);
    cbZoom->addItems({QStringLiteral("10%"), QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("100%"),
                      QStringLiteral("200%"), QStringLiteral("300%"), QStringLiteral("400%"), QStringLiteral("500%"),
                      QStringLiteral("600%"), QStringLiteral("800%"), QStringLiteral("1000%"), QStringLiteral("1200%"),
                      QStringLiteral("1600%"), QStringLiteral("2000%")});
    cbZoom->setMaxVisibleItems(14);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(cbZoom, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

bool TZoomDlg::Execute(QWidget *parent, const QPoint &origin, const QString &zoom, QString &typed)
{
    TZoomDlg dlg(parent);
    // The typed text, not a list entry: "%" alone must stay as it is.
    dlg.cbZoom->setCurrentIndex(-1);
    dlg.cbZoom->setEditText(zoom);
    dlg.cbZoom->lineEdit()->selectAll();
    dlg.move(origin);
    dlg.cbZoom->setFocus();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    typed = dlg.cbZoom->currentText();
    return true;
}
