// Atomic whole-file writes and the read-only attribute as owner write permission.
#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

TEST(FileSystemTest, AtomicWriteReplacesAndKeepsPermissions) {
  const fs::path dir = test::FreshDir("atomic");
  const fs::path file = dir / "Favorites.ini";
  test::WriteFileBytes(file, "old contents that are longer");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read,
                  fs::perm_options::replace);
  ASSERT_TRUE(WriteFileAtomically(file, "new"));
  EXPECT_EQ(test::ReadFileBytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  // No temp file is left behind.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(FileSystemTest, AtomicWriteThroughALinkKeepsTheLink) {
  const fs::path dir = test::FreshDir("link");
  test::WriteFileBytes(dir / "real.ini", "a");
  fs::create_symlink(dir / "real.ini", dir / "link.ini");
  ASSERT_TRUE(WriteFileAtomically(dir / "link.ini", "b"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
  EXPECT_EQ(test::ReadFileBytes(dir / "real.ini"), "b");
}

TEST(FileSystemTest, FailedWriteLeavesNothingAndSaysWhere) {
  const fs::path dir = test::FreshDir("fail");
  const Status s = WriteFileAtomically(dir / "no" / "such" / "dir" / "f.txt", "x");
  ASSERT_FALSE(s);
  EXPECT_NE(s.error.find("f.txt"), std::string::npos) << s.error;
}

TEST(FileSystemTest, ReadOnlyIsTheOwnerWriteBit) {
  const fs::path file = test::FreshDir("ro") / "a.txt";
  test::WriteFileBytes(file, "12345");
  EXPECT_FALSE(IsReadOnly(file));
  ASSERT_TRUE(SetReadOnly(file, true));
  EXPECT_TRUE(IsReadOnly(file));
  ASSERT_TRUE(SetReadOnly(file, false));
  EXPECT_FALSE(IsReadOnly(file));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(FileExists(file.parent_path()));
  EXPECT_EQ(FileSize(file), 5u);
  EXPECT_TRUE(FileTime(file));
  EXPECT_FALSE(FileSize(file.parent_path() / "missing"));
  EXPECT_FALSE(SetReadOnly(file.parent_path() / "missing", true));
}

TEST(FileSystemTest, ReadWholeFileHonoursTheLimit) {
  const fs::path file = test::FreshDir("read") / "big";
  test::WriteFileBytes(file, std::string(2000, 'x'));
  EXPECT_EQ(ReadWholeFile(file, 4096).bytes, std::string(2000, 'x'));
  const ReadResult tooBig = ReadWholeFile(file, 1000);
  EXPECT_FALSE(tooBig.bytes);
  EXPECT_NE(tooBig.error, "");
  EXPECT_FALSE(ReadWholeFile(file.parent_path(), 1000).bytes);
}

}  // namespace
}  // namespace qv
