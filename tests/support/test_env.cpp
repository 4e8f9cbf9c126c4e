// Gives every test program private QUIRVANE_HOME and XDG folders before any test runs.
#include "support/test_env.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace qv::test {
namespace fs = std::filesystem;

namespace {

fs::path MakeRoot() {
  std::string pattern = (fs::temp_directory_path() / "qvtest-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make temp folder");
  fs::path root = pattern;
  const std::pair<const char*, const char*> vars[] = {
      {"QUIRVANE_HOME", "home"},         {"XDG_CONFIG_HOME", "config"},
      {"XDG_DATA_HOME", "data"},         {"XDG_CACHE_HOME", "cache"},
      {"XDG_RUNTIME_DIR", "runtime"},
  };
  for (auto [var, sub] : vars) {
    fs::create_directories(root / sub);
    setenv(var, (root / sub).c_str(), 1);
  }
  fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  return root;
}

struct Cleanup {
  fs::path root;
  ~Cleanup() {
    std::error_code ec;
    if (!root.empty() && !std::getenv("QUIRVANE_KEEP_TEST_DIRS")) fs::remove_all(root, ec);
  }
};

}  // namespace

const fs::path& TempRoot() {
  static Cleanup cleanup{MakeRoot()};
  return cleanup.root;
}

fs::path FreshDir(const std::string& name) {
  static std::atomic<int> counter{0};
  fs::path dir = TempRoot() / "cases" / (name + "-" + std::to_string(++counter));
  fs::create_directories(dir);
  return dir;
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

fs::path SourcePath(const std::string& relative) { return fs::path(QUIRVANE_SOURCE_DIR) / relative; }

}  // namespace qv::test

// The folders exist and the variables are set before the first test runs.
int main(int argc, char** argv) {
  qv::test::TempRoot();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
