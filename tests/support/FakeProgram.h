#pragma once
// Programs for tests that start other programs: a script in folder/bin that writes the
// arguments it got, one per line in brackets, into a file the test reads. Tests put folder/bin
// first on PATH (ScopedPath) where the real program would be looked up.
#include "SyncTeXText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QThread>

// PATH set for the lifetime of the object.
class ScopedPath {
public:
    explicit ScopedPath(const QString &value) : old_(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(value)); }
    ~ScopedPath() { qputenv("PATH", old_); }
    ScopedPath(const ScopedPath &) = delete;
    ScopedPath &operator=(const ScopedPath &) = delete;

private:
    QByteArray old_;
};

class FakeProgram {
public:
    // The script folder/bin/name; its arguments go to argvFile.
    FakeProgram(const QString &folder, const QString &name, const QString &argvFile)
        : path_(folder + "/bin/" + name), argvFile_(argvFile)
    {
        QDir(folder).mkpath("bin");
        const QByteArray out = QFile::encodeName(argvFile_);
        // The arguments are written, then the file is renamed into place.
        ok_ = writeBytes(path_,
                         "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > '" + out
                             + ".part' && /bin/mv '" + out + ".part' '" + out + "'\n");
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    FakeProgram(const QString &folder, const QString &name) : FakeProgram(folder, name, folder + "/" + name + ".argv")
    {}

    bool ready() const { return ok_; }
    const QString &path() const { return path_; }
    const QString &argvFile() const { return argvFile_; }
    // What the program got, once it ran (waits up to waitMs); empty when it did not run.
    QString arguments(int waitMs = 5000) const
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(argvFile_) && timer.elapsed() < waitMs)
            QThread::msleep(10);
        QFile f(argvFile_);
        if (!f.open(QIODevice::ReadOnly))
            return QString();
        return QString::fromUtf8(f.readAll());
    }
    // The same as a list: argv[1] onwards.
    QStringList argumentList(int waitMs = 5000) const
    {
        QStringList args;
        for (const QString &line : arguments(waitMs).split("]\n", Qt::SkipEmptyParts))
            args << line.mid(1);
        return args;
    }

private:
    QString path_;
    QString argvFile_;
    bool ok_ = false;
};
