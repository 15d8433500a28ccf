#include "ui/FindBar.h"

#include "ui/FindCommands.h"
#include "ui/FindForm.h"
#include "ui/MainForm.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

TFindBar::TFindBar(TMainForm &form) : QObject(&form), Form(form)
{
    Form.edFindString->installEventFilter(this);
    Form.edFindLabel->installEventFilter(this);
    Form.edFindLabel->setCursor(Qt::PointingHandCursor);
}

QToolButton *TFindBar::Button(const QString &word) const
{
    return Form.CoolBar->findChild<QToolButton *>(QStringLiteral("tb") + word);
}

void TFindBar::BoxStep(bool backward)
{
    const QString s = Form.edFindString->text();
    QWidget *view = Form.PageView();
    if (s.isEmpty() || !view || !view->isVisible() || !view->isEnabled())
        return;
    view->setFocus(Qt::OtherFocusReason);
    TFindCommands &find = Form.FindCommands();
    backward ? find.FindPrevious(s) : find.FindNext(s);
}

bool TFindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Form.edFindLabel && event->type() == QEvent::MouseButtonRelease) {
        // With the box in use the label is its Enter; else it is the Find command.
        if (Form.edFindString->hasFocus())
            BoxStep(false);
        else if (QAction *find = Form.Command(QStringLiteral("menuFind")))
            find->trigger();
        return true;
    }
    if (watched != Form.edFindString)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // F3 belongs to the box while it has the keyboard, not to the menu's Find Next.
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_F3) {
            key->accept();
            return true;
        }
        break;
    }
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter || key->key() == Qt::Key_F3) {
            BoxStep(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
        break;
    }
    case QEvent::FocusIn: {
        // Coming back with its window or after a popup is no new start.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            break;
        // A click places the caret after the focus arrives: select once it has.
        if (reason == Qt::MouseFocusReason)
            QTimer::singleShot(0, Form.edFindString, &QLineEdit::selectAll);
        else
            Form.edFindString->selectAll();
        Form.FindCommands().StartSearch(Form.FindCommands().FindForm().GetSearchString());
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
