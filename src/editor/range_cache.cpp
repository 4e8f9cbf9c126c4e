// Per-line highlighter ranges, re-scanned after edits only until they agree with the stored ones.
#include "editor/range_cache.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace qv {
namespace {
constexpr std::size_t kMaxDirtyRuns = 64;
}

// ---- GapArray ----

void RangeCache::GapArray::assign(std::size_t n, HighlighterRange v) {
  data_.assign(n, v);
  gapStart_ = n;
  gapLength_ = 0;
}

void RangeCache::GapArray::moveGap(std::size_t to) {
  if (to < gapStart_) {
    std::size_t n = gapStart_ - to;
    std::memmove(&data_[to + gapLength_], &data_[to], n * sizeof(HighlighterRange));
  } else if (to > gapStart_) {
    std::size_t n = to - gapStart_;
    std::memmove(&data_[gapStart_], &data_[gapStart_ + gapLength_], n * sizeof(HighlighterRange));
  }
  gapStart_ = to;
}

void RangeCache::GapArray::insert(std::size_t at, std::size_t count, HighlighterRange v) {
  if (count > gapLength_) {
    const std::size_t used = size();
    const std::size_t gap = count + std::max<std::size_t>(used / 8, 1024);
    std::vector<HighlighterRange> grown(used + gap);
    for (std::size_t i = 0; i < at; ++i) grown[i] = get(i);
    for (std::size_t i = at; i < used; ++i) grown[i + gap] = get(i);
    data_ = std::move(grown);
    gapStart_ = at;
    gapLength_ = gap;
  } else {
    moveGap(at);
  }
  std::fill_n(&data_[gapStart_], count, v);
  gapStart_ += count;
  gapLength_ -= count;
}

void RangeCache::GapArray::erase(std::size_t at, std::size_t count) {
  moveGap(at);
  gapLength_ += count;
}

// ---- RangeCache ----

RangeCache::RangeCache(TextBuffer& buffer, Highlighter* highlighter)
    : buffer_(buffer), highlighter_(highlighter) {
  listenerId_ = buffer_.addListener(
      [this](const BufferChange& c) { linesReplaced(c.line, c.removed, c.inserted); });
  invalidate();
}

RangeCache::~RangeCache() { buffer_.removeListener(listenerId_); }

void RangeCache::setHighlighter(Highlighter* highlighter) {
  highlighter_ = highlighter;
  invalidate();
}

HighlighterRange RangeCache::initialRange() const {
  if (!highlighter_) return 0;
  highlighter_->resetRange();
  return highlighter_->range();
}

void RangeCache::invalidate() {
  lineCount_ = buffer_.lineCount();
  starts_.assign(static_cast<std::size_t>(lineCount_) + 1, initialRange());
  validEnd_ = 0;
  storedEnd_ = 0;
  dirty_.clear();
}

void RangeCache::linesReplaced(int line, int removed, int inserted) {
  const int newCount = lineCount_ - removed + inserted;
  if (line < 0 || removed < 0 || inserted < 0 || line + removed > lineCount_ ||
      newCount != buffer_.lineCount()) {
    invalidate();  // out of step with the buffer: start afresh rather than guess
    return;
  }
  const int delta = inserted - removed;
  // Entries after the changed lines keep their lines; the entry of the line after the change
  // (the old end of the changed lines) stays as the value to compare with when re-scanning.
  const auto afterChange = static_cast<std::size_t>(line) + 1;
  if (delta > 0)
    starts_.insert(afterChange, static_cast<std::size_t>(delta),
                   starts_.get(static_cast<std::size_t>(line + removed)));
  else if (delta < 0)
    starts_.erase(afterChange, static_cast<std::size_t>(-delta));

  auto mapBegin = [&](int x) { return x < line ? x : x >= line + removed ? x + delta : line; };
  auto mapEnd = [&](int x) { return x <= line ? x : x >= line + removed ? x + delta : line + inserted; };
  std::vector<std::pair<int, int>> old;
  old.swap(dirty_);
  lineCount_ = newCount;
  for (auto [b, e] : old) addDirty(mapBegin(b), mapEnd(e));
  addDirty(line, line + std::max(inserted, 1));

  storedEnd_ = storedEnd_ >= line + removed ? storedEnd_ + delta : std::min(storedEnd_, line);
  validEnd_ = std::min(validEnd_, line);
}

void RangeCache::addDirty(int begin, int end) {
  begin = std::max(begin, 0);
  end = std::min(end, lineCount_);
  if (begin >= end) return;
  auto it = std::lower_bound(dirty_.begin(), dirty_.end(), std::make_pair(begin, end));
  it = dirty_.insert(it, {begin, end});
  // Merge with overlapping or touching neighbours.
  auto first = it;
  while (first != dirty_.begin() && std::prev(first)->second >= first->first) {
    std::prev(first)->second = std::max(std::prev(first)->second, first->second);
    first = dirty_.erase(first);
    --first;
  }
  while (std::next(first) != dirty_.end() && std::next(first)->first <= first->second) {
    first->second = std::max(first->second, std::next(first)->second);
    dirty_.erase(std::next(first));
  }
  if (dirty_.size() > kMaxDirtyRuns) {
    // Too many scattered runs: join the two closest (a few more lines get re-scanned).
    std::size_t best = 0;
    for (std::size_t i = 1; i + 1 < dirty_.size(); ++i)
      if (dirty_[i + 1].first - dirty_[i].second < dirty_[best + 1].first - dirty_[best].second)
        best = i;
    dirty_[best].second = dirty_[best + 1].second;
    dirty_.erase(dirty_.begin() + static_cast<std::ptrdiff_t>(best) + 1);
  }
}

void RangeCache::dropDirtyBelow(int line) {
  auto it = dirty_.begin();
  while (it != dirty_.end() && it->second <= line) ++it;
  dirty_.erase(dirty_.begin(), it);
  if (!dirty_.empty() && dirty_.front().first < line) dirty_.front().first = line;
}

int RangeCache::firstDirtyFrom(int line) const {
  for (const auto& [b, e] : dirty_)
    if (e > line) return std::max(b, line);
  return INT_MAX;
}

void RangeCache::ensureKnown(int target) {
  if (validEnd_ >= target) return;
  if (!highlighter_) {
    validEnd_ = storedEnd_ = lineCount_;
    dirty_.clear();
    return;
  }
  Highlighter& hl = *highlighter_;
  int i = validEnd_;
  while (i < target) {
    hl.setRange(starts_.get(static_cast<std::size_t>(i)));
    hl.setLine(buffer_.line(i), i);
    while (!hl.eol()) hl.next();
    const HighlighterRange end = hl.range();
    ++linesScanned_;
    ++i;
    const bool agrees = i <= storedEnd_ && starts_.get(static_cast<std::size_t>(i)) == end;
    starts_.set(static_cast<std::size_t>(i), end);
    if (agrees) i = std::max(i, std::min(firstDirtyFrom(i), storedEnd_));
  }
  validEnd_ = i;
  storedEnd_ = std::max(storedEnd_, validEnd_);
  dropDirtyBelow(validEnd_);
  // The line we stopped at may now start differently from when its end was stored.
  if (validEnd_ < storedEnd_) addDirty(validEnd_, validEnd_ + 1);
}

HighlighterRange RangeCache::rangeAtLineStart(int line) {
  line = std::clamp(line, 0, lineCount_);
  ensureKnown(line);
  return starts_.get(static_cast<std::size_t>(line));
}

}  // namespace qv
