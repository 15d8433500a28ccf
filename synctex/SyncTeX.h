#pragma once
#include "synctex/SyncIndex.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// A rectangle in PDF points from the top-left corner of the page, y growing downwards.
struct TFloatRect {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};
using TFloatRectangles = std::vector<TFloatRect>;

// Text that a loader thread writes while the main thread may read it.
class TSharedText {
public:
    TSharedText &operator=(const QString &text)
    {
        std::lock_guard lock(mutex_);
        text_ = text;
        return *this;
    }
    operator QString() const { return get(); }
    QString get() const
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    void append(const QString &text)
    {
        std::lock_guard lock(mutex_);
        text_ += text;
    }

private:
    mutable std::mutex mutex_;
    QString text_;
};

// One "(" record: a horizontal box.
struct TSyncBox {
    qsizetype pos = -1; // the "(" that starts its line
    int tag = 0;
    int line = 0;
    int x = 0;
    int y = 0;
    int W = 0;
    int H = 0;
    int D = 0;
};

// The SyncTeX data of one document: the whole file text kept in memory and scanned anew for
// every forward and inverse search.
//
// Threads: a loader thread owns every field while Loading is set; the main thread reads
// Data and the plain fields only when Loading is clear (the flags carry the ordering).
// SyncFileName, ErrMsg and InfoLog may be read at any time.
class TSyncTeX {
public:
    TSyncTeX() { Init(); }
    ~TSyncTeX() { ReleaseKept(); }
    TSyncTeX(const TSyncTeX &) = delete;
    TSyncTeX &operator=(const TSyncTeX &) = delete;

    uint32_t SyncVersion = 1;
    int32_t SyncUnit = 1;
    int32_t SyncMag = 1000;
    int32_t xOffset = 0;
    int32_t yOffset = 0;
    double fUnit = 1 / 65781.76; // PDF points per file unit
    double fxOffset = 0;
    double fyOffset = 0;
    std::atomic<bool> Loading{false};
    std::atomic<bool> Pending{false};
    std::atomic<bool> Ready{false};
    // Collect diagnostic lines in InfoLog. Both survive Init, so that a load can be traced.
    bool Verbose = false;
    QByteArray Data;
    TSharedText ErrMsg;
    TSharedText InfoLog;
    QString MainFile;
    QString MainPath;
    TSharedText SyncFileName;
    int64_t SyncFileDate = 0; // 100 ns units since 1601
    uint64_t LastUse = 0;     // milliseconds of the platform clock
    int32_t DataSize = 0;
    // Queries go through the index built at load time; false makes them read the text from
    // its start as well (the answers are the same).
    bool UseIndex = true;
    bool Indexed() const { return UseIndex && Index.Covers(Data); }
    size_t IndexMemory() const { return Index.MemoryUse(); }

    // All fields to their initial values. Never while a load runs on another thread.
    void Init();
    void Delete() { Init(); }

    // ".synctex" beside the PDF when it is newer than the ".synctex.gz", else the
    // ".synctex.gz"; empty when neither exists.
    static QString GetSyncFileName(const QString &PDFFileName);

    // Loads FN; thread is true on a loader thread. True: Data holds the checked file.
    bool LoadSyncData(const QString &FN, bool thread);
    // Claims the Loading flag for a load that will run elsewhere; false when a load runs.
    bool ClaimLoading();
    // The load after a successful ClaimLoading; releases the flag when it ends.
    bool LoadClaimed(const QString &FN, bool thread);

    // Forward search: page and marked rectangles of a source line. On success rectangles
    // holds numrect + 1 entries, entry 0 being the union of the others.
    bool ForwardSearch(const QString &inpFile, int lin, int &page, int &numrect, TFloatRectangles &rectangles);
    // Inverse search: the source file and line of a point (PDF points from the page's
    // top-left corner) on a 1-based page.
    bool InverseSearch(int page, double x, double y, QString &inpFile, int &lin);
    // The source files the data names, each once in file order: the name as recorded and the
    // file a forward search takes it for (canonical), empty when there is no such file. Empty
    // without usable data.
    struct TInputFile {
        QString recorded;
        QString resolved;
    };
    std::vector<TInputFile> InputFiles();

    // Reads a signed decimal up to term (0: up to the first non-digit). pos is left on the
    // byte that stopped the reading. Invalid with a stray byte, no digit, 15 digits or more,
    // or a value of 2147483647 or more.
    bool ReadSyncInt(qsizetype &pos, char term, int &value) const;
    // Steps over literal at pos; fails when fewer than its length + 1 bytes remain.
    bool MatchSyncText(qsizetype &pos, const char *literal) const;
    // The name from pos to the line end: UTF-8, else the system code page.
    QString ReadSyncLine(qsizetype pos) const;
    // The file of the last Input record with this tag: an absolute name as it is or, when it
    // does not exist, as a file of the moved project; a relative name in each folder of
    // folderList (";"-separated) and then in the SyncTeX file's folder. Canonical when found,
    // else the name cleaned and, when relative, below the SyncTeX file's folder, so that it
    // always begins with "/". False when no Input record has the tag.
    bool FindInputName(int tag, const QString &folderList, QString &name) const;

private:
    friend bool DropIdleSyncData(TSyncTeX &sync);

    struct TRecordHead {
        char type = 0;
        int tag = 0;
        int line = 0;
        qsizetype after = -1; // after the line field
    };
    struct TBestLine {
        int line = 0;
        qsizetype pos = -1;
        int page = 0;
        qsizetype pageStart = -1;
    };
    struct TFileRect {
        int64_t left, top, right, bottom;
    };

    void ResetFields();
    // Counts the loaded text against the keep budget; false when a loader thread may not
    // keep it.
    bool KeepLoaded(bool thread);
    void ReleaseKept();
    void Error(const QString &message);
    void Info(const QString &line);
    bool UsableData();
    bool StillRunning(bool thread) const;
    // Read the file's text into Data and index it; false with why set when a reason is known.
    int InflateFile(const QString &FN, QString &why);
    bool ReadPlainFile(const QString &FN, QString &why);
    bool CheckPreamble();
    void BuildIndex();
    // Indexes the lines that start in [from, to), where to ends a line or the text; to.
    qsizetype IndexLines(qsizetype from, qsizetype to);
    // Calls f(lineStart, tag, namePos) for each Input record in file order until f
    // returns true.
    void ForEachInput(const std::function<bool(qsizetype lineStart, int tag, qsizetype namePos)> &f) const;
    // From the "{" line at pos, with no match yet: the first "{" line whose block holds a
    // record of tag with a line of at least lin (the text's end when none does).
    qsizetype NextMatchingBlock(qsizetype pos, int tag, int lin, bool anyRecord) const;

    qsizetype NextLine(qsizetype pos) const;
    qsizetype LineStart(qsizetype pos) const;
    qsizetype NextPageLine(qsizetype pos) const;
    bool ReadInputRecord(qsizetype lineStart, int &tag, qsizetype &namePos) const;
    bool ReadRecordHead(qsizetype lineStart, TRecordHead &head) const;
    bool ReadBox(qsizetype lineStart, TSyncBox &box) const;
    bool ReadField(qsizetype &pos, char term, int &value) const;
    // The existing file a recorded name stands for (see FindInputName), canonical; else empty.
    QString LocateFile(const QString &recorded, const QStringList &folders) const;
    // The name position of the last Input record with this tag; -1 when there is none.
    qsizetype LastInputName(int tag) const;

    // Forward search steps.
    bool FindInputTag(const QString &inpFile, int &tag, qsizetype &start) const;
    bool FindBestLine(int tag, int lin, qsizetype start, bool anyRecord, TBestLine &best) const;
    qsizetype WalkBackToOpen(qsizetype from) const;
    bool FindEnclosingBox(int tag, qsizetype from, TSyncBox &box) const;
    void RefineWithParent(int tag, int lin, TSyncBox &box) const;
    void ChooseExactSibling(int tag, int lin, TSyncBox &box) const;
    qsizetype BoxEnd(qsizetype open) const;
    qsizetype NextSibling(qsizetype open) const;
    bool BoxHolds(qsizetype open, int tag, int line) const;
    bool FindPlace(int tag, int lin, qsizetype start, TBestLine &best, TSyncBox &box, bool &haveBox) const;
    bool PageStartsWithLeftover(int tag, const TBestLine &best, bool &wholePage) const;
    void CollectRectangles(int tag, int bestLine, const TSyncBox &box, std::vector<TFileRect> &rects) const;

    // Inverse search steps.
    qsizetype FindPage(int page) const;
    bool ScanBoxes(int page, qsizetype first, int64_t X, int64_t Y, int &tag, int &line) const;
    int RefineLine(const TSyncBox &box, int mode, int64_t X) const;
    void NearestRecord(qsizetype first, int64_t Y, int &tag, int &line) const;

    TSyncIndex Index;
    qint64 KeptBytes = 0;     // counted in the keep budget
    QString RecordedMainPath; // the main file's folder as TeX recorded it
};

// The text of the status line's SyncTeX field for a document's SyncTeX object; empty
// without one.
QString UpdateSyncText(const TSyncTeX *sync);

// Frees Data that has not been used for 15 minutes and marks it Pending, so that the next
// search reads the file again. Called by the periodic status refresh; true when dropped.
bool DropIdleSyncData(TSyncTeX &sync);
