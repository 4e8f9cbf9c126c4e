// Soft-wrap layout of a line.
#include "editor/text_wrap.h"

#include <algorithm>

namespace qv {

std::vector<int> wrapRows(std::string_view line, int width, int tabWidth) {
  return wrapRows(line, width, tabWidth, DisplayCharset::Windows1252);
}

std::vector<int> wrapRows(std::string_view line, int width, int tabWidth, DisplayCharset cs) {
  std::vector<int> rows{0};
  width = std::max(width, 1);
  tabWidth = std::max(tabWidth, 1);
  const int n = static_cast<int>(line.size());
  const auto step = [&](int i) {
    return static_cast<unsigned char>(line[static_cast<std::size_t>(i)]) < 0x80 ? 1 : DecodeAt(line, i, cs).length;
  };
  const auto cellWidth = [&](int i, int display) { return line[static_cast<std::size_t>(i)] == '\t' ? tabWidth - display % tabWidth : 1; };
  int rowStart = 0;
  int display = 0;     // display column within the row
  int lastBreak = -1;  // column after the last blank in this row
  for (int i = 0; i < n; i += step(i)) {
    int w = cellWidth(i, display);
    if (display + w > width && i > rowStart) {
      int next = lastBreak > rowStart ? lastBreak : i;
      rows.push_back(next);
      rowStart = next;
      lastBreak = -1;
      display = 0;
      for (int k = rowStart; k < i; k += step(k)) display += cellWidth(k, display);
      w = cellWidth(i, display);
    }
    display += w;
    if (line[static_cast<std::size_t>(i)] == ' ' || line[static_cast<std::size_t>(i)] == '\t') lastBreak = i + 1;
  }
  return rows;
}

int rowOfColumn(const std::vector<int>& rows, int col) {
  auto it = std::upper_bound(rows.begin(), rows.end(), col);
  return std::max(0, static_cast<int>(it - rows.begin()) - 1);
}

}  // namespace qv
