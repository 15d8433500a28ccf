#pragma once
// xdotool for tests that run on an X server of their own: finding the program's window and
// where it lies.
#include <QDeadlineTimer>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QThread>

// xdotool's output for args on the display the test runs on.
inline QString Xdotool(const QStringList &args)
{
    QProcess p;
    p.start("xdotool", args);
    p.waitForFinished(15000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// The first visible window whose name matches name (a regular expression), empty when none
// shows within ms.
inline QString WaitForWindow(const QString &name, int ms = 30000)
{
    QString window;
    QDeadlineTimer found(ms);
    while (window.isEmpty() && !found.hasExpired()) {
        window = Xdotool({"search", "--onlyvisible", "--name", name}).section('\n', 0, 0);
        QThread::msleep(50);
    }
    return window;
}

// The window's place on the screen.
inline QRect WindowFrame(const QString &window)
{
    QRect frame;
    for (const QString &line : Xdotool({"getwindowgeometry", "--shell", window}).split('\n')) {
        const int value = line.section('=', 1).toInt();
        if (line.startsWith("X="))
            frame.moveLeft(value);
        else if (line.startsWith("Y="))
            frame.moveTop(value);
        else if (line.startsWith("WIDTH="))
            frame.setWidth(value);
        else if (line.startsWith("HEIGHT="))
            frame.setHeight(value);
    }
    return frame;
}
