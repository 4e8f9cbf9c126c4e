// Random editor command sequences: undo all must give back the loaded bytes, redo all the final
// text, and the caret and selection must stay inside the text.
// fuzz-link: qv_editor
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "editor/editor.h"

namespace {
constexpr qv::EditorCommand kCommands[] = {
    qv::ecLeft, qv::ecRight, qv::ecUp, qv::ecDown, qv::ecWordLeft, qv::ecWordRight, qv::ecLineStart,
    qv::ecLineEnd, qv::ecPageUp, qv::ecPageDown, qv::ecEditorTop, qv::ecEditorBottom, qv::ecSelLeft,
    qv::ecSelRight, qv::ecSelUp, qv::ecSelDown, qv::ecSelWordLeft, qv::ecSelLineEnd, qv::ecSelWord,
    qv::ecSelectAll, qv::ecDeleteLastChar, qv::ecDeleteChar, qv::ecDeleteWord, qv::ecDeleteLastWord,
    qv::ecDeleteBOL, qv::ecDeleteEOL, qv::ecDeleteLine, qv::ecClearAll, qv::ecLineBreak,
    qv::ecInsertLine, qv::ecChar, qv::ecString, qv::ecCut, qv::ecCopy, qv::ecPaste, qv::ecToggleMode,
    qv::ecNormalSelect, qv::ecColumnSelect, qv::ecLineSelect, qv::ecBlockIndent, qv::ecBlockUnindent,
    qv::ecTab, qv::ecShiftTab, qv::ecMatchBracket, qv::ecUpperCase, qv::ecLowerCaseBlock,
    qv::ecToggleCaseBlock, qv::ecTitleCase, qv::ecSetMarker0 + 1, qv::ecGotoMarker0 + 1, qv::ecScrollUp,
    qv::ecScrollDown, qv::ecUndo, qv::ecRedo, qv::ecGotoXY, qv::ecSelGotoXY, qv::ecSelPageDown, qv::ecPageTop,
    qv::ecPageBottom, qv::ecSelWordRight, qv::ecDeleteLastChar, qv::ecDeleteChar};

// Inside the text, and never inside a character of more than one byte.
bool inside(const qv::Editor& e, qv::BufferCoord c, bool pastEol) {
  if (c.Line < 1 || c.Line > e.lineCount() || c.Char < 1) return false;
  if (!qv::IsCharStart(e.line(c.Line), c.Char - 1, e.displayCharset())) return false;
  return pastEol || c.Char <= static_cast<int>(e.line(c.Line).size()) + 1;
}

void check(bool ok) {
  if (!ok) std::abort();
}
}  // namespace

// Input: options (4 bytes), text length (1 byte), text, then pairs of (command, argument) bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 5) return 0;
  qv::Editor e;
  std::uint32_t bits = data[0] | (data[1] << 8) | (data[2] << 16) | (std::uint32_t(data[3]) << 24);
  e.setOptions(qv::EditorOptions::fromBits(bits));
  e.setLinesInWindow(4);
  e.setWordWrap(bits & 0x80000000u);
  e.setWrapWidth(7);
  e.setDisplayCharset((bits & 0x40000000u) ? qv::DisplayCharset::Windows1252 : qv::DisplayCharset::Utf8);
  std::size_t textLen = std::min<std::size_t>(data[4], size - 5);
  e.loadBytes(std::string_view(reinterpret_cast<const char*>(data + 5), textLen));
  const std::string start = e.text();
  for (std::size_t i = 5 + textLen; i + 1 < size; i += 2) {
    qv::EditorCommand c = kCommands[data[i] % std::size(kCommands)];
    char ch = static_cast<char>(data[i + 1]);
    qv::CommandData d;
    d.text = std::string(1 + data[i + 1] % 3, ch);
    d.pos = qv::BufferCoord{1 + data[i + 1] % 9, 1 + data[i + 1] / 16};
    e.executeCommand(c, ch, d);
    const bool past = e.has(qv::EditorOption::eoScrollPastEol);
    check(inside(e, e.caretXY(), past));
    const bool selPast = past || e.selectionMode() == qv::SelectionMode::Column;
    check(inside(e, e.blockBegin(), selPast) && inside(e, e.blockEnd(), selPast));
  }
  while (e.canRedo()) e.redo();
  const std::string final = e.text();
  while (e.canUndo()) e.undo();
  check(e.text() == start);
  while (e.canRedo()) e.redo();
  check(e.text() == final);
  return 0;
}
