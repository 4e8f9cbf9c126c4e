// Random command sequences: undo all restores the original bytes, redo all the final bytes, and
// the caret and selection stay inside the text throughout.
#include <gtest/gtest.h>

#include <random>

#include "editor/editor.h"
#include "editor/highlighter.h"

namespace qv {
namespace {

constexpr EditorCommand kCommands[] = {
    ecLeft, ecRight, ecUp, ecDown, ecWordLeft, ecWordRight, ecLineStart, ecLineEnd, ecPageUp,
    ecPageDown, ecEditorTop, ecEditorBottom, ecSelLeft, ecSelRight, ecSelUp, ecSelDown,
    ecSelWordRight, ecSelLineEnd, ecSelPageDown, ecSelWord, ecSelectAll, ecDeleteLastChar,
    ecDeleteChar, ecDeleteWord, ecDeleteLastWord, ecDeleteBOL, ecDeleteEOL, ecDeleteLine,
    ecLineBreak, ecInsertLine, ecChar, ecChar, ecChar, ecChar, ecString, ecCut, ecCopy, ecPaste,
    ecToggleMode, ecNormalSelect, ecColumnSelect, ecLineSelect, ecBlockIndent, ecBlockUnindent,
    ecTab, ecShiftTab, ecMatchBracket, ecUpperCase, ecLowerCaseBlock, ecToggleCaseBlock,
    ecTitleCase, ecSetMarker0, ecGotoMarker0, ecScrollDown, ecClearAll, ecUndo, ecRedo};

::testing::AssertionResult CaretInside(const Editor& e) {
  auto inside = [&](BufferCoord c, bool pastEol) {
    if (c.Line < 1 || c.Line > e.lineCount() || c.Char < 1) return false;
    return pastEol || c.Char <= static_cast<int>(e.line(c.Line).size()) + 1;
  };
  const bool past = e.has(EditorOption::eoScrollPastEol) || e.selectionMode() == SelectionMode::Column;
  if (!inside(e.caretXY(), e.has(EditorOption::eoScrollPastEol)))
    return ::testing::AssertionFailure() << "caret " << e.caretXY().Char << "," << e.caretXY().Line;
  if (!inside(e.blockBegin(), past) || !inside(e.blockEnd(), past))
    return ::testing::AssertionFailure() << "selection outside the text";
  return ::testing::AssertionSuccess();
}

void RunRandom(unsigned seed, EditorOptions opts) {
  std::mt19937 rng(seed);
  Editor e;
  e.setOptions(opts);
  e.setLinesInWindow(5);
  const std::string original = std::string("int f() {\r\n  return (a[1] + b);\r\n}\r\n\tx  \r\n\0z", 47);
  e.loadBytes(original);
  const std::string start = e.text();
  for (int step = 0; step < 400; ++step) {
    EditorCommand c = kCommands[rng() % std::size(kCommands)];
    char ch = "ab {}()\t\r Z"[rng() % 11];
    CommandData data;
    if (c == ecString) data.text = std::string("x\r\ny(").substr(0, 1 + rng() % 5);
    if (rng() % 20 == 0) e.setCaretXY({static_cast<int>(rng() % 12) + 1, static_cast<int>(rng() % 8) + 1});
    e.executeCommand(c, ch, data);
    ASSERT_TRUE(CaretInside(e)) << "seed " << seed << " step " << step << " command " << c << " mode "
                                << int(e.selectionMode()) << " text [" << e.text() << "]";
  }
  while (e.canRedo()) e.redo();  // the sequence may end with undos
  const std::string final = e.text();
  while (e.canUndo()) e.undo();
  EXPECT_EQ(e.text(), start) << "seed " << seed;
  EXPECT_FALSE(e.modified()) << "seed " << seed;
  while (e.canRedo()) e.redo();
  EXPECT_EQ(e.text(), final) << "seed " << seed;
  EXPECT_TRUE(CaretInside(e));
}

TEST(EditorRandom, UndoAllAndRedoAllRestoreTheBytes) {
  using O = EditorOption;
  const EditorOptions optionSets[] = {
      {},
      {O::eoGroupUndo, O::eoAutoIndent, O::eoTrimTrailingSpaces},
      {O::eoScrollPastEol, O::eoTabsToSpaces, O::eoSmartTabs, O::eoSmartTabDelete, O::eoGroupUndo},
      {O::eoKeepCaretX, O::eoEnhanceHomeKey, O::eoEnhanceEndKey, O::eoTabsInBlockIndent},
  };
  for (unsigned seed = 1; seed <= 40; ++seed) RunRandom(seed, optionSets[seed % std::size(optionSets)]);
}

// A tiny highlighter: "//" to the line end is a comment, words and blanks are other tokens.
class SlashCommentHighlighter : public Highlighter {
 public:
  SlashCommentHighlighter() {
    comment_ = addAttribute("Comment", "Comment");
    other_ = addAttribute("Other", "Other");
    for (int c = 'a'; c <= 'z'; ++c) ident_.set(static_cast<std::size_t>(c));
  }
  std::string languageName() const override { return "Slash"; }
  void setLine(std::string_view line, int) override {
    line_ = line;
    end_ = 0;
    next();
  }
  void next() override {
    start_ = end_;
    if (start_ >= line_.size()) return;
    if (line_.substr(start_, 2) == "//") end_ = line_.size();
    else if (line_[start_] == ' ') while (end_ < line_.size() && line_[end_] == ' ') ++end_;
    else while (end_ < line_.size() && line_[end_] != ' ' && line_.substr(end_, 2) != "//") ++end_;
  }
  bool eol() const override { return start_ >= line_.size(); }
  std::string_view tokenText() const override { return line_.substr(start_, end_ - start_); }
  int tokenKind() const override { return line_.substr(start_, 2) == "//" ? 1 : 0; }
  int tokenPosition() const override { return static_cast<int>(start_); }
  HighlighterAttribute* tokenAttribute() const override { return tokenKind() == 1 ? comment_ : other_; }
  HighlighterRange range() const override { return 0; }
  void setRange(HighlighterRange) override {}
  void resetRange() override {}
  HighlighterAttribute* defaultAttribute(DefaultAttribute which) const override {
    return which == DefaultAttribute::Comment ? comment_ : nullptr;
  }
  const std::bitset<256>& identifierChars() const override { return ident_; }
  bool isCommentKind(int kind) const override { return kind == 1; }
  std::unique_ptr<Highlighter> clone() const override { return std::make_unique<SlashCommentHighlighter>(); }

 private:
  std::string_view line_;
  std::size_t start_ = 0, end_ = 0;
  HighlighterAttribute* comment_;
  HighlighterAttribute* other_;
  std::bitset<256> ident_;
};

TEST(EditorAdditions, RemoveCommentsWalksTheHighlighterTokens) {
  SlashCommentHighlighter h;
  Editor e;
  e.setOptions({EditorOption::eoTrimTrailingSpaces});
  e.setText("x = 1; // one\n// whole\ny = 2;");
  EXPECT_FALSE(e.removeComments()) << "needs a highlighter";
  e.setHighlighter(&h);
  bool sawFlag = false;
  e.onChange = [&] { sawFlag = sawFlag || e.multiLineOperation(); };
  EXPECT_TRUE(e.removeComments());
  // The two comments touch across the line break, so they are one run and go together.
  EXPECT_EQ(e.text(), "x = 1;\r\ny = 2;");
  EXPECT_FALSE(e.multiLineOperation());
  EXPECT_FALSE(e.removeComments());
  e.undo();
  EXPECT_EQ(e.text(), "x = 1; // one\r\n// whole\r\ny = 2;");
}

}  // namespace
}  // namespace qv
