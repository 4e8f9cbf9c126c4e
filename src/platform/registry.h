// Registry-style accessor over the settings tree: open a key by path, then read and write its values.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_tree.h"

namespace qv {

// Opens keys by absolute path below the user hive ("\Software\Quirvane\Quirvane\Global", with or
// without a trailing separator; '/' accepted too) or relative to the open key. Reads of a missing
// value, or of a value of another type, give nothing. Writes need an open, writable key.
class Registry {
 public:
  Registry();                               // the program-wide tree (UserSettings())
  explicit Registry(SettingsTree& tree);
  virtual ~Registry() = default;

  SettingsTree& tree() const { return *tree_; }

  // False when the path does not lie below the program's root key, or (canCreate false) when
  // the key does not exist.
  bool OpenKey(std::string_view path, bool canCreate);
  bool OpenKeyReadOnly(std::string_view path);
  void CloseKey();
  bool HasCurrentKey() const { return current_.has_value(); }
  // Path of the open key relative to the root key ("" for the root itself).
  const std::string& CurrentPath() const;

  // Path arguments below resolve like OpenKey's.
  bool KeyExists(std::string_view path) const;
  Status DeleteKey(std::string_view path);

  bool ValueExists(std::string_view name) const;
  std::optional<ValueType> GetDataType(std::string_view name) const;
  std::vector<std::string> GetValueNames() const;
  std::vector<std::string> GetKeyNames() const;
  Status DeleteValue(std::string_view name);

  std::optional<std::string> ReadString(std::string_view name) const;
  std::optional<std::int32_t> ReadInteger(std::string_view name) const;
  std::optional<bool> ReadBool(std::string_view name) const;  // any non-zero integer is true
  std::optional<std::vector<std::uint8_t>> ReadBinaryData(std::string_view name) const;
  std::optional<double> ReadFloat(std::string_view name) const;  // 8 bytes, little-endian

  Status WriteString(std::string_view name, std::string_view text);
  Status WriteInteger(std::string_view name, std::int32_t value);
  Status WriteBool(std::string_view name, bool value);  // 0 or 1
  Status WriteBinaryData(std::string_view name, std::vector<std::uint8_t> bytes);
  Status WriteFloat(std::string_view name, double value);

  // Tree path for a key path as OpenKey resolves it; nothing when outside the root.
  std::optional<std::string> ResolveKeyPath(std::string_view path) const;

 private:
  std::optional<SettingsValue> read(std::string_view name) const;
  Status write(std::string_view name, const SettingsValue& value);

  SettingsTree* tree_;
  std::optional<std::string> current_;  // open key, as a tree path
  bool readOnly_ = false;
};

}  // namespace qv
