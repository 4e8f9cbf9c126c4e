// Filling a column block with a repeated text.
#include "documents/fill_block.h"

#include <algorithm>
#include <cstdlib>

#include "config/translation.h"

namespace qv {

std::optional<std::string> AskFillText(const EditingContext& ctx) {
  Prompter& p = ctx.prompter ? *ctx.prompter : UserPrompter();
  auto answer = p.input(TranslatedText(11000, "Fill block"),
                        TranslatedText(11001, "Enter text to fill selected block with:"), "");
  if (!answer || answer->empty()) return std::nullopt;
  return answer;
}

bool FillBlock(Editor& editor, std::string_view fill, const EditingContext& ctx) {
  if (ctx.locked || editor.readOnly() || fill.empty()) return false;
  if (editor.selectionMode() != SelectionMode::Column || !editor.selAvail()) return false;
  const CaretState before = editor.caretState();
  const int left = std::min(before.selAnchor.col, before.selEnd.col);  // 0-based
  const int width = std::abs(before.selEnd.col - before.selAnchor.col);
  if (width == 0) return false;
  std::string pattern;
  pattern.reserve(static_cast<std::size_t>(width));
  while (static_cast<int>(pattern.size()) < width) pattern += fill;
  pattern.resize(static_cast<std::size_t>(width));

  const int first = editor.blockBegin().Line, last = editor.blockEnd().Line;
  std::string out;
  for (int l = first; l <= last; ++l) {
    std::string s(editor.line(l));
    if (static_cast<int>(s.size()) < left) s.resize(static_cast<std::size_t>(left), ' ');
    s.replace(static_cast<std::size_t>(left), static_cast<std::size_t>(width), pattern);
    if (l > first) out += "\r\n";
    out += s;
  }
  editor.beginUndoBlock();
  editor.replaceRange({1, first}, {static_cast<int>(editor.line(last).size()) + 1, last}, out);
  editor.setCaretState(before);
  editor.endUndoBlock();
  return true;
}

}  // namespace qv
