// The word at the caret.
#include "documents/word_at_caret.h"

namespace qv {

std::string WordAtCaret(Editor& editor, bool select) {
  const BufferCoord caret = editor.caretXY();
  const std::string_view s = editor.line(caret.Line);
  const int len = static_cast<int>(s.size());
  const int at = caret.Char - 1;  // 0-based index of the character after the caret
  if (at > len) return {};
  int begin = at;
  while (begin > 0 && !IsWordDelimiter(s[begin - 1])) --begin;
  int end = begin;
  while (end < len && !IsWordDelimiter(s[end])) ++end;
  std::string word(s.substr(begin, end - begin));
  if (select && !word.empty()) editor.setSelection({begin + 1, caret.Line}, {end + 1, caret.Line});
  return word;
}

}  // namespace qv
