// Toggling comments: the markers each highlighter has, the subject kinds, caret and selection.
#include <gtest/gtest.h>

#include "documents/editing_commands.h"
#include "documents/toggle_comment.h"
#include "highlight/highlighter_table.h"
#include "platform/scripted_prompter.h"
#include "support/test_env.h"

namespace qv {
namespace {

EditingContext Markers(const char* beg, const char* end, const char* line) {
  EditingContext ctx;
  ctx.commentBeg = beg;
  ctx.commentEnd = end;
  ctx.lineComment = line;
  return ctx;
}

std::unique_ptr<Editor> EditorWith(std::string_view bytes) {
  auto e = std::make_unique<Editor>();
  e->loadBytes(bytes);
  return e;
}

std::string Bytes(const Editor& e) { return e.lines().bytes(LineBreak::Lf); }

TEST(ToggleCommentTest, SubjectsAndTheirMarkers) {
  struct Case {
    const char* name;
    EditingContext ctx;
    const char* text;
    BufferCoord from, to;  // equal: no selection, caret at from
    const char* commented;
  };
  const EditingContext c = Markers("/*", "*/", "//");
  const EditingContext html = Markers("<!--", "-->", "");
  const Case cases[] = {
      {"C line", c, "x\n", {1, 1}, {1, 1}, "// x\n"},
      {"HTML line takes the pair", html, "<b>\n", {2, 1}, {2, 1}, "<!-- <b> -->\n"},
      {"C whole lines take the line comment", c, "a\nb\nc\n", {1, 1}, {1, 3}, "// a\n// b\nc\n"},
      {"HTML whole lines", html, "a\nb\nc\n", {1, 1}, {1, 3}, "<!-- a\nb -->\nc\n"},
      {"C partial in one line takes the pair", c, "f(a, b);\n", {3, 1}, {7, 1}, "f(/* a, b */);\n"},
      {"C partial over lines", c, "ab\ncd\n", {2, 1}, {2, 2}, "a/* b\nc */d\n"},
      {"line comment only, partial", Markers("", "", "#"), "ab\ncd\n", {2, 1}, {2, 2}, "a# b\n# cd\n"},
      {"markers used in upper case", Markers("", "", "rem"), "x\n", {1, 1}, {1, 1}, "REM x\n"},
      {"first of a list of markers", Markers("(* {", "*) }", ""), "x\n", {1, 1}, {1, 1}, "(* x *)\n"},
  };
  for (const Case& k : cases) {
    auto e = EditorWith(k.text);
    if (k.from == k.to) e->setCaretXY(k.from);
    else e->setSelection(k.from, k.to);
    ASSERT_TRUE(ToggleComment(*e, k.ctx)) << k.name;
    EXPECT_EQ(Bytes(*e), k.commented) << k.name;
    if (k.from != k.to) {
      EXPECT_EQ(e->blockBegin(), k.from) << k.name << ": selected again from its begin";
    }
    ASSERT_TRUE(ToggleComment(*e, k.ctx)) << k.name;
    EXPECT_EQ(Bytes(*e), k.text) << k.name << ": toggled back";
  }
}

TEST(ToggleCommentTest, CaretAndSelectionFollowTheMarkers) {
  auto e = EditorWith("value\n");
  e->setCaretXY({3, 1});
  const EditingContext c = Markers("/*", "*/", "//");
  ToggleComment(*e, c);
  EXPECT_EQ(e->caretXY(), (BufferCoord{6, 1})) << "forward by the prefix and its blank";
  ToggleComment(*e, c);
  EXPECT_EQ(e->caretXY(), (BufferCoord{3, 1}));

  auto p = EditorWith("f(a, b);\n");
  p->setSelection({3, 1}, {7, 1});
  ToggleComment(*p, c);
  EXPECT_EQ(p->selText(), "/* a, b */") << "end moves by prefix and suffix with their blanks";
  ToggleComment(*p, c);
  EXPECT_EQ(p->selText(), "a, b");

  auto w = EditorWith("a\nb\nc\n");
  w->setSelection({1, 1}, {1, 3});
  ToggleComment(*w, c);
  EXPECT_EQ(w->blockEnd(), (BufferCoord{1, 3})) << "whole lines: the end stays";
  w->undo();
  EXPECT_EQ(Bytes(*w), "a\nb\nc\n") << "one undo step";
}

TEST(ToggleCommentTest, UncommentIgnoresCaseAndAMissingBlank) {
  auto e = EditorWith("//x\n");
  const EditingContext c = Markers("/*", "*/", "//");
  ToggleComment(*e, c);
  EXPECT_EQ(Bytes(*e), "x\n");
  auto r = EditorWith("Rem x\n");
  ToggleComment(*r, Markers("", "", "REM"));
  EXPECT_EQ(Bytes(*r), "REM Rem x\n") << "the prefix must match exactly to uncomment";
  ToggleComment(*r, Markers("", "", "REM"));
  EXPECT_EQ(Bytes(*r), "Rem x\n");
}

TEST(ToggleCommentTest, NeedsMarkersAndAnUnlockedDocument) {
  auto e = EditorWith("x\n");
  EXPECT_FALSE(ToggleComment(*e, Markers("", "", "")));
  EXPECT_FALSE(ToggleComment(*e, Markers("/*", "", "")));
  EditingContext locked = Markers("/*", "*/", "//");
  locked.locked = true;
  EXPECT_FALSE(ToggleComment(*e, locked));
  EXPECT_EQ(Bytes(*e), "x\n");
}

TEST(ToggleCommentTest, RoundTripsForEveryHighlighterOfTheTable) {
  ScriptedPrompter prompter;
  HighlighterTable table;
  table.BuildHighlighterTable(test::FreshDir("comment-table"), prompter);
  int toggled = 0;
  for (const THighLighter& entry : table.entries()) {
    EditingContext ctx;
    ctx.commentBeg = entry.blockCommentBeg;
    ctx.commentEnd = entry.blockCommentEnd;
    ctx.lineComment = entry.lineComment;
    if (!CanToggleComment(ctx)) continue;
    ++toggled;
    const std::string text = "alpha beta\n  gamma\ndelta\n";
    struct Subject {
      BufferCoord from, to;
    };
    for (Subject s : {Subject{{3, 1}, {3, 1}}, Subject{{1, 1}, {1, 3}}, Subject{{3, 1}, {4, 2}}, Subject{{2, 1}, {5, 1}}}) {
      auto e = EditorWith(text);
      if (s.from == s.to) e->setCaretXY(s.from);
      else e->setSelection(s.from, s.to);
      ToggleComment(*e, ctx);
      EXPECT_NE(Bytes(*e), text) << entry.name;
      ToggleComment(*e, ctx);
      EXPECT_EQ(Bytes(*e), text) << entry.name << " from line " << s.from.Line << " col " << s.from.Char;
    }
  }
  EXPECT_GE(toggled, 10) << "most languages have comment markers";
}

}  // namespace
}  // namespace qv
