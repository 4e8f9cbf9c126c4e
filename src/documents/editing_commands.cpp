// The program's own editor commands, their keys, and the typing aids around the control.
#include "documents/editing_commands.h"

#include <charconv>
#include <ctime>
#include <memory>
#include <vector>

#include "config/editor_cfg.h"
#include "config/hourglass.h"
#include "config/translation.h"
#include "documents/block_indent.h"
#include "documents/fill_block.h"
#include "documents/reformat.h"
#include "documents/sort_lines.h"
#include "documents/toggle_comment.h"
#include "highlight/highlighter_table.h"

namespace qv {

namespace {

Prompter& PrompterOf(const EditingContext& ctx) { return ctx.prompter ? *ctx.prompter : UserPrompter(); }

bool Unlocked(const Editor& editor, const EditingContext& ctx) { return !ctx.locked && !editor.readOnly(); }

// A whole number with optional blanks around it; nothing for anything else.
std::optional<int> ParseInteger(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  int value = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

void CenterCaretLine(Editor& editor) {
  editor.setTopLine(std::max(1, editor.caretXY().Line - editor.linesInWindow() / 2));
}

struct Binding {
  EditorCommand command;
  std::uint16_t key;
  std::uint8_t shift;
};

constexpr std::uint8_t kCtrlShift = ssCtrl | ssShift;

constexpr Binding kProgramBindings[] = {
    {ecLoCase, vk::function(5), ssCtrl},
    {ecUpCase, vk::function(5), ssAlt},
    {ecToggleCaseCmd, vk::function(5), ssNone},
    {ecGoToLine, vk::letter('G'), ssCtrl},
    {ecReformatParagraph, vk::letter('B'), ssCtrl},
    {ecToggleSelectionMode, vk::letter('L'), ssCtrl},
    {ecFind, vk::letter('F'), ssCtrl},
    {ecFindNext, vk::function(3), ssNone},
    {ecFindPrevious, vk::function(3), ssShift},
    {ecSortBlock, vk::function(2), ssShift},
    {ecFillBlock, vk::letter('I'), ssCtrl},
    {ecToggleCommentBlock, vk::letter('C'), kCtrlShift},
    {ecSelTextInBraces, vk::letter('M'), kCtrlShift},
    {ecInsertTimeStamp, vk::letter('T'), kCtrlShift},
    {ecMatchBracket, vk::letter('M'), ssCtrl},
    {ecAutoCompletion, vk::letter('J'), ssCtrl},
};

struct Key {
  std::uint16_t key;
  std::uint8_t shift;
};

constexpr Key kRemovedKeys[] = {
    {vk::Back, ssShift},          {vk::Return, ssShift},        {vk::letter('M'), ssCtrl},
    {vk::F1, ssNone},             {vk::letter('N'), ssCtrl},    {vk::letter('N'), kCtrlShift},
    {vk::letter('C'), kCtrlShift}, {vk::letter('L'), kCtrlShift}, {vk::letter('B'), kCtrlShift},
};

}  // namespace

std::optional<std::string_view> ProgramCommandName(EditorCommand command) {
  if (command < kProgramCommandFirst || command > kProgramCommandLast) return std::nullopt;
  return kProgramCommandNames[static_cast<std::size_t>(command - kProgramCommandFirst)];
}

std::optional<EditorCommand> ProgramCommandFromName(std::string_view name) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < kProgramCommandNames.size(); ++i) {
    std::string_view n = kProgramCommandNames[i];
    if (n.size() == name.size() &&
        std::equal(n.begin(), n.end(), name.begin(), [&](char a, char b) { return lower(a) == lower(b); }))
      return kProgramCommandFirst + static_cast<EditorCommand>(i);
  }
  return std::nullopt;
}

void ApplyProgramKeyBindings(KeyStrokes& keys) {
  for (const Key& k : kRemovedKeys) keys.remove(k.key, k.shift);
  for (const Binding& b : kProgramBindings) {
    keys.remove(b.key, b.shift);
    keys.add(b.command, b.key, b.shift);
  }
}

EditingContext MakeEditingContext(const THighLighter* entry, const TEditorCfg& cfg, bool showRightMargin) {
  EditingContext ctx;
  if (entry) {
    ctx.hasHighlighter = true;
    ctx.commentBeg = entry->blockCommentBeg;
    ctx.commentEnd = entry->blockCommentEnd;
    ctx.lineComment = entry->lineComment;
    ctx.blockBegStr = entry->blockBegStr;
    ctx.blockEndStr = entry->blockEndStr;
    ctx.blockAutoindent = entry->blockAutoindent;
  }
  ctx.rightEdge = cfg.RightEdge;
  ctx.tabWidth = std::max(1, cfg.TabWidth);
  ctx.cBlockIndent = cfg.CBlockIndent;
  ctx.tabsMode = cfg.TabsMode;
  ctx.showRightMargin = showRightMargin;
  return ctx;
}

void GoToLine(Editor& editor, const EditingContext& ctx) {
  int last = ctx.memory ? ctx.memory->lastGoToLine : 1;
  auto answer = PrompterOf(ctx).input(TranslatedText(3020, "Go to"), TranslatedText(3021, "Go to line:"),
                                      std::to_string(last));
  if (!answer) return;
  auto n = ParseInteger(*answer);
  if (!n) return;
  if (ctx.memory) ctx.memory->lastGoToLine = *n;
  const int line = std::clamp(*n, 1, editor.lineCount());
  editor.setCaretXY({editor.caretXY().Char, line});
  CenterCaretLine(editor);
}

void ToggleSelectionMode(Editor& editor) {
  editor.setSelectionMode(editor.selectionMode() == SelectionMode::Normal ? SelectionMode::Column
                                                                          : SelectionMode::Normal);
}

bool IsBracket(char c) { return std::string_view("()<>[]{}").find(c) != std::string_view::npos; }

void SelectTextBetweenBrackets(Editor& editor) {
  if (!IsBracket(editor.charAtCaret())) return;
  const BufferCoord before = editor.caretXY();
  editor.executeCommand(ecMatchBracket);
  const BufferCoord after = editor.caretXY();
  if (before < after) editor.setSelection({before.Char + 1, before.Line}, after);
  else if (after < before) editor.setSelection({after.Char + 1, after.Line}, before);
}

std::string LocalTimeStampText() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char buf[128];
  const std::size_t n = std::strftime(buf, sizeof buf, "%x %X", &tm);
  return std::string(buf, n);
}

void InsertTimeStamp(Editor& editor, const EditingContext& ctx) {
  if (!Unlocked(editor, ctx)) return;
  editor.setSelText(ctx.timeStamp ? ctx.timeStamp() : LocalTimeStampText());
}

bool ConvertTabs(Editor& editor, bool toSpaces, std::optional<int> width, const EditingContext& ctx) {
  if (!Unlocked(editor, ctx)) return false;
  if (!width) {
    auto answer = PrompterOf(ctx).input(TranslatedText(1020, "Tab Conversion"), TranslatedText(1021, "Tab width:"),
                                        std::to_string(ctx.tabWidth));
    if (!answer) return false;
    width = ParseInteger(*answer);
  }
  // Widths no editor can use count as the configured one.
  const int w = width && *width >= 1 && *width <= 256 ? *width : ctx.tabWidth;
  return editor.convertTabsAndSpaces(toSpaces, w);
}

CommandOutcome ExecuteEditingCommand(Editor& editor, EditorCommand command, const CommandData& data,
                                     const EditingContext& ctx) {
  CommandOutcome out;
  out.handled = true;
  switch (command) {
    case ecGoToLine: GoToLine(editor, ctx); break;
    case ecReformatParagraph: ReformatParagraph(editor, ctx); break;
    case ecToggleSelectionMode: ToggleSelectionMode(editor); break;
    case ecSortBlock: SortLines(editor, ctx); break;
    case ecFillBlock: {
      if (editor.selectionMode() != SelectionMode::Column || !editor.selAvail() || !Unlocked(editor, ctx)) {
        out.record = false;
        break;
      }
      std::optional<std::string> fill = data.text.empty() ? AskFillText(ctx) : std::optional(data.text);
      if (!fill) {
        out.record = false;
        break;
      }
      FillBlock(editor, *fill, ctx);
      out.data = fill->substr(0, kMaxRecordedFillText);
      break;
    }
    case ecRemoveTrailingSpaces:
      if (Unlocked(editor, ctx)) editor.removeTrailingBlanks();
      break;
    case ecToggleCommentBlock: ToggleComment(editor, ctx); break;
    case ecSelTextInBraces: SelectTextBetweenBrackets(editor); break;
    case ecInsertTimeStamp: InsertTimeStamp(editor, ctx); break;
    case ecCopyFilenameToClipboard:
      if (!ctx.newFile && ctx.clipboard) ctx.clipboard->set({ctx.fileName, std::nullopt});
      break;
    case ecConvertSpacesToTabs:
    case ecConvertTabsToSpaces: {
      std::optional<int> width;
      if (!data.text.empty()) width = ParseInteger(data.text).value_or(ctx.tabWidth);
      ConvertTabs(editor, command == ecConvertTabsToSpaces, width, ctx);
      break;
    }
    case ecRemoveComments:
      if (Unlocked(editor, ctx) && editor.highlighter()) {
        HourglassScope hourglass;
        editor.removeComments();
      }
      break;
    case ecLoCase:
    case ecUpCase:
    case ecToggleCaseCmd:
    case ecToggleWordwrap:
    case ecParagraphBegin:
    case ecParagraphEnd:
    case ecSelParagraphBegin:
    case ecSelParagraphEnd:
      break;  // accepted and recorded; the main window's commands do this work
    default: out.handled = false; break;
  }
  return out;
}

void TypingAids::before(Editor& editor, EditorCommand command, char ch, const EditingContext& ctx) {
  const bool letter = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
  if (!BlockIndentApplies(ctx) || !Unlocked(editor, ctx)) return;
  const bool lineBreak = command == ecLineBreak;
  if (!lineBreak && (command != ecChar || letter)) return;
  // Only a break or an aid that acts opens a group, so plain typing keeps undoing as before.
  if (!lineBreak && !PlanBlockEndUnindent(editor, ch, ctx)) return;
  // The aid's change, the key's own edit and the indentation after a break undo together.
  editor.beginUndoBlock();
  ++groupDepth_;
  BlockEndUnindent(editor, lineBreak ? char(0) : ch, ctx);
}

void TypingAids::after(Editor& editor, EditorCommand command, char ch, const EditingContext& ctx) {
  if (command == ecLineBreak) BlockAutoIndent(editor, ctx);
  if (groupDepth_ > 0) {
    --groupDepth_;
    editor.endUndoBlock();
  }
  if (command == ecChar && ch != ' ') WrapAtRightMargin(editor, ctx);
}

void AttachEditingCommands(Editor& editor, std::function<EditingContext()> context,
                           std::function<void(EditorCommand, CommandData&)> other) {
  ApplyProgramKeyBindings(editor.keystrokes());
  auto aids = std::make_shared<TypingAids>();
  auto ctxFn = std::make_shared<std::function<EditingContext()>>(std::move(context));
  auto current = [ctxFn] { return *ctxFn ? (*ctxFn)() : EditingContext{}; };

  auto prevUser = editor.onProcessUserCommand;
  editor.onProcessUserCommand = [&editor, prevUser, current, other](EditorCommand& c, char& ch, CommandData& d) {
    if (prevUser) prevUser(c, ch, d);
    if (c < kProgramCommandFirst || c > kProgramCommandLast) return;
    const CommandOutcome r = ExecuteEditingCommand(editor, c, d, current());
    if (!r.handled && other) other(c, d);
    if (!r.record) c = ecNone;  // a cancelled question is not recorded
    else if (!r.data.empty()) d.text = r.data;
  };
  auto prevBefore = editor.onProcessCommand;
  editor.onProcessCommand = [&editor, prevBefore, aids, current](EditorCommand& c, char& ch, CommandData& d) {
    if (prevBefore) prevBefore(c, ch, d);
    if (c == ecLineBreak || c == ecChar) aids->before(editor, c, ch, current());
  };
  auto prevAfter = editor.onCommandProcessed;
  editor.onCommandProcessed = [&editor, prevAfter, aids, current](EditorCommand c, char ch, const CommandData& d) {
    if (c == ecLineBreak || c == ecChar) aids->after(editor, c, ch, current());
    if (prevAfter) prevAfter(c, ch, d);
  };
}

}  // namespace qv
