// The keystroke table and its default bindings.
#include "editor/keystrokes.h"

#include <algorithm>

namespace qv {

KeyStrokes KeyStrokes::defaults() {
  KeyStrokes k;
  auto both = [&](EditorCommand c, std::uint16_t key, std::uint8_t shift) {
    k.add(c, key, shift);
    k.add(c + ecSelection, key, static_cast<std::uint8_t>(shift | ssShift));
  };
  both(ecUp, vk::Up, ssNone);
  both(ecDown, vk::Down, ssNone);
  both(ecLeft, vk::Left, ssNone);
  both(ecRight, vk::Right, ssNone);
  both(ecWordLeft, vk::Left, ssCtrl);
  both(ecWordRight, vk::Right, ssCtrl);
  both(ecPageUp, vk::Prior, ssNone);
  both(ecPageDown, vk::Next, ssNone);
  both(ecPageTop, vk::Prior, ssCtrl);
  both(ecPageBottom, vk::Next, ssCtrl);
  both(ecLineStart, vk::Home, ssNone);
  both(ecLineEnd, vk::End, ssNone);
  both(ecEditorTop, vk::Home, ssCtrl);
  both(ecEditorBottom, vk::End, ssCtrl);
  k.add(ecScrollUp, vk::Up, ssCtrl);
  k.add(ecScrollDown, vk::Down, ssCtrl);
  k.add(ecToggleMode, vk::Insert, ssNone);
  k.add(ecCopy, vk::Insert, ssCtrl);
  k.add(ecCut, vk::Delete, ssShift);
  k.add(ecPaste, vk::Insert, ssShift);
  k.add(ecDeleteChar, vk::Delete, ssNone);
  k.add(ecDeleteLastChar, vk::Back, ssNone);
  k.add(ecDeleteLastChar, vk::Back, ssShift);
  k.add(ecDeleteLastWord, vk::Back, ssCtrl);
  k.add(ecUndo, vk::Back, ssAlt);
  k.add(ecRedo, vk::Back, ssAlt | ssShift);
  k.add(ecLineBreak, vk::Return, ssNone);
  k.add(ecLineBreak, vk::Return, ssShift);
  k.add(ecTab, vk::Tab, ssNone);
  k.add(ecShiftTab, vk::Tab, ssShift);
  k.add(ecContextHelp, vk::F1, ssNone);
  k.add(ecSelectAll, vk::letter('A'), ssCtrl);
  k.add(ecCopy, vk::letter('C'), ssCtrl);
  k.add(ecPaste, vk::letter('V'), ssCtrl);
  k.add(ecCut, vk::letter('X'), ssCtrl);
  k.add(ecBlockIndent, vk::letter('I'), ssCtrl | ssShift);
  k.add(ecBlockUnindent, vk::letter('U'), ssCtrl | ssShift);
  k.add(ecLineBreak, vk::letter('M'), ssCtrl);
  k.add(ecInsertLine, vk::letter('N'), ssCtrl);
  k.add(ecDeleteWord, vk::letter('T'), ssCtrl);
  k.add(ecDeleteLine, vk::letter('Y'), ssCtrl);
  k.add(ecDeleteEOL, vk::letter('Y'), ssCtrl | ssShift);
  k.add(ecUndo, vk::letter('Z'), ssCtrl);
  k.add(ecRedo, vk::letter('Z'), ssCtrl | ssShift);
  for (int d = 0; d <= 9; ++d) {
    k.add(ecGotoMarker0 + d, vk::digit(d), ssCtrl);
    k.add(ecSetMarker0 + d, vk::digit(d), ssCtrl | ssShift);
  }
  k.add(ecNormalSelect, vk::letter('N'), ssCtrl | ssShift);
  k.add(ecColumnSelect, vk::letter('C'), ssCtrl | ssShift);
  k.add(ecLineSelect, vk::letter('L'), ssCtrl | ssShift);
  k.add(ecMatchBracket, vk::letter('B'), ssCtrl | ssShift);
  return k;
}

std::optional<EditorCommand> KeyStrokes::find(std::uint16_t key, std::uint8_t shift) const {
  for (const auto& s : items_)
    if (s.key == key && s.shift == shift) return s.command;
  return std::nullopt;
}

std::optional<KeyStroke> KeyStrokes::findCommand(EditorCommand command) const {
  for (const auto& s : items_)
    if (s.command == command) return s;
  return std::nullopt;
}

bool KeyStrokes::add(EditorCommand command, std::uint16_t key, std::uint8_t shift) {
  if (find(key, shift)) return false;
  items_.push_back({key, shift, command});
  return true;
}

bool KeyStrokes::remove(std::uint16_t key, std::uint8_t shift) {
  auto it = std::find_if(items_.begin(), items_.end(),
                         [&](const KeyStroke& s) { return s.key == key && s.shift == shift; });
  if (it == items_.end()) return false;
  items_.erase(it);
  return true;
}

}  // namespace qv
