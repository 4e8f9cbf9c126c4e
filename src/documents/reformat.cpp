// Reformatting a paragraph to the right margin.
#include "documents/reformat.h"

#include <algorithm>

#include "documents/word_at_caret.h"

namespace qv {

namespace {

std::string_view TrimBlanks(std::string_view s, bool left, bool right) {
  if (left) {
    std::size_t b = s.find_first_not_of(' ');
    s.remove_prefix(b == std::string_view::npos ? s.size() : b);
  }
  if (right) {
    std::size_t e = s.find_last_not_of(' ');
    s = e == std::string_view::npos ? std::string_view{} : s.substr(0, e + 1);
  }
  return s;
}

// Every CR or LF becomes one blank; the CR, LF and blanks right after it go.
std::string JoinLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += ' ';
      ++i;
      while (i < text.size() && (text[i] == '\r' || text[i] == '\n' || text[i] == ' ')) ++i;
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

// Length of the next piece: after the last delimiter at or before `width`, else after the
// first one behind it, else everything. Delimiters inside the leading blanks do not count,
// so a piece is never blank.
std::size_t CutLength(std::string_view rest, int width, int minWidth) {
  if (static_cast<int>(rest.size()) <= minWidth) return rest.size();
  const std::size_t firstText = std::min(rest.find_first_not_of(' '), rest.size());
  const std::size_t from = std::min(rest.size(), static_cast<std::size_t>(std::max(width, 1))) - 1;
  for (std::size_t p = from + 1; p-- > firstText;)
    if (IsWordDelimiter(rest[p])) return p + 1;
  for (std::size_t p = std::max(from, firstText); p < rest.size(); ++p)
    if (IsWordDelimiter(rest[p])) return p + 1;
  return rest.size();
}

}  // namespace

std::string ReformatText(std::string_view text, int rightEdge, int indent) {
  rightEdge = std::max(rightEdge, 1);
  indent = std::clamp(indent, 0, rightEdge - 1);
  const int otherWidth = rightEdge - indent;
  const std::string joined = JoinLines(text);
  std::string_view rest = joined;
  std::string out;
  out.reserve(joined.size() + joined.size() / 8 + 16);
  bool first = true;
  while (!rest.empty()) {
    const int width = first ? rightEdge : otherWidth;
    const std::size_t cut = CutLength(rest, width, otherWidth);
    std::string_view piece = rest.substr(0, cut);
    if (first) {
      out += TrimBlanks(piece, false, true);
    } else {
      out += "\r\n";
      out.append(static_cast<std::size_t>(indent), ' ');
      out += TrimBlanks(piece, true, true);
    }
    first = false;
    rest = TrimBlanks(rest.substr(cut), true, true);
  }
  return out;
}

void ReformatParagraph(Editor& editor, const EditingContext& ctx) {
  if (ctx.locked || editor.readOnly()) return;
  const int first = editor.caretXY().Line;
  if (editor.line(first).empty()) return;
  int last = first;
  while (last < editor.lineCount() && !editor.line(last + 1).empty()) ++last;
  const BufferCoord from{1, first};
  const BufferCoord to{static_cast<int>(editor.line(last).size()) + 1, last};
  editor.setSelectionMode(SelectionMode::Normal);
  editor.setSelection(from, to);
  const std::string text = editor.selText();
  int indent = 0;
  if (editor.has(EditorOption::eoAutoIndent))
    indent = static_cast<int>(std::min(text.find_first_not_of(' '), text.size()));
  editor.setSelText(ReformatText(text, ctx.rightEdge, indent));
  editor.setTopLine(std::max(1, editor.caretXY().Line - editor.linesInWindow() / 2));
}

}  // namespace qv
