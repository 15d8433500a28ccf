#pragma once
#include <QtGlobal>

#include <mutex>

// The memory that SyncTeX texts loaded in the background may hold. A loader thread keeps a
// text only while it fits both the limit of one document and the limit of all together;
// beyond them the text is left for its first use, which loads it on the calling thread.
// Loads on the calling thread are always kept and counted.
class TSyncKeepBudget {
public:
    struct TLimits {
        qint64 PerDocument;
        qint64 Total;
    };
    // 512 MB a document and 1 GB in all on a 64-bit build; a 32-bit address space keeps a few
    // megabytes.
    static constexpr TLimits DefaultLimits =
        sizeof(void *) >= 8 ? TLimits{qint64(512) << 20, qint64(1) << 30} : TLimits{4000000, 16000000};

    static TSyncKeepBudget &Instance();

    // Counts bytes when they fit the limits; false leaves the count as it was.
    bool TryTake(qint64 bytes);
    // Counts bytes whatever the limits say.
    void Take(qint64 bytes);
    void Give(qint64 bytes);
    qint64 Used() const;

    TLimits Limits() const;
    // Tests shrink the limits to reach them with small files.
    void SetLimits(TLimits limits);

private:
    mutable std::mutex mutex_;
    TLimits limits_ = DefaultLimits;
    qint64 used_ = 0;
};
