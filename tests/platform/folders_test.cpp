// Program folders follow the environment; seeding copies only what the user does not have.
#include "platform/folders.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value, 1); else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1); else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(FoldersTest, EachFolderFollowsItsVariableAndIsCreated) {
  const fs::path root = test::FreshDir("folders");
  ScopedEnv home("HOME", (root / "home").c_str());
  {
    ScopedEnv q("QUIRVANE_HOME", (root / "prog").c_str());
    EXPECT_EQ(ApplicationDirectory(), (root / "prog").string() + "/");
  }
  ScopedEnv q("QUIRVANE_HOME", nullptr);
  {
    ScopedEnv data("XDG_DATA_HOME", (root / "data").c_str());
    EXPECT_EQ(ApplicationDirectory(), (root / "data" / "quirvane").string() + "/");
  }
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  ScopedEnv config("XDG_CONFIG_HOME", "relative/ignored");
  ScopedEnv cache("XDG_CACHE_HOME", nullptr);
  const struct {
    std::string got;
    fs::path expected;
  } cases[] = {
      {ApplicationDirectory(), root / "home" / ".local" / "share" / "quirvane"},
      {AppDataDirectory(), root / "home" / ".config" / "quirvane"},
      {LocalTempDirectory(), root / "home" / ".cache" / "quirvane" / "Temp"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.got, c.expected.string() + "/");
    EXPECT_TRUE(fs::is_directory(c.expected)) << c.expected;
  }
}

TEST(FoldersTest, SeedingCopiesWhatIsMissingAndNeverOverwrites) {
  const fs::path root = test::FreshDir("seed");
  const fs::path res = root / "resources";
  const fs::path prog = root / "program";
  test::WriteFileBytes(res / "Highlighters" / "Lua.chl", "shipped lua");
  test::WriteFileBytes(res / "Template" / "c.ctpl", "shipped template");
  test::WriteFileBytes(res / "default.mac", "shipped macros");
  fs::create_directories(res / "plugins" / "empty");
  test::WriteFileBytes(prog / "default.mac", "my macros");
  test::WriteFileBytes(prog / "Template" / "c.ctpl", "my template");

  const SeedResult first = SeedProgramFolder(res, prog);
  EXPECT_EQ(first.copied, 1);
  EXPECT_TRUE(first.errors.empty());
  EXPECT_EQ(test::ReadFileBytes(prog / "Highlighters" / "Lua.chl"), "shipped lua");
  EXPECT_EQ(test::ReadFileBytes(prog / "default.mac"), "my macros");
  EXPECT_EQ(test::ReadFileBytes(prog / "Template" / "c.ctpl"), "my template");
  EXPECT_TRUE(fs::is_directory(prog / "plugins" / "empty"));

  // A file the user deleted comes back; one they changed does not.
  fs::remove(prog / "Highlighters" / "Lua.chl");
  test::WriteFileBytes(prog / "default.mac", "changed again");
  EXPECT_EQ(SeedProgramFolder(res, prog).copied, 1);
  EXPECT_EQ(test::ReadFileBytes(prog / "default.mac"), "changed again");
}

TEST(FoldersTest, ResourceFolderIsTheFirstThatExists) {
  const fs::path root = test::FreshDir("res");
  fs::create_directories(root / "share" / "quirvane");
  const auto candidates = ResourceDirectoryCandidates(root / "missing", root / "bin" / "quirvane");
  ASSERT_EQ(candidates.size(), 2u);
  EXPECT_EQ(FindResourceDirectory(candidates), root / "share" / "quirvane");
  EXPECT_EQ(FindResourceDirectory({root / "none"}), fs::path());
  EXPECT_EQ(SeedProgramFolder(fs::path(), root / "prog").copied, 0);
}

}  // namespace
}  // namespace qv
