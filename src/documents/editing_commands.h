// The program's own editor commands (1001-1024), their names and keys, and the typing aids
// that run around the editor control's own command processing.
#pragma once
#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "editor/clipboard.h"
#include "editor/editor.h"
#include "editor/keystrokes.h"
#include "platform/prompter.h"

namespace qv {

struct THighLighter;
struct TEditorCfg;

inline constexpr EditorCommand ecLoCase = 1001, ecUpCase = 1002, ecToggleCaseCmd = 1003,
                               ecGoToLine = 1004, ecReformatParagraph = 1005,
                               ecToggleSelectionMode = 1006, ecFind = 1007, ecFindNext = 1008,
                               ecFindPrevious = 1009, ecSortBlock = 1010, ecFillBlock = 1011,
                               ecRemoveTrailingSpaces = 1012, ecToggleWordwrap = 1013,
                               ecToggleCommentBlock = 1014, ecSelTextInBraces = 1015,
                               ecInsertTimeStamp = 1016, ecCopyFilenameToClipboard = 1017,
                               ecParagraphBegin = 1018, ecParagraphEnd = 1019,
                               ecSelParagraphBegin = 1020, ecSelParagraphEnd = 1021,
                               ecConvertSpacesToTabs = 1022, ecConvertTabsToSpaces = 1023,
                               ecRemoveComments = 1024;

// The names macro files store, in number order (1001 first).
inline constexpr std::array<std::string_view, 24> kProgramCommandNames = {
    "ecLoCase",          "ecUpCase",           "ecToggleCase",           "ecGoToLine",
    "ecReformatParagraph", "ecToggleSelectionMode", "ecFind",             "ecFindNext",
    "ecFindPrevious",    "ecSortBlock",        "ecFillBlock",            "ecRemoveTrailingSpaces",
    "ecToggleWordwrap",  "ecToggleCommentBlock", "ecSelTextInBraces",    "ecInsertTimeStamp",
    "ecCopyFilenameToClipboard", "ecParagraphBegin", "ecParagraphEnd",   "ecSelParagraphBegin",
    "ecSelParagraphEnd", "ecConvertSpacesToTabs", "ecConvertTabsToSpaces", "ecRemoveComments",
};
inline constexpr EditorCommand kProgramCommandFirst = 1001;
inline constexpr EditorCommand kProgramCommandLast = 1024;

std::optional<std::string_view> ProgramCommandName(EditorCommand command);
// Names compared without regard to case.
std::optional<EditorCommand> ProgramCommandFromName(std::string_view name);

// Removes the stock bindings a document does not want, adds Ctrl+M (match bracket), Ctrl+J
// (template completion) and the keys of the program's own commands.
void ApplyProgramKeyBindings(KeyStrokes& keys);

// What a command remembers between uses in one run (owned by the main window).
struct EditingMemory {
  int lastGoToLine = 1;
};

// Everything the commands need besides the editor: the highlighter entry's strings, the
// settings and the document's state.
struct EditingContext {
  // Blank-separated lists; the first item is used.
  std::string commentBeg, commentEnd, lineComment;
  std::string blockBegStr, blockEndStr;
  bool blockAutoindent = false;
  bool hasHighlighter = false;
  int rightEdge = 80;
  int tabWidth = 8;
  int cBlockIndent = 2;
  int tabsMode = 1;  // 0 hard tabs
  bool showRightMargin = false;
  bool locked = false;
  bool newFile = false;
  std::string fileName;
  Prompter* prompter = nullptr;          // nullptr: the program-wide prompter
  EditorClipboard* clipboard = nullptr;  // where Copy Filename puts the name
  EditingMemory* memory = nullptr;
  std::function<std::string()> timeStamp;  // empty: local short date and long time
};

// The context for a document with the given highlighter entry (nullptr: none) and settings.
EditingContext MakeEditingContext(const THighLighter* entry, const TEditorCfg& cfg,
                                  bool showRightMargin);

// What running a command gave. Unknown commands (Find and friends) are left to the caller.
struct CommandOutcome {
  bool handled = false;
  bool record = true;  // false when the user cancelled a question
  std::string data;    // recorded with the command (the fill text)
};

// Runs a program command by number. Commands that take data read it from data.text and ask
// through the prompter only when it is empty. Every change is one undo step.
CommandOutcome ExecuteEditingCommand(Editor& editor, EditorCommand command,
                                     const CommandData& data, const EditingContext& ctx);

// Individual commands, for menus and tests.
void GoToLine(Editor& editor, const EditingContext& ctx);
void ToggleSelectionMode(Editor& editor);
void SelectTextBetweenBrackets(Editor& editor);
bool IsBracket(char c);
void InsertTimeStamp(Editor& editor, const EditingContext& ctx);
// width: from a caller; nullopt asks. False when nothing changed or the user cancelled.
bool ConvertTabs(Editor& editor, bool toSpaces, std::optional<int> width, const EditingContext& ctx);
// The local date and time in the locale's short date and long time form.
std::string LocalTimeStampText();

// Typing aids around one editor's command processing: block auto-indent, block-end unindent
// and the wrap at the right margin. before() runs ahead of the control, after() behind it.
class TypingAids {
 public:
  void before(Editor& editor, EditorCommand command, char ch, const EditingContext& ctx);
  void after(Editor& editor, EditorCommand command, char ch, const EditingContext& ctx);

 private:
  int groupDepth_ = 0;  // undo blocks opened in before() and closed in after()
};

// Puts the commands and the typing aids on an editor: key bindings, the user-command handler
// and the aids chained with handlers already installed. `context` is asked on every command;
// `other` gets the program commands this layer does not run (Find, Find Next, Find Previous).
void AttachEditingCommands(Editor& editor, std::function<EditingContext()> context,
                           std::function<void(EditorCommand, CommandData&)> other = {});

}  // namespace qv
