// Numbered bookmarks: project-file lines, submenu captions, toggling and jumping.
#include <gtest/gtest.h>

#include "documents/bookmarks.h"
#include "documents/file_data.h"
#include "editor/editor.h"
#include "support/test_env.h"

namespace qv {
namespace {

TEST(BookmarkListTextTest, ProjectLinesNumberFromZero) {
  EXPECT_EQ(BookmarkListText({}), std::vector<std::string>{"BookmarkCount=0"});
  const std::vector<std::string> expected = {
      "BookmarkCount=2", "Bookmark0Index=3", "Bookmark0X=7", "Bookmark0Y=112",
      "Bookmark1Index=0", "Bookmark1X=1",  "Bookmark1Y=40",
  };
  EXPECT_EQ(BookmarkListText({{3, 7, 112}, {0, 1, 40}}), expected);
}

TEST(BookmarkMenus, ToggleJumpAndCaptions) {
  Editor e;
  e.loadBytes("first\n   indented line  \nthird\nfourth\n");
  e.setCaretXY({4, 2});
  ToggleBookmark(e, 5);
  EXPECT_EQ(e.marker(5), (BufferCoord{4, 2}));
  e.setCaretXY({2, 4});
  ToggleBookmark(e, 0);
  auto captions = JumpToBookmarkCaptions(e);
  ASSERT_EQ(captions.size(), 10u);
  EXPECT_EQ(captions[0], "&0 fourth");
  EXPECT_EQ(captions[5], "&5 indented line");
  EXPECT_EQ(captions[9], "&9");

  e.setSelection({1, 1}, {3, 3});
  JumpToBookmark(e, 5);
  EXPECT_FALSE(e.selAvail());
  EXPECT_EQ(e.caretXY(), (BufferCoord{4, 2}));
  e.setSelection({1, 1}, {3, 3});
  JumpToBookmark(e, 8);
  EXPECT_FALSE(e.selAvail()) << "the selection collapses";
  EXPECT_EQ(e.caretXY(), (BufferCoord{3, 3})) << "an unset number leaves the caret";

  e.setCaretXY({1, 2});
  ToggleBookmark(e, 5);
  EXPECT_FALSE(e.marker(5)) << "toggling on the mark's line removes it";
  EXPECT_EQ(BookmarksOf(e), (TBookmarkList{{0, 2, 4}}));
}

TEST(FileDataTest, IconFollowsTheNameAndTheFolderFlagIsReadOnce) {
  const auto dir = test::FreshDir("filedata");
  int lookups = 0;
  TFileData folder(dir.string(), [&](const std::string& name) { ++lookups; return name.ends_with(".c") ? 4 : 1; });
  EXPECT_TRUE(folder.IsDirectory());
  EXPECT_EQ(folder.IconIndex(), 1);
  folder.SetFileName("/x/y.c");
  EXPECT_EQ(folder.IconIndex(), 4);
  EXPECT_EQ(lookups, 2);
  EXPECT_TRUE(folder.IsDirectory());
  TFileData plain("/no/such/file.txt");
  EXPECT_FALSE(plain.IsDirectory());
  EXPECT_EQ(plain.IconIndex(), -1);
}

}  // namespace
}  // namespace qv
