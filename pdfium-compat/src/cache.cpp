#include "cache.h"

#include <algorithm>

namespace pdfc {

namespace {
// How many render requests are remembered for the "drawn twice" rule.
constexpr size_t kSeenLimit = 64;
}  // namespace

PageCache &PageCache::instance() {
  static PageCache cache;
  return cache;
}

std::shared_ptr<void> PageCache::find(const CacheKey &key) {
  auto it = index_.find(key);
  if (it == index_.end()) return nullptr;
  lru_.splice(lru_.begin(), lru_, it->second);
  return it->second->value;
}

void PageCache::insert(const CacheKey &key, std::shared_ptr<void> value, size_t cost) {
  if (cost > budget_) return;
  auto it = index_.find(key);
  if (it != index_.end()) {
    used_ -= it->second->cost;
    lru_.erase(it->second);
    index_.erase(it);
  }
  lru_.push_front(Entry{key, std::move(value), cost});
  index_[key] = lru_.begin();
  used_ += cost;
  trim();
}

bool PageCache::seen_before(const CacheKey &key) {
  auto it = std::find_if(seen_.begin(), seen_.end(),
                         [&](const CacheKey &k) { return !(k < key) && !(key < k); });
  if (it != seen_.end()) {
    seen_.erase(it);
    return true;
  }
  seen_.push_front(key);
  if (seen_.size() > kSeenLimit) seen_.pop_back();
  return false;
}

void PageCache::drop_document(uint64_t document) {
  for (auto it = lru_.begin(); it != lru_.end();) {
    if (it->key.document == document) {
      used_ -= it->cost;
      index_.erase(it->key);
      it = lru_.erase(it);
    } else {
      ++it;
    }
  }
  seen_.remove_if([&](const CacheKey &k) { return k.document == document; });
}

void PageCache::clear() {
  index_.clear();
  lru_.clear();
  seen_.clear();
  used_ = 0;
}

void PageCache::set_budget(size_t bytes) {
  budget_ = bytes;
  trim();
}

void PageCache::trim() {
  while (used_ > budget_ && !lru_.empty()) {
    Entry &e = lru_.back();
    used_ -= e.cost;
    index_.erase(e.key);
    lru_.pop_back();
  }
}

}  // namespace pdfc
