// The definition files shipped with the program load and colour a typical line of their language.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "highlight/definition_file.h"
#include "support/test_env.h"

namespace qv {
namespace {

std::string Tokens(Highlighter& hl, const std::string& line) {
  static const char* const kKinds[] = {"comment", "ident", "key1",  "key2",  "key3",
                                       "key4",    "key5",  "eol",   "num",   "pre",
                                       "space",   "string", "symbol", "other"};
  std::string out;
  hl.resetRange();
  for (hl.setLine(line, 0); !hl.eol(); hl.next()) {
    if (!out.empty()) out += ' ';
    out += std::string(kKinds[hl.tokenKind()]) + "(" + std::string(hl.tokenText()) + ")";
  }
  return out;
}

struct Sample {
  const char* language;
  const char* extension;  // one the filter lists
  std::string line;
  std::string expected;
};

const Sample kSamples[] = {
    {"Shell scripts", "*.sh", R"(for f in $HOME/*.sh; do echo "$f" # list)",
     R"(key1(for) space( ) ident(f) space( ) key1(in) space( ) key3($HOME) other(/) other(*) )"
     R"(other(.) ident(sh) other(;) space( ) key1(do) space( ) key2(echo) space( ) string("$f") )"
     R"(space( ) comment(# list))"},
    {"Makefile", "*.mk", "\t$(CC) $(filter-out %.h,$(SRCS))",
     "space(\t) other($) other(() key4(CC) other()) space( ) other($) other(() key2(filter-out) "
     "space( ) other(%) ident(.h) other(,) other($) other(() ident(SRCS) other()) other())"},
    {"Lua", "*.lua", R"(local function f(x) return x .. "!" end -- tail)",
     R"(key1(local) space( ) key1(function) space( ) ident(f) other(() ident(x) other()) space( ) )"
     R"(key1(return) space( ) ident(x) space( ) other(.) other(.) space( ) string("!") space( ) )"
     R"(key1(end) space( ) comment(-- tail))"},
    {"Rust", "*.rs", R"(pub fn main() { let s: &'static str = "a\"b"; } // done)",
     R"(key1(pub) space( ) key1(fn) space( ) ident(main) other(() other()) space( ) other({) )"
     R"(space( ) key1(let) space( ) ident(s) other(:) space( ) other(&) other(') key1(static) )"
     R"(space( ) key2(str) space( ) other(=) space( ) string("a\"b") other(;) space( ) other(}) )"
     R"(space( ) comment(// done))"},
    {"Go", "*.go", R"(func main() { s := `raw` + "x" + 0x1F } /* c */)",
     R"(key1(func) space( ) ident(main) other(() other()) space( ) other({) space( ) ident(s) )"
     R"(space( ) other(:) other(=) space( ) string(`raw`) space( ) other(+) space( ) string("x") )"
     R"(space( ) other(+) space( ) num(0x1F) space( ) other(}) space( ) comment(/* c */))"},
    {"YAML", "*.yml", R"(enabled: YES # "not a string")",
     R"(ident(enabled) other(:) space( ) key1(YES) space( ) comment(# "not a string"))"},
    {"Markdown", "*.md", "Use `code` here <!-- note -->",
     "ident(Use) space( ) string(`code`) space( ) ident(here) space( ) comment(<!-- note -->)"},
    {"CMake", "*.cmake", "add_library(core STATIC ${SOURCES}) # lib",
     "key1(add_library) other(() ident(core) space( ) key2(STATIC) space( ) other($) other({) "
     "ident(SOURCES) other(}) other()) space( ) comment(# lib)"},
};

class ShippedDefinitions : public ::testing::TestWithParam<Sample> {
 protected:
  static void SetUpTestSuite() {
    defs_ = new HighlighterDefinitions;
    const auto result = defs_->loadFolder(test::SourcePath("src/resources/Highlighters"));
    ASSERT_TRUE(result.unreadable.empty());
  }
  static void TearDownTestSuite() {
    delete defs_;
    defs_ = nullptr;
  }
  static TSynMyGeneralSyn* Find(const std::string& name) {
    for (const auto& h : defs_->highlighters())
      if (h->displayLanguageName() == name) return h.get();
    return nullptr;
  }
  static HighlighterDefinitions* defs_;
};

HighlighterDefinitions* ShippedDefinitions::defs_ = nullptr;

TEST_P(ShippedDefinitions, ColoursATypicalLine) {
  const Sample& s = GetParam();
  TSynMyGeneralSyn* hl = Find(s.language);
  ASSERT_NE(hl, nullptr) << s.language << " is not shipped";
  const std::string patterns = hl->defaultFilter.substr(hl->defaultFilter.find('|') + 1);
  EXPECT_NE(patterns.find(s.extension), std::string::npos) << hl->defaultFilter;
  EXPECT_EQ(Tokens(*hl, s.line), s.expected) << s.language;
}

INSTANTIATE_TEST_SUITE_P(Languages, ShippedDefinitions, ::testing::ValuesIn(kSamples));

TEST_F(ShippedDefinitions, EveryFileDefinesOneLanguageWithHeadingsAndAttributes) {
  EXPECT_EQ(defs_->highlighters().size(), std::size(kSamples));
  const TSynMyGeneralSyn* rust = Find("Rust");
  ASSERT_NE(rust, nullptr);
  EXPECT_EQ(Tokens(*const_cast<TSynMyGeneralSyn*>(rust), "#[derive(Debug)]"), "pre(#[derive(Debug)])");
  TSynMyGeneralSyn* markdown = Find("Markdown");
  ASSERT_NE(markdown, nullptr);
  EXPECT_EQ(Tokens(*markdown, "## Section"), "pre(## Section)");
  EXPECT_EQ(markdown->preprocessorAttri()->style, kFsBold);
  // Go's raw strings continue on the next line.
  TSynMyGeneralSyn* go = Find("Go");
  ASSERT_NE(go, nullptr);
  go->resetRange();
  go->setLine("s := `first", 0);
  while (!go->eol()) go->next();
  go->setLine("second` + x", 1);
  EXPECT_EQ(std::string(go->tokenText()), "second`");
  EXPECT_EQ(go->tokenKind(), TSynMyGeneralSyn::tkString);
}

}  // namespace
}  // namespace qv
