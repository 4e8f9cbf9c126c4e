// The text buffer: reading and writing files, text assignment, and the editing primitives.
#include "editor/text_buffer.h"

#include <gtest/gtest.h>

#include <random>

#include "support/test_env.h"

namespace qv {
namespace {

std::vector<std::string> Lines(const TextBuffer& b) {
  std::vector<std::string> out;
  for (int i = 0; i < b.lineCount(); ++i) out.push_back(b.lineCopy(i));
  return out;
}

using S = std::vector<std::string>;

struct LoadCase {
  std::string bytes;
  S lines;
  LineBreak style;
};

TEST(TextBufferLoad, SplitsLikeTheFileReaderAndWritesBackByteForByte) {
  const std::string zeros("a\0b\r\n\0", 6);
  const LoadCase cases[] = {
      {"", {""}, LineBreak::CrLf},
      {"a\r\nb\r\n", {"a", "b", ""}, LineBreak::CrLf},
      {"a\r\nb", {"a", "b"}, LineBreak::CrLf},
      {"a\nb\n", {"a", "b", ""}, LineBreak::Lf},
      {"a\rb\r", {"a", "b", ""}, LineBreak::Cr},
      {"\n\n", {"", "", ""}, LineBreak::Lf},
      {"one line", {"one line"}, LineBreak::CrLf},
      {zeros, {std::string("a\0b", 3), std::string("\0", 1)}, LineBreak::CrLf},
  };
  for (const auto& c : cases) {
    TextBuffer b;
    b.loadBytes(c.bytes);
    EXPECT_EQ(Lines(b), c.lines) << "bytes: " << c.bytes;
    EXPECT_EQ(b.lineBreak(), c.style) << "bytes: " << c.bytes;
    EXPECT_EQ(b.bytes(), c.bytes) << "round trip of: " << c.bytes;
  }
}

TEST(TextBufferLoad, MixedBreaksSplitEverywhereAndWriteInTheRecordedStyle) {
  TextBuffer b;
  b.loadBytes("a\rb\r\nc\nd");
  EXPECT_EQ(Lines(b), (S{"a", "b", "c", "d"}));
  EXPECT_EQ(b.lineBreak(), LineBreak::Cr);
  EXPECT_EQ(b.bytes(LineBreak::CrLf), "a\r\nb\r\nc\r\nd");
}

TEST(TextBufferLoad, FileRoundTripForEveryBreakStyleAcrossChunkBoundaries) {
  auto dir = test::FreshDir("buffer_files");
  for (std::string br : {"\r\n", "\n", "\r"}) {
    std::string bytes;
    for (int i = 0; i < 60000; ++i) bytes += "line " + std::to_string(i) + std::string(i % 7, '\0') + br;
    auto path = dir / "f.txt";
    test::WriteFileBytes(path, bytes);
    TextBuffer b;
    ASSERT_TRUE(b.loadFile(path.string()).ok);
    EXPECT_EQ(b.lineCount(), 60001);
    EXPECT_EQ(b.line(59999), "line 59999" + std::string(59999 % 7, '\0'));
    auto out = dir / "out.txt";
    ASSERT_TRUE(b.writeFile(out.string()).ok);
    EXPECT_EQ(test::ReadFileBytes(out), bytes) << "break of length " << br.size();
  }
}

TEST(TextBufferLoad, MissingFileIsAnErrorAndKeepsTheText) {
  TextBuffer b;
  b.setText("keep");
  auto r = b.loadFile((test::FreshDir("missing") / "nope.txt").string());
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(b.text(), "keep");
}

TEST(TextBufferLoad, WritingIntoAMissingFolderFailsCleanly) {
  TextBuffer b;
  b.setText("x");
  auto r = b.writeFile((test::FreshDir("nofolder") / "sub" / "x.txt").string());
  EXPECT_FALSE(r.ok);
}

TEST(TextBufferAssign, SplitsAtAnyBreakAndDropsTheFinalEmptyLine) {
  const std::pair<std::string, S> cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\n", {"a", ""}},
      {"\r\n", {""}},
  };
  for (const auto& [text, lines] : cases) {
    TextBuffer b;
    b.setText(text);
    EXPECT_EQ(Lines(b), lines) << "text: " << text;
  }
}

TEST(TextBufferEdit, InsertAndEraseAcrossLines) {
  TextBuffer b;
  b.setText("hello\r\nworld");
  EXPECT_EQ(b.insert({0, 5}, ",\r\nnew\nline "), (TextPos{2, 5}));
  EXPECT_EQ(Lines(b), (S{"hello,", "new", "line ", "world"}));
  b.erase({0, 6}, {2, 5});
  EXPECT_EQ(Lines(b), (S{"hello,", "world"}));
  b.erase({1, 3}, {0, 2});  // reversed ends are ordered
  EXPECT_EQ(Lines(b), (S{"held"}));
  EXPECT_EQ(b.insert({5, 99}, "!"), (TextPos{0, 5}));  // clamped to the end
  EXPECT_EQ(b.text(), "held!");
}

TEST(TextBufferEdit, LineOperationsAndListeners) {
  TextBuffer b;
  b.setText("a\nb\nc");
  std::vector<BufferChange> seen;
  int id = b.addListener([&](const BufferChange& c) { seen.push_back(c); });
  b.insertLine(1, "x");
  b.insertLine(4, "end");
  EXPECT_EQ(Lines(b), (S{"a", "x", "b", "c", "end"}));
  b.deleteLines(4, 1);
  b.deleteLines(0, 2);
  EXPECT_EQ(Lines(b), (S{"b", "c"}));
  b.replaceLine(1, "C");
  EXPECT_EQ(b.text("\n"), "b\nC");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front().line, 1);
  EXPECT_EQ(seen.front().inserted, 2);
  b.removeListener(id);
  size_t count = seen.size();
  b.clear();
  EXPECT_EQ(seen.size(), count);
  EXPECT_TRUE(b.isEmpty());
}

TEST(TextBufferEdit, OffsetsCountBreaksOfTheGivenLength) {
  TextBuffer b;
  b.setText("ab\ncde\n\nf");
  EXPECT_EQ(b.offsetOf({1, 1}, 2), 5);
  EXPECT_EQ(b.offsetOf({3, 1}, 1), 9);
  for (int br : {1, 2}) {
    for (int line = 0; line < b.lineCount(); ++line)
      for (int col = 0; col <= b.lineLength(line); ++col) {
        TextPos p{line, col};
        EXPECT_EQ(b.posOf(b.offsetOf(p, br), br), p) << line << "," << col << " break " << br;
      }
  }
  EXPECT_EQ(b.size(2), 12);
}

// Many random edits over many blocks, checked against a plain vector of lines.
TEST(TextBufferEdit, RandomEditsMatchASimpleModel) {
  std::mt19937 rng(7);
  TextBuffer b;
  std::string init;
  for (int i = 0; i < 5000; ++i) init += std::string(rng() % 40, char('a' + i % 26)) + "\n";
  b.setText(init);
  std::vector<std::string> model = Lines(b);
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int step = 0; step < 3000; ++step) {
    int l1 = pick(static_cast<int>(model.size()));
    int c1 = pick(static_cast<int>(model[l1].size()) + 1);
    if (rng() % 2) {
      std::string t;
      int n = pick(3000);
      for (int i = 0; i < n; ++i) t += (rng() % 30 == 0) ? '\n' : char('A' + rng() % 26);
      b.insert({l1, c1}, t);
      std::string tail = model[l1].substr(c1);
      model[l1].resize(c1);
      std::vector<std::string> parts{""};
      for (char ch : t) {
        if (ch == '\n') parts.emplace_back();
        else parts.back().push_back(ch);
      }
      model[l1] += parts[0];
      for (size_t k = 1; k < parts.size(); ++k) model.insert(model.begin() + l1 + k, parts[k]);
      model[l1 + parts.size() - 1] += tail;
    } else {
      int l2 = std::min<int>(l1 + pick(200), static_cast<int>(model.size()) - 1);
      int c2 = pick(static_cast<int>(model[l2].size()) + 1);
      if (l2 == l1 && c2 < c1) std::swap(c1, c2);
      b.erase({l1, c1}, {l2, c2});
      model[l1] = model[l1].substr(0, c1) + model[l2].substr(c2);
      model.erase(model.begin() + l1 + 1, model.begin() + l2 + 1);
    }
    ASSERT_EQ(b.lineCount(), static_cast<int>(model.size())) << "step " << step;
    int probe = pick(static_cast<int>(model.size()));
    ASSERT_EQ(b.line(probe), model[probe]) << "step " << step << " line " << probe;
  }
  EXPECT_EQ(Lines(b), model);
}

TEST(TextBufferEdit, LongSingleLineTakesEdits) {
  TextBuffer b;
  b.loadBytes(std::string(3'000'000, 'x'));
  b.insert({0, 1'500'000}, "\r\n");
  EXPECT_EQ(b.lineCount(), 2);
  EXPECT_EQ(b.lineLength(1), 1'500'000);
  b.erase({0, 1'500'000}, {1, 0});
  EXPECT_EQ(b.lineLength(0), 3'000'000);
}

}  // namespace
}  // namespace qv
