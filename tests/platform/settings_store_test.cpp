// The settings file on disk: damaged files moved aside, and two processes writing at once.
#include "platform/sqlite_settings_tree.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

// Appending, not "literal" + std::string: GCC 12 warns falsely about the latter.
std::string Numbered(const char* prefix, int n) { return std::string(prefix).append(std::to_string(n)); }

std::vector<fs::path> DamagedCopies(const fs::path& dir) {
  std::vector<fs::path> found;
  for (const auto& e : fs::directory_iterator(dir))
    if (e.path().filename().string().starts_with("settings.db.damaged-")) found.push_back(e.path());
  return found;
}

TEST(SettingsStoreTest, ValuesSurviveReopening) {
  const fs::path file = test::FreshDir("store") / "settings.db";
  {
    SettingsStore store = OpenSettingsStore(file);
    ASSERT_TRUE(store.persistent) << store.message;
    EXPECT_EQ(store.message, "");
    ASSERT_TRUE(store.tree->writeValue("General", "LastDir", SettingsValue::String("/srv")));
  }
  SettingsStore again = OpenSettingsStore(file);
  EXPECT_EQ(again.tree->readValue("General", "LastDir"), SettingsValue::String("/srv"));
}

TEST(SettingsStoreTest, DamagedFilesAreKeptAsideAndDefaultsUsed) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  std::string truncatedHeader = "SQLite format 3";
  truncatedHeader += '\0';
  truncatedHeader += std::string(200, '\x7f');
  const std::vector<Case> cases = {
      {"garbage", std::string(5000, '\x5a')},
      {"text file", "[Global]\nFormLeft=1\n"},
      {"broken sqlite header", truncatedHeader},
  };
  for (const auto& c : cases) {
    const fs::path dir = test::FreshDir("damaged");
    const fs::path file = dir / "settings.db";
    test::WriteFileBytes(file, c.bytes);

    SettingsStore store = OpenSettingsStore(file);
    ASSERT_TRUE(store.tree) << c.what;
    EXPECT_TRUE(store.persistent) << c.what << ": " << store.message;
    EXPECT_NE(store.message.find("damaged"), std::string::npos) << c.what << ": " << store.message;
    EXPECT_FALSE(store.tree->keyExists("Global")) << c.what;
    const auto copies = DamagedCopies(dir);
    ASSERT_EQ(copies.size(), 1u) << c.what;
    EXPECT_EQ(test::ReadFileBytes(copies[0]), c.bytes) << c.what << ": the user's file is kept";
    EXPECT_NE(store.message.find(copies[0].string()), std::string::npos) << store.message;
    EXPECT_TRUE(store.tree->writeValue("Global", "FormLeft", SettingsValue::Integer(3))) << c.what;

    // The next start finds a sound file and says nothing.
    store.tree.reset();
    SettingsStore next = OpenSettingsStore(file);
    EXPECT_EQ(next.message, "") << c.what;
    EXPECT_EQ(next.tree->readValue("Global", "FormLeft"), SettingsValue::Integer(3)) << c.what;
  }
}

TEST(SettingsStoreTest, UnusableFolderFallsBackToMemoryWithAMessage) {
  const fs::path dir = test::FreshDir("blocked");
  test::WriteFileBytes(dir / "notafolder", "x");
  SettingsStore store = OpenSettingsStore(dir / "notafolder" / "settings.db");
  ASSERT_TRUE(store.tree);
  EXPECT_FALSE(store.persistent);
  EXPECT_NE(store.message, "");
  EXPECT_TRUE(store.tree->writeValue("Global", "FormLeft", SettingsValue::Integer(1)));
  EXPECT_EQ(test::ReadFileBytes(dir / "notafolder"), "x");
}

TEST(SettingsStoreTest, AWriteProtectedFileIsLeftWhereItIs) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes to write-protected files";
  const fs::path dir = test::FreshDir("readonly");
  const fs::path file = dir / "settings.db";
  ASSERT_TRUE(OpenSettingsStore(file).tree->writeValue("Global", "FormLeft", SettingsValue::Integer(9)));
  fs::permissions(file, fs::perms::owner_read, fs::perm_options::replace);
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec, fs::perm_options::replace);
  SettingsStore store = OpenSettingsStore(file);
  fs::permissions(dir, fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_NE(store.message.find("cannot be used"), std::string::npos) << store.message;
  EXPECT_TRUE(DamagedCopies(dir).empty());
  EXPECT_TRUE(fs::exists(file));
}

TEST(SettingsStoreTest, TwoProcessesWritingAtOnceLoseNothing) {
  const fs::path file = test::FreshDir("shared") / "settings.db";
  ASSERT_TRUE(OpenSettingsStore(file).persistent);
  constexpr int kWriters = 2;
  constexpr int kWrites = 150;
  int go[2];
  ASSERT_EQ(pipe(go), 0);
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      close(go[1]);
      char c;
      if (read(go[0], &c, 1) < 0) _exit(3);
      auto opened = SqliteSettingsTree::Open(file);
      if (!opened.tree) _exit(2);
      const std::string key = Numbered("Writer", w);
      for (int i = 0; i < kWrites; ++i) {
        if (!opened.tree->writeValue(key, Numbered("V", i), SettingsValue::Integer(i))) _exit(1);
        if (!opened.tree->writeValue("Shared", "Last", SettingsValue::Integer(w))) _exit(1);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  close(go[0]);
  close(go[1]);  // end of file releases every writer at once
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "writer exit status " << status;
  }
  SettingsStore store = OpenSettingsStore(file);
  ASSERT_EQ(store.message, "");
  for (int w = 0; w < kWriters; ++w) {
    const std::string key = Numbered("Writer", w);
    ASSERT_EQ(store.tree->valueNames(key).size(), static_cast<std::size_t>(kWrites)) << key;
    for (int i = 0; i < kWrites; ++i)
      EXPECT_EQ(store.tree->readValue(key, Numbered("V", i)), SettingsValue::Integer(i));
  }
  EXPECT_TRUE(store.tree->readValue("Shared", "Last"));
}

}  // namespace
}  // namespace qv
