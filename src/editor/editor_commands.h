// Editor command numbers and their names: shared by keystrokes, menus, macros and plug-ins.
#pragma once
#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace qv {

using EditorCommand = int;

inline constexpr EditorCommand ecNone = 0;
inline constexpr EditorCommand ecLeft = 1, ecRight = 2, ecUp = 3, ecDown = 4, ecWordLeft = 5,
                               ecWordRight = 6, ecLineStart = 7, ecLineEnd = 8, ecPageUp = 9,
                               ecPageDown = 10, ecPageLeft = 11, ecPageRight = 12, ecPageTop = 13,
                               ecPageBottom = 14, ecEditorTop = 15, ecEditorBottom = 16, ecGotoXY = 17;
// A selecting form is its moving form plus this offset.
inline constexpr EditorCommand ecSelection = 100;
inline constexpr EditorCommand ecSelLeft = 101, ecSelRight = 102, ecSelUp = 103, ecSelDown = 104,
                               ecSelWordLeft = 105, ecSelWordRight = 106, ecSelLineStart = 107,
                               ecSelLineEnd = 108, ecSelPageUp = 109, ecSelPageDown = 110,
                               ecSelPageLeft = 111, ecSelPageRight = 112, ecSelPageTop = 113,
                               ecSelPageBottom = 114, ecSelEditorTop = 115, ecSelEditorBottom = 116,
                               ecSelGotoXY = 117;
inline constexpr EditorCommand ecSelWord = 198, ecSelectAll = 199, ecCopy = 201;
inline constexpr EditorCommand ecScrollUp = 211, ecScrollDown = 212, ecScrollLeft = 213, ecScrollRight = 214;
inline constexpr EditorCommand ecInsertMode = 221, ecOverwriteMode = 222, ecToggleMode = 223;
inline constexpr EditorCommand ecNormalSelect = 231, ecColumnSelect = 232, ecLineSelect = 233;
inline constexpr EditorCommand ecMatchBracket = 250, ecCommentBlock = 251;
inline constexpr EditorCommand ecGotoMarker0 = 301, ecGotoMarker9 = 310;
inline constexpr EditorCommand ecSetMarker0 = 351, ecSetMarker9 = 360;
inline constexpr EditorCommand ecContextHelp = 490;
inline constexpr EditorCommand ecDeleteLastChar = 501, ecDeleteChar = 502, ecDeleteWord = 503,
                               ecDeleteLastWord = 504, ecDeleteBOL = 505, ecDeleteEOL = 506,
                               ecDeleteLine = 507, ecClearAll = 508, ecLineBreak = 509,
                               ecInsertLine = 510, ecChar = 511, ecImeStr = 550;
inline constexpr EditorCommand ecUndo = 601, ecRedo = 602, ecCut = 603, ecPaste = 604;
inline constexpr EditorCommand ecBlockIndent = 610, ecBlockUnindent = 611, ecTab = 612, ecShiftTab = 613;
inline constexpr EditorCommand ecUpperCase = 620, ecLowerCase = 621, ecToggleCase = 622, ecTitleCase = 623,
                               ecUpperCaseBlock = 625, ecLowerCaseBlock = 626, ecToggleCaseBlock = 627;
inline constexpr EditorCommand ecString = 630, ecAutoCompletion = 650;
inline constexpr EditorCommand ecUserFirst = 1001;
inline constexpr EditorCommand ecCollapse = 1101, ecUncollapse = 1102, ecCollapseLevel = 1103,
                               ecUncollapseLevel = 1104, ecCollapseAll = 1105, ecUncollapseAll = 1106,
                               ecCollapseCurrent = 1110;

// Folding commands share the user range's numbers but belong to the control.
constexpr bool isFoldingCommand(EditorCommand c) {
  return (c >= ecCollapse && c <= ecUncollapseAll) || c == ecCollapseCurrent;
}
constexpr bool isUserCommand(EditorCommand c) { return c >= ecUserFirst && !isFoldingCommand(c); }

// The control's command names, in table order (the macro file looks names up in this order).
inline constexpr std::array<std::pair<std::string_view, EditorCommand>, 108> kEditorCommandNames = {{
    {"ecNone", 0}, {"ecLeft", 1}, {"ecRight", 2}, {"ecUp", 3}, {"ecDown", 4}, {"ecWordLeft", 5},
    {"ecWordRight", 6}, {"ecLineStart", 7}, {"ecLineEnd", 8}, {"ecPageUp", 9}, {"ecPageDown", 10},
    {"ecPageLeft", 11}, {"ecPageRight", 12}, {"ecPageTop", 13}, {"ecPageBottom", 14},
    {"ecEditorTop", 15}, {"ecEditorBottom", 16}, {"ecGotoXY", 17}, {"ecSelLeft", 101},
    {"ecSelRight", 102}, {"ecSelUp", 103}, {"ecSelDown", 104}, {"ecSelWordLeft", 105},
    {"ecSelWordRight", 106}, {"ecSelLineStart", 107}, {"ecSelLineEnd", 108}, {"ecSelPageUp", 109},
    {"ecSelPageDown", 110}, {"ecSelPageLeft", 111}, {"ecSelPageRight", 112}, {"ecSelPageTop", 113},
    {"ecSelPageBottom", 114}, {"ecSelEditorTop", 115}, {"ecSelEditorBottom", 116},
    {"ecSelGotoXY", 117}, {"ecSelWord", 198}, {"ecSelectAll", 199}, {"ecDeleteLastChar", 501},
    {"ecDeleteChar", 502}, {"ecDeleteWord", 503}, {"ecDeleteLastWord", 504}, {"ecDeleteBOL", 505},
    {"ecDeleteEOL", 506}, {"ecDeleteLine", 507}, {"ecClearAll", 508}, {"ecLineBreak", 509},
    {"ecInsertLine", 510}, {"ecChar", 511}, {"ecImeStr", 550}, {"ecUndo", 601}, {"ecRedo", 602},
    {"ecCut", 603}, {"ecCopy", 201}, {"ecPaste", 604}, {"ecScrollUp", 211}, {"ecScrollDown", 212},
    {"ecScrollLeft", 213}, {"ecScrollRight", 214}, {"ecInsertMode", 221}, {"ecOverwriteMode", 222},
    {"ecToggleMode", 223}, {"ecBlockIndent", 610}, {"ecBlockUnindent", 611}, {"ecTab", 612},
    {"ecShiftTab", 613}, {"ecMatchBracket", 250}, {"ecCommentBlock", 251}, {"ecNormalSelect", 231},
    {"ecColumnSelect", 232}, {"ecLineSelect", 233}, {"ecAutoCompletion", 650}, {"ecUserFirst", 1001},
    {"ecContextHelp", 490}, {"ecGotoMarker0", 301}, {"ecGotoMarker1", 302}, {"ecGotoMarker2", 303},
    {"ecGotoMarker3", 304}, {"ecGotoMarker4", 305}, {"ecGotoMarker5", 306}, {"ecGotoMarker6", 307},
    {"ecGotoMarker7", 308}, {"ecGotoMarker8", 309}, {"ecGotoMarker9", 310}, {"ecSetMarker0", 351},
    {"ecSetMarker1", 352}, {"ecSetMarker2", 353}, {"ecSetMarker3", 354}, {"ecSetMarker4", 355},
    {"ecSetMarker5", 356}, {"ecSetMarker6", 357}, {"ecSetMarker7", 358}, {"ecSetMarker8", 359},
    {"ecSetMarker9", 360}, {"ecUpperCase", 620}, {"ecLowerCase", 621}, {"ecToggleCase", 622},
    {"ecTitleCase", 623}, {"ecUpperCaseBlock", 625}, {"ecLowerCaseBlock", 626},
    {"ecToggleCaseBlock", 627}, {"ecString", 630}, {"ecCollapse", 1101}, {"ecUncollapse", 1102},
    {"ecCollapseLevel", 1103}, {"ecUncollapseLevel", 1104}, {"ecCollapseAll", 1105},
    {"ecUncollapseAll", 1106}, {"ecCollapseCurrent", 1110},
}};

// First name of a command in the control's table.
constexpr std::optional<std::string_view> editorCommandName(EditorCommand c) {
  for (const auto& [name, number] : kEditorCommandNames)
    if (number == c) return name;
  return std::nullopt;
}

// First command of that name in the control's table, names compared without regard to case.
constexpr std::optional<EditorCommand> editorCommandFromName(std::string_view name) {
  auto lower = [](char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : ch; };
  for (const auto& [n, number] : kEditorCommandNames) {
    if (n.size() != name.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < n.size() && same; ++i) same = lower(n[i]) == lower(name[i]);
    if (same) return number;
  }
  return std::nullopt;
}

}  // namespace qv
