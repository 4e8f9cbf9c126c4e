// Tab order, recent lists, window list and remembered open files of the main window.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/settings_tree.h"
#include "shell/main_window_state.h"
#include "support/test_env.h"

namespace qv {
namespace {

TEST(DocumentOrder, NewDocumentGoesRightOfTheActiveTab) {
  DocumentOrder order;
  order.insert(1);
  order.insert(2);
  order.insert(3);  // tabs 1 2 3, active 3
  order.setActive(1);
  EXPECT_EQ(order.insert(4), 1);
  EXPECT_EQ(order.tabs(), (std::vector<DocumentHandle>{1, 4, 2, 3}));
  EXPECT_EQ(order.active(), DocumentHandle{4});
}

TEST(DocumentOrder, RemovingSelectsTheTabAtTheSamePositionOrTheLast) {
  DocumentOrder order;
  for (DocumentHandle d : {1, 2, 3}) order.insert(d);
  EXPECT_EQ(order.remove(2), DocumentHandle{3}) << "the tab that moved into the gap";
  EXPECT_EQ(order.remove(3), DocumentHandle{1}) << "the removed tab was last";
  EXPECT_EQ(order.remove(1), std::nullopt);
  EXPECT_EQ(order.count(), 0);
  EXPECT_EQ(order.active(), std::nullopt);
}

TEST(DocumentOrder, NeighboursFollowTheTabOrderAfterADrag) {
  DocumentOrder order;
  for (DocumentHandle d : {1, 2, 3}) order.insert(d);
  order.move(0, 2);  // 2 3 1
  order.setActive(3);
  EXPECT_EQ(order.neighbour(true), DocumentHandle{1});
  order.setActive(1);
  EXPECT_EQ(order.neighbour(true), DocumentHandle{2}) << "after the last comes the first";
  order.setActive(2);
  EXPECT_EQ(order.neighbour(false), DocumentHandle{1}) << "before the first comes the last";
  order.setActive(std::nullopt);
  EXPECT_EQ(order.neighbour(true), std::nullopt) << "no active document: nothing happens";
}

TEST(DocumentOrder, AltDigitsPickTabsOneToTen) {
  DocumentOrder order;
  for (DocumentHandle d = 1; d <= 10; ++d) order.insert(d);
  struct Case {
    int digit;
    std::optional<DocumentHandle> doc;
  };
  for (const Case& c : {Case{1, 1}, Case{9, 9}, Case{0, 10}, Case{-1, std::nullopt}, Case{10, std::nullopt}})
    EXPECT_EQ(order.byAltDigit(c.digit), c.doc) << "Alt+" << c.digit;
  DocumentOrder two;
  two.insert(1);
  two.insert(2);
  EXPECT_EQ(two.byAltDigit(3), std::nullopt) << "a number beyond the last tab does nothing";
}

TEST(DocumentOrder, ActiveMustBeATab) {
  DocumentOrder order;
  order.insert(1);
  order.setActive(7);
  EXPECT_EQ(order.active(), DocumentHandle{1});
}

TEST(RecentList, NewestFirstWithoutDuplicatesAndAtMostThirty) {
  RecentList list;
  for (int i = 0; i < 35; ++i) list.add("/f" + std::to_string(i));
  ASSERT_EQ(list.items().size(), kRecentListSize);
  EXPECT_EQ(list.items().front(), "/f34");
  EXPECT_EQ(list.items().back(), "/f5");
  list.add("/f20");
  EXPECT_EQ(list.items().front(), "/f20");
  EXPECT_EQ(list.items().size(), kRecentListSize) << "a listed name moves, it is not doubled";
  list.remove("/f20");
  EXPECT_EQ(list.items().front(), "/f34");
}

TEST(RecentList, StoredAsMruValuesAndShrinksOnSave) {
  MemorySettingsTree tree;
  Registry reg(tree);
  RecentList list;
  list.add("/a");
  list.add("/b");
  list.add("/c");
  list.Save(reg, "mruFiles");
  list.remove("/a");
  list.Save(reg, "mruFiles");

  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quirvane\\Quirvane\\mruFiles"));
  EXPECT_EQ(reg.ReadString("MRU1"), "/c");
  EXPECT_EQ(reg.ReadString("MRU2"), "/b");
  EXPECT_FALSE(reg.ValueExists("MRU3")) << "positions beyond the list are deleted";
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\mruFiles", false));
  reg.WriteString("MRU2", "");
  reg.WriteString("MRU5", "/e");
  reg.CloseKey();

  RecentList loaded;
  loaded.Load(reg, "mruFiles");
  EXPECT_EQ(loaded.items(), (std::vector<std::string>{"/c", "/e"})) << "empty and missing entries skipped";
}

TEST(WindowMenu, FirstNineNamesNumberedFromOne) {
  std::vector<std::string> names;
  for (int i = 1; i <= 11; ++i) names.push_back("/d/f" + std::to_string(i));
  const auto captions = WindowMenuCaptions(names);
  ASSERT_EQ(captions.size(), 9u);
  EXPECT_EQ(captions[0], "&1 /d/f1");
  EXPECT_EQ(captions[8], "&9 /d/f9");
}

TEST(WindowMenu, AmpersandsInNamesShowAsThemselves) {
  EXPECT_EQ(WindowMenuCaptions({"/d/a&b.txt"}).front(), "&1 /d/a&&b.txt");
}

TEST(CommandLineFile, BareNamesAreTakenInTheCurrentFolder) {
  EXPECT_EQ(CommandLineFileName("a.txt", "/w"), "/w/a.txt");
  EXPECT_EQ(CommandLineFileName("sub/a.txt", "/w"), "sub/a.txt") << "a folder part is kept as it is";
  EXPECT_EQ(CommandLineFileName("/x/a.txt", "/w"), "/x/a.txt");
}

TEST(CommandLineFile, PlaceholderIsCreatedEmptyAndNeverOverwrites) {
  const auto dir = test::FreshDir("placeholder");
  const std::string fresh = (dir / "new.txt").string();
  ASSERT_TRUE(CreatePlaceholderFile(fresh));
  EXPECT_EQ(test::ReadFileBytes(fresh), "");

  const std::string existing = (dir / "old.txt").string();
  test::WriteFileBytes(existing, "keep me");
  EXPECT_FALSE(CreatePlaceholderFile(existing));
  EXPECT_EQ(test::ReadFileBytes(existing), "keep me");

  EXPECT_FALSE(CreatePlaceholderFile((dir / "no" / "such" / "folder.txt").string()));
  EXPECT_FALSE(CreatePlaceholderFile(""));
}

TEST(LastOpenFiles, NamedNonProjectFilesInTabOrder) {
  const std::vector<OpenDocumentInfo> tabs = {
      {"/w/b.txt", false, false}, {"Edit1", true, false}, {"/w/p.c", false, true}, {"/w/a.txt", false, false}};
  const LastOpenFiles last = CollectLastOpenFiles(tabs, 3, "/w/x.cpr");
  EXPECT_EQ(last.files, (std::vector<std::string>{"/w/b.txt", "/w/a.txt"}));
  EXPECT_EQ(last.activeFile, "/w/a.txt");
  EXPECT_EQ(last.project, "/w/x.cpr");
  EXPECT_EQ(CollectLastOpenFiles(tabs, 1, "").activeFile, "") << "an untitled active document is not remembered";
}

TEST(LastOpenFiles, WrittenOnlyForStartActionTwoAndReadBack) {
  MemorySettingsTree tree;
  Registry reg(tree);
  const LastOpenFiles last{"", {"/w/b.txt", "/w/a.txt"}, "/w/a.txt"};
  SaveLastOpenFiles(reg, 2, last);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quirvane\\Quirvane\\LastOpenFiles"));
  EXPECT_EQ(reg.ReadInteger("FilesCount"), 2);
  EXPECT_FALSE(reg.ValueExists("Project")) << "no project: no value";
  reg.CloseKey();
  const LastOpenFiles loaded = LoadLastOpenFiles(reg);
  EXPECT_EQ(loaded.files, last.files);
  EXPECT_EQ(loaded.activeFile, last.activeFile);

  SaveLastOpenFiles(reg, 1, last);
  EXPECT_FALSE(reg.KeyExists("\\Software\\Quirvane\\Quirvane\\LastOpenFiles"));
}

TEST(LastOpenFiles, MissingCountOrEmptyEntriesAreSkipped) {
  MemorySettingsTree tree;
  Registry reg(tree);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\LastOpenFiles", true));
  reg.WriteString("File0", "/w/a.txt");
  reg.CloseKey();
  EXPECT_TRUE(LoadLastOpenFiles(reg).files.empty()) << "without FilesCount nothing reopens";

  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\LastOpenFiles", true));
  reg.WriteInteger("FilesCount", 3);
  reg.WriteString("File1", "");
  reg.WriteString("File2", "/w/c.txt");
  reg.CloseKey();
  EXPECT_EQ(LoadLastOpenFiles(reg).files, (std::vector<std::string>{"/w/a.txt", "/w/c.txt"}));
}

TEST(PaintLock, OnlyTheOutermostPairChangesTheScreen) {
  PaintLockCount lock;
  EXPECT_TRUE(lock.begin());
  EXPECT_FALSE(lock.begin());
  EXPECT_FALSE(lock.end());
  EXPECT_TRUE(lock.end());
  EXPECT_FALSE(lock.end()) << "an extra release stays at zero";
  EXPECT_EQ(lock.count(), 0);
}

TEST(TabRow, HeightByRows) {
  EXPECT_EQ(TabRowHeight(1, false), 23);
  EXPECT_EQ(TabRowHeight(2, true), 42);
  EXPECT_EQ(TabRowHeight(0, true), 0);
}

TEST(TabRow, WrapsWhereTheNextTabWouldNotFit) {
  struct Case {
    std::vector<int> widths;
    int available;
    std::vector<int> rows;
  };
  const Case cases[] = {
      {{}, 100, {}},
      {{30, 30, 30}, 100, {0, 0, 0}},
      {{40, 40, 40}, 100, {0, 0, 1}},
      {{50, 50, 50, 50, 50}, 100, {0, 0, 1, 1, 2}},  // an exact fit stays in the row
      {{150, 20, 150}, 100, {0, 1, 2}},              // too wide for any row: a row of its own
  };
  for (const Case& c : cases)
    EXPECT_EQ(WrapTabRows(c.widths, c.available), c.rows) << "tabs: " << c.widths.size() << ", width " << c.available;
}

}  // namespace
}  // namespace qv
