#include "synctex/SyncTeX.h"

#include "base/AppState.h"
#include "base/DebugLog.h"
#include "base/FileIO.h"
#include "base/FileUtils.h"
#include "base/TextCodec.h"
#include "platform/Clock.h"
#include "synctex/SyncInflate.h"
#include "synctex/SyncKeepBudget.h"
#include "synctex/SyncTeXLoader.h"

#include <QDir>
#include <QSet>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <string_view>

namespace {

constexpr double ScaledPointsPerPoint = 65781.76; // 65536 * 72.27 / 72
constexpr qsizetype IdleDropSize = 100000;
constexpr int64_t IdleDropMs = 900000;

QString quoted(const QString &text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

QString noMemoryText() { return QStringLiteral("There is not enough memory for its text."); }

// Clears the Loading flag when a load ends, also by an exception; the fields are emptied
// first unless the load finished normally.
class LoadingClaim {
public:
    explicit LoadingClaim(TSyncTeX &sync, std::atomic<bool> &loading) : sync_(sync), loading_(loading) {}
    ~LoadingClaim()
    {
        if (!released_) {
            sync_.Data = QByteArray();
            sync_.Ready.store(false);
            loading_.store(false, std::memory_order_release);
        }
    }
    LoadingClaim(const LoadingClaim &) = delete;
    LoadingClaim &operator=(const LoadingClaim &) = delete;
    bool release(bool ready)
    {
        sync_.Ready.store(ready, std::memory_order_release);
        loading_.store(false, std::memory_order_release);
        released_ = true;
        return ready;
    }

private:
    TSyncTeX &sync_;
    std::atomic<bool> &loading_;
    bool released_ = false;
};

} // namespace

void TSyncTeX::ResetFields()
{
    SyncVersion = 1;
    SyncUnit = 1;
    SyncMag = 1000;
    xOffset = 0;
    yOffset = 0;
    fUnit = 1 / ScaledPointsPerPoint;
    fxOffset = 0;
    fyOffset = 0;
    Pending.store(false);
    Ready.store(false);
    Data = QByteArray();
    Index.Clear();
    ReleaseKept();
    ErrMsg = QString();
    MainFile.clear();
    MainPath.clear();
    RecordedMainPath.clear();
    SyncFileName = QString();
    SyncFileDate = 0;
    LastUse = 0;
    DataSize = 0;
}

void TSyncTeX::Init()
{
    ResetFields();
    Loading.store(false);
}

void TSyncTeX::Error(const QString &message)
{
    ErrMsg = message;
    Info(QStringLiteral("!!! ") + message);
}

void TSyncTeX::Info(const QString &line)
{
    if (Verbose)
        InfoLog.append(line + QStringLiteral("\r\n"));
}

QString TSyncTeX::GetSyncFileName(const QString &PDFFileName)
{
    const QString base = FileFolder(PDFFileName) + QLatin1Char('/') + FileNameOnly(PDFFileName);
    const QString plain = base + QStringLiteral(".synctex");
    const QString packed = base + QStringLiteral(".synctex.gz");
    if (FileExists(plain)) {
        if (FileExists(packed) && !(FileTime64(packed) < FileTime64(plain)))
            return packed;
        return plain;
    }
    return FileExists(packed) ? packed : QString();
}

bool TSyncTeX::ClaimLoading()
{
    bool expected = false;
    return Loading.compare_exchange_strong(expected, true, std::memory_order_acq_rel);
}

bool TSyncTeX::LoadSyncData(const QString &FN, bool thread)
{
    if (!ClaimLoading()) {
        Error(QStringLiteral("SyncTeX File ") + quoted(FN)
              + QStringLiteral(" is still loading in the background thread..."));
        return false;
    }
    return LoadClaimed(FN, thread);
}

bool TSyncTeX::StillRunning(bool thread) const
{
    // A loader thread learns of the shutdown through the cancel flag; the main thread owns
    // the running state of the event loop.
    return thread ? !SyncTeXLoadCancelled() : App.AppRunning;
}

bool TSyncTeX::LoadClaimed(const QString &FN, bool thread)
{
    LoadingClaim claim(*this, Loading);
    // A failed load keeps the file's name, so that messages name it and the next search
    // tries it again.
    const auto fail = [&](const QString &message) {
        ResetFields();
        SyncFileName = FN;
        Error(message);
        return claim.release(false);
    };
    if (FN.isEmpty() || !FileExists(FN))
        return fail(QStringLiteral("SyncTeX File ") + quoted(FN) + QStringLiteral(" not found."));
    if (FileLocked(FN, false, true))
        return fail(QStringLiteral("SyncTeX File ") + quoted(FN) + QStringLiteral(" is locked for reading."));
    const int64_t fileDate = FileTime64(FN);
    if (Ready.load() && !Data.isEmpty() && SyncFileName.get() == FN && fileDate == SyncFileDate)
        return claim.release(true);

    ResetFields();
    SyncFileName = FN;
    if (!StillRunning(thread)) {
        const QString line = QStringLiteral("SyncTeX loading skipped, the program is closing: ") + FN;
        Info(line);
        if (!thread)
            DebugLog(line);
        return claim.release(false);
    }

    QString why; // what kept the text from being read, for the message
    bool ok;
    try {
        if (FileExtension(FN).compare(QLatin1String(".gz"), Qt::CaseInsensitive) == 0)
            ok = InflateFile(FN, why) > 0;
        else
            ok = ReadPlainFile(FN, why);
    } catch (const std::bad_alloc &) {
        ok = false;
        why = noMemoryText();
    }
    if (!StillRunning(thread)) {
        Data = QByteArray();
        Index.Clear();
        Info(QStringLiteral("SyncTeX data dropped, the program is closing: ") + FN);
        return claim.release(false);
    }
    if (!ok) {
        Data = QByteArray();
        Index.Clear();
        Error(QStringLiteral("SyncTeX File  ") + quoted(FN) + QStringLiteral(" could not be loaded.")
              + (why.isEmpty() ? QString() : QLatin1Char(' ') + why));
    }
    DataSize = int32_t(std::min<qsizetype>(Data.size(), INT32_MAX));
    if (ok) {
        ok = CheckPreamble();
        if (ok) {
            SyncFileDate = fileDate;
        } else {
            Data = QByteArray();
            Index.Clear();
            Error(QStringLiteral("SyncTeX Preamble  ") + quoted(FN) + QStringLiteral(" could not be processed."));
        }
    }
    if (ok && !KeepLoaded(thread)) {
        ok = false;
        Pending.store(true);
        Data = QByteArray();
        Index.Clear();
        Info(QStringLiteral("SyncTeX data left for its first use: ") + FN);
    }
    if (ok)
        DebugLog(QStringLiteral("SyncTeX loaded")
                 + (thread ? QStringLiteral(" in the background: ") : QStringLiteral(": ")) + FN + QStringLiteral(" (")
                 + QString::number(DataSize) + QStringLiteral(" bytes)"));
    LastUse = uint64_t(pl::clock().tickMs());
    return claim.release(ok);
}

bool TSyncTeX::ReadPlainFile(const QString &FN, QString &why)
{
    if (FileSize64(FN) > MaxSyncTextSize) {
        why = QStringLiteral("It is larger than ") + QString::number(MaxSyncTextSize) + QStringLiteral(" bytes.");
        return false;
    }
    if (ReadWholeFile(FN, Data, MaxSyncTextSize) != frOk || Data.isEmpty())
        return false;
    BuildIndex();
    return true;
}

int TSyncTeX::InflateFile(const QString &FN, QString &why)
{
    QByteArray packed;
    TInflateResult result = TInflateResult::Failed;
    // Each block of text is indexed while it is still in the cache; only the bytes that are
    // new since the last block are searched for a line end.
    Index.Begin();
    qsizetype indexed = 0, searched = 0;
    const auto indexBlock = [&](qsizetype produced) {
        const char *d = Data.constData();
        const void *lf = memrchr(d + searched, '\n', size_t(produced - searched));
        searched = produced;
        if (lf)
            indexed = IndexLines(indexed, static_cast<const char *>(lf) - d + 1);
    };
    const bool read = ReadWholeFile(FN, packed) == frOk;
    if (read)
        result = InflateSyncText(
            packed, Data, [] { return SyncTeXLoadCancelled(); }, indexBlock);
    if (result == TInflateResult::Done) {
        IndexLines(indexed, Data.size());
        Index.Finish(Data);
        return int(std::min<qsizetype>(Data.size(), INT32_MAX));
    }
    Index.Clear();
    Data = QByteArray();
    if (result == TInflateResult::Failed) {
        Error(QStringLiteral("An exception occured while decompressing: ") + quoted(FN));
        if (read)
            why = QStringLiteral("The file is damaged.");
    } else if (result == TInflateResult::TooLarge) {
        why = QStringLiteral("Its text would be longer than ") + QString::number(InflateLimit(packed.size()))
            + QStringLiteral(" bytes.");
    } else if (result == TInflateResult::NoMemory) {
        why = noMemoryText();
    }
    return -1;
}

bool TSyncTeX::KeepLoaded(bool thread)
{
    const qint64 bytes = Data.size() + qint64(Index.MemoryUse());
    TSyncKeepBudget &budget = TSyncKeepBudget::Instance();
    if (!thread)
        budget.Take(bytes);
    else if (!budget.TryTake(bytes))
        return false;
    KeptBytes = bytes;
    return true;
}

void TSyncTeX::ReleaseKept()
{
    TSyncKeepBudget::Instance().Give(KeptBytes);
    KeptBytes = 0;
}

bool TSyncTeX::CheckPreamble()
{
    struct Key {
        const char *text;
        int TSyncTeX::*field;
    };
    static const Key keys[] = {
        {"SyncTeX Version:", nullptr},     {"Unit:", &TSyncTeX::SyncUnit},    {"Magnification:", &TSyncTeX::SyncMag},
        {"X Offset:", &TSyncTeX::xOffset}, {"Y Offset:", &TSyncTeX::yOffset},
    };
    bool ok = false;
    for (qsizetype pos = 0; pos < Data.size(); pos = NextLine(pos)) {
        qsizetype p = pos;
        if (MatchSyncText(p, "Content:")) {
            ok = true;
            break;
        }
        for (const Key &key : keys) {
            p = pos;
            if (!MatchSyncText(p, key.text))
                continue;
            int value;
            if (ReadSyncInt(p, '\n', value)) {
                if (key.field)
                    this->*key.field = value;
                else
                    SyncVersion = uint32_t(value);
            }
            break;
        }
    }
    // Every coordinate is scaled by both: a zero makes the data meaningless.
    if (ok && (SyncUnit == 0 || SyncMag == 0)) {
        Info(QStringLiteral("SyncTeX Unit or Magnification is 0."));
        ok = false;
    }
    if (ok) {
        const qsizetype mainName = LastInputName(1);
        ok = mainName >= 0;
        if (ok) {
            RecordedMainPath = FileFolder(QDir::cleanPath(ReadSyncLine(mainName)));
            FindInputName(1, QString(), MainFile);
            MainPath = FileFolder(MainFile);
        }
    }
    fUnit = SyncUnit / ScaledPointsPerPoint * SyncMag / 1000;
    fxOffset = xOffset * fUnit;
    fyOffset = yOffset * fUnit;
    return ok;
}

// ---- reading the text ----

namespace {

// A number followed by its terminator, read the way ReadSyncInt reads a well-formed one and
// stepped over; false (and p unchanged) wherever ReadSyncInt has to decide.
inline bool quickField(const char *&p, const char *end, char term, int &value)
{
    const char *q = p;
    int sign = 1;
    if (q < end && *q == '-') {
        sign = -1;
        ++q;
    } else if (q < end && *q == '+') {
        ++q;
    }
    int64_t v = 0;
    int digits = 0;
    while (q < end && digits < 15 && v < 2147483647 && unsigned(*q - '0') < 10) {
        v = v * 10 + (*q - '0');
        ++digits;
        ++q;
    }
    if (q >= end || *q != term || digits < 1 || digits > 14 || v >= 2147483647)
        return false;
    value = int(sign * v);
    p = q + 1;
    return true;
}

} // namespace

// One pass at memory speed: most records read on the quick path, the rest as every scan
// reads them.
void TSyncTeX::BuildIndex()
{
    Index.Begin();
    IndexLines(0, Data.size());
    Index.Finish(Data);
}

qsizetype TSyncTeX::IndexLines(qsizetype from, qsizetype to)
{
    const char *d = Data.constData();
    const char *end = d + to;
    const char *p = d + from;
    while (p < end) {
        const qsizetype pos = p - d;
        switch (*p) {
        case 'I': {
            int tag;
            qsizetype namePos;
            if (ReadInputRecord(pos, tag, namePos))
                Index.AddInput(pos);
            break;
        }
        case '{': {
            qsizetype q = pos + 1;
            int number;
            Index.AddBlock(pos, ReadSyncInt(q, '\n', number) ? number : TSyncIndex::NoNumber);
            break;
        }
        case '}': Index.EndBlock(); break;
        case '(':
        case '$':
        case 'g':
        case 'k':
        case 'x': {
            const bool box = *p == '(';
            const char *q = p + 1;
            int tag, line;
            if (quickField(q, end, ',', tag) && quickField(q, end, ':', line)) {
                Index.AddRecord(tag, line, box);
                p = q; // the rest of the line holds no LF before the one searched below
            } else {
                TRecordHead head;
                if (ReadRecordHead(pos, head))
                    Index.AddRecord(head.tag, head.line, box);
            }
            break;
        }
        default: break;
        }
        const void *lf = std::memchr(p, '\n', size_t(end - p));
        p = lf ? static_cast<const char *>(lf) + 1 : end;
    }
    return to;
}

void TSyncTeX::ForEachInput(const std::function<bool(qsizetype, int, qsizetype)> &f) const
{
    int tag;
    qsizetype namePos;
    if (Indexed()) {
        for (qsizetype pos : Index.Inputs())
            if (ReadInputRecord(pos, tag, namePos) && f(pos, tag, namePos))
                return;
        return;
    }
    for (qsizetype pos = NextLine(0); pos < Data.size(); pos = NextLine(pos))
        if (ReadInputRecord(pos, tag, namePos) && f(pos, tag, namePos))
            return;
}

qsizetype TSyncTeX::NextMatchingBlock(qsizetype pos, int tag, int lin, bool anyRecord) const
{
    qsizetype b = Index.BlockAt(pos);
    if (b < 0)
        return pos;
    const auto &blocks = Index.Blocks();
    while (b < qsizetype(blocks.size()) && Index.MaxLine(b, tag, anyRecord) < lin)
        ++b;
    return b < qsizetype(blocks.size()) ? blocks[size_t(b)].pos : Data.size();
}

qsizetype TSyncTeX::NextLine(qsizetype pos) const
{
    const qsizetype lf = Data.indexOf('\n', pos);
    return lf < 0 ? Data.size() : lf + 1;
}

qsizetype TSyncTeX::LineStart(qsizetype pos) const
{
    if (pos <= 0)
        return 0;
    const std::string_view text(Data.constData(), size_t(pos));
    const size_t lf = text.rfind('\n');
    return lf == std::string_view::npos ? 0 : qsizetype(lf) + 1;
}

qsizetype TSyncTeX::NextPageLine(qsizetype pos) const
{
    while (pos < Data.size() && Data[pos] != '{')
        pos = NextLine(pos);
    return pos < Data.size() ? pos : -1;
}

bool TSyncTeX::ReadSyncInt(qsizetype &pos, char term, int &value) const
{
    const qsizetype n = Data.size();
    const char *d = Data.constData();
    int sign = 1;
    if (pos < n && d[pos] == '-') {
        sign = -1;
        ++pos;
    } else if (pos < n && d[pos] == '+') {
        ++pos;
    }
    int64_t v = 0;
    int digits = 0;
    bool stray = false;
    while (digits < 15 && v < 2147483647 && pos < n) {
        const char c = d[pos];
        const bool digit = c >= '0' && c <= '9';
        if (term == 0 ? !digit : (c == term || c == '\n' || c == '\r'))
            break;
        if (digit) {
            v = v * 10 + (c - '0');
            ++digits;
        } else {
            stray = true;
        }
        ++pos;
    }
    if (stray || digits < 1 || digits > 14 || v >= 2147483647)
        return false;
    value = int(sign * v);
    return true;
}

bool TSyncTeX::MatchSyncText(qsizetype &pos, const char *literal) const
{
    const qsizetype len = qsizetype(std::strlen(literal));
    if (pos < 0 || Data.size() - pos < len + 1)
        return false;
    if (std::memcmp(Data.constData() + pos, literal, size_t(len)) != 0)
        return false;
    pos += len;
    return true;
}

QString TSyncTeX::ReadSyncLine(qsizetype pos) const
{
    qsizetype end = pos;
    while (end < Data.size() && Data[end] != '\n' && Data[end] != '\r')
        ++end;
    return FromUtf8(Data.mid(pos, end - pos));
}

bool TSyncTeX::ReadField(qsizetype &pos, char term, int &value) const
{
    if (!ReadSyncInt(pos, term, value))
        return false;
    if (pos < Data.size() && Data[pos] == term)
        ++pos;
    return true;
}

bool TSyncTeX::ReadInputRecord(qsizetype lineStart, int &tag, qsizetype &namePos) const
{
    // The first line is the file's own header, never an Input record.
    if (lineStart <= 0 || Data[lineStart] != 'I')
        return false;
    qsizetype p = lineStart;
    if (!MatchSyncText(p, "Input:") || !ReadSyncInt(p, ':', tag) || p >= Data.size() || Data[p] != ':')
        return false;
    namePos = p + 1;
    return true;
}

bool TSyncTeX::ReadRecordHead(qsizetype lineStart, TRecordHead &head) const
{
    qsizetype p = lineStart + 1;
    head.type = Data[lineStart];
    if (!ReadField(p, ',', head.tag) || !ReadField(p, ':', head.line))
        return false;
    head.after = p;
    return true;
}

bool TSyncTeX::ReadBox(qsizetype lineStart, TSyncBox &box) const
{
    qsizetype p = lineStart + 1;
    TSyncBox b;
    b.pos = lineStart;
    if (!ReadField(p, ',', b.tag) || !ReadField(p, ':', b.line) || !ReadField(p, ',', b.x) || !ReadField(p, ':', b.y)
        || !ReadField(p, ',', b.W) || !ReadField(p, ',', b.H) || !ReadField(p, '\n', b.D))
        return false;
    box = b;
    return true;
}

QString TSyncTeX::LocateFile(const QString &recorded, const QStringList &folders) const
{
    const QString name = QDir::cleanPath(recorded);
    QStringList candidates;
    if (QDir::isAbsolutePath(name)) {
        // A project typeset elsewhere and then moved or copied: the name below the folder of
        // the main file as it was recorded is looked for below the SyncTeX file's folder, then
        // the file name alone beside the SyncTeX file.
        const QString syncFolder = FileFolder(SyncFileName);
        candidates << name;
        if (!RecordedMainPath.isEmpty() && name.startsWith(RecordedMainPath + QLatin1Char('/')))
            candidates << syncFolder + name.mid(RecordedMainPath.size());
        candidates << syncFolder + QLatin1Char('/') + QFileInfo(name).fileName();
    } else {
        // Never the working folder: it says where the viewer was started, not where the
        // document's sources are.
        for (const QString &folder : folders)
            if (!folder.isEmpty())
                candidates << folder + QLatin1Char('/') + name;
    }
    for (const QString &candidate : candidates)
        if (FileExists(candidate))
            return CanonicalPath(candidate);
    return QString();
}

qsizetype TSyncTeX::LastInputName(int tag) const
{
    qsizetype found = -1;
    ForEachInput([&](qsizetype, int t, qsizetype namePos) {
        if (t == tag)
            found = namePos;
        return false;
    });
    return found;
}

bool TSyncTeX::FindInputName(int tag, const QString &folderList, QString &name) const
{
    const qsizetype found = LastInputName(tag);
    if (found < 0)
        return false;
    const QString recorded = ReadSyncLine(found);
    const QString syncFolder = FileFolder(SyncFileName);
    QStringList folders = folderList.split(QLatin1Char(';'));
    folders << syncFolder;
    name = LocateFile(recorded, folders);
    // A name that is not found still names a file below the root, so that an editor never
    // takes it for an option.
    if (name.isEmpty())
        name = QDir::cleanPath(QDir::isAbsolutePath(recorded) ? recorded : syncFolder + QLatin1Char('/') + recorded);
    return true;
}

std::vector<TSyncTeX::TInputFile> TSyncTeX::InputFiles()
{
    std::vector<TInputFile> files;
    if (!UsableData())
        return files;
    const QStringList folders{MainPath, FileFolder(SyncFileName)};
    QSet<QString> seen;
    ForEachInput([&](qsizetype, int, qsizetype namePos) {
        const QString name = ReadSyncLine(namePos);
        if (!seen.contains(name)) {
            seen.insert(name);
            files.push_back({name, LocateFile(name, folders)});
        }
        return false;
    });
    return files;
}

bool TSyncTeX::UsableData()
{
    // A running load owns the data; the load attempt below then reports it.
    if (!Loading.load(std::memory_order_acquire) && Ready.load(std::memory_order_acquire))
        return true;
    LoadSyncData(SyncFileName, false);
    return !Loading.load(std::memory_order_acquire) && Ready.load(std::memory_order_acquire);
}

// ---- status and housekeeping ----

QString UpdateSyncText(const TSyncTeX *sync)
{
    if (!sync)
        return QString();
    const bool ready = sync->Ready.load();
    const bool loading = sync->Loading.load();
    const bool pending = sync->Pending.load();
    if (!ready && !loading && !pending)
        return QStringLiteral("No SyncTeX Data");
    const bool gz = FileExtension(sync->SyncFileName).compare(QLatin1String(".gz"), Qt::CaseInsensitive) == 0;
    return QString(gz ? QStringLiteral("SyncTeX.gz") : QStringLiteral("SyncTeX"))
        + (ready         ? QStringLiteral(": Ready")
               : loading ? QStringLiteral(": Loading")
                         : QStringLiteral(": Pending"));
}

bool DropIdleSyncData(TSyncTeX &sync)
{
    if (!sync.Ready.load() || sync.Loading.load() || sync.Pending.load() || sync.Data.size() <= IdleDropSize)
        return false;
    if (pl::clock().tickMs() - int64_t(sync.LastUse) <= IdleDropMs)
        return false;
    sync.Data = QByteArray();
    sync.Index.Clear();
    sync.ReleaseKept();
    sync.Ready.store(false);
    sync.Pending.store(true);
    return true;
}
