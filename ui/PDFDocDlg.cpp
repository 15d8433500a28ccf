#include "ui/PDFDocDlg.h"

#include "engine/QPDF.h"
#include "settings/Prefer.h"
#include "ui/MainForm.h"
#include "ui/ImageRes.h"
#include "ui/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

TPDFDocDlg::TPDFDocDlg(TQPDF *engine, QWidget *parent)
    : QDialog(parent), Memo(new QPlainTextEdit(this)), MenuButton(new QToolButton(this)),
      PopupMenuPDFDoc(new QMenu(this)), QPDF(engine)
{
    setObjectName(QStringLiteral("PDFDocDlg"));
    setWindowTitle(QStringLiteral("PDF Document Properties"));
    resize(MulDiv(560, CurrentPPI, 96), MulDiv(520, CurrentPPI, 96));

    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The caret shows where a selection for copying starts.
    Memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo->installEventFilter(this);
    QFont fixed(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    Memo->setFont(fixed);
    if (Prefer.ThemeModeIndex == 1) {
        QPalette dark = Memo->palette();
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Text, QColor(0xF0, 0xF0, 0xF0));
        Memo->setPalette(dark);
    }

    PopupMenuPDFDoc->setObjectName(QStringLiteral("PopupMenuPDFDoc"));
    // The menus' small image list; no image while it lacks "Key".
    popupForgetPassword =
        PopupMenuPDFDoc->addAction(ImageListOf(1).Icon(QStringLiteral("Key")), QStringLiteral("Forget Password"));
    PopupMenuPDFDoc->addSeparator();
    popupShowDestinations = PopupMenuPDFDoc->addAction(QStringLiteral("Show Named Destinations"));
    popupShowDestinations->setCheckable(true);
    connect(popupForgetPassword, &QAction::triggered, this, &TPDFDocDlg::popupForgetPasswordClick);
    connect(popupShowDestinations, &QAction::triggered, this, &TPDFDocDlg::popupShowDestinationsClick);

    MenuButton->setObjectName(QStringLiteral("MenuButton"));
    MenuButton->setText(QStringLiteral("\u2630"));
    MenuButton->setToolTip(QStringLiteral("Context Popup Menu"));
    connect(MenuButton, &QToolButton::clicked, this, &TPDFDocDlg::PopupMenuPDFDocPopup);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(MenuButton);
    bottom->addStretch(1);
    bottom->addWidget(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo, 1);
    layout->addLayout(bottom);

    BuildReport();
}

void TPDFDocDlg::Execute(TMainForm &form)
{
    TPDFDocDlg dlg(form.Engine(), form.DialogParent());
    dlg.move(form.WindowPlacement().CenterOnMainWindow(dlg.width(), dlg.height()));
    dlg.exec();
}

void TPDFDocDlg::BuildReport()
{
    Memo->setPlainText(QPDF ? QPDF->DocumentReport(Prefer.DocDlgDestinations)
                            : QStringLiteral("No document is currently selected ..."));
    Memo->moveCursor(QTextCursor::Start);
}

void TPDFDocDlg::PopupMenuPDFDocPopup()
{
    popupForgetPassword->setEnabled(QPDF && QPDF->SelDoc() >= 0 && !QPDF->Document(QPDF->SelDoc()).FilePwd.isEmpty());
    popupShowDestinations->setChecked(Prefer.DocDlgDestinations);
    PopupMenuPDFDoc->popup(mapToGlobal(QPoint(0, 0)));
}

void TPDFDocDlg::popupForgetPasswordClick()
{
    if (QPDF)
        QPDF->ForgetPassword();
}

void TPDFDocDlg::popupShowDestinationsClick()
{
    Prefer.DocDlgDestinations = !Prefer.DocDlgDestinations;
    BuildReport();
}

bool TPDFDocDlg::eventFilter(QObject *watched, QEvent *event)
{
    // The memo keeps the keyboard, yet Enter closes the dialog as it does elsewhere.
    if (watched == Memo && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
