// The factory hands out one highlighter per built-in component name.
#include <gtest/gtest.h>

#include "highlight/languages/builtin_highlighters.h"

namespace qv {
namespace {

TEST(BuiltinHighlighters, EveryComponentNameMakesAHighlighter) {
  ASSERT_EQ(BuiltinHighlighterNames().size(), 17u);
  EXPECT_EQ(BuiltinHighlighterNames().front(), "hlTxt");
  EXPECT_EQ(BuiltinHighlighterNames().back(), "hlInnoSetup");
  for (std::string_view name : BuiltinHighlighterNames()) {
    auto h = MakeBuiltinHighlighter(name);
    ASSERT_NE(h, nullptr) << name;
    EXPECT_FALSE(h->languageName().empty()) << name;
    EXPECT_FALSE(h->attributes().empty()) << name;
    EXPECT_NE(h->defaultAttribute(DefaultAttribute::Whitespace), nullptr) << name;
  }
}

TEST(BuiltinHighlighters, LanguageNamesAreTheDisplayNames) {
  const std::pair<const char*, const char*> kNames[] = {
      {"hlTxt", "Text files"},   {"hlPas", "Object Pascal"},  {"hlCpp", "C/C++"},
      {"hlPerl", "Perl"},        {"hlHtml", "HTML"},          {"hlCSS", "Cascading Style Sheet"},
      {"hlXML", "XML"},          {"hlPHP", "PHP"},            {"hlSQL", "SQL"},
      {"hlVisualBasic", "Visual Basic"}, {"hlJava", "Java"},  {"hlJavascript", "JavaScript"},
      {"hlPython", "Python"},    {"hlTCL", "Tcl/Tk"},         {"hlFortran", "Fortran"},
      {"hlFox", "Foxpro"},       {"hlInnoSetup", "Inno Setup Script"},
  };
  for (const auto& [component, language] : kNames) {
    auto h = MakeBuiltinHighlighter(component);
    ASSERT_NE(h, nullptr) << component;
    EXPECT_EQ(h->languageName(), language) << component;
    // Only plain text is one token per line: every language has a comment or string role.
    if (std::string_view(component) != "hlTxt") {
      EXPECT_TRUE(h->defaultAttribute(DefaultAttribute::Comment) || h->defaultAttribute(DefaultAttribute::String))
          << component;
    }
  }
}

TEST(BuiltinHighlighters, UnknownNamesGiveNothing) {
  EXPECT_EQ(MakeBuiltinHighlighter(""), nullptr);
  EXPECT_EQ(MakeBuiltinHighlighter("hltxt"), nullptr);
  EXPECT_EQ(MakeBuiltinHighlighter("hlRust"), nullptr);
}

TEST(BuiltinHighlighters, PlainTextIsOneSpaceTokenPerLine) {
  auto h = MakeBuiltinHighlighter("hlTxt");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->languageName(), "Text files");
  ASSERT_EQ(h->attributes().size(), 1u);
  EXPECT_EQ(h->attributes()[0]->name, "Space");
  h->resetRange();
  h->setLine("int x = 1; // not code here", 0);
  ASSERT_FALSE(h->eol());
  EXPECT_EQ(h->tokenText(), "int x = 1; // not code here");
  EXPECT_EQ(h->tokenPosition(), 0);
  EXPECT_EQ(h->tokenAttribute(), h->attributes()[0].get());
  h->next();
  EXPECT_TRUE(h->eol());
  EXPECT_EQ(h->range(), 0u);
  h->setLine("", 1);
  EXPECT_TRUE(h->eol());
}

TEST(BuiltinHighlighters, SqlDialectOnlyForSql) {
  auto txt = MakeBuiltinHighlighter("hlTxt");
  EXPECT_FALSE(SetSqlDialect(*txt, 0));
  auto sql = MakeBuiltinHighlighter("hlSQL");
  EXPECT_FALSE(SetSqlDialect(*sql, 8));
  EXPECT_FALSE(SetSqlDialect(*sql, -1));
}

}  // namespace
}  // namespace qv
