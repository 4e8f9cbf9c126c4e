// Editor commands by family: moves, selection, typing and deleting, clipboard, blocks, case, undo.
#include <gtest/gtest.h>

#include "editor/editor.h"
#include "editor/text_ops.h"
#include "editor/text_wrap.h"

namespace qv {
namespace {

using O = EditorOption;

// A fresh editor with the given text, options and caret (1-based).
std::unique_ptr<Editor> Make(std::string_view text, BufferCoord caret = {1, 1},
                             EditorOptions opts = {O::eoGroupUndo, O::eoEnhanceEndKey}) {
  auto e = std::make_unique<Editor>();
  e->setOptions(opts);
  e->setText(text);
  e->setCaretXY(caret);
  return e;
}

struct MoveCase {
  const char* name;
  std::string text;
  BufferCoord from;
  EditorCommand command;
  BufferCoord to;
  EditorOptions opts = {};
};

TEST(EditorMoves, CaretMovesByCommand) {
  const MoveCase cases[] = {
      {"left wraps to previous line end", "ab\ncd", {1, 2}, ecLeft, {3, 1}},
      {"right wraps to next line", "ab\ncd", {3, 1}, ecRight, {1, 2}},
      {"right goes past the end", "ab\ncd", {3, 1}, ecRight, {4, 1}, {O::eoScrollPastEol}},
      {"down clamps to a short line", "abcdef\nab", {5, 1}, ecDown, {3, 2}},
      {"up from the first line stays", "ab", {2, 1}, ecUp, {2, 1}},
      {"word right", "foo bar.baz", {1, 1}, ecWordRight, {5, 1}},
      {"word right from last word to end", "foo bar", {5, 1}, ecWordRight, {8, 1}},
      {"word right at line end", "foo\nbar", {4, 1}, ecWordRight, {1, 2}},
      {"word left", "foo bar", {7, 1}, ecWordLeft, {5, 1}},
      {"word left at line start", "foo\nbar", {1, 2}, ecWordLeft, {4, 1}},
      {"home", "  abc", {4, 1}, ecLineStart, {1, 1}},
      {"enhanced home goes to first non-blank", "  abc", {5, 1}, ecLineStart, {3, 1}, {O::eoEnhanceHomeKey}},
      {"enhanced home then column 1", "  abc", {3, 1}, ecLineStart, {1, 1}, {O::eoEnhanceHomeKey}},
      {"end", "abc  ", {1, 1}, ecLineEnd, {6, 1}},
      {"enhanced end stops after the text", "abc  ", {1, 1}, ecLineEnd, {4, 1}, {O::eoEnhanceEndKey}},
      {"enhanced end then the true end", "abc  ", {4, 1}, ecLineEnd, {6, 1}, {O::eoEnhanceEndKey}},
      {"editor top", "a\nb\nc", {1, 3}, ecEditorTop, {1, 1}},
      {"editor bottom", "a\nb\ncc", {1, 1}, ecEditorBottom, {3, 3}},
  };
  for (const auto& c : cases) {
    auto e = Make(c.text, {1, 1}, c.opts);
    e->setCaretXY(c.from);
    e->executeCommand(c.command);
    EXPECT_EQ(e->caretXY(), c.to) << c.name;
    EXPECT_FALSE(e->selAvail()) << c.name;
  }
}

TEST(EditorMoves, VerticalMovesRememberTheColumn) {
  auto e = Make("abcdef\nab\nabcdef", {6, 1});
  e->executeCommand(ecDown);
  EXPECT_EQ(e->caretXY(), (BufferCoord{3, 2}));
  e->setOptions({O::eoKeepCaretX});
  e->setCaretXY({6, 1});
  e->executeCommand(ecDown);
  e->executeCommand(ecDown);
  EXPECT_EQ(e->caretXY(), (BufferCoord{6, 3}));
}

TEST(EditorMoves, PagesUseTheViewHeight) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  auto e = Make(text);
  e->setLinesInWindow(10);
  e->executeCommand(ecPageDown);
  EXPECT_EQ(e->caretXY().Line, 11);
  EXPECT_EQ(e->topLine(), 11);
  e->executeCommand(ecPageBottom);
  EXPECT_EQ(e->caretXY().Line, 20);
  e->executeCommand(ecSelPageUp);
  EXPECT_EQ(e->caretXY().Line, 10);
  EXPECT_EQ(e->blockBegin(), (BufferCoord{1, 10}));
  EXPECT_EQ(e->blockEnd(), (BufferCoord{1, 20}));
}

TEST(EditorSelection, SelectingCommandsAndModes) {
  auto e = Make("hello world\nsecond line\nthird", {1, 1});
  e->executeCommand(ecSelWordRight);
  EXPECT_EQ(e->selText(), "hello ");
  e->executeCommand(ecSelDown);
  EXPECT_EQ(e->selText(), "hello world\r\nsecond");
  e->executeCommand(ecSelectAll);
  EXPECT_EQ(e->selText(), "hello world\r\nsecond line\r\nthird");
  e->setCaretXY({3, 2});
  e->executeCommand(ecSelWord);
  EXPECT_EQ(e->selText(), "second");
  e->executeCommand(ecColumnSelect);
  e->setSelection({2, 1}, {4, 3});
  EXPECT_EQ(e->selText(), "el\r\nec\r\nhi");
  e->executeCommand(ecLineSelect);
  e->setSelection({2, 1}, {2, 2});
  EXPECT_EQ(e->selText(), "hello world\r\nsecond line\r\n");
  CommandData to;
  to.pos = BufferCoord{3, 3};
  e->executeCommand(ecNormalSelect);
  e->setCaretXY({1, 3});
  e->executeCommand(ecSelGotoXY, 0, to);
  EXPECT_EQ(e->selText(), "th");
}

struct EditCase {
  const char* name;
  std::string text;
  BufferCoord caret;
  std::vector<std::pair<EditorCommand, char>> commands;
  std::string result;
  BufferCoord caretAfter;
  EditorOptions opts = {O::eoGroupUndo};
};

TEST(EditorEditing, TypingAndDeleting) {
  const EditCase cases[] = {
      {"type", "ac", {2, 1}, {{ecChar, 'b'}}, "abc", {3, 1}},
      {"type past end pads", "a", {4, 1}, {{ecChar, 'x'}}, "a  x", {5, 1}, {O::eoScrollPastEol}},
      {"backspace joins lines", "ab\ncd", {1, 2}, {{ecDeleteLastChar, 0}}, "abcd", {3, 1}},
      {"delete joins lines", "ab\ncd", {3, 1}, {{ecDeleteChar, 0}}, "abcd", {3, 1}},
      {"delete word", "foo bar baz", {5, 1}, {{ecDeleteWord, 0}}, "foo baz", {5, 1}},
      {"delete last word", "foo bar baz", {8, 1}, {{ecDeleteLastWord, 0}}, "foo  baz", {5, 1}},
      {"delete to line start", "abcdef", {4, 1}, {{ecDeleteBOL, 0}}, "def", {1, 1}},
      {"delete to line end", "abcdef", {4, 1}, {{ecDeleteEOL, 0}}, "abc", {4, 1}},
      {"delete line", "a\nb\nc", {1, 2}, {{ecDeleteLine, 0}}, "a\r\nc", {1, 2}},
      {"delete last line", "a\nb", {1, 2}, {{ecDeleteLine, 0}}, "a", {1, 1}},
      {"clear all", "a\nb", {1, 2}, {{ecClearAll, 0}}, "", {1, 1}},
      {"line break", "abcd", {3, 1}, {{ecLineBreak, 0}}, "ab\r\ncd", {1, 2}},
      {"line break with auto indent", "  ab", {5, 1}, {{ecLineBreak, 0}}, "  ab\r\n  ", {3, 2}, {O::eoAutoIndent}},
      {"line break trims trailing blanks", "ab  cd", {5, 1}, {{ecLineBreak, 0}}, "ab\r\ncd", {1, 2},
       {O::eoTrimTrailingSpaces}},
      {"insert line keeps the caret", "abcd", {3, 1}, {{ecInsertLine, 0}}, "ab\r\ncd", {3, 1}},
      {"overwrite", "abc", {2, 1}, {{ecOverwriteMode, 0}, {ecChar, 'X'}, {ecChar, 'Y'}, {ecChar, 'Z'}}, "aXYZ", {5, 1}},
      {"tab to spaces", "ab", {3, 1}, {{ecTab, 0}}, "ab      ", {9, 1}, {O::eoTabsToSpaces}},
      {"hard tab", "ab", {3, 1}, {{ecTab, 0}}, "ab\t", {4, 1}},
      {"smart tab to the word above", "foo     bar\nx", {2, 2}, {{ecTab, 0}}, "foo     bar\r\nx       ", {9, 2},
       {O::eoTabsToSpaces, O::eoSmartTabs}},
      {"smart tab delete goes back to the indent above", "  a\n      b", {7, 2}, {{ecDeleteLastChar, 0}},
       "  a\r\n  b", {3, 2}, {O::eoSmartTabs, O::eoSmartTabDelete}},
      {"match bracket forward", "(a(b)c)", {1, 1}, {{ecMatchBracket, 0}}, "(a(b)c)", {7, 1}},
      {"match bracket backward across lines", "{\n x\n}", {1, 3}, {{ecMatchBracket, 0}}, "{\r\n x\r\n}", {1, 1}},
      {"upper case word", "abc def", {2, 1}, {{ecUpperCase, 0}}, "ABC def", {2, 1}},
      {"title case block without selection does nothing", "abc", {2, 1}, {{ecUpperCaseBlock, 0}}, "abc", {2, 1}},
  };
  for (const auto& c : cases) {
    auto e = Make(c.text, {1, 1}, c.opts);
    e->setCaretXY(c.caret);
    for (auto [cmd, ch] : c.commands) e->executeCommand(cmd, ch);
    EXPECT_EQ(e->text(), c.result) << c.name;
    EXPECT_EQ(e->caretXY(), c.caretAfter) << c.name;
  }
}

TEST(EditorClipboard, CopyCutPasteAndColumnBlocks) {
  MemoryClipboard clip;
  auto e = Make("one two\nthree\nfour");
  e->setClipboard(&clip);
  e->setSelection({1, 1}, {4, 1});
  e->executeCommand(ecCut);
  EXPECT_EQ(e->text(), " two\r\nthree\r\nfour");
  ASSERT_TRUE(clip.get());
  EXPECT_EQ(clip.get()->text, "one");
  e->setCaretXY({5, 1});
  e->executeCommand(ecPaste);
  EXPECT_EQ(e->text(), " twoone\r\nthree\r\nfour");
  EXPECT_EQ(e->caretXY(), (BufferCoord{8, 1}));

  // A column block pastes at the same column on the following lines; the caret goes below it.
  clip.set({"XY\r\nZW", SelectionMode::Column});
  e->setOptions({O::eoScrollPastEol});
  e->setText("ab\ncd");
  e->setCaretXY({2, 1});
  e->executeCommand(ecPaste);
  EXPECT_EQ(e->text(), "aXYb\r\ncZWd\r\n");
  EXPECT_EQ(e->caretXY(), (BufferCoord{2, 3}));
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "ab\r\ncd");

  e->executeCommand(ecColumnSelect);
  e->setSelection({1, 1}, {2, 2});
  e->executeCommand(ecCopy);
  EXPECT_EQ(clip.get()->mode, SelectionMode::Column);
  EXPECT_EQ(clip.get()->text, "a\r\nc");
}

TEST(EditorBlocks, IndentAndUnindent) {
  struct Case {
    const char* name;
    std::string text;
    BufferCoord b, end;
    EditorCommand cmd;
    EditorOptions opts;
    std::string result;
  };
  const Case cases[] = {
      {"indent with blanks", "a\nb\nc", {1, 1}, {2, 2}, ecBlockIndent, {}, "  a\r\n  b\r\nc"},
      {"a selection ending in column 1 leaves that line", "a\nb\nc", {1, 1}, {1, 3}, ecBlockIndent, {},
       "  a\r\n  b\r\nc"},
      {"indent with a tab", "a\nb\nc", {1, 1}, {2, 3}, ecBlockIndent, {O::eoTabsInBlockIndent}, "\ta\r\n\tb\r\n\tc"},
      {"tabs-to-spaces wins over tabs in block indent", "a", {1, 1}, {2, 1}, ecBlockIndent,
       {O::eoTabsInBlockIndent, O::eoTabsToSpaces}, "  a"},
      {"unindent one blank", " a\n    b", {1, 1}, {2, 2}, ecBlockUnindent, {}, "a\r\n  b"},
      {"unindent one tab", "\t\ta\n b", {1, 1}, {2, 2}, ecBlockUnindent, {O::eoTabsInBlockIndent}, "\ta\r\n b"},
      {"tab with a selection indents", "a\nb", {1, 1}, {2, 2}, ecTab, {}, "  a\r\n  b"},
      {"shift tab with a selection unindents", "  a\n  b", {1, 1}, {2, 2}, ecShiftTab, {}, "a\r\nb"},
  };
  for (const auto& c : cases) {
    auto e = Make(c.text, {1, 1}, c.opts);
    e->setSelection(c.b, c.end);
    e->executeCommand(c.cmd);
    EXPECT_EQ(e->text(), c.result) << c.name;
    e->executeCommand(ecUndo);
    EXPECT_EQ(e->text(), Make(c.text)->text()) << c.name << ": one undo step";
  }
  auto e = Make("ab\ncd");
  e->setSelection({2, 1}, {2, 2});
  e->executeCommand(ecBlockIndent);
  EXPECT_EQ(e->blockBegin(), (BufferCoord{4, 1}));
  EXPECT_EQ(e->blockEnd(), (BufferCoord{4, 2}));
  EXPECT_EQ(e->caretXY(), (BufferCoord{4, 2}));
}

TEST(EditorCase, CaseCommandsKeepTheSelection) {
  auto e = Make("hello World\nabc");
  e->setSelection({1, 1}, {3, 2});
  e->executeCommand(ecUpperCaseBlock);
  EXPECT_EQ(e->text(), "HELLO WORLD\r\nABc");
  EXPECT_EQ(e->blockBegin(), (BufferCoord{1, 1}));
  EXPECT_EQ(e->blockEnd(), (BufferCoord{3, 2}));
  e->executeCommand(ecToggleCase);
  EXPECT_EQ(e->text(), "hello world\r\nabc");
  e->executeCommand(ecTitleCase);
  EXPECT_EQ(e->text(), "Hello World\r\nAbc");
  EXPECT_TRUE(e->selAvail());
}

TEST(EditorUndo, GroupingStepsAndTheModifiedFlag) {
  auto e = Make("");
  EXPECT_FALSE(e->modified());
  e->executeCommand(ecString, 0, {std::nullopt, "abc"});
  e->executeCommand(ecChar, 'd');
  e->executeCommand(ecChar, 'e');
  EXPECT_EQ(e->text(), "abcde");
  EXPECT_TRUE(e->modified());
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "abc") << "typing is one step under eoGroupUndo";
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "");
  EXPECT_FALSE(e->modified()) << "back at the saved state";
  e->executeCommand(ecRedo);
  e->executeCommand(ecRedo);
  EXPECT_EQ(e->text(), "abcde");
  EXPECT_EQ(e->caretXY(), (BufferCoord{6, 1}));
  e->setModified(false);
  e->executeCommand(ecUndo);
  EXPECT_TRUE(e->modified());
  e->executeCommand(ecChar, 'x');
  EXPECT_FALSE(e->canRedo()) << "a new edit clears redo";
  EXPECT_TRUE(e->modified());

  auto ungrouped = Make("", {1, 1}, {});
  ungrouped->executeCommand(ecChar, 'a');
  ungrouped->executeCommand(ecChar, 'b');
  ungrouped->executeCommand(ecUndo);
  EXPECT_EQ(ungrouped->text(), "a");
}

TEST(EditorUndo, UndoRestoresCaretAndSelection) {
  auto e = Make("abc def");
  e->setSelection({1, 1}, {4, 1});
  e->executeCommand(ecChar, 'X');
  EXPECT_EQ(e->text(), "X def");
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "abc def");
  EXPECT_EQ(e->selText(), "abc");
  EXPECT_FALSE(e->modified());
  e->executeCommand(ecRedo);
  EXPECT_EQ(e->caretXY(), (BufferCoord{2, 1}));
  e->clearUndoRedo();
  EXPECT_FALSE(e->canUndo());
  EXPECT_TRUE(e->modified()) << "clearing the lists does not make the text saved";
}

TEST(EditorUndo, AnUndoBlockIsOneStepWhateverTheCaretDoes) {
  auto e = Make("abc\ndef", {1, 1});
  e->beginUndoBlock();
  e->setCaretXY({2, 1});
  e->executeCommand(ecChar, 'X');
  e->setCaretXY({1, 2});
  e->executeCommand(ecChar, 'Y');
  e->executeCommand(ecRight);
  e->executeCommand(ecString, 0, {std::nullopt, "Z"});
  e->setSelection({1, 1}, {2, 1});
  e->executeCommand(ecDeleteChar);
  e->endUndoBlock();
  EXPECT_EQ(e->text(), "Xbc\r\nYdZef");
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "abc\r\ndef") << "one undo takes back every edit of the block";
  EXPECT_FALSE(e->canUndo());
  EXPECT_EQ(e->caretXY(), (BufferCoord{1, 1})) << "the caret goes back to where the block began";
  e->executeCommand(ecRedo);
  EXPECT_EQ(e->text(), "Xbc\r\nYdZef");
}

TEST(EditorUndo, HistoryKeepsOnlyTheTextThatIsNotInTheBuffer) {
  const std::string oldText(100000, 'a'), newText(100000, 'b');
  auto e = Make(oldText);
  e->selectAll();
  e->setSelText(newText);
  EXPECT_EQ(e->undoTextBytes(), oldText.size()) << "the new text is in the buffer already";
  e->undo();
  EXPECT_EQ(e->text(), oldText);
  EXPECT_EQ(e->undoTextBytes(), newText.size());
  e->redo();
  EXPECT_EQ(e->text(), newText);
  EXPECT_EQ(e->undoTextBytes(), oldText.size());
}

TEST(EditorUndo, PaintLockTakesThePaintHandlerAwayUntilTheLastLevel) {
  auto e = Make("a");
  int painted = 0;
  e->onPaintTransient = [&](TransientType) { ++painted; };
  e->beginUndoPaintLock();
  e->beginUndoPaintLock();
  EXPECT_FALSE(e->onPaintTransient);
  EXPECT_TRUE(e->updateLocked());
  e->endUndoPaintLock();
  EXPECT_FALSE(e->onPaintTransient);
  e->endUndoPaintLock();
  ASSERT_TRUE(e->onPaintTransient);
  EXPECT_FALSE(e->updateLocked());
  e->onPaintTransient(TransientType::After);
  EXPECT_EQ(painted, 1);
}

TEST(EditorEvents, ProcessCommandCanCancelOrReplace) {
  auto e = Make("abc");
  std::vector<EditorCommand> processed;
  std::vector<EditorCommand> user;
  unsigned status = 0;
  int changes = 0;
  e->onProcessCommand = [](EditorCommand& c, char& ch, CommandData&) {
    if (c == ecDeleteChar) c = ecNone;
    if (c == ecChar && ch == 'q') ch = 'Q';
  };
  e->onProcessUserCommand = [&](EditorCommand& c, char&, CommandData&) { user.push_back(c); };
  e->onCommandProcessed = [&](EditorCommand c, char, const CommandData&) { processed.push_back(c); };
  e->onStatusChange = [&](unsigned bits) { status |= bits; };
  e->onChange = [&] { ++changes; };
  e->executeCommand(ecDeleteChar);
  EXPECT_EQ(e->text(), "abc");
  e->executeCommand(ecChar, 'q');
  EXPECT_EQ(e->text(), "Qabc");
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(status & scCaretX);
  EXPECT_TRUE(status & scModified);
  e->executeCommand(1004);
  e->executeCommand(ecCollapseAll);
  EXPECT_EQ(user, (std::vector<EditorCommand>{1004}));
  EXPECT_EQ(processed, (std::vector<EditorCommand>{ecChar, 1004, ecCollapseAll}));
  EXPECT_EQ(e->text(), "Qabc");
}

TEST(EditorModes, ReadOnlyRefusesEditsButAllowsMoves) {
  auto e = Make("abc");
  e->setReadOnly(true);
  for (EditorCommand c : {ecChar, ecDeleteChar, ecLineBreak, ecClearAll, ecPaste, ecDeleteLine, ecTab})
    e->executeCommand(c, 'x');
  EXPECT_EQ(e->text(), "abc");
  e->executeCommand(ecRight);
  EXPECT_EQ(e->caretXY(), (BufferCoord{2, 1}));
  e->executeCommand(ecToggleMode);
  EXPECT_FALSE(e->insertMode());
}

TEST(EditorMarks, SetMarkerTogglesAndFollowsTheText) {
  auto e = Make("a\nb\nc", {1, 3});
  e->executeCommand(ecSetMarker0 + 2);
  ASSERT_TRUE(e->marker(2));
  e->setCaretXY({1, 1});
  e->executeCommand(ecLineBreak);
  EXPECT_EQ(e->marker(2)->Line, 4);
  e->executeCommand(ecGotoMarker0 + 2);
  EXPECT_EQ(e->caretXY(), (BufferCoord{1, 4}));
  e->executeCommand(ecSetMarker0 + 2);
  EXPECT_FALSE(e->marker(2));
}

TEST(EditorKeys, DefaultBindingsAndChanges) {
  KeyStrokes k = KeyStrokes::defaults();
  EXPECT_EQ(k.find(vk::Left, ssShift | ssCtrl), ecSelWordLeft);
  EXPECT_EQ(k.find(vk::letter('Z'), ssCtrl), ecUndo);
  EXPECT_EQ(k.find(vk::digit(3), ssCtrl | ssShift), ecSetMarker0 + 3);
  EXPECT_FALSE(k.add(ecMatchBracket, vk::letter('M'), ssCtrl)) << "already bound";
  EXPECT_TRUE(k.remove(vk::letter('M'), ssCtrl));
  EXPECT_TRUE(k.add(ecMatchBracket, vk::letter('M'), ssCtrl));
  EXPECT_EQ(k.find(vk::letter('M'), ssCtrl), ecMatchBracket);
  EXPECT_FALSE(k.remove(vk::F1 + 20, ssNone));
  auto e = Make("ab");
  EXPECT_TRUE(e->executeKey(vk::End, ssNone));
  EXPECT_EQ(e->caretXY(), (BufferCoord{3, 1}));
  EXPECT_EQ(editorCommandName(ecSelGotoXY), "ecSelGotoXY");
  EXPECT_EQ(editorCommandFromName("ECUSERFIRST"), 1001);
  EXPECT_EQ(editorCommandFromName("ecNoSuch"), std::nullopt);
}

TEST(EditorAdditions, TrailingBlanksTabsAndCaretCharacter) {
  auto e = Make("a  \nb\t\nc");
  EXPECT_TRUE(e->removeTrailingBlanks());
  EXPECT_EQ(e->text(), "a\r\nb\r\nc\r\n");
  EXPECT_FALSE(e->removeTrailingBlanks());
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), "a  \r\nb\t\r\nc");

  EXPECT_EQ(textops::expandTabs("a\tb", 4), "a   b");
  EXPECT_EQ(textops::compressSpaces("a       b", 4), "a\t\tb");
  EXPECT_EQ(textops::compressSpaces("a b", 4), "a b");
  auto t = Make("a\tb");
  EXPECT_TRUE(t->convertTabsAndSpaces(true, 4));
  EXPECT_EQ(t->text(), "a   b\r\n");

  auto c = Make("ab", {2, 1});
  EXPECT_EQ(c->charAtCaret(), 'b');
  c->setOptions({O::eoScrollPastEol});
  c->setCaretXY({5, 1});
  EXPECT_EQ(c->charAtCaret(), '\0');
}

TEST(EditorWrap, HomeAndEndMoveByDisplayRow) {
  EXPECT_EQ(wrapRows("aaaa bbbb cccc", 6, 8), (std::vector<int>{0, 5, 10}));
  EXPECT_EQ(wrapRows("abcdefgh", 3, 8), (std::vector<int>{0, 3, 6}));
  auto e = Make("aaaa bbbb cccc", {2, 1});
  e->setWordWrap(true);
  e->setWrapWidth(6);
  e->executeCommand(ecLineEnd);
  EXPECT_EQ(e->caretXY(), (BufferCoord{6, 1})) << "end of the first row";
  e->executeCommand(ecLineEnd);
  EXPECT_EQ(e->caretXY(), (BufferCoord{15, 1})) << "then the end of the whole line";
  e->setCaretXY({8, 1});
  e->executeCommand(ecLineStart);
  EXPECT_EQ(e->caretXY(), (BufferCoord{6, 1})) << "start of the row";
  e->executeCommand(ecSelLineStart);
  EXPECT_EQ(e->caretXY(), (BufferCoord{1, 1})) << "then column 1 of the line";
  EXPECT_EQ(e->selText(), "aaaa ");
}

}  // namespace
}  // namespace qv
