#include "ui/FindForm.h"

#include "settings/Prefer.h"
#include "ui/FindCommands.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Writes text into edit when it differs, with the caret at its end.
void PutText(QLineEdit *edit, const QString &text)
{
    if (edit->text() == text)
        return;
    edit->setText(text);
    edit->setCursorPosition(int(text.size()));
}

} // namespace

TFindForm::TFindForm(TMainForm &form)
    : QDialog(&form, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), Form(form)
{
    setObjectName(QStringLiteral("FindForm"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    edFindString = new QLineEdit(this);
    edFindString->setObjectName(QStringLiteral("edFindString"));
    cbCaseSensitive = new QCheckBox(QStringLiteral("&Case Sensitive"), this);
    cbCaseSensitive->setObjectName(QStringLiteral("cbCaseSensitive"));
    cbWholeWords = new QCheckBox(QStringLiteral("&Whole Words Only"), this);
    cbWholeWords->setObjectName(QStringLiteral("cbWholeWords"));
    btnPrevious = new QPushButton(QStringLiteral("&Previous"), this);
    btnPrevious->setObjectName(QStringLiteral("btnPrevious"));
    btnNext = new QPushButton(QStringLiteral("&Next"), this);
    btnNext->setObjectName(QStringLiteral("btnNext"));
    // Enter is the dialog's own key (Next, or Previous with Shift): no default button.
    btnPrevious->setAutoDefault(false);
    btnNext->setAutoDefault(false);
    BBevel = new QFrame(this);
    BBevel->setFrameShape(QFrame::HLine);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(edFindString);
    auto *options = new QHBoxLayout;
    options->addWidget(cbCaseSensitive);
    options->addWidget(cbWholeWords);
    options->addStretch(1);
    layout->addLayout(options);
    // The bevel spans the client width.
    layout->addWidget(BBevel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnPrevious);
    buttons->addWidget(btnNext);
    layout->addLayout(buttons);

    connect(edFindString, &QLineEdit::textChanged, this, &TFindForm::EditChanged);
    connect(Form.edFindString, &QLineEdit::textChanged, this, &TFindForm::BoxChanged);
    connect(cbCaseSensitive, &QCheckBox::clicked, this, [this](bool on) {
        Prefer.FindCaseSensitive = on;
        Form.FindCommands().OptionsChanged();
    });
    connect(cbWholeWords, &QCheckBox::clicked, this, [this](bool on) {
        Prefer.FindWholeWords = on;
        Form.FindCommands().OptionsChanged();
    });
    connect(btnNext, &QPushButton::clicked, this, [this] { Step(true); });
    connect(btnPrevious, &QPushButton::clicked, this, [this] { Step(false); });
}

bool TFindForm::UseToolBarFind() const
{
    return Form.isVisible() && Form.CoolBar->isVisible() && Form.edFindString->isVisible() && !isVisible();
}

QString TFindForm::GetSearchString() const
{
    return UseToolBarFind() ? Form.edFindString->text() : edFindString->text();
}

void TFindForm::SetSearchString(const QString &s)
{
    Setting = true;
    PutText(edFindString, s);
    PutText(Form.edFindString, s);
    Setting = false;
    RefreshButtons();
}

void TFindForm::SetCaption(int ind, int num)
{
    if (num < 0) {
        setWindowTitle(QStringLiteral("Find"));
        Form.edFoundLabel->clear();
    } else if (num == 0) {
        setWindowTitle(QStringLiteral("Find (no matches)"));
        Form.edFoundLabel->setText(QStringLiteral("---"));
    } else {
        const QString position = QString::number(ind) + QLatin1Char('/') + QString::number(num);
        setWindowTitle(QStringLiteral("Find (") + position + QLatin1Char(')'));
        Form.edFoundLabel->setText(position);
    }
}

void TFindForm::RefreshButtons()
{
    const QAction *next = Form.Command(QStringLiteral("menuFindNext"));
    const QAction *previous = Form.Command(QStringLiteral("menuFindPrev"));
    btnNext->setEnabled(next && next->isEnabled());
    btnPrevious->setEnabled(previous && previous->isEnabled());
}

void TFindForm::EditChanged(const QString &text)
{
    if (Setting)
        return;
    // The toolbar's box shows what is typed here.
    if (isVisible()) {
        Setting = true;
        PutText(Form.edFindString, text);
        Setting = false;
    }
    Form.FindCommands().SearchChanged(text);
    RefreshButtons();
}

void TFindForm::BoxChanged(const QString &text)
{
    if (Setting)
        return;
    // One string in both inputs, also when the box's text comes from elsewhere than the keys.
    Setting = true;
    PutText(edFindString, text);
    Setting = false;
    Form.FindCommands().SearchChanged(text);
    RefreshButtons();
}

void TFindForm::Step(bool next)
{
    const QString s = edFindString->text();
    if (s.isEmpty())
        return;
    if (next)
        Form.FindCommands().FindNext(s);
    else
        Form.FindCommands().FindPrevious(s);
}

void TFindForm::showEvent(QShowEvent *e)
{
    // Placed where every dialog opens, on each show.
    move(Form.DialogOrigin());
    QDialog::showEvent(e);
    cbCaseSensitive->setChecked(Prefer.FindCaseSensitive);
    cbWholeWords->setChecked(Prefer.FindWholeWords);
    edFindString->setFocus(Qt::OtherFocusReason);
    Form.EnableMenu();
    RefreshButtons();
}

void TFindForm::hideEvent(QHideEvent *e)
{
    QDialog::hideEvent(e);
    // The other matches are drawn only while the dialog shows or the marks are on.
    if (Form.PageView())
        Form.PageView()->viewport()->update();
}

void TFindForm::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    edFindString->setFocus(Qt::ActiveWindowFocusReason);
    edFindString->selectAll();
    Form.EnableMenu();
    RefreshButtons();
}

void TFindForm::keyPressEvent(QKeyEvent *e)
{
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: Step(!shift); return;
    case Qt::Key_F3:
        Step(!shift);
        Form.FindCommands().FocusPageView();
        return;
    case Qt::Key_Tab:
        if (e->modifiers() & Qt::ControlModifier) {
            Form.FindCommands().FocusPageView();
            return;
        }
        break;
    case Qt::Key_Escape: hide(); return;
    default: break;
    }
    QDialog::keyPressEvent(e);
}
