// Soft-wrap layout: where the display rows of one line start for a given width in columns.
#pragma once
#include <string_view>
#include <vector>

#include "editor/display_charset.h"

namespace qv {

// 0-based byte columns at which each display row starts (the first is always 0). Rows break
// after the last blank that fits, or hard at the width when a row holds no blank. Tabs count to
// the next tab stop. Every byte is one character here.
std::vector<int> wrapRows(std::string_view line, int width, int tabWidth);
// The same with characters read in the given set: a row never starts inside a UTF-8 sequence.
std::vector<int> wrapRows(std::string_view line, int width, int tabWidth, DisplayCharset cs);

// Index of the row holding column col; a column on a row boundary belongs to the later row.
int rowOfColumn(const std::vector<int>& rows, int col);

}  // namespace qv
