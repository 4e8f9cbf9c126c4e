// Line transformations used by the editor's commands: tabs, blanks and letter case.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qv::textops {

// Every tab becomes blanks up to the next stop (stops every width columns).
std::string expandTabs(std::string_view line, int width);
// Runs of two or more blanks that reach a tab stop become one tab; tabs restart the count.
std::string compressSpaces(std::string_view line, int width);
std::string_view trimRight(std::string_view line);  // without trailing blanks and tabs
int leadingBlanks(std::string_view line);             // count of leading blanks and tabs
// Display column of byte column col, tabs expanded.
int displayColumn(std::string_view line, int col, int tabWidth);
// Split at CR LF, CR or LF; a break at the very end makes no empty last line.
std::vector<std::string> splitLines(std::string_view text);

enum class CaseChange { Upper, Lower, Invert, Title };
// Changes ASCII letters only, so multi-byte sequences are never broken.
std::string changeCase(std::string_view text, CaseChange how);

}  // namespace qv::textops
