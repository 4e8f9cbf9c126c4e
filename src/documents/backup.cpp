// Backup names and the copy made before saving.
#include "documents/backup.h"

namespace qv {
namespace fs = std::filesystem;

std::string BackupFileName(const std::string& fileName, const BackupSettings& settings) {
  const std::size_t slash = fileName.find_last_of('/');
  std::string folder;
  if (!settings.backupDir.empty()) {
    folder = settings.backupDir;
    if (folder.back() != '/') folder += '/';
  } else if (slash != std::string::npos) {
    folder = fileName.substr(0, slash + 1);
  }
  std::string base = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  if (settings.backupDOSFileName) {
    const std::size_t dot = base.find_last_of('.');
    if (dot != std::string::npos) base.erase(dot);
  }
  return folder + base + ".bak";
}

bool BackupExists(const std::string& fileName, const BackupSettings& settings) {
  std::error_code ec;
  return settings.backup && fs::exists(BackupFileName(fileName, settings), ec);
}

BackupOutcome MakeBackupCopy(const std::string& fileName, const BackupSettings& settings) {
  std::error_code ec;
  if (!settings.backup || fileName.empty() || !fs::is_regular_file(fileName, ec)) {
    return BackupOutcome::Skipped;
  }
  const std::string backup = BackupFileName(fileName, settings);
  // "x.bak" saved with extensions dropped would otherwise delete itself before the copy.
  if (fs::exists(backup, ec) && fs::equivalent(backup, fileName, ec)) return BackupOutcome::Skipped;
  if (!settings.backupDir.empty()) {
    fs::create_directories(settings.backupDir, ec);
  }
  // An old backup is removed itself, never followed if it is a link.
  const fs::file_status old = fs::symlink_status(backup, ec);
  if (fs::is_regular_file(old)) {
    fs::permissions(backup, fs::perms::owner_write, fs::perm_options::add, ec);
  }
  if (fs::exists(old)) fs::remove(backup, ec);
  ec.clear();
  fs::copy_file(fileName, backup, fs::copy_options::overwrite_existing, ec);
  return ec ? BackupOutcome::Failed : BackupOutcome::Made;
}

}  // namespace qv
