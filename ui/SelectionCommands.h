#pragma once
// The Edit menu's selection commands: Select All, Select Page, and Copy of the selected text
// to the clipboard.
class TMainForm;
class TQPDF;

class TSelectionCommands {
public:
    TSelectionCommands(TMainForm &form, TQPDF *engine) : Form(form), QPDF(engine) {}

    void menuSelAllClick();
    void menuSelPageClick();
    // The selected text goes to the clipboard; an empty selection clears it, a copy cancelled
    // with Esc leaves it as it was.
    void menuCopyClick();

private:
    bool HasPages() const;

    TMainForm &Form;
    TQPDF *QPDF;
};
