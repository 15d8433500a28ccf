#include "base/Clipboard.h"

#include "base/DebugLog.h"
#include "platform/Clock.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

#include <exception>

namespace {

// Runs op; after a failure waits firstWait ms and tries again, after a second one lets
// pending messages run, waits secondWait ms and tries a last time. False if all three fail.
template <class Op>
bool withRetries(const QString &name, int firstWait, int secondWait, Op op)
{
    try {
        op();
        return true;
    } catch (const std::exception &) {
        DebugLog(name + QStringLiteral(" Exception"));
    }
    pl::sleeper().sleepMs(firstWait);
    try {
        op();
        return true;
    } catch (const std::exception &) {
        QCoreApplication::processEvents();
        DebugLog(name + QStringLiteral(" Exception 2"));
    }
    pl::sleeper().sleepMs(secondWait);
    QCoreApplication::processEvents();
    try {
        op();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

bool clipboardHasText()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

bool clipboardHasImage()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasImage();
}

} // namespace

bool ClipboardHasData(int format)
{
    bool available = false;
    withRetries(QStringLiteral("ClipboardHasData"), 11, 111, [&] {
        switch (format) {
        case 1: // text
        case 7: // OEM text
        case CfUnicodeText: available = clipboardHasText(); break;
        case 2: // bitmap
        case 8: // device-independent bitmap
        case 17: available = clipboardHasImage(); break;
        default: available = false; break;
        }
    });
    return available;
}

bool ClipboardClearData()
{
    bool hadText = false;
    withRetries(QStringLiteral("ClipboardClearData"), 11, 111, [&] {
        hadText = clipboardHasText();
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
    });
    return hadText;
}

bool ClipboardPutStr(const QString &text)
{
    if (text.isEmpty()) {
        ClipboardClearData();
        return false;
    }
    // Other programs here expect LF line ends.
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    withRetries(QStringLiteral("ClipboardPutStr"), 111, 222,
                [&] { QGuiApplication::clipboard()->setText(plain, QClipboard::Clipboard); });
    return ClipboardHasData(CfUnicodeText);
}
