// The command language run against a recording main window: one table of command lines.
#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "fake_hosts.h"

namespace qv {
namespace {
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Files of every fixture folder.
fs::path MakeFixture(const std::string& name) {
  const fs::path dir = test::FreshDir(name);
  for (const char* f : {"a.txt", "b.txt", "A.TXT", "name.txt", "notes.md", "sub/c.txt"}) test::WriteFileBytes(dir / f, "x\n");
  fs::create_directories(dir / "folder.txt");
  test::WriteFileBytes(dir / "proj.cpr", "QVPROJECT 1\n");
  test::WriteFileBytes(dir / "other.cpr", "just text\n");
  test::WriteFileBytes(dir / "list.lst", "  b.txt  \r\n\r\n\tsub/c.txt\nmissing.txt\n");
  return dir;
}

struct Case {
  const char* what;
  Lines args;
  Lines log;
  bool hadArguments = true;
};

TEST(CommandLine, RunsEachCommandLineAsTheMainWindowSeesIt) {
  const Case cases[] = {
      {"no arguments", {}, {}, false},
      {"'.' and '..' alone count as none", {".", ".."}, {}, false},
      {"a lone '/' gives no token", {"/"}, {}},
      {"/P takes /M as its file", {"/P/M"}, {"error opening /M", "close-request"}},
      {"/G before any file does nothing", {"/G", "a.txt"}, {"open-single a.txt"}},
      {"/G without digits: column 1, line 1", {"a.txt", "/G"}, {"open-single a.txt", "goto #1 0 0"}},
      {"open, go to, lock", {"name.txt", "/G3:7", "/R"}, {"open-single name.txt", "goto #1 2 6", "lock #1"}},
      {"/G12 is column 12 of line 1", {"a.txt", "/G12"}, {"open-single a.txt", "goto #1 11 0"}},
      {"/G skips any non-digits between its numbers", {"a.txt", "/g4 , x 9"}, {"open-single a.txt", "goto #1 3 8"}},
      {"/G0:0 stays on the first column and line", {"a.txt", "/G0:0"}, {"open-single a.txt", "goto #1 0 0"}},
      {"a missing single file becomes a new document", {"missing.txt", "/R"}, {"open-single missing.txt", "lock #1"}},
      {"among two files a missing one is reported", {"a.txt", "missing.txt", "/S"},
       {"open a.txt", "error opening missing.txt"}},
      {"each open item replaces the targets", {"a.txt", "b.txt", "/S"}, {"open a.txt", "open b.txt", "save #2"}},
      {"a project file opens as a project", {"proj.cpr", "/R"}, {"project proj.cpr", "lock #1", "lock #2"}},
      {"a .cpr without the signature opens as text", {"other.cpr"}, {"open-single other.cpr"}},
      {"print keeps the program running", {"/P", "a.txt"}, {"print a.txt"}},
      {"print of a wildcard matching nothing ends the program", {"/P", "*.none"}, {"close-request"}},
      {"wildcards: sorted byte-wise, extension in any case, no folders", {"*.txt", "/C"},
       {"paint-lock", "open A.TXT", "open a.txt", "open b.txt", "open name.txt", "close #1", "close #2", "close #3",
        "close #4", "paint-unlock"}},
      {"the name part of a wildcard keeps its case", {"N*.txt", "n?me.*"}, {"open-single name.txt"}},
      {"wildcard in a sub-folder", {"sub/*.TXT", "/R"}, {"open-single sub/c.txt", "lock #1"}},
      {"list file: trimmed, blank lines dropped, names from its folder", {"/I", "list.lst", "/R"},
       {"paint-lock", "open b.txt", "open sub/c.txt", "error opening missing.txt", "lock #1", "lock #2",
        "paint-unlock"}},
      {"/M strips surrounding quotes", {"a.txt", "/M", "\"Tidy up\""}, {"open-single a.txt", "macro #1 Tidy up"}},
      {"save, close, exit", {"a.txt", "/S", "/C", "/R", "/E"},
       {"open-single a.txt", "save #1", "close #1", "close-request"}},
      {"a switch of two letters is ignored", {"/PX", "a.txt"}, {"open-single a.txt"}},
      {"a value switch standing last is ignored", {"a.txt", "/M"}, {"open-single a.txt"}},
      {"an unknown letter is ignored", {"/Z", "/R"}, {}},
  };
  for (const Case& c : cases) {
    const fs::path dir = MakeFixture("cmd");
    test::RecordingHost host(dir);
    test::RecordingPrompter prompter;
    const bool had = ProcessCommandLine(c.args, host, {dir, &prompter, {}});
    EXPECT_EQ(had, c.hadArguments) << c.what;
    EXPECT_EQ(host.log, c.log) << c.what;
    EXPECT_TRUE(prompter.shown.empty()) << c.what;
  }
}

TEST(CommandLine, AbsoluteNamesAreFilesNotSwitches) {
  const fs::path dir = MakeFixture("absolute");
  test::RecordingHost host(dir);
  ProcessCommandLine({(dir / "a.txt").string(), "/G2:3/R"}, host, {dir, nullptr, {}});
  EXPECT_EQ(host.log, (Lines{"open-single a.txt", "goto #1 1 2", "lock #1"}));
  EXPECT_TRUE(IsAbsoluteFileArgument("/tmp/x.txt"));
  EXPECT_FALSE(IsAbsoluteFileArgument("/P/M"));
  EXPECT_FALSE(IsAbsoluteFileArgument("/tmp"));
}

TEST(CommandLine, UnreadableListFileIsReportedAndTheRestRuns) {
  const fs::path dir = MakeFixture("nolist");
  test::RecordingHost host(dir);
  test::RecordingPrompter prompter;
  auto german = [](int id, const std::string& english) {
    return id == 3010 ? std::string("Fehler beim Öffnen von '%s'.") : id == 3012 ? std::string("Fehler") : english;
  };
  ProcessCommandLine({"/I", "absent.lst", "a.txt", "/R"}, host, {dir, &prompter, german});
  EXPECT_EQ(prompter.shown, (Lines{"Fehler|Fehler beim Öffnen von 'absent.lst'."}));
  EXPECT_EQ(host.log, (Lines{"open-single a.txt", "lock #1"}));

  prompter.shown.clear();
  ProcessCommandLine({"/I", "sub"}, host, {dir, &prompter, {}});
  EXPECT_EQ(prompter.shown, (Lines{"Error|Error opening 'sub'."})) << "a folder is not a list";

  prompter.shown.clear();
  ProcessCommandLine({"/I", "/dev/zero"}, host, {dir, &prompter, {}});
  EXPECT_EQ(prompter.shown, (Lines{"Error|Error opening '/dev/zero'."})) << "a device never ends";
}

TEST(CommandLine, ListFileSkipsLinesLongerThanAnyName) {
  const fs::path dir = MakeFixture("longline");
  test::WriteFileBytes(dir / "long.lst", std::string(200000, 'x') + "\nb.txt\n" + std::string(70000, 'y') + "\n  a.txt");
  bool error = true;
  EXPECT_EQ(ReadListFile("long.lst", dir, error), (Lines{(dir / "b.txt").string(), (dir / "a.txt").string()}));
  EXPECT_FALSE(error);
}

TEST(CommandLine, ItemsOfTokens) {
  const fs::path dir = MakeFixture("items");
  test::RecordingHost host(dir);
  const auto tokens = TokenizeCommandLine({"//P/", "x", "", "/G5:10/c"});
  EXPECT_EQ(tokens.tokens, (Lines{"/P", "x", "/G5:10", "/c"}));
  const auto items = ParseCommandLineItems(tokens.tokens, host, {dir, nullptr, {}});
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].kind, CommandLineKind::Print);
  EXPECT_EQ(items[0].files, Lines{"x"});
  EXPECT_EQ(items[1].kind, CommandLineKind::GoTo);
  EXPECT_EQ(items[1].column, 4);
  EXPECT_EQ(items[1].line, 9);
  EXPECT_EQ(items[2].kind, CommandLineKind::Close);
}

TEST(CommandLine, WildcardMatching) {
  struct Match {
    const char* pattern;
    const char* name;
    bool matches;
  };
  const Match cases[] = {
      {"*.txt", "a.TXT", true},   {"A*.txt", "a.txt", false}, {"*", ".hidden", true},
      {"?.c", "ä.c", true},       {"??.c", "ä.c", false},     {"*.*", "Makefile", true},
      {"read*.*", "readme", true}, {"*.c", "a.cpp", false},   {"*a*b*c", "xxaxxbxxbc", true},
  };
  for (const Match& m : cases) EXPECT_EQ(WildcardMatch(m.pattern, m.name), m.matches) << m.pattern << " " << m.name;
}

}  // namespace
}  // namespace qv
