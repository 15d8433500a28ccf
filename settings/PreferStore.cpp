#include "settings/PreferStore.h"

#include "base/AppState.h"
#include "settings/Colors.h"
#include "settings/DataFile.h"
#include "settings/DataFolder.h"
#include "base/DebugLog.h"
#include "base/DurableWrite.h"
#include "base/FileUtils.h"
#include "base/MessageDialog.h"
#include "base/MinuteTime.h"
#include "settings/Prefer.h"
#include "settings/ToolbarDefinition.h"
#include "platform/Files.h"

#include <exception>

TPreferStoreHooks PreferStoreHooks;

namespace {

constexpr int64_t MinFileSize = 111;
constexpr int64_t MaxFileSize = 999999;
constexpr int32_t ChecksFromVersion = 7;

bool DataChecksOn() { return !App.Switches.NoDataChecks; }

QString Quoted(const QString &name) { return '"' + name + '"'; }

void ConfigurationError(const QString &text)
{
    MessageDialog(QStringLiteral("Configuration Error"), text, mtWarning, MsgButtons({mbOK}));
}

void RestoreDefaults() { LoadPreferDefaults(Prefer); }

// The backups follow the data file at most once a day, and only while it is worth keeping:
// a damaged data file must never replace a good ".bak".
void RotateBackups()
{
    const QString &file = App.DataFile;
    const QString bak = file + QStringLiteral(".bak");
    const QString bkp = file + QStringLiteral(".bkp");
    if (FileExists(bak)) {
        const int64_t now = MinuteNow();
        const int64_t bakTime = FileMinuteTime(bak);
        const int64_t fileTime = FileMinuteTime(file);
        if (!(now - bakTime > 1440 && fileTime - bakTime > 360))
            return;
    }
    TDataFile check;
    if (!CheckCandidate(file, check)) {
        DebugLog(QStringLiteral("WriteData: damaged data file not copied to the backup: ") + file);
        return;
    }
    if (FileExists(bak))
        CopyFileKeepingTimes(bak, bkp, PrivateFileMode);
    CopyFileKeepingTimes(file, bak, PrivateFileMode);
}

} // namespace

bool CheckCandidate(const QString &name, TDataFile &df)
{
    const pl::FileStatus st = pl::files().status(name);
    if (st.kind != pl::FileKind::Regular || st.size < MinFileSize || st.size > MaxFileSize)
        return false;
    if (!df.ReadFile(name, MaxFileSize))
        return false;
    const int64_t version = df.RdNum(0, LatestDataVersion);
    if (df.ErrCode != 0)
        return false;
    if (DataChecksOn() && version >= ChecksFromVersion && !df.CheckData(99, 999999, 66, 99999))
        return false;
    df.Reset();
    return true;
}

bool ReadData()
{
    LoadColorDefaults();
    RestoreDefaults();
    const QString &file = App.DataFile;
    if (!IsPrivateDataFile(file)) {
        DebugLog(QStringLiteral("Data file refused, not private: ") + file);
        ConfigurationError(
            QStringLiteral("Configuration file ") + Quoted(file)
            + QStringLiteral(" can be changed by other users! Using default settings; they are not saved."));
        ToolbarDefinition.LoadDefault();
        return true;
    }
    if (!FileExists(file)) {
        ToolbarDefinition.LoadDefault();
        return true;
    }

    TDataFile df;
    bool accepted = CheckCandidate(file, df);
    if (!accepted) {
        const QString bak = file + QStringLiteral(".bak");
        const QString corrupted = QStringLiteral("Configuration file ") + Quoted(file);
        if (!FileExists(bak)) {
            ConfigurationError(corrupted + QStringLiteral(" is corrupted!")
                               + QStringLiteral(" Using default settings."));
        } else if (CheckCandidate(bak, df)) {
            ConfigurationError(corrupted + QStringLiteral(" is corrupted!")
                               + QStringLiteral(" Using backup configuration instead."));
            accepted = true;
        } else {
            ConfigurationError(corrupted + QStringLiteral(" and its backup are corrupted!")
                               + QStringLiteral(" Using default settings."));
        }
    }

    bool good = false;
    if (accepted) {
        try {
            good = ReadPrefer(df, Prefer);
            if (!good)
                DebugLog(QStringLiteral("ReadData Error..."));
        } catch (const std::exception &) {
            DebugLog(QStringLiteral("ReadData Exception: using defaults"));
        }
    } else {
        DebugLog(QStringLiteral("ReadData Error..."));
    }
    if (!good) {
        RestoreDefaults();
    } else if (DataChecksOn() && Prefer.DataVersion >= ChecksFromVersion && !df.CheckTrailerPos()) {
        DebugLog(QStringLiteral("Data Check Trailer Position: ") + file);
    }

    if (ToolbarDefinition.lines.isEmpty())
        ToolbarDefinition.LoadDefault();
    if (App.Switches.EmptyRecentList)
        Prefer.DocListCount = 0;
    if (PreferStoreHooks.resolveAdobe)
        PreferStoreHooks.resolveAdobe();
    SelectPdfColors(Prefer.RenderModeIndex);
    SelectThemeColors(Prefer.ThemeModeIndex);
    return true;
}

bool WriteData()
{
    const QString &file = App.DataFile;
    if (!IsPrivateDataFile(file)) {
        DebugLog(QStringLiteral("WriteData: data file not private, nothing written: ") + file);
        return false;
    }
    if (FileExists(file))
        RotateBackups();
    else if (!FolderExists(App.DataFolder))
        pl::files().makeFolders(App.DataFolder, true);

    if (PreferStoreHooks.updateDocList)
        PreferStoreHooks.updateDocList();
    if (PreferStoreHooks.storeWindowPlacement)
        PreferStoreHooks.storeWindowPlacement();

    TDataFile df;
    df.Rewrite(65536, 2097152);
    const bool ok = WritePrefer(df, Prefer) && df.WriteTrailer() && df.WriteFile(file);
    if (!ok) {
        DebugLog(QStringLiteral("WriteData Error..."));
        if (!df.ErrString.isEmpty())
            DebugLog(df.ErrString);
    }
    return ok;
}
