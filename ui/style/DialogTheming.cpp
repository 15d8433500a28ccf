#include "ui/style/DialogTheming.h"

#include "ui/style/Themes.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>

TDialogTheming::TDialogTheming(QObject *parent) : QObject(parent) { qApp->installEventFilter(this); }

TDialogTheming::~TDialogTheming()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool TDialogTheming::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::Show && type != QEvent::ActivationChange)
        return false;
    auto *dialog = qobject_cast<QDialog *>(watched);
    if (!dialog || !dialog->isWindow())
        return false;
    // Runs before the dialog's own handlers, so a dialog that colours itself has the last word.
    if (type == QEvent::Show)
        ThemeForm(dialog, false);
    else if (dialog->windowHandle())
        SetWindowFrame(dialog, dialog->isActiveWindow());
    return false;
}
