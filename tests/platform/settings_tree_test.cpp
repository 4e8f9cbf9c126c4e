// The settings tree behaves the same in memory and in its SQLite file.
#include "platform/settings_tree.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/sqlite_settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

using Maker = std::function<std::unique_ptr<SettingsTree>()>;

std::unique_ptr<SettingsTree> MakeSqlite() {
  auto opened = SqliteSettingsTree::Open(test::FreshDir("tree") / "settings.db");
  EXPECT_TRUE(opened.tree) << opened.error;
  return std::move(opened.tree);
}

class SettingsTreeTest : public testing::TestWithParam<std::pair<const char*, Maker>> {
 protected:
  std::unique_ptr<SettingsTree> tree = GetParam().second();
};

TEST_P(SettingsTreeTest, EmptyTreeHasOnlyTheRoot) {
  EXPECT_TRUE(tree->keyExists(""));
  EXPECT_FALSE(tree->keyExists("Global"));
  EXPECT_FALSE(tree->readValue("Global", "FormLeft"));
  EXPECT_TRUE(tree->subkeyNames("").empty());
}

TEST_P(SettingsTreeTest, ValuesKeepTheirTypeAndBytes) {
  const std::vector<std::pair<std::string, SettingsValue>> cases = {
      {"Text", SettingsValue::String("C:\\dir\\\"quoted\"")},
      {"Empty", SettingsValue::String("")},
      {"WithZero", SettingsValue::String(std::string("a\0b", 3))},
      {"Negative", SettingsValue::Integer(static_cast<std::int32_t>(0x80000008u))},
      {"Bytes", SettingsValue::Binary({0, 1, 0xff, 0x80})},
      {"NoBytes", SettingsValue::Binary({})},
  };
  for (const auto& [name, value] : cases) ASSERT_TRUE(tree->writeValue("Misc", name, value));
  for (const auto& [name, value] : cases) {
    auto read = tree->readValue("Misc", name);
    ASSERT_TRUE(read) << name;
    EXPECT_EQ(*read, value) << name;
  }
}

TEST_P(SettingsTreeTest, NamesIgnoreCaseAndKeepTheFirstSpelling) {
  ASSERT_TRUE(tree->writeValue("HighLighters\\hlCpp", "HelpFile", SettingsValue::String("a")));
  ASSERT_TRUE(tree->writeValue("highlighters\\HLCPP", "helpfile", SettingsValue::String("b")));
  EXPECT_EQ(tree->subkeyNames(""), std::vector<std::string>{"HighLighters"});
  EXPECT_EQ(tree->valueNames("HighLighters\\hlCpp"), std::vector<std::string>{"HelpFile"});
  EXPECT_EQ(tree->readValue("HIGHLIGHTERS/hlcpp", "HELPFILE")->text, "b");
}

TEST_P(SettingsTreeTest, ValuesInWriteOrderSubkeysByName) {
  for (const char* name : {"Zeta", "alpha", "Mid"}) {
    ASSERT_TRUE(tree->writeValue("K", name, SettingsValue::Integer(1)));
    ASSERT_TRUE(tree->createKey(std::string("K\\") + name));
  }
  ASSERT_TRUE(tree->writeValue("K", "alpha", SettingsValue::Integer(2)));  // keeps its place
  EXPECT_EQ(tree->valueNames("K"), (std::vector<std::string>{"Zeta", "alpha", "Mid"}));
  EXPECT_EQ(tree->subkeyNames("K"), (std::vector<std::string>{"alpha", "Mid", "Zeta"}));
}

TEST_P(SettingsTreeTest, DeleteKeyTakesItsSubkeysAndLeavesSiblings) {
  ASSERT_TRUE(tree->writeValue("UserExecKeys\\0\\F9", "ExecCommand", SettingsValue::String("gcc")));
  ASSERT_TRUE(tree->writeValue("UserExecKeys", "Count", SettingsValue::Integer(1)));
  ASSERT_TRUE(tree->writeValue("UserExecKeysOther", "X", SettingsValue::Integer(1)));
  ASSERT_TRUE(tree->deleteKey("UserExecKeys"));
  EXPECT_FALSE(tree->keyExists("UserExecKeys"));
  EXPECT_FALSE(tree->keyExists("UserExecKeys\\0\\F9"));
  EXPECT_TRUE(tree->readValue("UserExecKeysOther", "X"));
  // Recreating the key finds nothing of the old one.
  ASSERT_TRUE(tree->createKey("UserExecKeys\\0"));
  EXPECT_FALSE(tree->readValue("UserExecKeys\\0\\F9", "ExecCommand"));
  EXPECT_TRUE(tree->deleteKey("NoSuchKey"));
}

TEST_P(SettingsTreeTest, DeletingTheRootEmptiesTheTree) {
  ASSERT_TRUE(tree->writeValue("", "RootValue", SettingsValue::Integer(1)));
  ASSERT_TRUE(tree->writeValue("A\\B", "V", SettingsValue::Integer(1)));
  ASSERT_TRUE(tree->deleteKey(""));
  EXPECT_TRUE(tree->keyExists(""));
  EXPECT_TRUE(tree->valueNames("").empty());
  EXPECT_TRUE(tree->subkeyNames("").empty());
}

TEST_P(SettingsTreeTest, ApplyRunsABatchInOrder) {
  const std::vector<SettingsChange> changes = {
      {SettingsChange::Kind::SetValue, "Find", "Origin", SettingsValue::Integer(3)},
      {SettingsChange::Kind::SetValue, "Find", "Scope", SettingsValue::Integer(1)},
      {SettingsChange::Kind::DeleteValue, "Find", "Scope", {}},
      {SettingsChange::Kind::CreateKey, "Empty\\Key", "", {}},
  };
  ASSERT_TRUE(tree->apply(changes));
  EXPECT_EQ(tree->readValue("Find", "Origin")->integer, 3);
  EXPECT_FALSE(tree->readValue("Find", "Scope"));
  EXPECT_TRUE(tree->keyExists("Empty\\Key"));
}

INSTANTIATE_TEST_SUITE_P(
    Both, SettingsTreeTest,
    testing::Values(std::pair<const char*, Maker>{"Memory", [] {
                      return std::unique_ptr<SettingsTree>(std::make_unique<MemorySettingsTree>());
                    }},
                    std::pair<const char*, Maker>{"Sqlite", MakeSqlite}),
    [](const auto& info) { return std::string(info.param.first); });

TEST(KeyPathTest, HivePathsBelowTheRootOnly) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"\\Software\\Quirvane\\Quirvane", ""},
      {"\\Software\\Quirvane\\Quirvane\\", ""},
      {"\\Software\\Quirvane\\Quirvane\\Global", "Global"},
      {"\\Software\\Quirvane\\Quirvane\\Global\\", "Global"},
      {"/Software/Quirvane/Quirvane/HighLighters/hlCpp/", "HighLighters\\hlCpp"},
      {"\\software\\QUIRVANE\\quirvane\\Editor", "Editor"},
      {"\\Software\\Quirvane", std::nullopt},
      {"\\Software\\Other\\Quirvane\\Global", std::nullopt},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(TreePathFromHivePath(path), expected) << path;
}

}  // namespace
}  // namespace qv
