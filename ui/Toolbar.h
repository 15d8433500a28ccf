#pragma once
// The toolbar compiled from its definition text: image buttons bound to the main window's
// commands, separator lines, and the strip's eight controls placed where the text puts them.
// When the strip is too narrow, whole priority levels are left out, lowest first.
#include "app/ToolbarLanguage.h"

#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QWidget;
class TMainForm;
class TPngSpeedButton;

class TXToolbar final : public QObject {
public:
    // Trims itself on every resize of the form's strip.
    explicit TXToolbar(TMainForm &form);
    ~TXToolbar() override;

    std::vector<TXToolbarItem> items;
    int num() const { return int(items.size()); }
    // Per item: the button, separator line or control, and a button's command (null for none).
    std::vector<QPointer<QWidget>> ptr;
    std::vector<QAction *> menuitem;
    // The button of the document properties command, which shows the document's state.
    TPngSpeedButton *tbDocIcon = nullptr;

    // Items, buttons and separators from the definition, the controls placed vertically and
    // the strip's height set; false without an image list or without an item.
    bool CompileToolbar();
    // The flag letters against the settings; whether any item has one.
    bool FixPriority();
    // The lowest threshold whose items fit the strip; every item placed or hidden.
    int TrimToolbar();
    // Buttons take their commands' enabled and checked states; the number enabled.
    int EnableToolbar();
    // The state image of the current document (an index of the small list, which holds the
    // same names in the same order as the large one).
    void SetDocIcon(int imageIndex);

    // The strip's measures of the last compilation.
    const TToolbarGeometry &Geometry() const { return geometry; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *Control(TToolbarControl control) const;
    void FreeItems();
    TPngSpeedButton *CreateButton(size_t index);
    void PlaceControl(size_t index, int v);
    int ControlTop() const; // the controls' vertical position for the strip's current height

    TMainForm &Form;
    TToolbarGeometry geometry;
    std::vector<int> controlWidths;
    bool Compiling = false; // the strip's resizes wait for the items
};
