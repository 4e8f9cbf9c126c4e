// The settings tree kept in an SQLite file, shared safely by several running programs.
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "platform/settings_tree.h"

struct sqlite3;

namespace qv {

// Each write is one durable transaction; a busy timeout lets two programs write at once.
class SqliteSettingsTree final : public SettingsTree {
 public:
  enum class OpenFailure { None, Damaged, Busy, Other };
  struct OpenResult {
    std::unique_ptr<SqliteSettingsTree> tree;  // set on success
    OpenFailure failure = OpenFailure::None;
    std::string error;
  };
  // Opens or creates the file. A file that is not a sound settings database fails as Damaged.
  static OpenResult Open(const std::filesystem::path& file);

  ~SqliteSettingsTree() override;
  SqliteSettingsTree(const SqliteSettingsTree&) = delete;
  SqliteSettingsTree& operator=(const SqliteSettingsTree&) = delete;

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
  explicit SqliteSettingsTree(sqlite3* db);
  std::optional<long long> findKey(std::string_view key) const;
  std::optional<long long> makeKey(std::string_view key);  // inside a transaction
  bool applyOne(const SettingsChange& change);               // inside a transaction
  Status writeTransaction(std::span<const SettingsChange> changes);

  sqlite3* db_;  // owned
};

// The user's settings store as the program opens it at start.
struct SettingsStore {
  std::unique_ptr<SettingsTree> tree;  // never null: in memory when the file cannot be used
  bool persistent = false;             // false: changes are lost at exit
  std::string message;                 // non-empty: tell the user once
};

// Opens `file`; a damaged or unreadable one is renamed to "<name>.damaged-<time>" and a fresh
// store started with defaults.
SettingsStore OpenSettingsStore(const std::filesystem::path& file);

// $XDG_CONFIG_HOME/quirvane/settings.db
std::filesystem::path SettingsDatabasePath();

}  // namespace qv
