#pragma once
// Tests that need a real X server run twice: offscreen the test starts a private server and runs
// this test program again on it with only the tests that need the server.
#include "PrivateXvfb.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

// The tests of filter (a gtest filter) run on the server in a child process with env (the
// display and the platform are set here); they must all pass, passed of them. The child's output.
inline QString RunOnServer(const PrivateXvfb &xvfb, const QString &filter, int passed, int timeoutMs = 180000,
                           QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
{
    env.insert("DISPLAY", xvfb.display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=" + filter});
    EXPECT_TRUE(child.waitForFinished(timeoutMs));
    const QString output = QString::fromLocal8Bit(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    const QString summary =
        passed == 1 ? QStringLiteral("[  PASSED  ] 1 test.") : QStringLiteral("[  PASSED  ] %1 tests.").arg(passed);
    EXPECT_TRUE(output.contains(summary)) << output.toStdString();
    return output;
}

// The line of a child's output that holds marker (a test's printed figures), empty when none.
inline QString LineWith(const QString &output, const QString &marker)
{
    const qsizetype at = output.indexOf(marker);
    return at < 0 ? QString() : output.mid(output.lastIndexOf('\n', at) + 1).section('\n', 0, 0);
}
