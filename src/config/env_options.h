// The environment options: backups, change detection, start action, instances, last folder,
// SQL dialect. One program-wide instance lives from start to end.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/settings_tree.h"

namespace qv {

class TEnvOptions {
 public:
  // Reads the options at once. Without a tree, the program-wide settings tree is used at each
  // access; programFolder gives the default backup folder (program folder + "Backup").
  explicit TEnvOptions(std::string programFolder, SettingsTree* tree = nullptr);
  // Writes General\LastDir.
  ~TEnvOptions();
  TEnvOptions(const TEnvOptions&) = delete;
  TEnvOptions& operator=(const TEnvOptions&) = delete;

  void LoadEnvOptions();
  // Every value except LastDir.
  void SaveEnvOptions();
  void SaveIfAsked(bool save) {
    if (save) SaveEnvOptions();
  }
  void SaveLastDir();

  // Global
  bool ShiftClickClosesFileTab = true;
  // General
  bool Backup = true;
  std::string BackupDir;  // empty: the file's own folder
  bool BackupDOSFileName = false;
  bool DetectFileChanges = true;
  bool AutoUpdateChangedFiles = false;
  bool MinimizeIfNoFiles = false;
  bool MinimizeToTray = false;
  std::int32_t StartAction = 0;  // 0 do nothing, 1 blank file, 2 last files/project
  bool RememberLastDir = true;
  bool RememberFindCfg = false;
  std::string LastDir;
  bool MultipleInstances = false;
  // Misc
  std::int32_t SQLDialect = 0;

 private:
  SettingsTree& tree() const;
  SettingsTree* tree_;
};

// The start actions.
inline constexpr std::int32_t kStartDoNothing = 0;
inline constexpr std::int32_t kStartBlankFile = 1;
inline constexpr std::int32_t kStartOpenLast = 2;

// The program-wide environment options, created on first use from ApplicationDirectory().
TEnvOptions& EnvOptions();
// Program end: destroys the program-wide instance, which writes LastDir.
void ReleaseEnvOptions();

// Remembers the folder of a file just opened or saved in the program-wide LastDir.
void NoteLastDir(std::string_view fileName);

}  // namespace qv
