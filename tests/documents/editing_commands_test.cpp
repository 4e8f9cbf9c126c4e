// The program's editor commands: names, keys, word at the caret, go to line, brackets, sorting,
// filling a block, reformatting, tab conversion and undo as one step.
#include <gtest/gtest.h>

#include "documents/editing_commands.h"
#include "documents/fill_block.h"
#include "documents/reformat.h"
#include "documents/sort_lines.h"
#include "documents/word_at_caret.h"
#include "editor/text_ops.h"
#include "platform/scripted_prompter.h"

namespace qv {
namespace {

// An editor holding the bytes of a file ("\n" breaks; a final break gives an empty last line).
std::unique_ptr<Editor> EditorWith(std::string_view bytes) {
  auto e = std::make_unique<Editor>();
  e->loadBytes(bytes);
  return e;
}

std::string Bytes(const Editor& e) { return e.lines().bytes(LineBreak::Lf); }

struct Failing {
  ScriptedPrompter prompter{[](const std::string& what) { ADD_FAILURE() << what; }};
};

TEST(ProgramCommands, NamesRunFrom1001To1024InBothDirections) {
  EXPECT_EQ(ProgramCommandName(1001), "ecLoCase");
  EXPECT_EQ(ProgramCommandName(1014), "ecToggleCommentBlock");
  EXPECT_EQ(ProgramCommandName(1024), "ecRemoveComments");
  EXPECT_FALSE(ProgramCommandName(1000));
  EXPECT_FALSE(ProgramCommandName(1025));
  for (EditorCommand c = 1001; c <= 1024; ++c)
    EXPECT_EQ(ProgramCommandFromName(*ProgramCommandName(c)), c) << c;
  EXPECT_EQ(ProgramCommandFromName("ECSORTBLOCK"), ecSortBlock);
  EXPECT_FALSE(ProgramCommandFromName("ecNoSuchThing"));
}

TEST(ProgramCommands, KeyBindingsReplaceTheStockOnes) {
  KeyStrokes keys = KeyStrokes::defaults();
  ApplyProgramKeyBindings(keys);
  struct Case {
    std::uint16_t key;
    std::uint8_t shift;
    std::optional<EditorCommand> command;
  };
  const Case cases[] = {
      {vk::function(5), ssCtrl, ecLoCase},
      {vk::function(5), ssAlt, ecUpCase},
      {vk::function(5), ssNone, ecToggleCaseCmd},
      {'G', ssCtrl, ecGoToLine},
      {'B', ssCtrl, ecReformatParagraph},
      {'L', ssCtrl, ecToggleSelectionMode},
      {'F', ssCtrl, ecFind},
      {vk::function(3), ssNone, ecFindNext},
      {vk::function(3), ssShift, ecFindPrevious},
      {vk::function(2), ssShift, ecSortBlock},
      {'I', ssCtrl, ecFillBlock},
      {'C', ssCtrl | ssShift, ecToggleCommentBlock},
      {'M', ssCtrl | ssShift, ecSelTextInBraces},
      {'T', ssCtrl | ssShift, ecInsertTimeStamp},
      {'M', ssCtrl, ecMatchBracket},
      {'J', ssCtrl, ecAutoCompletion},
      {vk::Back, ssShift, std::nullopt},
      {vk::Return, ssShift, std::nullopt},
      {vk::F1, ssNone, std::nullopt},
      {'N', ssCtrl, std::nullopt},
      {'N', ssCtrl | ssShift, std::nullopt},
      {'L', ssCtrl | ssShift, std::nullopt},
      {'B', ssCtrl | ssShift, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(keys.find(c.key, c.shift), c.command) << "key " << c.key << " shift " << int(c.shift);
  EXPECT_EQ(keys.find(vk::Back, ssNone), ecDeleteLastChar) << "plain Backspace stays";
}

TEST(WordAtCaretTest, CaretInsideAfterOrBeforeAWord) {
  struct Case {
    const char* line;
    int column;
    const char* word;
  };
  const Case cases[] = {
      {"foo bar", 2, "foo"},   // inside
      {"foo bar", 4, "foo"},   // right after the last character
      {"foo bar", 5, "bar"},   // right before the first, a blank before it
      {"foo bar", 1, "foo"},   // column 1
      {"foo(x);", 8, ""},      // after a delimiter ending the line
      {"foo", 9, ""},          // beyond the line end
      {"a.b->c", 4, "b"},
  };
  for (const Case& c : cases) {
    auto e = EditorWith(c.line);
    e->setOptions([&] { auto o = e->options(); o.include(EditorOption::eoScrollPastEol); return o; }());
    e->setCaretXY({c.column, 1});
    EXPECT_EQ(WordAtCaret(*e), c.word) << c.line << " at " << c.column;
  }
}

TEST(WordAtCaretTest, SelectsTheWordWhenAsked) {
  auto e = EditorWith("int counter = 0;");
  e->setCaretXY({7, 1});
  EXPECT_EQ(WordAtCaret(*e, true), "counter");
  EXPECT_EQ(e->selText(), "counter");
}

TEST(GoToLineTest, MovesKeepingTheColumnAndRemembersTheAnswer) {
  std::string text;
  for (int i = 1; i <= 400; ++i) text += "line " + std::to_string(i) + "\n";
  auto e = EditorWith(text);
  e->setCaretXY({3, 1});
  Failing f;
  EditingMemory memory;
  EditingContext ctx;
  ctx.prompter = &f.prompter;
  ctx.memory = &memory;
  f.prompter.answerInput("300").answerInput("0").answerInput("9999").answerInput("abc").answerInput(std::nullopt);
  GoToLine(*e, ctx);
  EXPECT_EQ(e->caretXY(), (BufferCoord{3, 300}));
  EXPECT_EQ(f.prompter.asked()[0].caption, "Go to");
  EXPECT_EQ(f.prompter.asked()[0].text, "Go to line:");
  EXPECT_EQ(f.prompter.asked()[0].initial, "1");
  EXPECT_LE(e->topLine(), 300);
  EXPECT_GT(e->topLine() + e->linesInWindow(), 300) << "line 300 is in view";
  GoToLine(*e, ctx);
  EXPECT_EQ(f.prompter.asked()[1].initial, "300");
  EXPECT_EQ(e->caretXY().Line, 1) << "line 0 goes to the first line";
  GoToLine(*e, ctx);
  EXPECT_EQ(e->caretXY().Line, e->lineCount()) << "beyond the end goes to the last line";
  GoToLine(*e, ctx);
  EXPECT_EQ(e->caretXY().Line, e->lineCount()) << "an invalid answer does nothing";
  GoToLine(*e, ctx);
  EXPECT_EQ(memory.lastGoToLine, 9999);
}

TEST(SelectBetweenBrackets, LeavesTheBracketsOutside) {
  struct Case {
    const char* text;
    BufferCoord caret;
    const char* selected;
  };
  const Case cases[] = {
      {"x(abc)", {2, 1}, "abc"},          // on the opening bracket
      {"x(abc)", {6, 1}, "abc"},          // on the closing one
      {"{\n  a;\n}", {1, 1}, "\r\n  a;\r\n"},
      {"f[(1)]", {2, 1}, "(1)"},
      {"plain", {2, 1}, ""},              // not on a bracket: nothing
  };
  for (const Case& c : cases) {
    auto e = EditorWith(c.text);
    e->setCaretXY(c.caret);
    SelectTextBetweenBrackets(*e);
    EXPECT_EQ(e->selText(), c.selected) << c.text;
  }
}

TEST(SortLinesTest, NormalSelectionsWithAndWithoutAFinalBreak) {
  struct Case {
    const char* text;
    BufferCoord from, to;
    const char* sorted;
  };
  const Case cases[] = {
      {"b\nA\nc", {1, 1}, {2, 3}, "A\nb\nc\n"},           // no final break: one is added
      {"b\nA\nc\n", {1, 1}, {1, 4}, "A\nb\nc\n"},         // ends in column 1: last line excluded
      {"z\nb\nA\nc\ny", {1, 2}, {1, 5}, "z\nA\nb\nc\ny"},  // middle lines only
      {"b\nA\nc\ny", {2, 1}, {1, 3}, "A\nb\nc\ny"},        // starts inside a line
      {"B\nb\na", {1, 1}, {2, 3}, "a\nB\nb\n"},           // equal but for case: order kept
  };
  for (const Case& c : cases) {
    auto e = EditorWith(c.text);
    e->setSelection(c.from, c.to);
    const CaretState before = e->caretState();
    SortLines(*e, {});
    EXPECT_EQ(Bytes(*e), c.sorted) << c.text;
    EXPECT_EQ(e->caretState().selAnchor, before.selAnchor) << "selection restored";
    e->undo();
    EXPECT_EQ(Bytes(*e), c.text) << "one undo step";
  }
}

TEST(SortLinesTest, ColumnSelectionSortsWholeLinesByThePiece) {
  auto e = EditorWith("1 pear\n2 Apple\n3 fig\n");
  e->setSelectionMode(SelectionMode::Column);
  e->setSelection({3, 1}, {5, 3});
  SortLines(*e, {});
  EXPECT_EQ(Bytes(*e), "2 Apple\n3 fig\n1 pear\n");
  EXPECT_EQ(e->selectionMode(), SelectionMode::Column);
}

TEST(SortLinesTest, NeedsASelectionAndAnUnlockedDocument) {
  auto e = EditorWith("b\na\n");
  SortLines(*e, {});
  EXPECT_EQ(Bytes(*e), "b\na\n");
  e->selectAll();
  EditingContext locked;
  locked.locked = true;
  SortLines(*e, locked);
  EXPECT_EQ(Bytes(*e), "b\na\n");
}

TEST(FillBlockTest, RepeatsTheTextAcrossTheColumnBlock) {
  auto e = EditorWith("abcdef\na\nabcdefgh\n");
  e->setSelectionMode(SelectionMode::Column);
  e->setSelection({3, 1}, {7, 3});
  EXPECT_TRUE(FillBlock(*e, "xy", {}));
  EXPECT_EQ(Bytes(*e), "abxyxy\na xyxy\nabxyxygh\n") << "short lines padded, final break kept";
  EXPECT_EQ(e->selectionMode(), SelectionMode::Column);
  EXPECT_EQ(e->blockBegin(), (BufferCoord{3, 1}));
  e->undo();
  EXPECT_EQ(Bytes(*e), "abcdef\na\nabcdefgh\n");
}

TEST(FillBlockTest, TakesDataFromTheCallerOrAsksAndRecordsIt) {
  auto e = EditorWith("aaaa\naaaa");
  e->setSelectionMode(SelectionMode::Column);
  e->setSelection({2, 1}, {4, 2});
  Failing f;
  EditingContext ctx;
  ctx.prompter = &f.prompter;
  CommandData replay;
  replay.text = "-";
  CommandOutcome r = ExecuteEditingCommand(*e, ecFillBlock, replay, ctx);
  EXPECT_EQ(Bytes(*e), "a--a\na--a") << "the replayed text is used without asking";
  EXPECT_EQ(r.data, "-");
  f.prompter.answerInput("=").answerInput("").answerInput(std::nullopt);
  r = ExecuteEditingCommand(*e, ecFillBlock, {}, ctx);
  EXPECT_EQ(Bytes(*e), "a==a\na==a");
  EXPECT_EQ(f.prompter.asked()[0].caption, "Fill block");
  EXPECT_EQ(f.prompter.asked()[0].text, "Enter text to fill selected block with:");
  EXPECT_TRUE(r.record);
  EXPECT_FALSE(ExecuteEditingCommand(*e, ecFillBlock, {}, ctx).record) << "an empty answer is not recorded";
  EXPECT_FALSE(ExecuteEditingCommand(*e, ecFillBlock, {}, ctx).record) << "a cancel is not recorded";
  EXPECT_EQ(Bytes(*e), "a==a\na==a");
}

TEST(ReformatTest, WidthsWithAnIndent) {
  std::string para;
  for (int l = 0; l < 3; ++l) {
    std::string line = "  ";
    while (line.size() < 100) line += "word" + std::to_string(l) + "x, ";
    line.resize(100);
    para += line + "\n";
  }
  const std::string out = ReformatText(para.substr(0, para.size() - 1), 80, 2);
  const auto lines = textops::splitLines(out);
  ASSERT_GE(lines.size(), 4u);
  EXPECT_LE(lines[0].size(), 80u);
  EXPECT_TRUE(lines[0].starts_with("  word0x,")) << "the first line keeps its own indent";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].starts_with("  ") && lines[i][2] != ' ') << lines[i];
    EXPECT_LE(lines[i].size(), 80u) << "78 plus the indent: " << lines[i];
    EXPECT_TRUE(IsWordDelimiter(lines[i - 1].back()) || lines[i - 1].back() == 'x') << lines[i - 1];
  }
}

TEST(ReformatTest, CasesOfBreaking) {
  struct Case {
    const char* text;
    int edge, indent;
    const char* out;
  };
  const Case cases[] = {
      {"aaa bbb ccc", 8, 0, "aaa bbb\r\nccc"},
      {"aaa\nbbb\n   ccc", 80, 0, "aaa bbb ccc"},            // joined; blanks after a break go
      {"averyverylongword tail", 5, 0, "averyverylongword\r\ntail"},  // a long word stays whole
      {"  one two three four", 10, 2, "  one two\r\n  three\r\n  four"},
      {"a,b,c,d", 4, 0, "a,b,\r\nc,d"},
  };
  for (const Case& c : cases) EXPECT_EQ(ReformatText(c.text, c.edge, c.indent), c.out) << c.text;
}

TEST(ReformatTest, ParagraphEndsAtTheFirstEmptyLineAndIsOneStep) {
  auto e = EditorWith("intro\n\none two\nthree four\n\nrest\n");
  e->setCaretXY({1, 3});
  EditingContext ctx;
  ctx.rightEdge = 9;
  ExecuteEditingCommand(*e, ecReformatParagraph, {}, ctx);
  EXPECT_EQ(Bytes(*e), "intro\n\none two\nthree\nfour\n\nrest\n");
  e->undo();
  EXPECT_EQ(Bytes(*e), "intro\n\none two\nthree four\n\nrest\n");
  e->setCaretXY({1, 2});
  ExecuteEditingCommand(*e, ecReformatParagraph, {}, ctx);
  EXPECT_EQ(Bytes(*e), "intro\n\none two\nthree four\n\nrest\n") << "an empty caret line does nothing";
}

TEST(TabConversion, AsksForTheWidthAndFallsBackToTabWidth) {
  Failing f;
  EditingContext ctx;
  ctx.prompter = &f.prompter;
  ctx.tabWidth = 4;
  f.prompter.answerInput("2").answerInput("wide").answerInput(std::nullopt);
  auto e = EditorWith("\tx\n");
  ExecuteEditingCommand(*e, ecConvertTabsToSpaces, {}, ctx);
  EXPECT_EQ(Bytes(*e), "  x\n");
  EXPECT_EQ(f.prompter.asked()[0].caption, "Tab Conversion");
  EXPECT_EQ(f.prompter.asked()[0].text, "Tab width:");
  EXPECT_EQ(f.prompter.asked()[0].initial, "4");
  auto g = EditorWith("\tx\n");
  ExecuteEditingCommand(*g, ecConvertTabsToSpaces, {}, ctx);
  EXPECT_EQ(Bytes(*g), "    x\n") << "a non-numeric answer means the tab width";
  auto h = EditorWith("\tx\n");
  ExecuteEditingCommand(*h, ecConvertTabsToSpaces, {}, ctx);
  EXPECT_EQ(Bytes(*h), "\tx\n") << "cancel changes nothing";
  auto s = EditorWith("        x\n");
  CommandData width;
  width.text = "8";
  ExecuteEditingCommand(*s, ecConvertSpacesToTabs, width, ctx);
  EXPECT_EQ(Bytes(*s), "\tx\n");
}

TEST(OtherCommands, TimeStampSelectionModeFileNameAndAcceptedOnes) {
  auto e = EditorWith("ab");
  EditingContext ctx;
  ctx.timeStamp = [] { return std::string("11.12.2026 10:00:00"); };
  e->setSelection({1, 1}, {2, 1});
  ExecuteEditingCommand(*e, ecInsertTimeStamp, {}, ctx);
  EXPECT_EQ(Bytes(*e), "11.12.2026 10:00:00b") << "replaces the selection";
  EXPECT_FALSE(LocalTimeStampText().empty());

  ExecuteEditingCommand(*e, ecToggleSelectionMode, {}, ctx);
  EXPECT_EQ(e->selectionMode(), SelectionMode::Column);
  e->setSelectionMode(SelectionMode::Line);
  ExecuteEditingCommand(*e, ecToggleSelectionMode, {}, ctx);
  EXPECT_EQ(e->selectionMode(), SelectionMode::Normal);

  MemoryClipboard clip;
  ctx.clipboard = &clip;
  ctx.fileName = "/tmp/a file.txt";
  ctx.newFile = true;
  ExecuteEditingCommand(*e, ecCopyFilenameToClipboard, {}, ctx);
  EXPECT_FALSE(clip.get()) << "an untitled document has no name to copy";
  ctx.newFile = false;
  ExecuteEditingCommand(*e, ecCopyFilenameToClipboard, {}, ctx);
  ASSERT_TRUE(clip.get());
  EXPECT_EQ(clip.get()->text, "/tmp/a file.txt");

  const std::string before = Bytes(*e);
  for (EditorCommand c : {ecLoCase, ecUpCase, ecToggleCaseCmd, ecToggleWordwrap, ecParagraphBegin,
                          ecSelParagraphEnd}) {
    EXPECT_TRUE(ExecuteEditingCommand(*e, c, {}, ctx).handled) << c;
    EXPECT_EQ(Bytes(*e), before) << c;
  }
  EXPECT_FALSE(ExecuteEditingCommand(*e, ecFind, {}, ctx).handled) << "the find dialog's own";
}

TEST(OtherCommands, AttachedEditorRunsCommandsByKeyAndNumber) {
  auto e = EditorWith("b\na\n");
  std::vector<EditorCommand> others;
  AttachEditingCommands(*e, [] { return EditingContext{}; },
                        [&](EditorCommand c, CommandData&) { others.push_back(c); });
  e->selectAll();
  EXPECT_TRUE(e->executeKey(vk::function(2), ssShift));
  EXPECT_EQ(Bytes(*e), "a\nb\n");
  e->executeCommand(ecFindNext);
  EXPECT_EQ(others, std::vector<EditorCommand>{ecFindNext});
  e->loadBytes("a  \nb\t\n");
  e->executeCommand(ecRemoveTrailingSpaces);
  EXPECT_EQ(Bytes(*e), "a\nb\n") << "without a selection: every line";
}

}  // namespace
}  // namespace qv
