#include "ui/ToolbarKeys.h"

#include "engine/QPDF.h"
#include "ui/MainForm.h"
#include "ui/NavigationCommands.h"
#include "ui/ViewCommands.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

TToolbarKeys::TToolbarKeys(TMainForm &form) : QObject(&form), Form(form) {}

void TToolbarKeys::LeaveToolbarEditing()
{
    ToolbarEditing = false;
    Form.FocusPageView();
}

void TToolbarKeys::GotoPageEnter()
{
    if (TQPDF *engine = Form.Engine(); engine && engine->SelDoc() >= 0)
        engine->Navigator().doGOTOPageLabel(Form.edPageGoto->text());
    Form.EnableMenu();
}

void TToolbarKeys::ZoomEnter()
{
    if (TQPDF *engine = Form.Engine(); engine && engine->SelDoc() >= 0)
        engine->Navigator().doSetZoom(Form.cbZoom->currentText());
    Form.EnableMenu();
}

bool TToolbarKeys::WantChildKey(QObject *child, QEvent *event)
{
    const bool edit = child == Form.edPageGoto || child == Form.cbZoom->lineEdit() || child == Form.cbZoom
        || child == Form.edFindString;
    if (!edit || event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent *>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Escape) {
        LeaveToolbarEditing();
        return true;
    }
    return false;
}

bool TToolbarKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (WantChildKey(watched, event))
        return true;
    const bool pageBox = watched == Form.edPageGoto;
    const bool zoomBox = watched == Form.cbZoom->lineEdit();
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (enter && pageBox) {
            GotoPageEnter();
            return true;
        }
        if (enter && zoomBox) {
            ZoomEnter();
            return true;
        }
        break;
    }
    case QEvent::FocusIn:
        if (pageBox || zoomBox) {
            ToolbarEditing = true;
            // A click places the cursor after the focus arrives: select once it has. Keys
            // typed at once must not be selected over, so the other ways select now.
            auto *edit = static_cast<QLineEdit *>(watched);
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason)
                QTimer::singleShot(0, edit, &QLineEdit::selectAll);
            else
                edit->selectAll();
        }
        break;
    case QEvent::FocusOut:
        if ((pageBox || zoomBox) && ToolbarEditing) {
            ToolbarEditing = false;
            // The boxes show the view again.
            if (TQPDF *engine = Form.Engine(); engine && engine->SelDoc() >= 0)
                engine->UpdateStatus();
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == Form.edPageLabel) {
            if (Form.edPageGoto->hasFocus())
                GotoPageEnter();
            else
                Form.NavigationCommands().menuGoToPageClick();
            return true;
        }
        if (watched == Form.edZoom) {
            if (Form.cbZoom->lineEdit()->hasFocus())
                ZoomEnter();
            else
                Form.ViewCommands().menuZoomCustomClick();
            return true;
        }
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
