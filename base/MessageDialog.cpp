#include "base/MessageDialog.h"

#include "base/DebugLog.h"

namespace {

TMessageSink *messageSink = nullptr;

int resultOf(TMsgDlgBtn b)
{
    static const int results[] = {mrYes,    mrNo,  mrOk,      mrCancel,   mrAbort, mrRetry,
                                  mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone,  mrClose};
    return results[b];
}

} // namespace

void SetMessageSink(TMessageSink *sink) { messageSink = sink; }

int MessageDialog(const QString &title, const QString &text, TMsgDlgType type, TMsgDlgButtons buttons,
                  TMsgDlgBtn defaultButton, int sound, int position, int timer, const QString &caption)
{
    DebugLog(QStringLiteral("Message: ") + title + QStringLiteral(": ") + text);
    const TMessageRequest request{title, text, type, buttons, defaultButton, sound, position, timer, caption};
    return messageSink ? messageSink->ShowMessage(request) : resultOf(defaultButton);
}
