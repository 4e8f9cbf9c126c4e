// Plain-text search: case, whole words, backwards, ranges and odd bytes.
#include <gtest/gtest.h>

#include "editor/search_plain.h"

namespace qv {
namespace {

using namespace std::string_literals;

std::vector<std::size_t> Positions(const std::vector<SearchHit>& hits) {
  std::vector<std::size_t> out;
  for (const auto& h : hits) out.push_back(h.position);
  return out;
}

struct FindAllCase {
  const char* name;
  std::string pattern;
  std::string text;
  bool matchCase;
  bool wholeWord;
  std::vector<std::size_t> expected;
};

TEST(PlainSearch, FindsEveryHitLeftToRight) {
  const FindAllCase cases[] = {
      {"ignoring case", "abc", "ABC abc aBc xyz", false, false, {0, 4, 8}},
      {"matching case", "abc", "ABC abc aBc xyz", true, false, {4}},
      {"no overlaps", "aa", "aaaaa", true, false, {0, 2}},
      {"whole word", "for", "for fork (for) _for for_ for", false, true, {0, 10, 25}},
      {"word at both ends", "x", "x", false, true, {0}},
      {"multi-byte letters join words", "caf", "caf\xC3\xA9 caf", false, true, {6}},
      {"non-word needle with whole word", "+=", "a+=b +=", false, true, {5}},
      {"zero bytes in text and needle", "a\0b"s, "xa\0ba\0b"s, true, false, {1, 4}},
      {"non-ASCII bytes match exactly", "\xE9t\xE9", "\xC9t\xC9 \xE9t\xE9", false, false, {4}},
      {"needle longer than text", "abcdef", "abc", false, false, {}},
      {"rare byte in the middle", "XYZZY_needle", "xyzzy_needle XYZZY_needle", true, false, {13}},
      {"rare byte ignoring case", "XYZZY_needle", "xyzzy_needle XYZZY_NEEDLE", false, false, {0, 13}},
  };
  for (const auto& c : cases) {
    PlainSearch engine;
    ASSERT_FALSE(engine.setPattern(c.pattern, {c.matchCase, c.wholeWord})) << c.name;
    EXPECT_EQ(Positions(engine.findAll(c.text)), c.expected) << c.name;
  }
}

struct FindCase {
  const char* name;
  std::size_t from;
  std::size_t to;
  bool backwards;
  std::optional<std::size_t> expected;
};

TEST(PlainSearch, FindsTheFirstOrLastHitInsideARange) {
  const std::string text = "one two one two one";  // "one" at 0, 8, 16
  const FindCase cases[] = {
      {"forward from start", 0, text.size(), false, 0},
      {"forward from inside a hit", 1, text.size(), false, 8},
      {"backward to the end", 0, text.size(), true, 16},
      {"backward: a hit must end before the limit", 0, 18, true, 8},
      {"backward: a hit that ends at the limit counts", 0, 11, true, 8},
      {"forward: a hit must end inside the range", 8, 10, false, std::nullopt},
      {"empty range", 5, 5, false, std::nullopt},
      {"range past the text is clipped", 17, 1000, false, std::nullopt},
  };
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("one", {}));
  for (const auto& c : cases) {
    auto hit = engine.find(text, c.from, c.to, c.backwards);
    ASSERT_EQ(hit.has_value(), c.expected.has_value()) << c.name;
    if (hit) {
      EXPECT_EQ(hit->position, *c.expected) << c.name;
      EXPECT_EQ(hit->length, 3u) << c.name;
    }
  }
}

TEST(PlainSearch, WholeWordLooksAtBytesOutsideTheRange) {
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("cat", {false, true}));
  // The range starts inside "scat": the byte before it still makes it part of a word.
  EXPECT_FALSE(engine.find("scat", 1, 4, false));
  EXPECT_EQ(engine.find("s cat", 2, 5, false), (SearchHit{2, 3}));
}

TEST(PlainSearch, BackwardsIgnoringCaseFindsBothCases) {
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("Needle", {}));
  const std::string text = "NEEDLE needle nEeDlE hay";
  EXPECT_EQ(engine.find(text, 0, text.size(), true), (SearchHit{14, 6}));
  EXPECT_EQ(engine.find(text, 0, 14, true), (SearchHit{7, 6}));
  EXPECT_EQ(engine.find(text, 0, 7, true), (SearchHit{0, 6}));
}

TEST(PlainSearch, ReplacementIsLiteral) {
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("a(b)", {}));
  ASSERT_TRUE(engine.find("xa(b)", 0, 5, false));
  EXPECT_EQ(engine.replacement("$1\\1"), "$1\\1");
}

TEST(PlainSearch, EmptyPatternIsRefusedAndFindsNothing) {
  PlainSearch engine;
  auto error = engine.setPattern("", {});
  ASSERT_TRUE(error);
  EXPECT_FALSE(error->message.empty());
  EXPECT_FALSE(engine.find("abc", 0, 3, false));
  EXPECT_TRUE(engine.findAll("abc").empty());
}

TEST(PlainSearch, StopsWhenTheCallbackSaysSo) {
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("a", {}));
  int seen = 0;
  engine.findEach("aaaa", 0, 4, [&](const SearchHit&) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

TEST(PlainSearch, LargeTextAgreesWithANaiveScan) {
  // Hits near chunk edges and both cases, checked against std::string::find on folded text.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += (i % 7 == 0) ? "Qz" : (i % 5 == 0 ? "qZ" : "ab q");
  std::string folded = text;
  for (char& ch : folded) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  std::vector<std::size_t> expected;
  for (auto p = folded.find("qz"); p != std::string::npos; p = folded.find("qz", p + 2))
    expected.push_back(p);
  PlainSearch engine;
  ASSERT_FALSE(engine.setPattern("QZ", {}));
  EXPECT_EQ(Positions(engine.findAll(text)), expected);
  EXPECT_EQ(engine.find(text, 0, text.size(), true)->position, expected.back());
}

}  // namespace
}  // namespace qv
