#include "settings/DataFolder.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileUtils.h"
#include "base/RegistryPath.h"
#include "base/TextCodec.h"
#include "platform/Files.h"

#include <QFileInfo>

namespace {

// Another user's folder, or one others may write, could plant settings (and the commands
// they hold) or read the stored passwords.
bool IsPrivateFolder(const QString &folder)
{
    const pl::FileStatus st = pl::files().status(folder);
    return st.kind != pl::FileKind::Directory || (st.ownedByUser && (st.mode & 022) == 0);
}

bool PrivateOrSkipped(const QString &folder)
{
    if (IsPrivateFolder(folder))
        return true;
    DebugLog(QStringLiteral("Data folder skipped, not private: ") + folder);
    return false;
}

bool UsableFolder(const QString &outer, const QString &folder)
{
    return PrivateOrSkipped(outer) && PrivateOrSkipped(folder) && LocalWriteTest(folder);
}

QString DataFileName()
{
    const QString exe = App.ExePath.mid(App.ExePath.lastIndexOf('/') + 1);
    const int dot = exe.lastIndexOf('.');
    return (dot > 0 ? exe.left(dot) : exe) + QStringLiteral(".dat");
}

} // namespace

bool IsPrivateDataFile(const QString &file)
{
    const QString target = LinkTarget(file);
    if (!IsPrivateFolder(QFileInfo(file).absolutePath()) || !IsPrivateFolder(QFileInfo(target).absolutePath()))
        return false;
    const pl::FileStatus st = pl::files().status(target);
    if (st.kind == pl::FileKind::Missing)
        return !st.accessDenied;
    return st.ownedByUser && (st.mode & 022) == 0;
}

bool LocalWriteTest(const QString &folder)
{
    pl::Files &fs = pl::files();
    if (!FolderExists(folder))
        fs.makeFolders(folder, true);
    if (!FolderExists(folder))
        return false;
    const QString probe = folder + QStringLiteral("/OrvalePDF.tmp");
    {
        pl::FileHandle file = fs.create(probe, 0600, false);
        if (!file.isOpen()
            || !fs.write(file,
                         EncodeText(QStringLiteral("local write access test"), false, tfCodePage, CpSystem, false)))
            return false;
    }
    return fs.status(probe, false).kind == pl::FileKind::Regular && fs.remove(probe);
}

QString FindDataFolder()
{
    QString folder;
    const QString registered = ReadRegistryPath(QStringLiteral("%HKCU\\Software\\Orvale 11\\AppData"));
    if (!registered.isEmpty() && FolderExists(registered)
        && UsableFolder(registered, registered + QStringLiteral("/PDF")))
        folder = registered + QStringLiteral("/PDF");

    const QString parentLocal = FileFolder(App.ExeFolder) + QStringLiteral("/Local");
    const QString exeLocal = App.ExeFolder + QStringLiteral("/Local");
    if (FolderExists(parentLocal) && UsableFolder(parentLocal, parentLocal + QStringLiteral("/PDF")))
        folder = parentLocal + QStringLiteral("/PDF");
    else if (FolderExists(exeLocal) && UsableFolder(exeLocal, exeLocal))
        folder = exeLocal;

    if (folder.isEmpty())
        folder = SpecialFolder(false) + QStringLiteral("/Orvale Team/Orvale 11/PDF");
    return folder;
}

void ApplyDataFileSwitch(const QString &expandedValue)
{
    QString name = DataFileName();
    if (expandedValue.startsWith('/')) {
        App.DataFolder = FileFolder(expandedValue);
        name = expandedValue.mid(expandedValue.lastIndexOf('/') + 1);
    } else if (!expandedValue.isEmpty()) {
        name = expandedValue;
    }
    if (!App.DataFolder.isEmpty() && !FolderExists(App.DataFolder))
        pl::files().makeFolders(App.DataFolder, true);
    App.DataFile = App.DataFolder + '/' + name;
}
