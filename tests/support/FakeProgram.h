#pragma once
// A program for tests of what the viewer starts: a script at a given path that writes the
// arguments it got, one per line in brackets, into a file the test reads. FakeProgram::onPath
// puts a folder first on PATH (alone, so that no real program of that name answers); PATH is
// restored at the end.
#include "SyncTeXText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QThread>

class FakeProgram {
public:
    // The script at path; its arguments go to path + ".argv".
    explicit FakeProgram(const QString &path) : path_(path), argvFile_(path + ".argv")
    {
        QDir().mkpath(QFileInfo(path).path());
        const QByteArray out = argvFile_.toUtf8();
        ok_ = writeBytes(path,
                         "#!/bin/sh\nfor a in \"$0\" \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" + out
                             + ".part\" && /bin/mv \"" + out + ".part\" \"" + out + "\"\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    FakeProgram(const FakeProgram &) = delete;
    FakeProgram &operator=(const FakeProgram &) = delete;

    bool ready() const { return ok_; }
    // What the program got (its own path first), once it ran (waits up to wait ms); empty
    // when it did not run.
    QString arguments(int wait = 5000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(argvFile_) && timer.elapsed() < wait)
            QThread::msleep(10);
        QFile f(argvFile_);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }
    bool ran() const { return QFile::exists(argvFile_); }
    void forget() const { QFile::remove(argvFile_); }

private:
    QString path_;
    QString argvFile_;
    bool ok_ = false;
};

// PATH is folder alone while it lives.
class ScopedPath {
public:
    explicit ScopedPath(const QString &folder) : old_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(folder)); }
    ~ScopedPath() { qputenv("PATH", old_); }
    ScopedPath(const ScopedPath &) = delete;
    ScopedPath &operator=(const ScopedPath &) = delete;

private:
    QByteArray old_;
};
