// The keystroke table: a key with modifiers names an editor command.
#pragma once
#include <cstdint>
#include <optional>
#include <vector>

#include "editor/editor_commands.h"

namespace qv {

// Key codes are the Windows virtual-key numbers, which macro files and settings store.
namespace vk {
inline constexpr std::uint16_t Back = 8, Tab = 9, Return = 13, Escape = 27, Space = 32, Prior = 33,
                               Next = 34, End = 35, Home = 36, Left = 37, Up = 38, Right = 39,
                               Down = 40, Insert = 45, Delete = 46, F1 = 112;
constexpr std::uint16_t letter(char c) { return static_cast<std::uint16_t>(c); }  // 'A'..'Z'
constexpr std::uint16_t digit(int d) { return static_cast<std::uint16_t>('0' + d); }
constexpr std::uint16_t function(int n) { return static_cast<std::uint16_t>(F1 + n - 1); }
}  // namespace vk

// Modifier bits as the platform's shift state stores them.
enum ShiftState : std::uint8_t { ssNone = 0, ssShift = 1, ssAlt = 2, ssCtrl = 4 };

struct KeyStroke {
  std::uint16_t key = 0;
  std::uint8_t shift = ssNone;
  EditorCommand command = ecNone;
};

class KeyStrokes {
 public:
  // The usual bindings of a Windows editor control.
  static KeyStrokes defaults();

  std::optional<EditorCommand> find(std::uint16_t key, std::uint8_t shift) const;
  std::optional<KeyStroke> findCommand(EditorCommand command) const;  // first binding
  // Binds the key; false (and no change) when the key is already bound.
  bool add(EditorCommand command, std::uint16_t key, std::uint8_t shift);
  // Removes the binding of the key; false when it had none.
  bool remove(std::uint16_t key, std::uint8_t shift);
  const std::vector<KeyStroke>& items() const { return items_; }
  void clear() { items_.clear(); }

 private:
  std::vector<KeyStroke> items_;
};

}  // namespace qv
