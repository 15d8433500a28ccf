#pragma once
// The commands that choose which open document is current: the next, the previous, the one
// before, or the one of a tab.

class TMainForm;
class TQPDF;

class TDocumentCommands {
public:
    TDocumentCommands(TMainForm &form, TQPDF *engine) : Form(form), QPDF(engine) {}

    void TabControlChange(int index);
    void menuNextDocClick();
    void menuPrevDocClick();
    void menuToggleDocClick();

private:
    TMainForm &Form;
    TQPDF *QPDF;
};
