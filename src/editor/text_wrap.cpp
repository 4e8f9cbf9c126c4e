// Soft-wrap layout of a line.
#include "editor/text_wrap.h"

#include <algorithm>

namespace qv {

std::vector<int> wrapRows(std::string_view line, int width, int tabWidth) {
  std::vector<int> rows{0};
  width = std::max(width, 1);
  tabWidth = std::max(tabWidth, 1);
  int rowStart = 0;
  int display = 0;    // display column within the row
  int lastBreak = -1;  // column after the last blank in this row
  const int n = static_cast<int>(line.size());
  for (int i = 0; i < n; ++i) {
    int w = line[i] == '\t' ? tabWidth - display % tabWidth : 1;
    if (display + w > width && i > rowStart) {
      int next = lastBreak > rowStart ? lastBreak : i;
      rows.push_back(next);
      rowStart = next;
      lastBreak = -1;
      display = 0;
      for (int k = rowStart; k < i; ++k) display += line[k] == '\t' ? tabWidth - display % tabWidth : 1;
      w = line[i] == '\t' ? tabWidth - display % tabWidth : 1;
    }
    display += w;
    if (line[i] == ' ' || line[i] == '\t') lastBreak = i + 1;
  }
  return rows;
}

int rowOfColumn(const std::vector<int>& rows, int col) {
  auto it = std::upper_bound(rows.begin(), rows.end(), col);
  return std::max(0, static_cast<int>(it - rows.begin()) - 1);
}

}  // namespace qv
