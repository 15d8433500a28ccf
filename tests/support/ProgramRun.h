#pragma once
// Runs the real program in a private environment (its own config, runtime and home
// folders), so tests never touch the user's settings or another running viewer.
#include "TestPaths.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

class ProgramRun {
public:
    QTemporaryDir home;

    ProgramRun()
    {
        QDir(home.path()).mkpath("config");
        QDir(home.path()).mkpath("runtime");
        QFile::setPermissions(home.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_RUNTIME_DIR", home.path() + "/runtime");
        if (!env.contains("QT_QPA_PLATFORM"))
            env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.setProgram(binPath("OrvalePDF"));
    }
    ~ProgramRun()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }

    void start(const QStringList &args)
    {
        process.setArguments(args);
        process.start();
        process.waitForStarted(10000);
    }

    // Waits until the file holds the text; a readiness wait, not a time measurement.
    static bool waitForText(const QString &path, const QString &text, int ms = 30000)
    {
        QDeadlineTimer deadline(ms);
        while (!deadline.hasExpired()) {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(text))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    QProcess process;
};

// A file's bytes, or "<missing>".
inline QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The texts of a log file without their time stamps; blank lines are kept as "".
inline QStringList LogTexts(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    QStringList texts;
    for (const QString &line : QString::fromUtf8(f.readAll()).split("\r\n")) {
        if (!line.isEmpty() && line[0].isDigit())
            texts << line.mid(line.indexOf(' ') + 1);
    }
    return texts;
}
