// Example files per language scanned into token lists and compared with the expected lists;
// scanning any line from its stored range gives what scanning the whole file gives.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "highlight/languages/builtin_highlighters.h"
#include "support/test_env.h"

namespace qv {
namespace {

struct Example {
  const char* component;
  const char* file;  // below tests/languages/golden/
};

const Example kExamples[] = {
    {"hlCpp", "cpp/example.cpp"},
    {"hlPython", "python/example.py"},
    {"hlJavascript", "javascript/example.js"},
    {"hlJava", "java/Example.java"},
    {"hlCSS", "css/example.css"},
    {"hlHtml", "html/example.html"},
    {"hlXML", "xml/example.xml"},
    {"hlSQL", "sql/example.sql"},
    {"hlPHP", "php/example.php"},
    {"hlPas", "pascal/example.pas"},
    {"hlPerl", "perl/example.pl"},
    {"hlVisualBasic", "visual_basic/example.bas"},
    {"hlTCL", "tcl/example.tcl"},
    {"hlFortran", "fortran/example.for"},
    {"hlFox", "fox/example.prg"},
    {"hlInnoSetup", "inno_setup/example.iss"},
};

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string current;
  for (char ch : bytes) {
    if (ch == '\n') {
      if (!current.empty() && current.back() == '\r') current.pop_back();
      lines.push_back(current);
      current.clear();
    } else {
      current.push_back(ch);
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

struct Token {
  int position;
  int kind;
  std::string attribute;
  std::string text;
  bool operator==(const Token&) const = default;
};

struct ScannedLine {
  std::vector<Token> tokens;
  HighlighterRange endRange;
};

ScannedLine ScanLine(Highlighter& h, const std::string& line, int number) {
  ScannedLine out;
  h.setLine(line, number);
  while (!h.eol()) {
    HighlighterAttribute* a = h.tokenAttribute();
    out.tokens.push_back({h.tokenPosition(), h.tokenKind(), a ? a->storageName : "(none)",
                          std::string(h.tokenText())});
    h.next();
  }
  out.endRange = h.range();
  return out;
}

std::vector<ScannedLine> ScanAll(Highlighter& h, const std::vector<std::string>& lines) {
  std::vector<ScannedLine> out;
  h.resetRange();
  for (std::size_t i = 0; i < lines.size(); ++i) out.push_back(ScanLine(h, lines[i], static_cast<int>(i)));
  return out;
}

// "line:col kind attribute text", blanks between tokens left out.
std::string Render(const std::vector<ScannedLine>& scanned) {
  std::ostringstream out;
  for (std::size_t i = 0; i < scanned.size(); ++i)
    for (const Token& t : scanned[i].tokens) {
      if (t.attribute.ends_with("Space") && t.text.find_first_not_of(" \t") == std::string::npos) continue;
      out << (i + 1) << ':' << (t.position + 1) << ' ' << t.kind << ' ' << t.attribute << ' ' << t.text << '\n';
    }
  return out.str();
}

class GoldenTest : public ::testing::TestWithParam<Example> {};

TEST_P(GoldenTest, TokensMatchTheExpectedList) {
  const Example& ex = GetParam();
  auto source = test::SourcePath(std::string("tests/languages/golden/") + ex.file);
  auto expectedPath = source;
  expectedPath += ".tokens";
  auto h = MakeBuiltinHighlighter(ex.component);
  ASSERT_NE(h, nullptr);
  std::string actual = Render(ScanAll(*h, SplitLines(test::ReadFileBytes(source))));
  std::string expected = std::filesystem::exists(expectedPath) ? test::ReadFileBytes(expectedPath) : "";
  auto newPath = expectedPath;
  newPath += ".new";
  if (actual != expected) {
    test::WriteFileBytes(newPath, actual);
    FAIL() << ex.component << ": tokens differ from " << expectedPath << "; see " << newPath;
  } else {
    std::filesystem::remove(newPath);
  }
}

TEST_P(GoldenTest, EveryLineFromItsStoredRangeScansAsInTheWholeFile) {
  const Example& ex = GetParam();
  auto lines = SplitLines(test::ReadFileBytes(test::SourcePath(std::string("tests/languages/golden/") + ex.file)));
  auto h = MakeBuiltinHighlighter(ex.component);
  ASSERT_NE(h, nullptr);
  auto full = ScanAll(*h, lines);
  // Back to front, as an editor re-scanning after edits would, from the stored ranges only.
  for (std::size_t i = lines.size(); i-- > 0;) {
    h->resetRange();
    if (i > 0) h->setRange(full[i - 1].endRange);
    ScannedLine again = ScanLine(*h, lines[i], static_cast<int>(i));
    EXPECT_EQ(again.tokens, full[i].tokens) << ex.component << " line " << i + 1;
    EXPECT_EQ(again.endRange, full[i].endRange) << ex.component << " line " << i + 1;
  }
  // A copy carries on from the same ranges.
  auto copy = h->clone();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    copy->setRange(i > 0 ? full[i - 1].endRange : 0);
    EXPECT_EQ(ScanLine(*copy, lines[i], static_cast<int>(i)).tokens, full[i].tokens) << ex.component << " line " << i + 1;
  }
}

TEST_P(GoldenTest, TokensCoverEveryByteOfTheLineOnce) {
  const Example& ex = GetParam();
  auto lines = SplitLines(test::ReadFileBytes(test::SourcePath(std::string("tests/languages/golden/") + ex.file)));
  auto h = MakeBuiltinHighlighter(ex.component);
  std::mt19937 rng(7);
  // Random bytes and the example's lines cut at random places.
  for (int round = 0; round < 400; ++round) {
    std::string line;
    if (round % 2 == 0) {
      std::size_t n = rng() % 200;
      for (std::size_t k = 0; k < n; ++k) line.push_back(static_cast<char>(rng() % 256));
    } else if (!lines.empty()) {
      const std::string& src = lines[rng() % lines.size()];
      line = src.substr(rng() % (src.size() + 1));
    }
    h->setRange(round % 3 == 0 ? static_cast<HighlighterRange>(rng()) : h->range());
    ScannedLine s = ScanLine(*h, line, round);
    std::size_t at = 0;
    for (const Token& t : s.tokens) {
      ASSERT_EQ(static_cast<std::size_t>(t.position), at) << ex.component << " round " << round;
      ASSERT_FALSE(t.text.empty()) << ex.component << " round " << round;
      ASSERT_GE(t.kind, 0);
      ASSERT_LT(static_cast<std::size_t>(t.kind), h->attributes().size());
      at += t.text.size();
    }
    ASSERT_EQ(at, line.size()) << ex.component << " round " << round;
  }
}

INSTANTIATE_TEST_SUITE_P(Languages, GoldenTest, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.component); });

}  // namespace
}  // namespace qv
