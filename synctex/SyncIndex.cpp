#include "synctex/SyncIndex.h"

#include <algorithm>

void TSyncIndex::Clear()
{
    built_ = open_ = false;
    data_ = nullptr;
    size_ = -1;
    // The memory goes with the text it described.
    std::vector<qsizetype>().swap(inputs_);
    std::vector<TBlock>().swap(blocks_);
    std::vector<TTagLines>().swap(tagLines_);
}

void TSyncIndex::AddBlock(qsizetype pos, int64_t number)
{
    blocks_.push_back({pos, number, uint32_t(tagLines_.size()), 0});
    open_ = true;
}

void TSyncIndex::AddRecord(int tag, int line, bool box)
{
    if (!open_)
        return;
    TBlock &b = blocks_.back();
    // A page holds records of a few files, mostly of the one seen last.
    TTagLines *entry = nullptr;
    if (b.tagCount > 0 && lastTag_ >= b.firstTag && tagLines_[lastTag_].tag == tag) {
        entry = &tagLines_[lastTag_];
    } else {
        for (uint32_t i = b.firstTag; i < b.firstTag + b.tagCount; ++i)
            if (tagLines_[i].tag == tag) {
                entry = &tagLines_[i];
                lastTag_ = i;
                break;
            }
    }
    if (!entry) {
        lastTag_ = uint32_t(tagLines_.size());
        tagLines_.push_back({tag, NoLine, NoLine});
        ++b.tagCount;
        entry = &tagLines_.back();
    }
    entry->maxAny = std::max(entry->maxAny, line);
    if (box)
        entry->maxBox = std::max(entry->maxBox, line);
}

void TSyncIndex::Finish(const QByteArray &text)
{
    open_ = false;
    data_ = text.constData();
    size_ = text.size();
    inputs_.shrink_to_fit();
    blocks_.shrink_to_fit();
    tagLines_.shrink_to_fit();
    built_ = true;
}

qsizetype TSyncIndex::BlockAt(qsizetype pos) const
{
    const auto it =
        std::lower_bound(blocks_.begin(), blocks_.end(), pos, [](const TBlock &b, qsizetype p) { return b.pos < p; });
    return it != blocks_.end() && it->pos == pos ? it - blocks_.begin() : -1;
}

int TSyncIndex::MaxLine(qsizetype b, int tag, bool anyRecord) const
{
    const TBlock &block = blocks_[size_t(b)];
    for (uint32_t i = block.firstTag; i < block.firstTag + block.tagCount; ++i)
        if (tagLines_[i].tag == tag)
            return anyRecord ? tagLines_[i].maxAny : tagLines_[i].maxBox;
    return NoLine;
}

size_t TSyncIndex::MemoryUse() const
{
    return inputs_.capacity() * sizeof(qsizetype) + blocks_.capacity() * sizeof(TBlock)
        + tagLines_.capacity() * sizeof(TTagLines);
}
