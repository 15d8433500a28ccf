#pragma once
// The program's own message dialog: a large coloured title line, the word-wrapped message, a
// painted icon and the requested buttons in a fixed order; it follows the dark or light look,
// can beep and can close itself after a time.
#include "base/MessageDialog.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTimer;
class QWidget;
class TMainForm;

class TMsgForm final : public QDialog {
public:
    // Which rules the form follows: its own, or those of the second variant of the call
    // (title "Information" for plain messages, a beep only when asked for, a timer that
    // never closes without a default button, placement left to the window manager for a
    // negative position).
    enum class TVariant { Form, Task };

    TMsgForm(const TMessageRequest &request, TVariant variant, TMainForm *mainForm);
    ~TMsgForm() override;

    // Shows the message modally beside the main window (none before it exists) and answers
    // the pressed button's modal result.
    static int Execute(const TMessageRequest &request, TMainForm *mainForm, TVariant variant = TVariant::Form);

    bool UpdateDlgType(TMsgDlgType newDlgType, const QString &cCaption);
    QPushButton *DefButton() const { return DefButton_; }

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

public:
    // Esc, closing the window and a termination signal all end the dialog as Cancel.
    void reject() override;

private:
    void InitForm();
    int UpdateDlgButtons(TMsgDlgButtons buttons);
    bool CreateIcon(TMsgDlgType type);
    void SoundMsg(TMsgDlgType msg, int msgSound);
    void FormShow();
    void TimerStatusTimer();
    void SetClientWidth(int width);

    TMessageRequest Request;
    TMainForm *Main;
    TVariant Variant;
    TMsgDlgType DlgType;
    QLabel *LabelTitle;
    QLabel *LabelMsg;
    QLabel *Image;
    QWidget *PanelBottom;
    QWidget *PanelButtons;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    QPushButton *DefButton_ = nullptr;
    QTimer *TimerStatus;
};

// The sink that shows every message of the program in the form; the main window, once it
// exists, places the form and keeps it above itself.
class TMsgFormSink final : public TMessageSink {
public:
    explicit TMsgFormSink(std::function<TMainForm *()> mainForm) : MainForm(std::move(mainForm)) {}
    int ShowMessage(const TMessageRequest &request) override;

private:
    std::function<TMainForm *()> MainForm;
};

// The second variant of the call, with the same arguments and result.
int TaskMessageDialog(const TMessageRequest &request, TMainForm *mainForm);
