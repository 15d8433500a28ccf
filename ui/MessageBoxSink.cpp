#include "ui/MessageBoxSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

struct ButtonInfo {
    TMsgDlgBtn btn;
    const char *caption;
    int result;
};
const ButtonInfo kButtons[] = {
    {mbYes, "&Yes", mrYes},
    {mbNo, "&No", mrNo},
    {mbOK, "OK", mrOk},
    {mbCancel, "Cancel", mrCancel},
    {mbAbort, "&Abort", mrAbort},
    {mbRetry, "&Retry", mrRetry},
    {mbIgnore, "&Ignore", mrIgnore},
    {mbAll, "&All", mrAll},
    {mbNoToAll, "N&o to All", mrNoToAll},
    {mbYesToAll, "Yes to &All", mrYesToAll},
    {mbHelp, "&Help", mrNone},
    {mbClose, "&Close", mrClose},
};

const char *const kTitles[] = {"Warning", "Error", "Information", "Confirm", ""};

QMessageBox::Icon iconOf(TMsgDlgType t)
{
    switch (t) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    default: return QMessageBox::NoIcon;
    }
}

} // namespace

int TMessageBoxSink::ShowMessage(const TMessageRequest &r)
{
    QMessageBox box(iconOf(r.type), r.caption.isEmpty() ? QString::fromLatin1(kTitles[r.type]) : r.caption,
                    r.title.isEmpty() ? r.text : r.title, QMessageBox::NoButton, QApplication::activeWindow());
    if (!r.title.isEmpty())
        box.setInformativeText(r.text);
    QMap<QAbstractButton *, int> results;
    for (const ButtonInfo &b : kButtons) {
        if (!(r.buttons & (1u << b.btn)))
            continue;
        QPushButton *button = box.addButton(QString::fromLatin1(b.caption), QMessageBox::AcceptRole);
        results[button] = b.result;
        if (b.btn == r.defaultButton)
            box.setDefaultButton(button);
    }
    box.exec();
    return results.value(box.clickedButton(), mrCancel);
}
