// Finding and underlining the emphasised word.
#include "documents/ui/emphasize_word.h"

#include <QPainter>

#include <algorithm>
#include <cctype>

#include "editor/ui/editor_view.h"

namespace qv {

namespace {
unsigned char Fold(unsigned char c) { return static_cast<unsigned char>(std::tolower(c)); }
}  // namespace

TEmphasizeWordPlugin::TEmphasizeWordPlugin(EditorView& view) : view_(view) {
  view_.setAfterPaint([this](QPainter& p) { paint(p); });
}

TEmphasizeWordPlugin::~TEmphasizeWordPlugin() { view_.setAfterPaint(nullptr); }

void TEmphasizeWordPlugin::SetWord(std::string word) {
  word_ = std::move(word);
  view_.viewport()->update();
}

std::vector<int> TEmphasizeWordPlugin::Occurrences(std::string_view line, std::string_view word,
                                                   bool caseSensitive, int from, int to) {
  std::vector<int> out;
  if (word.empty()) return out;
  const int n = static_cast<int>(word.size());
  to = std::min(to, static_cast<int>(line.size()));
  for (int i = std::max(0, from); i + n <= to; ++i) {
    bool match = true;
    for (int k = 0; k < n && match; ++k) {
      const auto a = static_cast<unsigned char>(line[static_cast<size_t>(i + k)]);
      const auto b = static_cast<unsigned char>(word[static_cast<size_t>(k)]);
      match = caseSensitive ? a == b : Fold(a) == Fold(b);
    }
    if (match) out.push_back(i);
  }
  return out;
}

void TEmphasizeWordPlugin::paint(QPainter& p) {
  if (word_.empty()) return;
  const QPen oldPen = p.pen();
  Editor& editor = view_.editor();
  const int rows = view_.visibleRows();
  const int n = static_cast<int>(word_.size());
  for (int r = 0; r < rows; ++r) {
    const EditorView::Row row = view_.rowAt(r);
    if (row.line >= editor.lineCount()) break;
    const auto [from, to] = view_.visibleColumns(row);
    for (int col : Occurrences(editor.line(row.line + 1), word_, caseSensitive_, from, to)) {
      const QPoint a = view_.pointOf({col + 1, row.line + 1});
      const QPoint b = view_.pointOf({col + n + 1, row.line + 1});
      const int width = b.y() == a.y() ? b.x() - a.x() : n * view_.charWidth();
      const int y = a.y() + view_.lineHeight() - 1;
      QPen pen(color_);
      pen.setWidth(1);
      if (style_ == 3) pen.setStyle(Qt::DotLine);
      p.setPen(pen);
      if (style_ == 1) {
        p.drawLine(a.x(), y, a.x() + width - 1, y);
      } else if (style_ == 2) {
        p.drawLine(a.x(), y, a.x() + width - 1, y);
        p.drawLine(a.x(), y - 2, a.x() + width - 1, y - 2);
      } else {
        p.drawLine(a.x(), y - 1, a.x() + width - 1, y - 1);
        p.drawLine(a.x() + 3, y, a.x() + width - 1, y);
      }
    }
  }
  p.setPen(oldPen);
}

}  // namespace qv
