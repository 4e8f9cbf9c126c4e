// Characters of more than one byte, moves by display row under word wrap, and bracket matching
// that looks past strings and comments.
#include <gtest/gtest.h>

#include "editor/editor.h"
#include "editor/highlighter.h"

namespace qv {
namespace {

using O = EditorOption;

std::unique_ptr<Editor> Make(std::string_view text, BufferCoord caret = {1, 1}, EditorOptions opts = {O::eoGroupUndo}) {
  auto e = std::make_unique<Editor>();
  e->setOptions(opts);
  e->setText(text);
  e->setCaretXY(caret);
  return e;
}

// "a", "é" (2 bytes), "€" (3 bytes), a 4-byte emoji, "b": characters start at bytes 0 1 3 6 10 11.
const std::string kMixed = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80" "b";

TEST(EditorCharacters, HorizontalMovesStepWholeUtf8Characters) {
  auto e = Make(kMixed);
  std::vector<int> right;
  for (int i = 0; i < 5; ++i) {
    e->executeCommand(ecRight);
    right.push_back(e->caretXY().Char);
  }
  EXPECT_EQ(right, (std::vector<int>{2, 4, 7, 11, 12}));
  std::vector<int> left;
  for (int i = 0; i < 5; ++i) {
    e->executeCommand(ecLeft);
    left.push_back(e->caretXY().Char);
  }
  EXPECT_EQ(left, (std::vector<int>{11, 7, 4, 2, 1}));

  e->setDisplayCharset(DisplayCharset::Windows1252);
  e->executeCommand(ecRight);
  e->executeCommand(ecRight);
  EXPECT_EQ(e->caretXY().Char, 3) << "one byte per character in Windows-1252";
  e->setDisplayCharset(DisplayCharset::Utf8);
  EXPECT_EQ(e->caretXY().Char, 2) << "switching back pulls the caret to the character start";
}

TEST(EditorCharacters, PositionsSetFromOutsideLandOnCharacterStarts) {
  auto e = Make(kMixed);
  const std::pair<int, int> cases[] = {{3, 2}, {5, 4}, {6, 4}, {9, 7}, {10, 7}, {11, 11}, {12, 12}};
  for (auto [set, expected] : cases) {
    e->setCaretXY({set, 1});
    EXPECT_EQ(e->caretXY().Char, expected) << "caret set to " << set;
    e->setSelection({1, 1}, {set, 1});
    EXPECT_EQ(e->blockEnd().Char, expected) << "selection end set to " << set;
    e->executeCommand(ecGotoXY, 0, {BufferCoord{set, 1}, {}});
    EXPECT_EQ(e->caretXY().Char, expected) << "go to " << set;
  }
  e->setCaretXY({2, 1});
  e->executeCommand(ecSelRight);
  EXPECT_EQ(e->selText(), "\xC3\xA9");
}

TEST(EditorCharacters, DeletesRemoveWholeCharacters) {
  auto e = Make(kMixed, {12, 1});
  e->executeCommand(ecDeleteLastChar);
  e->executeCommand(ecDeleteLastChar);
  EXPECT_EQ(e->text(), "a\xC3\xA9\xE2\x82\xAC");
  e->setCaretXY({2, 1});
  e->executeCommand(ecDeleteChar);
  EXPECT_EQ(e->text(), "a\xE2\x82\xAC");
  e->executeCommand(ecUndo);
  e->executeCommand(ecUndo);
  EXPECT_EQ(e->text(), kMixed);
}

TEST(EditorCharacters, TypingOverwritesAWholeCharacterAndStringsTypeByCharacter) {
  auto e = Make("\xC3\xA9z", {1, 1});
  e->executeCommand(ecOverwriteMode);
  e->executeCommand(ecChar, 'x');
  EXPECT_EQ(e->text(), "xz");
  e->setCaretXY({1, 1});
  e->executeCommand(ecString, 0, {std::nullopt, "\xE2\x82\xAC"});
  EXPECT_EQ(e->text(), "\xE2\x82\xACz") << "one typed character replaces one character";

  auto lines = Make("", {1, 1});
  lines->executeCommand(ecString, 0, {std::nullopt, "a\r\nb"});
  EXPECT_EQ(lines->lineCount(), 2) << "CR LF in a typed string is one line break";
  EXPECT_EQ(lines->text(), "a\r\nb");
}

TEST(EditorCharacters, ColumnBlocksTakeCharactersWhoseFirstByteIsInside) {
  auto e = Make("a\xC3\xA9xy\nbcdef");
  e->executeCommand(ecColumnSelect);
  e->setSelection({3, 2}, {5, 1});  // bytes 2..4 on both lines; byte 2 is inside "é" on line 1
  EXPECT_EQ(e->selText(), "x\r\nde") << "a block edge never splits a character";
  e->executeCommand(ecDeleteChar);
  EXPECT_EQ(e->text(), "a\xC3\xA9y\r\nbcf");
}

TEST(EditorCharacters, VerticalMovesKeepTheScreenColumn) {
  auto e = Make("a\xC3\xA9\xE2\x82\xAC" "x\nabcdef", {7, 1});  // after "€": screen column 3
  e->executeCommand(ecDown);
  EXPECT_EQ(e->caretXY(), (BufferCoord{4, 2}));
  e->executeCommand(ecRight);
  e->executeCommand(ecUp);
  EXPECT_EQ(e->caretXY(), (BufferCoord{8, 1})) << "screen column 4 is after \"x\"";
  auto tabs = Make("\tx\nabcdefghij", {2, 1}, {O::eoGroupUndo});
  tabs->setTabWidth(4);
  tabs->executeCommand(ecDown);
  EXPECT_EQ(tabs->caretXY(), (BufferCoord{5, 2})) << "a tab counts to its stop";
}

struct WrapCase {
  const char* name;
  BufferCoord from;
  std::vector<EditorCommand> commands;
  BufferCoord to;
  EditorOptions opts = {};
};

TEST(EditorWrapMoves, UpAndDownMoveByDisplayRow) {
  // Width 6: "aaaa bbbb cccc" shows as rows "aaaa ", "bbbb ", "cccc"; then "xy".
  const WrapCase cases[] = {
      {"down to the second row", {3, 1}, {ecDown}, {8, 1}},
      {"down to the third row", {3, 1}, {ecDown, ecDown}, {13, 1}},
      {"down onto the next line", {3, 1}, {ecDown, ecDown, ecDown}, {3, 2}},
      {"up from the next line to the last row", {3, 2}, {ecUp}, {13, 1}},
      {"a row boundary belongs to the later row", {6, 1}, {ecDown, ecDown, ecUp}, {11, 1}},
      {"keep caret x across a short line", {5, 1}, {ecDown, ecDown, ecDown, ecUp}, {15, 1}, {O::eoKeepCaretX}},
      {"without keep caret x the column shrinks", {5, 1}, {ecDown, ecDown, ecDown, ecUp}, {13, 1}},
      {"page down counts rows", {2, 1}, {ecPageDown}, {12, 1}},
      {"select down extends by a row", {1, 1}, {ecSelDown}, {6, 1}},
  };
  for (const auto& c : cases) {
    auto e = Make("aaaa bbbb cccc\nxy", c.from, c.opts);
    e->setWordWrap(true);
    e->setWrapWidth(6);
    e->setLinesInWindow(2);
    e->setCaretXY(c.from);
    for (EditorCommand cmd : c.commands) e->executeCommand(cmd);
    EXPECT_EQ(e->caretXY(), c.to) << c.name;
  }
  // Rows "aaaa ", "bb ", "cccc": a row too short for the column stops on its last character.
  auto e = Make("aaaa bb cccc", {5, 1}, {O::eoKeepCaretX});
  e->setWordWrap(true);
  e->setWrapWidth(6);
  e->executeCommand(ecDown);
  EXPECT_EQ(e->caretXY(), (BufferCoord{8, 1}));
  e->executeCommand(ecDown);
  EXPECT_EQ(e->caretXY(), (BufferCoord{13, 1})) << "the remembered column comes back";
}

// Just enough of a language for bracket matching: "// ..." and "/* ... */" comments (the block
// comment spans lines through the range), "..." strings, every other byte a token of its own.
class TinyHighlighter final : public Highlighter {
 public:
  TinyHighlighter() {
    comment_ = addAttribute("Comment", "Comment");
    string_ = addAttribute("String", "String");
    symbol_ = addAttribute("Symbol", "Symbol");
  }
  std::string languageName() const override { return "Tiny"; }
  void setLine(std::string_view line, int) override {
    line_ = line;
    end_ = 0;
    next();
  }
  void next() override {
    start_ = end_;
    if (start_ >= line_.size()) return;
    auto rest = line_.substr(start_);
    if (inBlock_) {
      std::size_t close = rest.find("*/");
      inBlock_ = close == std::string_view::npos;
      end_ = inBlock_ ? line_.size() : start_ + close + 2;
      attr_ = comment_;
    } else if (rest.starts_with("/*")) {
      inBlock_ = true;
      end_ = start_ + 2;
      attr_ = comment_;
    } else if (rest.starts_with("//")) {
      end_ = line_.size();
      attr_ = comment_;
    } else if (rest[0] == '"') {
      std::size_t close = rest.find('"', 1);
      end_ = close == std::string_view::npos ? line_.size() : start_ + close + 1;
      attr_ = string_;
    } else {
      end_ = start_ + 1;
      attr_ = symbol_;
    }
  }
  bool eol() const override { return start_ >= line_.size(); }
  std::string_view tokenText() const override { return line_.substr(start_, end_ - start_); }
  int tokenKind() const override { return 0; }
  int tokenPosition() const override { return static_cast<int>(start_); }
  HighlighterAttribute* tokenAttribute() const override { return attr_; }
  HighlighterRange range() const override { return inBlock_ ? 1 : 0; }
  void setRange(HighlighterRange value) override { inBlock_ = value == 1; }
  void resetRange() override { inBlock_ = false; }
  HighlighterAttribute* defaultAttribute(DefaultAttribute which) const override {
    return which == DefaultAttribute::Comment ? comment_ : which == DefaultAttribute::String ? string_ : nullptr;
  }
  const std::bitset<256>& identifierChars() const override { return ident_; }
  bool isCommentKind(int) const override { return false; }
  std::unique_ptr<Highlighter> clone() const override { return std::make_unique<TinyHighlighter>(); }

 private:
  std::string_view line_;
  std::size_t start_ = 0, end_ = 0;
  bool inBlock_ = false;
  HighlighterAttribute *comment_, *string_, *symbol_, *attr_ = nullptr;
  std::bitset<256> ident_;
};

TEST(EditorBrackets, MatchingSkipsStringsAndCommentsAndCrossesLines) {
  const std::string text = "f(a, \")\", /* ) */\n  g(b) // )\n  /* (\n  ) */\n)";
  struct Case {
    const char* name;
    BufferCoord from;
    BufferCoord to;
  };
  const Case cases[] = {
      {"forward over a string, a comment and a block comment", {2, 1}, {1, 5}},
      {"backward to the opening line", {1, 5}, {2, 1}},
      {"inner pair on one line", {4, 2}, {6, 2}},
      {"a bracket in a comment pairs with comment text", {6, 3}, {3, 4}},
  };
  TinyHighlighter hl;
  for (const auto& c : cases) {
    auto e = Make(text, c.from);
    e->setHighlighter(&hl);
    e->executeCommand(ecMatchBracket);
    EXPECT_EQ(e->caretXY(), c.to) << c.name;
  }
  auto plain = Make(text, {2, 1});
  plain->executeCommand(ecMatchBracket);
  EXPECT_EQ(plain->caretXY(), (BufferCoord{7, 1})) << "without a highlighter every bracket counts";

  auto edited = Make(text, {2, 1});
  edited->setHighlighter(&hl);
  edited->setCaretXY({1, 5});
  edited->executeCommand(ecChar, '/');
  edited->executeCommand(ecChar, '/');  // line 5 is now "//)" and the ")" a comment
  edited->setCaretXY({2, 1});
  edited->executeCommand(ecMatchBracket);
  EXPECT_EQ(edited->caretXY(), (BufferCoord{2, 1})) << "ranges follow edits: no partner left";
}

}  // namespace
}  // namespace qv
