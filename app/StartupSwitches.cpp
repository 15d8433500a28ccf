#include "app/StartupSwitches.h"

#include "app/PeerCmdLine.h"
#include "base/PathMacros.h"

#include <QFileInfo>

namespace {

// A flag switch is "-x" exactly; a value switch "-x=value" with a non-empty value.
bool matchesFlag(const QString &arg, QChar letter)
{
    return arg.size() == 2 && arg[0] == '-' && arg[1].toLower() == letter;
}

bool matchesValue(const QString &arg, QChar letter, QString &value)
{
    if (arg.size() < 4 || arg[0] != '-' || arg[1].toLower() != letter || arg[2] != '=')
        return false;
    value = arg.mid(3);
    return true;
}

} // namespace

TStartupScan ScanStartupSwitches(const QStringList &args, const QString &exeFolder, const QString &dataFolder)
{
    TStartupScan scan;
    TStartupFlags &f = scan.flags;
    int last = -1;

    const struct {
        char letter;
        bool *flag;
    } flags[] = {
        {'r', &f.AlwaysRestore}, {'b', &f.SendBeforeFocus}, {'v', &f.NeverRestore},
        {'n', &f.NewInstance},   {'e', &f.EmptyRecentList}, {'z', &f.NoDataChecks},
    };
    for (const auto &sw : flags) {
        for (int i = 0; i < args.size(); ++i) {
            if (matchesFlag(args[i], QLatin1Char(sw.letter))) {
                *sw.flag = true;
                last = std::max(last, i);
                break;
            }
        }
    }

    const struct {
        char letter;
        QString *value;
        bool macros;
    } values[] = {
        {'l', &f.DataFileValue, true},
        {'d', &f.LogPath, true},
        {'c', &scan.instanceName, false},
        {'i', &f.IconFile, true},
    };
    for (const auto &sw : values) {
        for (int i = 0; i < args.size(); ++i) {
            QString value;
            if (matchesValue(args[i], QLatin1Char(sw.letter), value)) {
                *sw.value = sw.macros ? ExpandPathMacros(value, exeFolder, dataFolder) : value;
                last = std::max(last, i);
                break;
            }
        }
    }

    scan.commandItems = TranslatePeerItems(args.mid(last + 1));
    return scan;
}
