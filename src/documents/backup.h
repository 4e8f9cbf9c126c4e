// Backup copies of a document's file, taken before it is saved over.
#pragma once
#include <filesystem>
#include <string>

namespace qv {

// The backup settings of the environment options, filled by the caller.
struct BackupSettings {
  bool backup = true;
  std::string backupDir;           // empty: beside the file
  bool backupDOSFileName = false;  // drop the file's extension before ".bak"
};

// Where the backup of fileName goes: folder + name (without extension when asked) + ".bak".
std::string BackupFileName(const std::string& fileName, const BackupSettings& settings);

// Whether backups are on and fileName's backup exists.
bool BackupExists(const std::string& fileName, const BackupSettings& settings);

enum class BackupOutcome {
  Skipped,  // backups off, the file does not exist, or the backup would be the file itself
  Made,
  Failed,
};

// Copies the file to its backup name, replacing an older backup (even a read-only one).
BackupOutcome MakeBackupCopy(const std::string& fileName, const BackupSettings& settings);

}  // namespace qv
