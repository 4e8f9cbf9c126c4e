// The factory of the built-in highlighters, keyed by component name.
#include "highlight/languages/builtin_highlighters.h"

#include <array>

#include "highlight/languages/languages.h"

namespace qv {

namespace {

struct Builtin {
  std::string_view name;
  std::unique_ptr<Highlighter> (*make)();
};

constexpr std::array<Builtin, 17> kBuiltins{{
    {"hlTxt", lang::MakeTextHighlighter},
    {"hlPas", lang::MakePascalHighlighter},
    {"hlCpp", lang::MakeCppHighlighter},
    {"hlPerl", lang::MakePerlHighlighter},
    {"hlHtml", lang::MakeHtmlHighlighter},
    {"hlCSS", lang::MakeCssHighlighter},
    {"hlXML", lang::MakeXmlHighlighter},
    {"hlPHP", lang::MakePhpHighlighter},
    {"hlSQL", lang::MakeSqlHighlighter},
    {"hlVisualBasic", lang::MakeVisualBasicHighlighter},
    {"hlJava", lang::MakeJavaHighlighter},
    {"hlJavascript", lang::MakeJavascriptHighlighter},
    {"hlPython", lang::MakePythonHighlighter},
    {"hlTCL", lang::MakeTclHighlighter},
    {"hlFortran", lang::MakeFortranHighlighter},
    {"hlFox", lang::MakeFoxHighlighter},
    {"hlInnoSetup", lang::MakeInnoSetupHighlighter},
}};

constexpr std::array<std::string_view, 17> kNames = [] {
  std::array<std::string_view, 17> names{};
  for (std::size_t i = 0; i < kBuiltins.size(); ++i) names[i] = kBuiltins[i].name;
  return names;
}();

}  // namespace

std::span<const std::string_view> BuiltinHighlighterNames() { return kNames; }

std::unique_ptr<Highlighter> MakeBuiltinHighlighter(std::string_view componentName) {
  for (const Builtin& b : kBuiltins)
    if (b.name == componentName) return b.make();
  return nullptr;
}

bool SetSqlDialect(Highlighter& highlighter, int dialect) {
  if (dialect < 0 || dialect > static_cast<int>(SqlDialect::MSSQL2K)) return false;
  return lang::SetSqlHighlighterDialect(highlighter, dialect);
}

}  // namespace qv
