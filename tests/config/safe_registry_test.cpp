// Reads with defaults, fonts, window placement and column widths through TSafeRegistry.
#include "config/safe_registry.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

constexpr const char* kGlobal = "\\Software\\Quirvane\\Quirvane\\Global\\";

class SafeRegistryTest : public testing::Test {
 protected:
  MemorySettingsTree tree;
  TSafeRegistry reg{tree};
};

TEST_F(SafeRegistryTest, EmptyTreeGivesEveryDefaultAndWritesNothing) {
  ASSERT_TRUE(reg.OpenKey(kGlobal, true));
  EXPECT_EQ(reg.ReadStrDef("Language", "dflt"), "dflt");
  EXPECT_EQ(reg.ReadIntDef("FormLeft", 42), 42);
  EXPECT_TRUE(reg.ReadBoolDef("BtmWinVsbl", true));
  EXPECT_FALSE(reg.ReadBoolDef("StayOnTop", false));
  EXPECT_EQ(ReadFloatDef(reg, "MarginsLeft", 2.5), 2.5);
  FontSpec font{"Arial", 20, 1, 3};
  ReadFont(reg, "Font", font);
  EXPECT_EQ(font, FontSpec{});  // "Courier New", 10, window text, plain
  // Opening with creation leaves the key behind, but no value.
  EXPECT_TRUE(tree.keyExists("Global"));
  EXPECT_TRUE(tree.valueNames("Global").empty());
}

TEST_F(SafeRegistryTest, StoredValuesWinOverDefaults) {
  ASSERT_TRUE(reg.OpenKey(kGlobal, true));
  reg.WriteString("Language", "Deutsch.lng");
  reg.WriteInteger("FormLeft", -7);
  reg.WriteBool("StayOnTop", true);
  reg.WriteInteger("Odd", 2);
  reg.WriteFloat("MarginsLeft", 0.125);
  EXPECT_EQ(reg.ReadStrDef("Language", ""), "Deutsch.lng");
  EXPECT_EQ(reg.ReadIntDef("FormLeft", 0), -7);
  EXPECT_TRUE(reg.ReadBoolDef("StayOnTop", false));
  EXPECT_TRUE(reg.ReadBoolDef("Odd", false)) << "any non-zero integer reads as true";
  EXPECT_EQ(ReadFloatDef(reg, "MarginsLeft", 0), 0.125);
  EXPECT_EQ(tree.readValue("Global", "StayOnTop"), SettingsValue::Integer(1));
  EXPECT_EQ(tree.readValue("Global", "MarginsLeft"),
            SettingsValue::Binary({0, 0, 0, 0, 0, 0, 0xC0, 0x3F}));
}

TEST_F(SafeRegistryTest, AValueOfAnotherTypeReadsAsItsDefault) {
  tree.writeValue("Global", "FormLeft", SettingsValue::String("12"));
  tree.writeValue("Global", "Language", SettingsValue::Integer(1));
  tree.writeValue("Global", "Margin", SettingsValue::Binary({1, 2, 3}));
  ASSERT_TRUE(reg.OpenKey(kGlobal, false));
  EXPECT_EQ(reg.ReadIntDef("FormLeft", 3), 3);
  EXPECT_EQ(reg.ReadStrDef("Language", "x"), "x");
  EXPECT_EQ(ReadFloatDef(reg, "Margin", 1.5), 1.5) << "only 8 bytes make a double";
}

TEST_F(SafeRegistryTest, KeyPathFormsNameTheSameKey) {
  const std::vector<std::string> forms = {
      "\\Software\\Quirvane\\Quirvane\\fmBtmWin", "\\Software\\Quirvane\\Quirvane\\fmBtmWin\\",
      "/Software/Quirvane/Quirvane/fmBtmWin/", "\\software\\quirvane\\quirvane\\FMBTMWIN"};
  ASSERT_TRUE(reg.OpenKey(forms[0], true));
  reg.WriteInteger("CurrentView", 2);
  for (const auto& form : forms) {
    TSafeRegistry other(tree);
    ASSERT_TRUE(other.OpenKey(form, false)) << form;
    EXPECT_EQ(other.ReadIntDef("CurrentView", 1), 2) << form;
  }
  EXPECT_EQ(tree.subkeyNames(""), std::vector<std::string>{"fmBtmWin"});
}

TEST_F(SafeRegistryTest, OpeningWithoutCreatingAndOutsideTheRootFails) {
  EXPECT_FALSE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\fmBtmWin", false));
  EXPECT_FALSE(reg.OpenKeyReadOnly("\\Software\\Quirvane\\Quirvane\\fmBtmWin"));
  EXPECT_FALSE(reg.OpenKey("\\Software\\Elsewhere", true));
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.WriteInteger("X", 1)) << "no key is open";
  EXPECT_FALSE(tree.keyExists("fmBtmWin"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\Files", true));
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Quirvane\\Quirvane\\Files"));
  EXPECT_FALSE(reg.WriteInteger("Width", 1)) << "read-only";
}

TEST_F(SafeRegistryTest, DeleteKeyTakesTheWholeBranch) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\LastOpenFiles\\Deep", true));
  reg.WriteString("File0", "/tmp/a");
  reg.CloseKey();
  ASSERT_TRUE(reg.DeleteKey("\\Software\\Quirvane\\Quirvane\\LastOpenFiles"));
  EXPECT_FALSE(reg.KeyExists("\\Software\\Quirvane\\Quirvane\\LastOpenFiles\\Deep"));
  EXPECT_FALSE(reg.DeleteKey("\\Software\\Elsewhere"));
}

TEST_F(SafeRegistryTest, FontRoundTripKeepsLowStyleBits) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\fmBtmWin\\OutputConsole", true));
  WriteFont(reg, "Font", FontSpec{"Liberation Mono", 12, 0x00FF0000, 0x10F});
  EXPECT_EQ(reg.GetValueNames(),
            (std::vector<std::string>{"FontName", "FontSize", "FontColor", "FontStyle"}));
  FontSpec read;
  ReadFont(reg, "Font", read);
  EXPECT_EQ(read, (FontSpec{"Liberation Mono", 12, 0x00FF0000, 0x0F}));
}

class FakeWindow : public PlacedWindow {
 public:
  WindowPlacement state{{10, 20, 410, 320}, false};
  WindowPlacement placement() const override { return state; }
  void setNormalRect(const NormalRect& rect) override { state.normal = rect; }
  void maximize() override { state.maximized = true; }
};

TEST_F(SafeRegistryTest, FormPlacementDefaultsToTheWindowAndRoundTrips) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\fmPrnPreview", true));
  FakeWindow window;
  ReadFormPlacement(reg, window);
  EXPECT_EQ(window.state.normal, (NormalRect{10, 20, 410, 320}));
  EXPECT_FALSE(window.state.maximized);

  window.state = {{-5, 7, 95, 207}, true};
  WriteFormPlacement(reg, window);
  EXPECT_EQ(reg.ReadIntDef("FormWidth", 0), 100);
  EXPECT_EQ(reg.ReadIntDef("FormHeight", 0), 200);
  FakeWindow fresh;
  reg.ReadFormPlacement(fresh);
  EXPECT_EQ(fresh.state.normal, (NormalRect{-5, 7, 95, 207}));
  EXPECT_TRUE(fresh.state.maximized);
}

class FakeList : public ColumnList {
 public:
  std::vector<int> widths{50, 60};
  std::string name() const override { return "lvStats"; }
  int columnCount() const override { return static_cast<int>(widths.size()); }
  int columnWidth(int c) const override { return widths[static_cast<std::size_t>(c)]; }
  void setColumnWidth(int c, int w) override { widths[static_cast<std::size_t>(c)] = w; }
};

TEST_F(SafeRegistryTest, ColumnWidthsAreNamedAfterTheList) {
  ASSERT_TRUE(reg.OpenKey("\\Software\\Quirvane\\Quirvane\\fmTextStats", true));
  reg.WriteInteger("lvStats1", 99);
  FakeList list;
  reg.ReadColumnWidths(list);
  EXPECT_EQ(list.widths, (std::vector<int>{50, 99}));
  list.widths = {11, 22};
  WriteColumnWidths(reg, list);
  EXPECT_EQ(reg.ReadIntDef("lvStats0", 0), 11);
  EXPECT_EQ(reg.ReadIntDef("lvStats1", 0), 22);
}

}  // namespace
}  // namespace qv
