// Constructors of the individual built-in highlighters (one source file each).
#pragma once
#include <memory>

#include "editor/highlighter.h"

namespace qv::lang {

std::unique_ptr<Highlighter> MakeTextHighlighter();
std::unique_ptr<Highlighter> MakePascalHighlighter();
std::unique_ptr<Highlighter> MakeCppHighlighter();
std::unique_ptr<Highlighter> MakePerlHighlighter();
std::unique_ptr<Highlighter> MakeHtmlHighlighter();
std::unique_ptr<Highlighter> MakeCssHighlighter();
std::unique_ptr<Highlighter> MakeXmlHighlighter();
std::unique_ptr<Highlighter> MakePhpHighlighter();
std::unique_ptr<Highlighter> MakeSqlHighlighter();
std::unique_ptr<Highlighter> MakeVisualBasicHighlighter();
std::unique_ptr<Highlighter> MakeJavaHighlighter();
std::unique_ptr<Highlighter> MakeJavascriptHighlighter();
std::unique_ptr<Highlighter> MakePythonHighlighter();
std::unique_ptr<Highlighter> MakeTclHighlighter();
std::unique_ptr<Highlighter> MakeFortranHighlighter();
std::unique_ptr<Highlighter> MakeFoxHighlighter();
std::unique_ptr<Highlighter> MakeInnoSetupHighlighter();

// Sets the dialect when `h` is an SQL highlighter (see SetSqlDialect).
bool SetSqlHighlighterDialect(Highlighter& h, int dialect);

}  // namespace qv::lang
