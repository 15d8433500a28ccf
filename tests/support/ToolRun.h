#pragma once
// Runs a command-line tool to its end and keeps its exit code and output.
#include <QProcess>
#include <QString>
#include <QStringList>

struct RunResult {
    int code = -1;
    QString out, err;
};

inline RunResult RunTool(const QString &program, const QStringList &args, const QProcessEnvironment &env = {},
                         const QString &folder = QString())
{
    QProcess p;
    if (!env.isEmpty())
        p.setProcessEnvironment(env);
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}
