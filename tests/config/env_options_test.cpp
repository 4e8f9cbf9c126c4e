// Environment options and the editor configuration over an empty and a filled settings tree.
#include "config/env_options.h"

#include <gtest/gtest.h>

#include "config/editor_cfg.h"
#include "config/safe_registry.h"
#include "platform/settings_tree.h"

namespace qv {
namespace {

std::optional<SettingsValue> Value(const SettingsTree& tree, const char* key, const char* name) {
  return tree.readValue(key, name);
}

TEST(EnvOptionsTest, EmptyTreeGivesEveryDefault) {
  MemorySettingsTree tree;
  TEnvOptions env("/prog/", &tree);
  EXPECT_TRUE(env.ShiftClickClosesFileTab);
  EXPECT_TRUE(env.Backup);
  EXPECT_EQ(env.BackupDir, "/prog/Backup");
  EXPECT_FALSE(env.BackupDOSFileName);
  EXPECT_TRUE(env.DetectFileChanges);
  EXPECT_FALSE(env.AutoUpdateChangedFiles);
  EXPECT_FALSE(env.MinimizeIfNoFiles);
  EXPECT_FALSE(env.MinimizeToTray);
  EXPECT_EQ(env.StartAction, 0);
  EXPECT_TRUE(env.RememberLastDir);
  EXPECT_FALSE(env.RememberFindCfg);
  EXPECT_EQ(env.LastDir, "");
  EXPECT_FALSE(env.MultipleInstances);
  EXPECT_EQ(env.SQLDialect, 0);
  // Reading leaves the keys behind but writes no value.
  for (const char* key : {"Global", "General", "Misc"}) {
    EXPECT_TRUE(tree.keyExists(key)) << key;
    EXPECT_TRUE(tree.valueNames(key).empty()) << key;
  }
}

TEST(EnvOptionsTest, DestroyWritesOnlyLastDirAndSaveWritesTheRest) {
  MemorySettingsTree tree;
  {
    TEnvOptions env("/prog/", &tree);
    env.LastDir = "/home/u/src";
    env.StartAction = 2;
    env.SaveIfAsked(false);
    EXPECT_TRUE(tree.valueNames("General").empty());
  }
  EXPECT_EQ(tree.valueNames("General"), std::vector<std::string>{"LastDir"});
  EXPECT_EQ(Value(tree, "General", "LastDir"), SettingsValue::String("/home/u/src"));

  {
    TEnvOptions env("/prog/", &tree);
    EXPECT_EQ(env.LastDir, "/home/u/src");
    EXPECT_EQ(env.StartAction, 0) << "StartAction was never saved";
    env.StartAction = 2;
    env.BackupDir = "";
    env.MultipleInstances = true;
    env.SQLDialect = 3;
    env.ShiftClickClosesFileTab = false;
    env.LastDir = "/elsewhere";
    env.SaveIfAsked(true);
    EXPECT_EQ(Value(tree, "General", "LastDir"), SettingsValue::String("/home/u/src"))
        << "saving the options leaves LastDir to the end of the program";
  }
  TEnvOptions again("/prog/", &tree);
  EXPECT_EQ(again.StartAction, 2);
  EXPECT_EQ(again.BackupDir, "") << "an empty backup folder is kept, not replaced by the default";
  EXPECT_TRUE(again.MultipleInstances);
  EXPECT_EQ(again.SQLDialect, 3);
  EXPECT_FALSE(again.ShiftClickClosesFileTab);
  EXPECT_EQ(again.LastDir, "/elsewhere");
  EXPECT_EQ(Value(tree, "General", "StartAction"), SettingsValue::Integer(2));
  EXPECT_EQ(Value(tree, "General", "Backup"), SettingsValue::Integer(1)) << "booleans are 0 or 1";
}

TEST(EditorCfgTest, InitialRecordAndEmptyTree) {
  const TEditorCfg initial;
  const EditorOptions expected = {
      EditorOption::eoAltSetsColumnMode,  EditorOption::eoAutoIndent,
      EditorOption::eoAutoSizeMaxScrollWidth, EditorOption::eoDragDropEditing,
      EditorOption::eoDropFiles,          EditorOption::eoGroupUndo,
      EditorOption::eoHideShowScrollbars, EditorOption::eoScrollPastEol,
      EditorOption::eoShowScrollHint,     EditorOption::eoSmartTabs,
      EditorOption::eoSpecialLineDefaultFg, EditorOption::eoTabsInBlockIndent,
  };
  EXPECT_EQ(initial.Options, expected);

  MemorySettingsTree tree;
  Registry reg(tree);
  TEditorCfg cfg;
  LoadEditorCfg(reg, cfg);
  EXPECT_EQ(cfg, initial) << "every value of an empty key Editor takes its default";
  EXPECT_TRUE(tree.keyExists("Editor"));
  EXPECT_TRUE(tree.valueNames("Editor").empty());

  EXPECT_TRUE(cfg.TrimTrailingSpaces);
  EXPECT_TRUE(cfg.FindTextAtCursor);
  EXPECT_TRUE(cfg.GutterVsbl);
  EXPECT_FALSE(cfg.LineNumbers);
  EXPECT_TRUE(cfg.UndoAfterSave);
  EXPECT_TRUE(cfg.HideMouseWhenTyping);
  EXPECT_EQ(cfg.ExtraLineSpacing, 0);
  EXPECT_EQ(cfg.InsertCaretShape, 0);
  EXPECT_EQ(cfg.OverwriteCaretShape, 3);
  EXPECT_EQ(cfg.RightEdge, 80);
  EXPECT_EQ(cfg.GutterWidth, 30);
  EXPECT_EQ(cfg.TabWidth, 8);
  EXPECT_EQ(cfg.BlockIndent, 2);
  EXPECT_EQ(cfg.FontName, "Courier New");
  EXPECT_EQ(cfg.FontSize, 10);
  EXPECT_EQ(cfg.OEMFontName, "Terminal");
  EXPECT_EQ(cfg.OEMFontSize, 14);
  EXPECT_EQ(cfg.GutterFontName, "Courier New");
  EXPECT_EQ(cfg.GutterFontSize, 8);
  EXPECT_TRUE(cfg.ShowFindReplaceInfoDlg);
  EXPECT_FALSE(cfg.ShowExecInfoDlg);
  EXPECT_TRUE(cfg.RulerVsbl);
  EXPECT_EQ(cfg.TabsMode, 1);
  EXPECT_EQ(cfg.CBlockIndent, 2);
  EXPECT_EQ(cfg.DefaultHighlighter, "");
  EXPECT_EQ(cfg.DefaultTextFormat, 0);
  EXPECT_FALSE(cfg.WordwrapByDefault);
  EXPECT_TRUE(cfg.ShowWordwrapGlyph);
}

TEST(EditorCfgTest, EachOptionValueSwitchesExactlyItsOption) {
  const std::pair<const char*, EditorOption> cases[] = {
      {"AutoIndent", EditorOption::eoAutoIndent},
      {"DragDropEditing", EditorOption::eoDragDropEditing},
      {"ScrollPastEol", EditorOption::eoScrollPastEol},
      {"EnhanceHomeKey", EditorOption::eoEnhanceHomeKey},
      {"SmartTabs", EditorOption::eoSmartTabs},
      {"GroupUndo", EditorOption::eoGroupUndo},
      {"TabsInBlockIndent", EditorOption::eoTabsInBlockIndent},
      {"ShowSpecialChars", EditorOption::eoShowSpecialChars},
  };
  const EditorOptions initial = TEditorCfg{}.Options;
  for (const auto& [name, option] : cases) {
    MemorySettingsTree tree;
    tree.writeValue("Editor", name, SettingsValue::Integer(initial.has(option) ? 0 : 7));
    Registry reg(tree);
    TEditorCfg cfg;
    LoadEditorCfg(reg, cfg);
    EditorOptions expected = initial;
    expected.set(option, !initial.has(option));
    EXPECT_EQ(cfg.Options, expected) << name;
  }
  // TrimTrailingSpaces is a field of its own, not the editor option.
  MemorySettingsTree tree;
  tree.writeValue("Editor", "TrimTrailingSpaces", SettingsValue::Integer(0));
  Registry reg(tree);
  TEditorCfg cfg;
  LoadEditorCfg(reg, cfg);
  EXPECT_FALSE(cfg.TrimTrailingSpaces);
  EXPECT_EQ(cfg.Options, initial);
}

TEST(EditorCfgTest, SaveThenLoadGivesTheSameRecordAndBadNumbersFallBack) {
  TEditorCfg cfg;
  cfg.Options.exclude(EditorOption::eoSmartTabs);
  cfg.Options.include(EditorOption::eoShowSpecialChars);
  cfg.TabWidth = 4;
  cfg.FontName = "DejaVu Sans Mono";
  cfg.DefaultHighlighter = "C/C++";
  cfg.WordwrapByDefault = true;
  MemorySettingsTree tree;
  Registry reg(tree);
  SaveEditorCfg(reg, cfg);
  EXPECT_EQ(tree.valueNames("Editor").size(), 36u);
  EXPECT_EQ(tree.valueNames("Editor").front(), "AutoIndent");
  EXPECT_EQ(tree.valueNames("Editor").back(), "ShowWordwrapGlyph");
  TEditorCfg loaded;
  LoadEditorCfg(reg, loaded);
  EXPECT_EQ(loaded, cfg);

  tree.writeValue("Editor", "TabWidth", SettingsValue::Integer(0));
  tree.writeValue("Editor", "InsertCaretShape", SettingsValue::Integer(9));
  tree.writeValue("Editor", "FontSize", SettingsValue::Integer(-3));
  tree.writeValue("Editor", "RightEdge", SettingsValue::String("eighty"));
  LoadEditorCfg(reg, loaded);
  EXPECT_EQ(loaded.TabWidth, 8);
  EXPECT_EQ(loaded.InsertCaretShape, 0);
  EXPECT_EQ(loaded.FontSize, 10);
  EXPECT_EQ(loaded.RightEdge, 80) << "a value of the wrong type reads as missing";
}

TEST(ConvertOldExtensionsTest, OldListsAreConvertedAndMarkTheConfigChanged) {
  struct Case {
    const char* stored;
    const char* loaded;
    bool converted;
  };
  const Case cases[] = {
      {" .pas .dpr", "*.pas;*.dpr", true},
      {".pas .dpr", ".pas;*.dpr", true},
      {"*.pas;*.dpr", "*.pas;*.dpr", false},
      {"  *.c;*.h  ", "*.c;*.h", false},
      {";*.c", "*.c", false},
      {"", "", false},
      {" .txt", "*.txt", true},
  };
  for (const Case& c : cases) {
    SetEditorCfgChanged(false);
    EXPECT_EQ(ConvertOldExtensions(c.stored), c.loaded) << '"' << c.stored << '"';
    EXPECT_EQ(EditorCfgChanged(), c.converted) << '"' << c.stored << '"';
  }
  SetEditorCfgChanged(false);
}

}  // namespace
}  // namespace qv
