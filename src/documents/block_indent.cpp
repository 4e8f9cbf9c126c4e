// Typing aids for block languages and the wrap at the right margin.
#include "documents/block_indent.h"

#include <algorithm>

#include "config/text_helpers.h"
#include "documents/word_at_caret.h"
#include "editor/text_ops.h"

namespace qv {

namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool EndsWithIgnoringCase(std::string_view s, std::string_view end) {
  return !end.empty() && s.size() >= end.size() && EqualIgnoringCase(s.substr(s.size() - end.size()), end);
}

std::string_view TrimLeft(std::string_view s) {
  std::size_t b = s.find_first_not_of(" \t");
  return b == std::string_view::npos ? std::string_view{} : s.substr(b);
}

std::string_view TrimBoth(std::string_view s) { return textops::trimRight(TrimLeft(s)); }

bool IndentWithBlanks(const Editor& editor, const EditingContext& ctx) {
  return editor.has(EditorOption::eoTabsToSpaces) || !editor.has(EditorOption::eoTabsInBlockIndent) ||
         ctx.tabsMode != 0;
}

int LeadingBlankCount(std::string_view s) {
  return static_cast<int>(std::min(s.find_first_not_of(' '), s.size()));
}

void ReplaceLine(Editor& editor, int line, std::string_view text) {
  const int len = static_cast<int>(editor.line(line).size());
  editor.replaceRange({1, line}, {len + 1, line}, text);
}

// The line without trailing characters that the block end does not contain ("end;" -> "end").
std::string_view StripForeignTail(std::string_view s, std::string_view blockEnd) {
  while (!s.empty()) {
    const char c = Lower(s.back());
    if (std::any_of(blockEnd.begin(), blockEnd.end(), [c](char e) { return Lower(e) == c; })) break;
    s.remove_suffix(1);
  }
  return s;
}

}  // namespace

bool BlockIndentApplies(const EditingContext& ctx) {
  return ctx.blockAutoindent && !ctx.blockBegStr.empty() && !ctx.blockEndStr.empty();
}

bool BlockAutoIndent(Editor& editor, const EditingContext& ctx) {
  if (!BlockIndentApplies(ctx) || ctx.locked || editor.readOnly()) return false;
  const int line = editor.caretXY().Line;
  if (line < 2) return false;
  const std::string_view prev = textops::trimRight(editor.line(line - 1));
  if (!EndsWithIgnoringCase(prev, ctx.blockBegStr)) return false;
  std::string indent(static_cast<std::size_t>(LeadingBlankCount(ExpandTabs(prev, ctx.tabWidth))), ' ');
  const std::string cur(TrimLeft(editor.line(line)));
  if (!EqualIgnoringCase(cur, ctx.blockEndStr)) {
    if (IndentWithBlanks(editor, ctx)) indent.append(static_cast<std::size_t>(std::max(0, ctx.cBlockIndent)), ' ');
    else indent = CompressSpaces(indent, ctx.tabWidth) + "\t";
  }
  editor.beginUndoBlock();
  ReplaceLine(editor, line, indent + cur);
  editor.setCaretXY({static_cast<int>(indent.size()) + 1, line});
  editor.endUndoBlock();
  return true;
}

std::optional<LineRewrite> PlanBlockEndUnindent(const Editor& editor, char typed, const EditingContext& ctx) {
  if (!BlockIndentApplies(ctx) || ctx.locked || editor.readOnly()) return std::nullopt;
  const std::string_view blockEnd = ctx.blockEndStr;
  const bool oneChar = blockEnd.size() == 1;
  const BufferCoord caret = editor.caretXY();
  const std::string_view line = editor.line(caret.Line);
  const int len = static_cast<int>(line.size());
  const bool typedEnd = oneChar && typed != 0 && typed == blockEnd[0];
  const bool lineEnds = EndsWithIgnoringCase(line, blockEnd) && caret.Char - 1 >= len - 1;
  if (!typedEnd && !lineEnds) return std::nullopt;
  if (oneChar ? !TrimBoth(line).empty() : !EqualIgnoringCase(TrimBoth(line), blockEnd)) return std::nullopt;

  int match = 0;
  for (int l = caret.Line - 1, depth = 0; l >= 1 && match == 0; --l) {
    const std::string_view t = textops::trimRight(editor.line(l));
    if (t.empty()) continue;
    if (EndsWithIgnoringCase(t, ctx.blockBegStr)) {
      if (depth == 0) match = l;
      else --depth;
    } else if (EndsWithIgnoringCase(oneChar ? t : StripForeignTail(t, blockEnd), blockEnd)) {
      ++depth;
    }
  }
  if (match == 0) return std::nullopt;
  const std::string_view opener = editor.line(match);
  const std::size_t ws = std::min(opener.find_first_not_of(" \t"), opener.size());
  const int width = static_cast<int>(ExpandTabs(opener.substr(0, ws), ctx.tabWidth).size());

  LineRewrite r;
  r.line = caret.Line;
  r.text.assign(static_cast<std::size_t>(width), ' ');
  if (oneChar) {
    if (!IndentWithBlanks(editor, ctx)) r.text = CompressSpaces(r.text, ctx.tabWidth);
  } else {
    r.text += TrimBoth(line);
  }
  r.caretColumn = static_cast<int>(r.text.size()) + 1;
  if (r.text == line && caret.Char == r.caretColumn) return std::nullopt;
  return r;
}

bool BlockEndUnindent(Editor& editor, char typed, const EditingContext& ctx) {
  const auto plan = PlanBlockEndUnindent(editor, typed, ctx);
  if (!plan) return false;
  editor.beginUndoBlock();
  ReplaceLine(editor, plan->line, plan->text);
  editor.setCaretXY({plan->caretColumn, plan->line});
  editor.endUndoBlock();
  return true;
}

bool WrapAtRightMargin(Editor& editor, const EditingContext& ctx) {
  if (!ctx.showRightMargin || ctx.locked || editor.readOnly()) return false;
  const BufferCoord caret = editor.caretXY();
  if (caret.Char <= ctx.rightEdge) return false;
  const std::string_view s = editor.line(caret.Line);
  int p = std::min(caret.Char - 1, static_cast<int>(s.size())) - 1;  // 0-based, before the caret
  while (p >= 0 && !IsWordDelimiter(s[static_cast<std::size_t>(p)])) --p;
  if (p < 0) return false;
  const int distance = (caret.Char - 1) - (p + 1);
  editor.setCaretXY({p + 2, caret.Line});
  editor.executeCommand(ecLineBreak);
  const BufferCoord now = editor.caretXY();
  editor.setCaretXY({now.Char + distance, now.Line});
  return true;
}

}  // namespace qv
