// Regular-expression search: case, empty hits, UTF-8 and byte texts, groups in replacements, errors.
#include <gtest/gtest.h>

#include "editor/search_regex.h"

namespace qv {
namespace {

using namespace std::string_literals;

struct FindAllCase {
  const char* name;
  std::string pattern;
  std::string text;
  SearchOptions options;
  std::vector<SearchHit> expected;
};

TEST(RegexSearch, FindsEveryHitLeftToRight) {
  const FindAllCase cases[] = {
      {"ignores case by default", "a+", "caaab aA", {}, {{1, 3}, {6, 2}}},
      {"matches case when asked", "a+", "caaab aA", {true, false}, {{1, 3}, {6, 1}}},
      {"whole word is ignored", "for", "fork", {false, true}, {{0, 3}}},
      {"empty hits step on", "x*", "axb", {}, {{0, 0}, {1, 1}, {2, 0}, {3, 0}}},
      {"empty hits step over whole UTF-8 characters", "x*", "\xC3\xA9", {}, {{0, 0}, {2, 0}}},
      {"empty hits in a byte text step one byte", "x*", "\xE9\xFF", {}, {{0, 0}, {1, 0}, {2, 0}}},
      {"dot is one UTF-8 character", ".", "\xC3\xA9", {}, {{0, 2}}},
      {"dot is one byte in an invalid text", ".", "\xE9", {}, {{0, 1}}},
      {"case folding beyond ASCII in UTF-8", "\xC3\xA9", "\xC3\x89", {}, {{0, 2}}},
      {"zero bytes in pattern and text", "a\0b"s, "xa\0b"s, {}, {{1, 3}}},
      {"escaped zero byte", "a\\x00b", "xa\0b"s, {}, {{1, 3}}},
      {"anchors are the line's ends", "^a|b$", "aab", {}, {{0, 1}, {2, 1}}},
      {"end anchor gives an empty hit at the end", "$", "ab", {}, {{2, 0}}},
      {"pattern bytes that are not UTF-8", "\xC3", "\xC3\xA9", {}, {{0, 1}}},
      {"code point above 255 in a UTF-8 text", "\\x{100}", "a\xC4\x80", {}, {{1, 2}}},
      {"code point above 255 in a byte text finds nothing", "\\x{100}", "\xC4\x80\xFF", {}, {}},
      {"Perl syntax", "(?<=\\$)\\w+\\b", "cost $price here", {}, {{6, 5}}},
  };
  for (const auto& c : cases) {
    RegexSearch engine;
    auto error = engine.setPattern(c.pattern, c.options);
    ASSERT_FALSE(error) << c.name << ": " << error->message;
    EXPECT_EQ(engine.findAll(c.text), c.expected) << c.name;
    EXPECT_FALSE(engine.matchError()) << c.name;
  }
}

TEST(RegexSearch, ByteModeReadsAUtf8TextByteByByte) {
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern(".", {}));
  engine.setTextMode(SearchTextMode::Bytes);
  EXPECT_EQ(engine.findAll("\xC3\xA9"), (std::vector<SearchHit>{{0, 1}, {1, 1}}));
}

TEST(RegexSearch, FindsInsideARangeForwardAndBackward) {
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern("\\d+", {}));
  const std::string text = "12 345 6";
  EXPECT_EQ(engine.find(text, 0, text.size(), false), (SearchHit{0, 2}));
  EXPECT_EQ(engine.find(text, 1, text.size(), false), (SearchHit{1, 1}));
  EXPECT_EQ(engine.find(text, 0, text.size(), true), (SearchHit{7, 1}));
  EXPECT_EQ(engine.find(text, 0, 6, true), (SearchHit{3, 3}));
  // "345" runs past a range ending at 5 and is no hit there.
  EXPECT_EQ(engine.find(text, 0, 5, true), (SearchHit{0, 2}));
  EXPECT_FALSE(engine.find(text, 8, 8, false));
}

TEST(RegexSearch, AStartInsideAUtf8CharacterMovesToTheNextCharacter) {
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern(".", {}));
  const std::string text = "\xC3\xA9\xE2\x82\xAC!";  // two- and three-byte characters
  EXPECT_EQ(engine.find(text, 1, text.size(), false), (SearchHit{2, 3}));
  EXPECT_EQ(engine.find(text, 3, text.size(), false), (SearchHit{5, 1}));
}

struct ReplaceCase {
  std::string replaceWith;
  std::string expected;
};

TEST(RegexSearch, ExpandsGroupReferencesInReplacements) {
  const ReplaceCase cases[] = {
      {"$2 at $1", "host at joe"},     {"\\2\\1", "hostjoe"},
      {"${2}", "host"},                {"$0|$&", "joe@host|joe@host"},
      {"$$1", "$1"},                   {"\\\\1", "\\1"},
      {"a\\nb\\tc", "a\nb\tc"},         {"$9 \\9 ${12}", "$9 \\9 ${12}"},
      {"${x} $ \\q \\", "${x} $ \\q \\"}, {"", ""},
  };
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern("(\\w+)@(\\w+)", {}));
  const std::string text = "mail joe@host now";
  ASSERT_EQ(engine.find(text, 0, text.size(), false), (SearchHit{5, 8}));
  for (const auto& c : cases) EXPECT_EQ(engine.replacement(c.replaceWith), c.expected) << c.replaceWith;
}

TEST(RegexSearch, ReplacementUsesTheGroupsOfEachHit) {
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern("(a)|(b)", {}));
  std::vector<std::string> out;
  engine.findEach("ab", 0, 2, [&](const SearchHit&) {
    out.push_back(engine.replacement("[$1][$2]"));
    return true;
  });
  EXPECT_EQ(out, (std::vector<std::string>{"[a][]", "[][b]"}));
  // Backwards keeps the groups of the hit it returns, not of the last one tried.
  ASSERT_EQ(engine.find("ab", 0, 2, true), (SearchHit{1, 1}));
  EXPECT_EQ(engine.replacement("$2"), "b");
  ASSERT_EQ(engine.find("ab", 0, 1, true), (SearchHit{0, 1}));
  EXPECT_EQ(engine.replacement("$1"), "a");
}

TEST(RegexSearch, BadPatternGivesAMessageWithItsPosition) {
  const std::pair<std::string, std::size_t> cases[] = {{"ab(c", 4}, {"[z-a]", 3}, {"x{2,1}", 5}};
  for (const auto& [pattern, offset] : cases) {
    RegexSearch engine;
    auto error = engine.setPattern(pattern, {});
    ASSERT_TRUE(error) << pattern;
    EXPECT_EQ(error->offset, offset) << pattern;
    EXPECT_NE(error->message.find("position " + std::to_string(offset + 1)), std::string::npos)
        << error->message;
    EXPECT_TRUE(engine.findAll("ab(c [z-a] xx").empty()) << pattern;
  }
  RegexSearch engine;
  EXPECT_TRUE(engine.setPattern("", {}));
}

TEST(RegexSearch, RunawayBacktrackingStopsWithAnError) {
  RegexSearch engine;
  ASSERT_FALSE(engine.setPattern("(\\w+\\s?)+$", {}));
  const std::string text = std::string(40, 'a') + " " + std::string(40, 'b') + "!";
  EXPECT_TRUE(engine.findAll(text).empty());
  ASSERT_TRUE(engine.matchError());
  EXPECT_FALSE(engine.matchError()->empty());
}

TEST(RegexSearch, Utf8CheckIsStrict) {
  const std::pair<std::string, bool> cases[] = {
      {"plain ascii", true},       {"\xC3\xA9", true},          {"\xF0\x9F\x98\x80", true},
      {"\xC0\xAF", false},         {"\xED\xA0\x80", false},     {"\xF4\x90\x80\x80", false},
      {"\xE2\x82", false},         {"\x80", false},             {std::string(9, 'a') + "\xFF", false},
      {"a\0b"s, true},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(SearchTextIsUtf8(text), valid) << text;
}

}  // namespace
}  // namespace qv
