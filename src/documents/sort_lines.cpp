// Sorting the selected lines.
#include "documents/sort_lines.h"

#include <algorithm>
#include <numeric>

namespace qv {

namespace {

unsigned char Lower(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

}  // namespace

void SortIgnoringCase(std::vector<std::string>& lines) {
  std::stable_sort(lines.begin(), lines.end(),
                   [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
}

void SortLines(Editor& editor, const EditingContext& ctx) {
  if (ctx.locked || editor.readOnly() || !editor.selAvail()) return;
  const CaretState before = editor.caretState();
  const SelectionMode mode = editor.selectionMode();
  const BufferCoord b = editor.blockBegin(), e = editor.blockEnd();
  int first = b.Line, last = e.Line;
  if (mode == SelectionMode::Normal && e.Char == 1 && last > first) --last;

  editor.beginUndoBlock();
  // A block reaching into the text's last line gets a final line break to end with.
  if (last == editor.lineCount()) {
    const int len = static_cast<int>(editor.line(last).size());
    editor.replaceRange({len + 1, last}, {len + 1, last}, "\r\n");
  }
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(last - first + 1));
  for (int l = first; l <= last; ++l) lines.emplace_back(editor.line(l));

  if (mode == SelectionMode::Column) {
    const int c1 = std::min(before.selAnchor.col, before.selEnd.col);
    const int c2 = std::max(before.selAnchor.col, before.selEnd.col);
    auto key = [&](const std::string& s) {
      return c1 < static_cast<int>(s.size()) ? std::string_view(s).substr(c1, c2 - c1) : std::string_view{};
    };
    std::vector<std::size_t> order(lines.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
      return LessIgnoringCase(key(lines[x]), key(lines[y]));
    });
    std::vector<std::string> sorted;
    sorted.reserve(lines.size());
    for (std::size_t i : order) sorted.push_back(std::move(lines[i]));
    lines = std::move(sorted);
  } else {
    SortIgnoringCase(lines);
  }
  std::string out;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  editor.replaceRange({1, first}, {1, last + 1}, out);
  editor.setCaretState(before);
  editor.endUndoBlock();
}

}  // namespace qv
