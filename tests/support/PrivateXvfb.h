#pragma once
// A private X server for tests that need a real one: it picks a free display itself and is
// stopped with the test, so no other server on the machine is touched.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

struct PrivateXvfb {
    QProcess server;
    QString display;

    // False when Xvfb or xdotool is missing or the server did not come up. extra: more options
    // for the server.
    bool start(const QStringList &extra = {})
    {
        if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            return false;
        // -displayfd 1: the server writes the number of the display it chose to stdout.
        // -noreset: the server does not reset when its last client leaves, so a program started
        // right after another one closed does not find the display refusing connections.
        server.start(
            "Xvfb",
            QStringList{"-displayfd", "1", "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten", "tcp", "-noreset"}
                + extra);
        if (!server.waitForStarted(10000))
            return false;
        QDeadlineTimer deadline(10000);
        QByteArray out;
        while (!out.contains('\n') && !deadline.hasExpired()) {
            server.waitForReadyRead(100);
            out += server.readAllStandardOutput();
        }
        display = ':' + QString::fromLatin1(out).trimmed();
        return out.contains('\n');
    }
    ~PrivateXvfb()
    {
        if (server.state() != QProcess::NotRunning) {
            server.terminate();
            if (!server.waitForFinished(5000))
                server.kill();
            server.waitForFinished(5000);
        }
    }
};
