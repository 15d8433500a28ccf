#pragma once
// The toolbar's boxes in the main window's cool bar: the page box with its count, the zoom
// box with its presets and the find box, each with its label; their keys go to the router.
// The toolbar (TXToolbar) sizes and places them.
class TMainForm;
class TToolbarKeys;

class TToolbarBoxes {
public:
    // Creates the boxes into the form's fields.
    TToolbarBoxes(TMainForm &form, TToolbarKeys &keys);

private:
    TMainForm &Form;
};
