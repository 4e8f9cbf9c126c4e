// Saving beside the file: permissions, links and failed writes leave the old file as it was.
#include "documents/atomic_file.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

mode_t ModeOf(const fs::path& p) {
  struct stat st {};
  ::stat(p.c_str(), &st);
  return st.st_mode & 07777;
}

// Runs the save in a child limited to `limit` bytes per file, as a full disk would; true when
// the child reported success.
bool SaveUnderFileSizeLimit(const fs::path& target, const std::string& content, rlim_t limit) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit rl{limit, limit};
    ::setrlimit(RLIMIT_FSIZE, &rl);
    ::_exit(WriteFileSafely(target, content) ? 0 : 1);
  }
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::size_t EntryCount(const fs::path& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

TEST(AtomicFile, ReplacesContentAndKeepsPermissions) {
  const auto dir = test::FreshDir("atomic-perm");
  const auto file = dir / "script.sh";
  test::WriteFileBytes(file, "old");
  ::chmod(file.c_str(), 0750);
  std::string error;
  ASSERT_TRUE(WriteFileSafely(file, "new content", &error)) << error;
  EXPECT_EQ(test::ReadFileBytes(file), "new content");
  EXPECT_EQ(ModeOf(file), 0750u);
  EXPECT_EQ(EntryCount(dir), 1u) << "no temporary file is left beside it";
}

TEST(AtomicFile, CreatesANewFileWithTheUsualPermissions) {
  const auto dir = test::FreshDir("atomic-new");
  const mode_t mask = ::umask(022);
  const bool ok = WriteFileSafely(dir / "fresh.txt", "x");
  ::umask(mask);
  ASSERT_TRUE(ok);
  EXPECT_EQ(test::ReadFileBytes(dir / "fresh.txt"), "x");
  EXPECT_EQ(ModeOf(dir / "fresh.txt"), 0644u);
}

TEST(AtomicFile, WritesThroughASymbolicLink) {
  const auto dir = test::FreshDir("atomic-link");
  fs::create_directories(dir / "real");
  test::WriteFileBytes(dir / "real" / "target.txt", "old");
  fs::create_symlink("real/target.txt", dir / "link.txt");
  ASSERT_TRUE(WriteFileSafely(dir / "link.txt", "through"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
  EXPECT_EQ(test::ReadFileBytes(dir / "real" / "target.txt"), "through");
}

TEST(AtomicFile, HardLinkedFileIsRewrittenInPlace) {
  const auto dir = test::FreshDir("atomic-hard");
  test::WriteFileBytes(dir / "a.txt", "old");
  fs::create_hard_link(dir / "a.txt", dir / "b.txt");
  ASSERT_TRUE(WriteFileSafely(dir / "a.txt", "shared"));
  EXPECT_EQ(test::ReadFileBytes(dir / "b.txt"), "shared");
  EXPECT_EQ(fs::hard_link_count(dir / "a.txt"), 2u);
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileIntact) {
  const auto dir = test::FreshDir("atomic-full");
  const std::string old = "the version on disk\r\n";
  const std::string big(64 * 1024, 'n');
  struct Case {
    const char* name;
    bool hardLinked;  // forces the in-place path, which must undo itself
  };
  for (const Case c : {Case{"beside", false}, Case{"in place", true}}) {
    const auto sub = dir / c.name;
    fs::create_directories(sub);
    test::WriteFileBytes(sub / "doc.txt", old);
    if (c.hardLinked) fs::create_hard_link(sub / "doc.txt", sub / "other-name.txt");
    EXPECT_FALSE(SaveUnderFileSizeLimit(sub / "doc.txt", big, 4096)) << c.name;
    EXPECT_EQ(test::ReadFileBytes(sub / "doc.txt"), old) << c.name;
    EXPECT_EQ(EntryCount(sub), c.hardLinked ? 2u : 1u) << c.name << ": temp file left behind";
    EXPECT_TRUE(SaveUnderFileSizeLimit(sub / "doc.txt", "small", 4096)) << c.name;
    EXPECT_EQ(test::ReadFileBytes(sub / "doc.txt"), "small") << c.name;
  }
}

TEST(AtomicFile, RefusesAFolderAndAMissingFolder) {
  const auto dir = test::FreshDir("atomic-bad");
  std::string error;
  EXPECT_FALSE(WriteFileSafely(dir, "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(WriteFileSafely(dir / "no" / "such" / "file.txt", "x", &error));
  EXPECT_TRUE(fs::is_directory(dir));
}

TEST(AtomicFile, DroppedWriterChangesNothing) {
  const auto dir = test::FreshDir("atomic-drop");
  test::WriteFileBytes(dir / "f.txt", "keep");
  {
    AtomicFileWriter writer(dir / "f.txt");
    ASSERT_TRUE(writer.begin());
    ASSERT_TRUE(writer.write("half"));
  }
  EXPECT_EQ(test::ReadFileBytes(dir / "f.txt"), "keep");
  EXPECT_EQ(EntryCount(dir), 1u);
}

}  // namespace
}  // namespace qv
