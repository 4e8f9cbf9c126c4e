// The position history: its line format, reading at most 500 lines, storing most recent first,
// restoring an editor, and writing the file whole.
#include <gtest/gtest.h>

#include "documents/file_pos_history.h"
#include "editor/editor.h"
#include "highlight/highlighter_table.h"
#include "platform/scripted_prompter.h"
#include "support/test_env.h"

namespace qv {
namespace {

using test::FreshDir;
using test::ReadFileBytes;
using test::WriteFileBytes;

}  // namespace

// Readable failure messages for records.
void PrintTo(const TFilePosRec& r, std::ostream* os) {
  *os << "{" << r.TopLine << "," << r.CaretX << "," << r.CaretY << " wrap " << r.WordWrap << " hl '"
      << r.Highlighter << "' marks";
  for (const auto& b : r.Bookmarks) *os << " (" << b.Index << ":" << b.X << "," << b.Y << ")";
  *os << "}";
}

namespace {

TEST(FilePosLine, ParsesTheFormatOfTheFile) {
  struct Case {
    const char* line;
    std::optional<std::string> name;
    TFilePosRec rec;
  };
  const Case cases[] = {
      {"\"/home/u/a.pas\"|12,5,30|(0:1,40);(3:7,112);||1", "/home/u/a.pas",
       {12, 5, 30, true, "", {{0, 1, 40}, {3, 7, 112}}}},
      {"\"/b.txt\"|1,1,1||Pascal|0", "/b.txt", {1, 1, 1, false, "Pascal", {}}},
      {"\"/b.txt\"|1,1,1|(0:1,2);(3:0,5);(4:2,3);|x|1", "/b.txt",
       {1, 1, 1, false, ";(4:2,3);", {{0, 1, 2}}}},  // X = 0 ends the bookmark list
      {"\"/c\"|7,8,9|||1\r", "/c", {7, 8, 9, true, "", {}}},
      {"\"/d\"", "/d", {0, 0, 0, false, "", {}}},  // nothing after the name reads as zeros
      {"\"/e\"|1,2,99999999999999|", "/e", {1, 2, 2147483647, false, "", {}}},  // saturates
      {"\"/e\"|-3,x|", "/e", {0, 0, 0, false, "", {}}},  // no sign: a '-' reads as nothing
      {"\"\"|1,1,1|||0", std::nullopt, {}},   // empty name
      {"/f|1,1,1|||0", std::nullopt, {}},     // no quote
      {"\"", std::nullopt, {}},
      {"", std::nullopt, {}},
  };
  for (const Case& c : cases) {
    auto got = ParseFilePosLine(c.line);
    ASSERT_EQ(got.has_value(), c.name.has_value()) << c.line;
    if (!got) continue;
    EXPECT_EQ(got->first, *c.name) << c.line;
    EXPECT_EQ(got->second, c.rec) << c.line;
  }
}

TEST(FilePosLine, WritesWhatItReads) {
  TFilePosRec rec{12, 5, 30, true, "", {{0, 1, 40}, {3, 7, 112}}};
  EXPECT_EQ(FormatFilePosLine("/home/u/a.pas", rec), "\"/home/u/a.pas\"|12,5,30|(0:1,40);(3:7,112);||1");
  rec.Highlighter = "C/C++";
  rec.WordWrap = false;
  const std::string line = FormatFilePosLine("/x y/z.c", rec);
  EXPECT_EQ(ParseFilePosLine(line)->second, rec);
  EXPECT_EQ(FormatFilePosLine("/a\"b", rec), "") << "a name the line cannot hold is not written";
  EXPECT_EQ(FormatFilePosLine("/a\nb", rec), "");
  rec.Highlighter = "bad|name";
  EXPECT_EQ(ParseFilePosLine(FormatFilePosLine("/a", rec))->second.Highlighter, "") << "line stays whole";
}

std::string HistoryLines(int count, const std::string& prefix) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += "\"/" + prefix + std::to_string(i) + "\"|" + std::to_string(i + 1) + ",1,1|||0\n";
  return text;
}

TEST(FilePosHistoryTest, AHistoryOf700LinesKeepsTheFirst500AndNewEntriesGoInFront) {
  const auto dir = FreshDir("history700");
  const auto file = dir / "QuirvanePos.ini";
  WriteFileBytes(file, HistoryLines(700, "f"));
  {
    TFilePosHistory h(file);
    EXPECT_EQ(h.entries().size(), 0u) << "read only when enabled";
    h.SetEnabled(true);
    ASSERT_EQ(h.entries().size(), 500u);
    EXPECT_EQ(h.entries().front().first, "/f0");
    EXPECT_EQ(h.entries().back().first, "/f499");
    h.Store("/new", TFilePosRec{3, 4, 5, false, "", {}});
  }
  const std::string written = ReadFileBytes(file);
  EXPECT_TRUE(written.starts_with("\"/new\"|3,4,5|||0\n\"/f0\"|1,1,1|||0\n")) << written.substr(0, 80);
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 501);
  TFilePosHistory again(file);
  again.SetEnabled(true);
  EXPECT_EQ(again.entries().size(), 500u) << "the next start keeps 500 again";
}

TEST(FilePosHistoryTest, FindStoreAndTheEnabledSwitch) {
  const auto dir = FreshDir("history-switch");
  const auto file = dir / "QuirvanePos.ini";
  WriteFileBytes(file, HistoryLines(3, "g") + "garbage line\n\"\"|1,1,1|||0\n");
  TFilePosHistory h(file);
  h.SetEnabled(true);
  ASSERT_EQ(h.entries().size(), 3u) << "damaged lines are skipped";
  int at = -1;
  ASSERT_TRUE(h.Find("/g1", &at));
  EXPECT_EQ(at, 1);
  EXPECT_FALSE(h.Find("/G1", &at)) << "names are compared as the file system does";
  EXPECT_EQ(at, -1);
  h.Store("/g2", TFilePosRec{9, 9, 9, false, "", {}});
  EXPECT_EQ(h.entries().front().first, "/g2") << "moved to the top";
  EXPECT_EQ(h.entries().size(), 3u);

  WriteFileBytes(file, HistoryLines(1, "other"));
  h.SetEnabled(false);
  EXPECT_FALSE(h.Find("/g2"));
  h.Store("/ignored", {});
  h.SetEnabled(true);
  EXPECT_FALSE(h.Find("/other0")) << "the file is read once per run";
  EXPECT_FALSE(h.Find("/ignored"));
  EXPECT_TRUE(h.Find("/g2"));
}

TEST(FilePosHistoryTest, DisabledHistoryLeavesTheFileAlone) {
  const auto dir = FreshDir("history-off");
  const auto file = dir / "QuirvanePos.ini";
  WriteFileBytes(file, HistoryLines(2, "h"));
  {
    TFilePosHistory h(file);
    h.SetEnabled(true);
    h.Store("/x", {});
    h.SetEnabled(false);
  }
  EXPECT_EQ(ReadFileBytes(file), HistoryLines(2, "h"));
  TFilePosHistory missing(dir / "sub" / "QuirvanePos.ini");
  missing.SetEnabled(true);
  EXPECT_FALSE(missing.Loaded()) << "a missing file is looked for again later";
  missing.Store("/y", {});
  EXPECT_TRUE(missing.WriteFile()) << "the folder is made";
  EXPECT_EQ(ReadFileBytes(dir / "sub" / "QuirvanePos.ini"), "\"/y\"|1,1,1|||0\n");
}

TEST(FilePosHistoryTest, AFileReopenedAtLine300WithItsTopLineAndBookmarks) {
  std::string text;
  for (int i = 1; i <= 600; ++i) text += "line " + std::to_string(i) + "\n";
  const auto dir = FreshDir("history-reopen");
  const auto file = dir / "QuirvanePos.ini";
  {
    TFilePosHistory h(file);
    h.SetEnabled(true);
    Editor e;
    e.loadBytes(text);
    e.setCaretXY({4, 300});
    e.setTopLine(288);
    e.setWordWrap(true);
    e.setMarker(2, BufferCoord{1, 10});
    e.setMarker(7, BufferCoord{3, 500});
    h.Store(e, "/docs/big.txt", "");
  }
  TFilePosHistory h(file);
  h.SetEnabled(true);
  Editor e;
  e.loadBytes(text);
  const FilePosRestore r = h.Restore(e, "/docs/big.txt", false, false);
  EXPECT_TRUE(r.found);
  EXPECT_EQ(e.caretXY(), (BufferCoord{4, 300}));
  EXPECT_EQ(e.topLine(), 288);
  EXPECT_TRUE(e.wordWrap());
  EXPECT_EQ(r.wordWrap, true);
  EXPECT_EQ(e.marker(2), (BufferCoord{1, 10}));
  EXPECT_EQ(e.marker(7), (BufferCoord{3, 500}));
  EXPECT_FALSE(e.marker(0));

  Editor other;
  const FilePosRestore none = h.Restore(other, "/docs/unknown.txt", true, false);
  EXPECT_FALSE(none.found);
  EXPECT_EQ(none.wordWrap, true) << "the default wrap without a record";
  EXPECT_TRUE(other.wordWrap());
  Editor project;
  project.loadBytes(text);
  EXPECT_FALSE(h.Restore(project, "/docs/big.txt", false, true).wordWrap) << "a project restores its own";
  EXPECT_EQ(project.caretXY().Line, 1);
}

TEST(FilePosHistoryTest, BookmarksBeyondTheTextStayInside) {
  const auto dir = FreshDir("history-short");
  TFilePosHistory h(dir / "QuirvanePos.ini");
  h.SetEnabled(true);
  h.Store("/s", TFilePosRec{50, 3, 80, false, "", {{1, 2, 99}, {11, 1, 1}}});
  Editor e;
  e.loadBytes("a\nb\nc");
  h.Restore(e, "/s", false, false);
  EXPECT_EQ(e.caretXY().Line, 3);
  ASSERT_TRUE(e.marker(1));
  EXPECT_EQ(e.marker(1)->Line, 3);
}

TEST(FilePosHistoryTest, OnlyAHandChosenHighlighterIsStored) {
  ScriptedPrompter prompter;
  HighlighterTable table;
  table.BuildHighlighterTable(FreshDir("history-hl"), prompter);
  THighLighter* byName = &table.FindHighlighterByFileName("unit.pas");
  ASSERT_NE(byName, &table.entry(0));
  EXPECT_EQ(HandChosenHighlighter(table, "unit.pas", byName), "");
  EXPECT_EQ(HandChosenHighlighter(table, "notes.txt", byName), byName->name);
  EXPECT_EQ(HandChosenHighlighter(table, "unit.pas", nullptr), "");
}

}  // namespace
}  // namespace qv
