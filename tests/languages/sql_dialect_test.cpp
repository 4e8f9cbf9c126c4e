// The SQL highlighter follows the dialect chosen in the settings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "highlight/languages/builtin_highlighters.h"

namespace qv {
namespace {

// "attribute:text" for every token but blanks.
std::vector<std::string> Tokens(Highlighter& h, std::string_view line) {
  std::vector<std::string> out;
  h.resetRange();
  for (h.setLine(line, 0); !h.eol(); h.next())
    if (h.tokenAttribute()->name != "Space") out.push_back(h.tokenAttribute()->name + ":" + std::string(h.tokenText()));
  return out;
}

struct Case {
  SqlDialect dialect;
  const char* line;
  std::vector<std::string> expected;
};

TEST(SqlDialects, EachDialectKnowsItsOwnWords) {
  const Case cases[] = {
      {SqlDialect::Standard, "# not a comment", {"Symbol:#", "Reserved word:not", "Identifier:a", "Identifier:comment"}},
      {SqlDialect::MySQL, "# a comment", {"Comment:# a comment"}},
      {SqlDialect::MySQL, "SELECT `order` FROM t LIMIT 1", {"Reserved word:SELECT", "Identifier:`order`", "Reserved word:FROM", "Identifier:t", "Reserved word:LIMIT", "Number:1"}},
      {SqlDialect::MSSQL2K, "SELECT TOP 5 [Order Id], @count, GETDATE()",
       {"Reserved word:SELECT", "Reserved word:TOP", "Number:5", "Identifier:[Order Id]", "Symbol:,", "Variable:@count", "Symbol:,", "Function:GETDATE", "Symbol:(", "Symbol:)"}},
      {SqlDialect::Oracle, "EXCEPTION WHEN no_data_found THEN x := NVL(:bind, 0);",
       {"Reserved word:EXCEPTION", "Reserved word:WHEN", "Exception:no_data_found", "Reserved word:THEN", "Identifier:x", "Symbol::", "Symbol:=", "Function:NVL", "Symbol:(", "Variable::bind", "Symbol:,", "Number:0", "Symbol:)", "Symbol:;"}},
      {SqlDialect::Standard, "SELECT TOP 5", {"Reserved word:SELECT", "Identifier:TOP", "Number:5"}},
  };
  for (const Case& c : cases) {
    auto h = MakeBuiltinHighlighter("hlSQL");
    ASSERT_TRUE(SetSqlDialect(*h, static_cast<int>(c.dialect)));
    EXPECT_EQ(Tokens(*h, c.line), c.expected) << c.line;
  }
}

TEST(SqlDialects, ACopyKeepsTheDialectAndAChangeIsAnnounced) {
  auto h = MakeBuiltinHighlighter("hlSQL");
  int changes = 0;
  h->onChange([&] { ++changes; });
  ASSERT_TRUE(SetSqlDialect(*h, static_cast<int>(SqlDialect::MySQL)));
  EXPECT_EQ(changes, 1);
  auto copy = h->clone();
  EXPECT_EQ(Tokens(*copy, "# c"), std::vector<std::string>{"Comment:# c"});
  EXPECT_FALSE(SetSqlDialect(*h, 8));
  EXPECT_EQ(Tokens(*h, "# c"), std::vector<std::string>{"Comment:# c"});
}

}  // namespace
}  // namespace qv
