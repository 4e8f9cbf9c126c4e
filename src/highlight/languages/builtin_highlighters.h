// Creates the built-in highlighters (plain text and sixteen languages) by component name.
#pragma once
#include <memory>
#include <span>
#include <string_view>

#include "editor/highlighter.h"

namespace qv {

// The component names in table order: "hlTxt", "hlPas", ... "hlInnoSetup".
std::span<const std::string_view> BuiltinHighlighterNames();

// A new highlighter for a component name; nullptr for an unknown name.
std::unique_ptr<Highlighter> MakeBuiltinHighlighter(std::string_view componentName);

// The SQL dialects, numbered as the SQLDialect setting stores them.
enum class SqlDialect { Standard, Interbase6, MSSQL7, MySQL, Oracle, Sybase, Ingres, MSSQL2K };

// Sets the dialect of a highlighter made for "hlSQL"; false (and no change) for any other
// highlighter or a value outside 0-7.
bool SetSqlDialect(Highlighter& highlighter, int dialect);

}  // namespace qv
