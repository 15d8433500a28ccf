#pragma once
// The keys and clicks of the toolbar's boxes: Enter in the page box goes to the typed page,
// in the zoom box applies the typed zoom; Tab and Esc leave the boxes for the page view; a
// click on a box's label applies it or opens it; while the user edits a box, the view's
// status does not overwrite it.
#include <QObject>

class QEvent;
class TMainForm;

class TToolbarKeys final : public QObject {
public:
    explicit TToolbarKeys(TMainForm &form);

    // Set while a box has the focus from the user.
    bool ToolbarEditing = false;

    // Keys that take the focus out of the toolbar edits; true when the key was handled here.
    bool WantChildKey(QObject *child, QEvent *event);
    void LeaveToolbarEditing();
    void GotoPageEnter();
    void ZoomEnter();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TMainForm &Form;
};
