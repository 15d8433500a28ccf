// One memory budget for everything the library keeps to make repeated calls
// cheap: character streams of text pages and display lists of rendered
// pages, for all documents together. Least recently used entries go first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <tuple>

namespace pdfc {

enum class CacheKind : int {
  Text = 0,
  // Display lists, one per render purpose: usage (view/print) x annotations.
  ListView = 1,
  ListViewAnnots = 2,
  ListPrint = 3,
  ListPrintAnnots = 4,
};

struct CacheKey {
  uint64_t document;
  int page;
  int generation;
  CacheKind kind;
  bool operator<(const CacheKey &o) const {
    return std::tie(document, page, generation, kind) <
           std::tie(o.document, o.page, o.generation, o.kind);
  }
};

class PageCache {
 public:
  static PageCache &instance();

  std::shared_ptr<void> find(const CacheKey &key);
  void insert(const CacheKey &key, std::shared_ptr<void> value, size_t cost);
  // Remembers that a key was asked for; true when it had been asked for
  // before. Lets a display list be recorded only for pages drawn twice.
  bool seen_before(const CacheKey &key);
  void drop_document(uint64_t document);
  void clear();

  void set_budget(size_t bytes);
  size_t budget() const { return budget_; }
  size_t used() const { return used_; }

 private:
  struct Entry {
    CacheKey key;
    std::shared_ptr<void> value;
    size_t cost;
  };
  void trim();

  std::list<Entry> lru_;  // most recent first
  std::map<CacheKey, std::list<Entry>::iterator> index_;
  std::list<CacheKey> seen_;
  size_t budget_ = size_t(128) << 20;
  size_t used_ = 0;
};

}  // namespace pdfc
