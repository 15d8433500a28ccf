#pragma once
#include <QString>

#include <cstdint>
#include <initializer_list>

// The one way the program shows a message to the user. The core only reaches a sink:
// the windows install one that shows a dialog, tests install one that records.
enum TMsgDlgType : uint8_t { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

enum TMsgDlgBtn : uint8_t {
    mbYes = 0,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose
};
using TMsgDlgButtons = uint16_t; // bit n stands for the button with ordinal n
constexpr TMsgDlgButtons MsgButtons(std::initializer_list<TMsgDlgBtn> list)
{
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn b : list)
        set |= TMsgDlgButtons(1u << b);
    return set;
}

// Modal results of the buttons.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrClose = 8,
    mrAll = 12,
    mrNoToAll = 13,
    mrYesToAll = 14
};

struct TMessageRequest {
    QString title;
    QString text;
    TMsgDlgType type = mtInformation;
    TMsgDlgButtons buttons = MsgButtons({mbOK});
    TMsgDlgBtn defaultButton = mbOK;
    int sound = 0;
    int position = 0;
    int timer = 0;
    QString caption;
};

class TMessageSink {
public:
    virtual ~TMessageSink() = default;
    virtual int ShowMessage(const TMessageRequest &request) = 0;
};

// Installs the sink (nullptr: messages are only logged and answered with the default button).
void SetMessageSink(TMessageSink *sink);

int MessageDialog(const QString &title, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                  TMsgDlgBtn defaultButton = mbOK, int sound = 0, int position = 0, int timer = 0,
                  const QString &caption = QString());
