#pragma once
// An editor for inverse-search tests: a script first on PATH that writes the arguments it got,
// one per line in brackets, into a file the test reads. PATH is restored at the end.
#include "FakeProgram.h"

class FakeEditor {
public:
    // The script "editor" in folder/bin, alone on PATH; its arguments go to folder/argv.txt.
    explicit FakeEditor(const QString &folder)
        : program_(folder, "editor", folder + "/argv.txt"), path_(folder + "/bin")
    {}

    bool ready() const { return program_.ready(); }
    // The editor command template that starts it.
    static QString command() { return QStringLiteral("editor --line %l \"%f\""); }
    const QString &argvFile() const { return program_.argvFile(); }
    // What the editor got, once it ran (waits up to 5 s); empty when it did not run.
    QString arguments() const { return program_.arguments(); }

private:
    FakeProgram program_;
    ScopedPath path_;
};
