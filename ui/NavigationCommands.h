#pragma once
// The commands that move within the current document: to a page, to the mark, back and
// forward through the positions, and to the source line behind a place.

class TMainForm;
class TQPDF;

class TNavigationCommands {
public:
    TNavigationCommands(TMainForm &form, TQPDF *engine) : Form(form), QPDF(engine) {}

    void menuGoToPageClick();
    void menuSetMarkClick();
    void menuGotoMarkClick();
    void menuBackClick();
    void menuForwardClick();
    void menuInverseSearchClick();

private:
    TMainForm &Form;
    TQPDF *QPDF;
};
