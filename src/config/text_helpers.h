// Small text routines shared across the program: tabs and blanks, quoting, menu captions,
// message placeholders and open-dialog filters.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

namespace qv {

// Every tab replaced by blanks up to the next multiple of tabWidth (widths below 1 count as 1).
std::string ExpandTabs(std::string_view line, int tabWidth);

// Runs of two or more blanks that end on a tab stop become one tab; other blanks stay.
std::string CompressSpaces(std::string_view line, int tabWidth);

// Adds a double quote at either end that lacks one; empty text stays empty.
std::string AddQuotes(std::string_view text);
// Removes one leading and then one trailing double quote where present.
std::string RemoveQuotes(std::string_view text);
// "&" becomes "&&", so a menu caption shows the text as it is.
std::string DoubleAmpersands(std::string_view text);

// Fills "%s" and "%d" placeholders in order with the given texts; "%%" gives "%".
// Safe for format texts from language files: missing arguments give empty text and any other
// "%" sequence is copied unchanged.
std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args);

// 1-based position of the pair "description|pattern" equal to defaultFilter among the pairs of
// an open-dialog filter; 1 when it is not there.
int FilterIndexOf(std::string_view filter, std::string_view defaultFilter);

// The extension of the n-th pair's first pattern, without "*" and "." ("*.pas;*.pp" gives "pas").
std::string FilterDefaultExt(std::string_view filter, int filterIndex);

}  // namespace qv
