#pragma once
// An editor for inverse-search tests: a script first on PATH that writes the arguments it got,
// one per line in brackets, into a file the test reads. PATH is restored at the end.
#include "SyncTeXText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

class FakeEditor {
public:
    // The script "editor" in folder/bin; its arguments go to folder/argv.txt.
    explicit FakeEditor(const QString &folder) : argvFile_(folder + "/argv.txt"), oldPath_(qgetenv("PATH"))
    {
        QDir(folder).mkpath("bin");
        const QString script = folder + "/bin/editor";
        // The arguments are written, then the file is renamed into place.
        ok_ =
            writeBytes(script,
                       "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"" + argvFile_.toUtf8()
                           + ".part\" && /bin/mv \"" + argvFile_.toUtf8() + ".part\" \"" + argvFile_.toUtf8() + "\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QFile::encodeName(folder + "/bin"));
    }
    ~FakeEditor() { qputenv("PATH", oldPath_); }
    FakeEditor(const FakeEditor &) = delete;
    FakeEditor &operator=(const FakeEditor &) = delete;

    bool ready() const { return ok_; }
    // The editor command template that starts it.
    static QString command() { return QStringLiteral("editor --line %l \"%f\""); }
    const QString &argvFile() const { return argvFile_; }
    // What the editor got, once it ran (waits up to 5 s); empty when it did not run.
    QString arguments() const
    {
        QElapsedTimer timer;
        timer.start();
        while (!QFile::exists(argvFile_) && timer.elapsed() < 5000)
            QThread::msleep(10);
        QFile f(argvFile_);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

private:
    QString argvFile_;
    QByteArray oldPath_;
    bool ok_ = false;
};
