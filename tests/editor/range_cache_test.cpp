// The per-line range cache: incremental results equal a full scan, and edits cost few lines.
#include <gtest/gtest.h>

#include <random>

#include "editor/range_cache.h"

namespace qv {
namespace {

// Nested block comments: the range is the nesting depth at the end of the line.
class NestedCommentHighlighter final : public Highlighter {
 public:
  std::string languageName() const override { return "Nested"; }
  void setLine(std::string_view line, int) override {
    line_ = line;
    end_ = 0;
    next();
  }
  void next() override {
    start_ = end_;
    if (start_ >= line_.size()) return;
    if (line_.substr(start_, 2) == "/*") {
      ++depth_;
      end_ = start_ + 2;
    } else if (line_.substr(start_, 2) == "*/" && depth_ > 0) {
      --depth_;
      end_ = start_ + 2;
    } else {
      end_ = start_ + 1;
    }
  }
  bool eol() const override { return start_ >= line_.size(); }
  std::string_view tokenText() const override { return line_.substr(start_, end_ - start_); }
  int tokenKind() const override { return depth_ > 0 ? 1 : 0; }
  int tokenPosition() const override { return static_cast<int>(start_); }
  HighlighterAttribute* tokenAttribute() const override { return nullptr; }
  HighlighterRange range() const override { return depth_; }
  void setRange(HighlighterRange value) override { depth_ = value; }
  void resetRange() override { depth_ = 0; }
  HighlighterAttribute* defaultAttribute(DefaultAttribute) const override { return nullptr; }
  const std::bitset<256>& identifierChars() const override { return ident_; }
  bool isCommentKind(int kind) const override { return kind == 1; }
  std::unique_ptr<Highlighter> clone() const override {
    return std::make_unique<NestedCommentHighlighter>();
  }

 private:
  std::string_view line_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  HighlighterRange depth_ = 0;
  std::bitset<256> ident_;
};

// Ranges at the start of every line (and after the last) by scanning everything from the top.
std::vector<HighlighterRange> FullScan(const TextBuffer& buffer) {
  NestedCommentHighlighter hl;
  std::vector<HighlighterRange> starts{0};
  for (int i = 0; i < buffer.lineCount(); ++i) {
    hl.setRange(starts.back());
    hl.setLine(buffer.line(i), i);
    while (!hl.eol()) hl.next();
    starts.push_back(hl.range());
  }
  return starts;
}

TEST(RangeCache, IncrementalEqualsFullScanUnderRandomEdits) {
  std::mt19937 rng(20240611);
  const char* pieces[] = {"a", "/*", "*/", " ", "x", "\n", "\r\n", "*", "/"};
  auto randomText = [&](int tokens) {
    std::string s;
    for (int i = 0; i < tokens; ++i) s += pieces[rng() % std::size(pieces)];
    return s;
  };
  TextBuffer buffer;
  buffer.setText(randomText(1500));
  NestedCommentHighlighter hl;
  RangeCache cache(buffer, &hl);

  for (int step = 0; step < 3000; ++step) {
    const int lines = buffer.lineCount();
    switch (rng() % 5) {
      case 0: {  // replace a random stretch, possibly spanning lines
        TextPos a{static_cast<int>(rng() % lines), static_cast<int>(rng() % 6)};
        TextPos b{std::min(lines - 1, a.line + static_cast<int>(rng() % 3)), static_cast<int>(rng() % 6)};
        buffer.replace(buffer.clamp(std::min(a, b)), buffer.clamp(std::max(a, b)), randomText(rng() % 6));
        break;
      }
      case 1:
        buffer.insertLine(static_cast<int>(rng() % (lines + 1)), randomText(rng() % 4));
        break;
      case 2:
        buffer.deleteLines(static_cast<int>(rng() % lines), 1 + static_cast<int>(rng() % 2));
        break;
      case 3:
        buffer.insert({static_cast<int>(rng() % lines), 0}, rng() % 2 ? "/*" : "*/");
        break;
      default:
        if (lines < 100 || rng() % 100 == 0) buffer.setText(randomText(800 + static_cast<int>(rng() % 1200)));
        break;
    }
    // Ask for a few lines (as a view would), sometimes all of them.
    const auto expected = FullScan(buffer);
    ASSERT_EQ(static_cast<int>(expected.size()), buffer.lineCount() + 1);
    if (step % 25 == 0) {
      for (int i = 0; i <= buffer.lineCount(); ++i)
        ASSERT_EQ(cache.rangeAtLineStart(i), expected[i]) << "step " << step << " line " << i;
    } else {
      for (int k = 0; k < 2; ++k) {
        int i = static_cast<int>(rng() % (buffer.lineCount() + 1));
        ASSERT_EQ(cache.rangeAtLineStart(i), expected[i]) << "step " << step << " line " << i;
      }
    }
  }
}

std::string ManyLines(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += (i % 1000 == 500) ? "open /* here\nclose */ there\n" : "code line\n";
  return text;
}

TEST(RangeCache, ScansOnlyTheLinesAskedFor) {
  TextBuffer buffer;
  buffer.setText(ManyLines(10000));
  NestedCommentHighlighter hl;
  RangeCache cache(buffer, &hl);
  EXPECT_EQ(cache.rangeAtLineStart(0), 0u);
  EXPECT_EQ(cache.linesScanned(), 0);
  cache.rangeAtLineStart(50);
  EXPECT_EQ(cache.linesScanned(), 50);
  cache.rangeAtLineStart(20);  // known already
  EXPECT_EQ(cache.linesScanned(), 50);
}

TEST(RangeCache, TypingInAHugeFileRescansAFewLines) {
  TextBuffer buffer;
  buffer.setText(ManyLines(200000));
  NestedCommentHighlighter hl;
  RangeCache cache(buffer, &hl);
  const int last = buffer.lineCount();
  EXPECT_EQ(cache.rangeAtLineStart(last), 0u);
  ASSERT_EQ(cache.linesScanned(), last);

  struct Edit {
    const char* what;
    std::function<void()> apply;
    std::int64_t maxScanned;
    HighlighterRange endRange;
  };
  const Edit edits[] = {
      {"type a letter", [&] { buffer.insert({1000, 3}, "x"); }, 2, 0},
      {"break a line", [&] { buffer.insert({2000, 4}, "\n"); }, 3, 0},
      {"delete lines", [&] { buffer.deleteLines(3000, 5); }, 2, 0},
      {"open a comment: every line below changes", [&] { buffer.insert({100, 0}, "/*"); },
       250000, 1},
      {"close it again", [&] { buffer.insert({100, 2}, "*/"); }, 250000, 0},
      {"two edits far apart", [&] {
         buffer.insert({10, 0}, "y");
         buffer.insert({150000, 0}, "z");
       }, 4, 0},
  };
  for (const auto& e : edits) {
    const std::int64_t before = cache.linesScanned();
    e.apply();
    EXPECT_EQ(cache.rangeAtLineStart(buffer.lineCount()), e.endRange) << e.what;
    EXPECT_LE(cache.linesScanned() - before, e.maxScanned) << e.what;
    EXPECT_EQ(FullScan(buffer).back(), e.endRange) << e.what;
  }
}

TEST(RangeCache, WithoutHighlighterEveryRangeIsZero) {
  TextBuffer buffer;
  buffer.setText("a /*\nb\n");
  RangeCache cache(buffer, nullptr);
  EXPECT_EQ(cache.rangeAtLineStart(1), 0u);
  NestedCommentHighlighter hl;
  cache.setHighlighter(&hl);
  EXPECT_EQ(cache.rangeAtLineStart(1), 1u);
  EXPECT_EQ(cache.rangeAtLineStart(99), 1u);  // clamped to the end of the text
}

}  // namespace
}  // namespace qv
