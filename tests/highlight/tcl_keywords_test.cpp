// The Tcl/Tk highlighter's own keyword list: what it marks, and how the settings tree keeps it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "highlight/highlighter_table.h"
#include "highlight/languages/languages.h"
#include "highlight/languages/tcl.h"
#include "platform/registry.h"
#include "platform/scripted_prompter.h"
#include "platform/settings_tree.h"
#include "support/test_env.h"

namespace qv {
namespace {

// The storage name of each word's attribute in one line.
std::map<std::string, std::string> AttributesOfWords(Highlighter& h, std::string_view line) {
  std::map<std::string, std::string> out;
  h.resetRange();
  for (h.setLine(line, 0); !h.eol(); h.next())
    if (h.tokenAttribute()) out[std::string(h.tokenText())] = h.tokenAttribute()->storageName;
  return out;
}

TEST(TclKeyWords, TheListDecidesWhatIsAReservedWord) {
  auto tcl = lang::MakeTclHighlighter();
  const std::string defaults = *lang::TclHighlighterKeyWords(*tcl);
  EXPECT_NE(defaults.find("proc\r\n"), std::string::npos) << defaults;
  EXPECT_EQ(AttributesOfWords(*tcl, "proc greet")["proc"], "Reserved_Word");

  ASSERT_TRUE(lang::SetTclHighlighterKeyWords(*tcl, "greet\r\nshout\n  whisper "));
  EXPECT_EQ(*lang::TclHighlighterKeyWords(*tcl), "greet\r\nshout\r\nwhisper\r\n");
  auto words = AttributesOfWords(*tcl, "proc greet");
  EXPECT_EQ(words["proc"], "Identifier");
  EXPECT_EQ(words["greet"], "Reserved_Word");
  // Tk commands are a list of their own and stay.
  EXPECT_EQ(AttributesOfWords(*tcl, "button .b")["button"], "Second_Reserved_Word");
  // A copy of the highlighter keeps the changed list.
  EXPECT_EQ(*lang::TclHighlighterKeyWords(*tcl->clone()), "greet\r\nshout\r\nwhisper\r\n");

  auto cpp = lang::MakeCppHighlighter();
  EXPECT_FALSE(lang::TclHighlighterKeyWords(*cpp));
  EXPECT_FALSE(lang::SetTclHighlighterKeyWords(*cpp, "x"));
}

TEST(TclKeyWords, RoundTripThroughTheSettingsTree) {
  MemorySettingsTree tree;
  ScriptedPrompter prompter;
  const auto folder = test::FreshDir("tcl_keywords");
  {
    HighlighterTable table;
    table.BuildHighlighterTable(folder, prompter);
    Registry reg(tree);
    table.SaveHighlighterSettings(reg);
  }
  const auto stored = tree.readValue("HighLighters\\hlTCL", "KeyWords");
  ASSERT_TRUE(stored) << "the default list is written";
  EXPECT_NE(stored->text.find("\r\nproc\r\n"), std::string::npos) << stored->text;
  EXPECT_FALSE(tree.readValue("HighLighters\\hlCpp", "KeyWords")) << "only the Tcl/Tk highlighter has one";

  // A list the user changed comes back in the next run and is written again unchanged.
  tree.writeValue("HighLighters\\hlTCL", "KeyWords", SettingsValue::String("greet\r\nshout\r\n"));
  HighlighterTable table;
  table.BuildHighlighterTable(folder, prompter);
  Registry reg(tree);
  table.LoadHighlighterSettings(reg);
  Highlighter& tcl = *table.FindHighlighterByComponent("hlTCL")->highlighter;
  EXPECT_EQ(*lang::TclHighlighterKeyWords(tcl), "greet\r\nshout\r\n");
  EXPECT_EQ(AttributesOfWords(tcl, "shout proc")["shout"], "Reserved_Word");
  tree.writeValue("HighLighters\\hlTCL", "KeyWords", SettingsValue::String("other"));
  table.SaveHighlighterSettings(reg);
  EXPECT_EQ(tree.readValue("HighLighters\\hlTCL", "KeyWords")->text, "greet\r\nshout\r\n");
}

}  // namespace
}  // namespace qv
