// Program, application-data and temp folders from the environment; first-start seeding.
#include "platform/folders.h"

#include <cstdlib>
#include <system_error>

namespace qv {
namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

fs::path Home() {
  std::string home = Env("HOME");
  return home.empty() ? fs::temp_directory_path() : fs::path(home);
}

// $VAR, else $HOME/<fallback>; relative XDG values are ignored as the XDG rules ask.
fs::path XdgBase(const char* var, const char* fallback) {
  const std::string v = Env(var);
  if (!v.empty() && fs::path(v).is_absolute()) return v;
  return Home() / fallback;
}

std::string Ensure(const fs::path& dir) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  std::string s = dir.lexically_normal().string();
  if (s.empty() || s.back() != '/') s += '/';
  return s;
}

}  // namespace

std::string ApplicationDirectory() {
  const std::string home = Env("QUIRVANE_HOME");
  if (!home.empty()) return Ensure(fs::absolute(home));
  return Ensure(XdgBase("XDG_DATA_HOME", ".local/share") / "quirvane");
}

std::string AppDataDirectory() { return Ensure(XdgBase("XDG_CONFIG_HOME", ".config") / "quirvane"); }

std::string LocalTempDirectory() {
  return Ensure(XdgBase("XDG_CACHE_HOME", ".cache") / "quirvane" / "Temp");
}

std::vector<fs::path> ResourceDirectoryCandidates(const fs::path& compiledResourceDir,
                                                  const fs::path& executable) {
  std::vector<fs::path> out;
  if (!compiledResourceDir.empty()) out.push_back(compiledResourceDir);
  if (!executable.empty())
    out.push_back((executable.parent_path() / ".." / "share" / "quirvane").lexically_normal());
  return out;
}

fs::path FindResourceDirectory(const std::vector<fs::path>& candidates) {
  std::error_code ec;
  for (const auto& c : candidates)
    if (fs::is_directory(c, ec)) return c;
  return {};
}

SeedResult SeedProgramFolder(const fs::path& resources, const fs::path& programDir) {
  SeedResult result;
  std::error_code ec;
  if (resources.empty() || !fs::is_directory(resources, ec)) return result;
  fs::recursive_directory_iterator it(resources, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    result.errors.push_back(resources.string() + ": " + ec.message());
    return result;
  }
  for (const fs::recursive_directory_iterator end; it != end; it.increment(ec)) {
    if (ec) {
      result.errors.push_back(resources.string() + ": " + ec.message());
      break;
    }
    const fs::path target = programDir / fs::relative(it->path(), resources, ec);
    if (ec) continue;
    std::error_code fileEc;
    if (it->is_directory(fileEc)) {
      fs::create_directories(target, fileEc);
    } else if (it->is_regular_file(fileEc)) {
      // symlink_status: a dangling link the user placed there still counts as their file.
      if (fs::exists(fs::symlink_status(target, fileEc))) continue;
      fs::create_directories(target.parent_path(), fileEc);
      // skip_existing closes the gap between the check above and the copy.
      if (fs::copy_file(it->path(), target, fs::copy_options::skip_existing, fileEc)) {
        ++result.copied;
        continue;
      }
    } else {
      continue;
    }
    if (fileEc) result.errors.push_back(target.string() + ": " + fileEc.message());
  }
  return result;
}

}  // namespace qv
