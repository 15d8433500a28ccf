#pragma once
// The commands that act on documents' files: open, save as, reload, close, close all, and
// the manual, a document of its own.

class TMainForm;
class TQPDF;

class TFileCommands {
public:
    TFileCommands(TMainForm &form, TQPDF *engine) : Form(form), QPDF(engine) {}

    void menuOpenClick();
    void menuSaveClick();
    void menuReloadClick();
    void menuCloseClick();
    void menuCloseAllClick();
    void menuManualClick();

private:
    TMainForm &Form;
    TQPDF *QPDF;
};
