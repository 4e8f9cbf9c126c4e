// The per-user settings tree: keys holding named string, integer and binary values.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Outcome of a write: empty error means it worked.
struct Status {
  std::string error;
  bool ok() const { return error.empty(); }
  explicit operator bool() const { return ok(); }
  static Status Failure(std::string message) { return Status{std::move(message)}; }
};

enum class ValueType { String = 1, Integer = 4, Binary = 3 };

// One stored value. Only the member matching `type` is meaningful.
struct SettingsValue {
  ValueType type = ValueType::String;
  std::string text;
  std::int32_t integer = 0;
  std::vector<std::uint8_t> bytes;

  static SettingsValue String(std::string text);
  static SettingsValue Integer(std::int32_t value);
  static SettingsValue Binary(std::vector<std::uint8_t> bytes);
  bool operator==(const SettingsValue&) const = default;
};

// One step of a batch applied atomically by SettingsTree::apply.
struct SettingsChange {
  enum class Kind { CreateKey, SetValue, DeleteValue, DeleteKey };
  Kind kind = Kind::CreateKey;
  std::string key;   // relative key path, see below
  std::string name;  // value name (SetValue, DeleteValue)
  SettingsValue value;
};

// The tree below the program's root key. Key paths handed to a tree are relative to that root,
// components separated by '\' ("" is the root itself, "HighLighters\hlCpp" a subkey).
// Key and value names compare without regard to ASCII case and keep the case they were created
// with. Values enumerate in the order they were first written; subkeys sorted by name.
class SettingsTree {
 public:
  virtual ~SettingsTree() = default;

  virtual bool keyExists(std::string_view key) const = 0;
  virtual Status createKey(std::string_view key) = 0;
  // Deletes the key with its subkeys and values; deleting the root empties the tree.
  virtual Status deleteKey(std::string_view key) = 0;
  virtual std::vector<std::string> subkeyNames(std::string_view key) const = 0;

  virtual std::optional<SettingsValue> readValue(std::string_view key,
                                                 std::string_view name) const = 0;
  // Creates the key (and its parents) when missing.
  virtual Status writeValue(std::string_view key, std::string_view name,
                            const SettingsValue& value) = 0;
  virtual Status deleteValue(std::string_view key, std::string_view name) = 0;
  virtual std::vector<std::string> valueNames(std::string_view key) const = 0;

  // All changes or none.
  virtual Status apply(std::span<const SettingsChange> changes) = 0;
};

// A tree held in memory only: for tests, and when the settings file cannot be used.
class MemorySettingsTree final : public SettingsTree {
 public:
  MemorySettingsTree();
  ~MemorySettingsTree() override;

  bool keyExists(std::string_view key) const override;
  Status createKey(std::string_view key) override;
  Status deleteKey(std::string_view key) override;
  std::vector<std::string> subkeyNames(std::string_view key) const override;
  std::optional<SettingsValue> readValue(std::string_view key,
                                         std::string_view name) const override;
  Status writeValue(std::string_view key, std::string_view name,
                    const SettingsValue& value) override;
  Status deleteValue(std::string_view key, std::string_view name) override;
  std::vector<std::string> valueNames(std::string_view key) const override;
  Status apply(std::span<const SettingsChange> changes) override;

 private:
  struct Node;
  std::unique_ptr<Node> root_;
};

// The registry root this tree stands for, as the program names it.
inline constexpr std::string_view kSettingsRootPath = "Software\\Quirvane\\Quirvane";
inline constexpr std::string_view kSettingsRootHive = "HKEY_CURRENT_USER";

// Splits a key path at '\' or '/', dropping empty components (so a trailing separator names
// the same key).
std::vector<std::string> SplitKeyPath(std::string_view path);
std::string JoinKeyPath(const std::vector<std::string>& parts);

// Turns a path below the user hive ("\Software\Quirvane\Quirvane\Global\", case ignored) into
// a tree path ("Global"); nothing when it does not lie below the root.
std::optional<std::string> TreePathFromHivePath(std::string_view hivePath);

// ASCII case-insensitive comparison, as key and value names compare.
bool SameName(std::string_view a, std::string_view b);
int CompareNames(std::string_view a, std::string_view b);

// The program-wide settings tree. Until one is installed, an empty in-memory tree. Install the
// program's store once at start, before any Registry refers to the tree.
SettingsTree& UserSettings();
void InstallUserSettings(std::unique_ptr<SettingsTree> tree);

}  // namespace qv
