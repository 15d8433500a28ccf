#include "base/Clipboard.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

TEST(Clipboard, PutHasClear)
{
    EXPECT_TRUE(ClipboardPutStr(QStringLiteral("first line\r\nsecond \u20AC")));
    EXPECT_TRUE(ClipboardHasData());
    EXPECT_TRUE(ClipboardHasData(CfUnicodeText));
    EXPECT_FALSE(ClipboardHasData(2));
    // Other programs get LF line ends.
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("first line\nsecond \u20AC"));

    EXPECT_TRUE(ClipboardClearData());
    EXPECT_FALSE(ClipboardHasData());
    EXPECT_FALSE(ClipboardClearData());

    ASSERT_TRUE(ClipboardPutStr("x"));
    EXPECT_FALSE(ClipboardPutStr(QString()));
    EXPECT_FALSE(ClipboardHasData());
}
