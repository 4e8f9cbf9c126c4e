// Canonical file names and the remembered last folder.
#include "config/file_names.h"

#include <filesystem>
#include <system_error>

namespace qv {
namespace {

std::filesystem::path Expanded(std::string_view name) {
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(std::filesystem::path(name), ec);
  if (ec) return std::filesystem::path(name);
  return full.lexically_normal();
}

bool OnFloppyDrive(std::string_view name) {
  return name.size() >= 2 && name[1] == ':' &&
         (name[0] == 'a' || name[0] == 'A' || name[0] == 'b' || name[0] == 'B');
}

}  // namespace

std::string CanonicalFileName(std::string_view name) { return CanonicalFileName(name, {}); }

std::string CanonicalFileName(std::string_view name, const std::filesystem::path& baseDir) {
  std::error_code ec;
  if (name.empty() || name.find('\0') != std::string_view::npos) return std::string(name);
  const std::filesystem::path given(name);
  const std::filesystem::path path = baseDir.empty() || given.is_absolute() ? given : baseDir / given;
  if (!std::filesystem::exists(path, ec)) return std::string(name);
  std::string full = Expanded(path.string()).string();
  // A folder keeps no trailing separator, except the root itself.
  while (full.size() > 1 && full.back() == '/') full.pop_back();
  return full;
}

void NoteLastDir(std::string& lastDir, std::string_view fileName) {
  if (fileName.empty() || OnFloppyDrive(fileName)) return;
  std::filesystem::path folder = Expanded(fileName).parent_path();
  std::string dir = folder.string();
  if (!dir.empty()) lastDir = dir;
}

}  // namespace qv
