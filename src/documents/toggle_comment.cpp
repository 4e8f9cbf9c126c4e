// Commenting and uncommenting the caret line or the selection.
#include "documents/toggle_comment.h"

#include <algorithm>
#include <vector>

#include "config/hourglass.h"
#include "editor/text_ops.h"

namespace qv {

namespace {

enum class Subject { SingleLine, WholeLines, Partial };

struct Markers {
  std::string prefix;
  std::string suffix;  // empty for a line comment
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string UpperText(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Upper(c);
  return out;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Upper(x) == Upper(y); });
}

// Removes the leading prefix with one blank and the trailing suffix with one blank; returns
// how many characters went from the front.
int Uncomment(std::string& line, const Markers& m) {
  int removedFront = 0;
  if (line.size() >= m.prefix.size() && SameIgnoringCase(std::string_view(line).substr(0, m.prefix.size()), m.prefix)) {
    std::size_t n = m.prefix.size();
    if (n < line.size() && line[n] == ' ') ++n;
    line.erase(0, n);
    removedFront = static_cast<int>(n);
  }
  if (!m.suffix.empty() && line.size() >= m.suffix.size() &&
      SameIgnoringCase(std::string_view(line).substr(line.size() - m.suffix.size()), m.suffix)) {
    std::size_t n = m.suffix.size();
    if (n < line.size() && line[line.size() - n - 1] == ' ') ++n;
    line.erase(line.size() - n);
  }
  return removedFront;
}

}  // namespace

std::string FirstMarker(std::string_view list) {
  const std::size_t b = list.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  const std::size_t e = list.find(' ', b);
  return std::string(list.substr(b, e == std::string_view::npos ? std::string_view::npos : e - b));
}

bool CanToggleComment(const EditingContext& ctx) {
  return !FirstMarker(ctx.lineComment).empty() ||
         (!FirstMarker(ctx.commentBeg).empty() && !FirstMarker(ctx.commentEnd).empty());
}

bool ToggleComment(Editor& editor, const EditingContext& ctx) {
  if (ctx.locked || editor.readOnly() || !CanToggleComment(ctx)) return false;
  HourglassScope hourglass;
  const Markers pair{UpperText(FirstMarker(ctx.commentBeg)), UpperText(FirstMarker(ctx.commentEnd))};
  const Markers lineComment{UpperText(FirstMarker(ctx.lineComment)), {}};
  const bool hasPair = !pair.prefix.empty() && !pair.suffix.empty();
  const bool hasLine = !lineComment.prefix.empty();

  editor.setSelectionMode(SelectionMode::Normal);
  const BufferCoord caret = editor.caretXY();
  const BufferCoord selBegin = editor.blockBegin(), selEnd = editor.blockEnd();
  Subject kind = Subject::SingleLine;
  std::string text;
  if (editor.selAvail()) {
    text = editor.selText();
    kind = text.ends_with("\r\n") ? Subject::WholeLines : Subject::Partial;
  } else {
    text = std::string(editor.line(caret.Line));
  }
  const Markers& m = kind == Subject::Partial ? (hasPair ? pair : lineComment) : (hasLine ? lineComment : pair);
  const bool commenting = !text.starts_with(m.prefix);

  std::vector<std::string> lines =
      kind == Subject::SingleLine ? std::vector<std::string>{text} : textops::splitLines(text);
  if (kind == Subject::WholeLines)
    lines.resize(std::max(lines.size(), static_cast<std::size_t>(selEnd.Line - selBegin.Line)));
  if (lines.empty()) lines.emplace_back();

  int frontShift = 0;  // characters added (+) or removed (-) in front of the first line
  if (commenting) {
    const std::string lead = m.prefix + " ";
    const std::string tail = m.suffix.empty() ? std::string() : " " + m.suffix;
    if (m.suffix.empty() || kind == Subject::SingleLine) {
      for (auto& l : lines) l.insert(0, lead);
      if (kind == Subject::SingleLine) lines.front() += tail;
    } else {
      lines.front().insert(0, lead);
      lines.back() += tail;
    }
    frontShift = static_cast<int>(lead.size());
  } else {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const int removed = Uncomment(lines[i], m);
      if (i == 0) frontShift = -removed;
    }
  }

  editor.beginUndoBlock();
  if (kind == Subject::SingleLine) {
    const int len = static_cast<int>(editor.line(caret.Line).size());
    editor.replaceRange({1, caret.Line}, {len + 1, caret.Line}, lines.front());
    editor.setCaretXY({std::max(1, caret.Char + frontShift), caret.Line});
  } else {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) out += "\r\n";
      out += lines[i];
    }
    if (kind == Subject::WholeLines) out += "\r\n";
    const BufferCoord end = editor.replaceRange(selBegin, selEnd, out);
    editor.setSelection(selBegin, end);
  }
  editor.endUndoBlock();
  editor.setTopLine(std::max(1, editor.caretXY().Line - editor.linesInWindow() / 2));
  return true;
}

}  // namespace qv
