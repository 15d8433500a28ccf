#pragma once
// Where things are in a SyncTeX text, found in one pass when it is loaded, so that queries
// go straight to the Input records and pages instead of reading the text from its start.
// The scans that use it see the same records in the same order as without it.
#include <QByteArray>

#include <cstdint>
#include <vector>

class TSyncIndex {
public:
    // One "{" line: a page, or a further block of one.
    struct TBlock {
        qsizetype pos;     // the "{"
        int64_t number;    // the page number after it; NoNumber when it does not read
        uint32_t firstTag; // its entries in the tag table
        uint32_t tagCount;
    };
    // The largest source line of one file's records within a block.
    struct TTagLines {
        int tag;
        int maxBox; // of its "(" records
        int maxAny; // of its "$", "(", "g", "k" and "x" records
    };
    static constexpr int64_t NoNumber = INT64_MIN;
    static constexpr int NoLine = INT32_MIN;

    // Filled by one pass over the text in file order (the reader of the records owns their
    // syntax), also while the text is still being written; Finish ties the index to exactly
    // that buffer.
    void Begin() { Clear(); }
    void AddInput(qsizetype lineStart) { inputs_.push_back(lineStart); }
    void AddBlock(qsizetype pos, int64_t number);
    // A record of the block opened last; none after the block's "}".
    void AddRecord(int tag, int line, bool box);
    void EndBlock() { open_ = false; }
    void Finish(const QByteArray &text);
    void Clear();
    // True while text is the very buffer the index was built from.
    bool Covers(const QByteArray &text) const { return built_ && text.constData() == data_ && text.size() == size_; }

    // Line starts of the Input records (never the first line), in file order.
    const std::vector<qsizetype> &Inputs() const { return inputs_; }
    const std::vector<TBlock> &Blocks() const { return blocks_; }
    // The block whose "{" line starts at pos; -1 when none does.
    qsizetype BlockAt(qsizetype pos) const;
    // The largest line of tag's records in block b (boxes only or any forward record);
    // NoLine when the block has none.
    int MaxLine(qsizetype b, int tag, bool anyRecord) const;
    // Bytes the index holds.
    size_t MemoryUse() const;

private:
    bool built_ = false;
    bool open_ = false;
    uint32_t lastTag_ = 0; // the entry the last record went to
    const char *data_ = nullptr;
    qsizetype size_ = -1;
    std::vector<qsizetype> inputs_;
    std::vector<TBlock> blocks_;
    std::vector<TTagLines> tagLines_;
};
