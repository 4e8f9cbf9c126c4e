// Typing aids: block indentation after an opener, unindent of a closer as it is typed, and the
// wrap at the right margin, driven through the editor's own command processing.
#include <gtest/gtest.h>

#include "config/editor_cfg.h"
#include "documents/editing_commands.h"

namespace qv {
namespace {

EditingContext Blocks(std::string begin, std::string end) {
  EditingContext ctx;
  ctx.blockBegStr = std::move(begin);
  ctx.blockEndStr = std::move(end);
  ctx.blockAutoindent = true;
  ctx.cBlockIndent = 2;
  return ctx;
}

EditingContext Pascal() { return Blocks("begin", "end"); }
EditingContext CBraces() { return Blocks("{", "}"); }

// An editor with the usual options, the commands attached, the caret at the end of the text.
struct Typist {
  explicit Typist(std::string_view text, EditingContext c) : ctx(std::move(c)) {
    editor.setOptions(TEditorCfg{}.Options);
    editor.loadBytes(text);
    AttachEditingCommands(editor, [this] { return ctx; });
    const int last = editor.lineCount();
    editor.setCaretXY({static_cast<int>(editor.line(last).size()) + 1, last});
  }
  void type(std::string_view keys) {
    for (char c : keys) {
      if (c == '\n') editor.executeCommand(ecLineBreak);
      else editor.executeCommand(ecChar, c);
    }
  }
  std::string text() const { return editor.lines().bytes(LineBreak::Lf); }

  EditingContext ctx;
  Editor editor;
};

TEST(BlockIndent, TypedAsAUserTypesIt) {
  struct Case {
    const char* name;
    EditingContext ctx;
    const char* before;
    const char* typed;
    const char* after;
  };
  const Case cases[] = {
      {"Enter after begin indents", Pascal(), "begin", "\nx;", "begin\n  x;"},
      {"end; re-aligns with its begin", Pascal(), "begin", "\nx;\nend;", "begin\n  x;\nend;"},
      {"Enter after end re-aligns it too", Pascal(), "begin\n  x;", "\nend\n", "begin\n  x;\nend\n"},
      {"nested begin/end", Pascal(), "  begin\n    if a then\n    begin", "\nb;\nend;\nend;",
       "  begin\n    if a then\n    begin\n      b;\n    end;\n  end;"},
      {"case of begin and end ignored", Pascal(), "BEGIN", "\nx;\nEND;", "BEGIN\n  x;\nEND;"},
      {"Enter after {", CBraces(), "int f() {", "\nreturn 0;\n}", "int f() {\n  return 0;\n}"},
      {"} on a blank line inside nested braces", CBraces(), "int f() {\n  if (x) {\n    y();",
       "\n}\n}", "int f() {\n  if (x) {\n    y();\n  }\n}"},
      {"} after text is typed as it is", CBraces(), "int f() {\n  x = {1", "}", "int f() {\n  x = {1}"},
      {"no autoindent switch: nothing", [] { auto c = CBraces(); c.blockAutoindent = false; return c; }(),
       "f {", "\n}", "f {\n}"},
  };
  for (const Case& c : cases) {
    Typist t(c.before, c.ctx);
    t.type(c.typed);
    EXPECT_EQ(t.text(), c.after) << c.name;
  }
}

TEST(BlockIndent, EnterBetweenBracesAndHardTabs) {
  Typist between("f() {}", CBraces());
  between.editor.setCaretXY({6, 1});
  between.type("\n");
  EXPECT_EQ(between.text(), "f() {\n}") << "the closer stays aligned with the opener";
  EXPECT_EQ(between.editor.caretXY(), (BufferCoord{1, 2}));

  EditingContext tabs = CBraces();
  tabs.tabsMode = 0;
  tabs.tabWidth = 4;
  Typist t("\tif (x) {", tabs);
  t.type("\ny;");
  EXPECT_EQ(t.text(), "\tif (x) {\n\t\ty;") << "hard tabs with tabs in block indent";
}

TEST(BlockIndent, TheUnindentAndTheKeyUndoTogether) {
  Typist t("begin\n  x;", Pascal());
  t.type("\nend");
  EXPECT_EQ(t.text(), "begin\n  x;\n  end");
  t.type(";");
  EXPECT_EQ(t.text(), "begin\n  x;\nend;");
  t.editor.undo();
  EXPECT_EQ(t.text(), "begin\n  x;\n  end");
}

TEST(BlockIndent, PlainTypingUndoesAsWithoutTheAids) {
  Typist aided("int x;", CBraces());
  Editor plain;
  plain.setOptions(TEditorCfg{}.Options);
  plain.loadBytes("int x;");
  plain.setCaretXY({7, 1});
  aided.type(" y = 1; z = 2;");
  for (char c : std::string_view(" y = 1; z = 2;")) plain.executeCommand(ecChar, c);
  int aidedSteps = 0, plainSteps = 0;
  for (; aided.editor.canUndo(); ++aidedSteps) aided.editor.undo();
  for (; plain.canUndo(); ++plainSteps) plain.undo();
  EXPECT_EQ(aidedSteps, plainSteps);
  EXPECT_EQ(aided.text(), "int x;");
}

TEST(MarginWrap, MovesTheLastWordToANewLine) {
  EditingContext ctx;
  ctx.showRightMargin = true;
  ctx.rightEdge = 10;
  Typist t("", ctx);
  t.type("hello world again");
  EXPECT_EQ(t.text(), "hello \nworld \nagain");
  EXPECT_EQ(t.editor.caretXY(), (BufferCoord{6, 3}));

  ctx.showRightMargin = false;
  Typist off("", ctx);
  off.type("hello world again");
  EXPECT_EQ(off.text(), "hello world again") << "only while the margin is shown";

  ctx.showRightMargin = true;
  Typist word("", ctx);
  word.type("abcdefghijklmn");
  EXPECT_EQ(word.text(), "abcdefghijklmn") << "no delimiter: nothing";
}

}  // namespace
}  // namespace qv
