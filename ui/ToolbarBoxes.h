#pragma once
// The toolbar's boxes in the main window's cool bar: the page box with its count, the zoom
// box with its presets and the find box, each with its label, sized for the window's font;
// their keys go to the router.
class TMainForm;
class TToolbarKeys;

class TToolbarBoxes {
public:
    // Creates the boxes into the form's fields.
    TToolbarBoxes(TMainForm &form, TToolbarKeys &keys);

    // The boxes' widths follow the font: the zoom box holds the largest zoom with its sign.
    void SizeToolbarEdits();

private:
    TMainForm &Form;
};
