// The highlighter range at the start of every line, kept in step with edits of the text so that
// drawing a line needs no scan of the lines above it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "editor/highlighter.h"
#include "editor/text_buffer.h"

namespace qv {

// Ranges are computed lazily: only as far down as someone asks. After an edit the lines from the
// first changed one are scanned again until the computed range agrees with the stored one past
// the changed lines; from there the stored ranges are known to be right again. So typing in a
// two-million-line file re-scans a few lines.
class RangeCache {
 public:
  // Follows the buffer's changes until destroyed. Without a highlighter every range is 0.
  RangeCache(TextBuffer& buffer, Highlighter* highlighter);
  ~RangeCache();
  RangeCache(const RangeCache&) = delete;
  RangeCache& operator=(const RangeCache&) = delete;

  // A new highlighter (or null); everything is scanned again when asked for.
  void setHighlighter(Highlighter* highlighter);
  // Forgets every range (the highlighter's configuration changed).
  void invalidate();

  // The range to set before scanning line `line`; line == lineCount() gives the range at the end
  // of the text. Scans the lines above it that are not known yet.
  HighlighterRange rangeAtLineStart(int line);

  // Lines whose start range is known right now (lines 0 .. knownLines()-1 and the end of the last).
  int knownLines() const { return validEnd_; }
  // Lines scanned since construction (how much work edits cost).
  std::int64_t linesScanned() const { return linesScanned_; }

  // Lines [line, line + removed) became [line, line + inserted); called by the buffer's listener.
  void linesReplaced(int line, int removed, int inserted);

 private:
  // Unsigned values with a gap at the last edit, so inserting or erasing lines near the previous
  // edit moves little memory.
  class GapArray {
   public:
    std::size_t size() const { return data_.size() - gapLength_; }
    HighlighterRange get(std::size_t i) const { return data_[i < gapStart_ ? i : i + gapLength_]; }
    void set(std::size_t i, HighlighterRange v) { data_[i < gapStart_ ? i : i + gapLength_] = v; }
    void assign(std::size_t n, HighlighterRange v);
    void insert(std::size_t at, std::size_t count, HighlighterRange v);
    void erase(std::size_t at, std::size_t count);

   private:
    void moveGap(std::size_t to);
    std::vector<HighlighterRange> data_;
    std::size_t gapStart_ = 0;
    std::size_t gapLength_ = 0;
  };

  HighlighterRange initialRange() const;
  void ensureKnown(int line);
  int firstDirtyFrom(int line) const;
  void addDirty(int begin, int end);
  void dropDirtyBelow(int line);

  TextBuffer& buffer_;
  Highlighter* highlighter_;
  int listenerId_ = 0;
  int lineCount_ = 1;
  // starts_[i] is the range at the start of line i; starts_[lineCount_] the range after the last.
  GapArray starts_;
  // starts_[0 .. validEnd_] are right for the current text.
  int validEnd_ = 0;
  // starts_[0 .. storedEnd_] came from earlier scans; beyond that they mean nothing.
  int storedEnd_ = 0;
  // Sorted, disjoint [begin, end) runs of lines at or after validEnd_ whose stored end range may
  // not follow from their stored start range (their text changed since they were scanned).
  // Everywhere else below storedEnd_ the stored ranges follow each other line by line.
  std::vector<std::pair<int, int>> dirty_;
  std::int64_t linesScanned_ = 0;
};

}  // namespace qv
