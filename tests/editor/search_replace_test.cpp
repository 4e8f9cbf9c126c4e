// The editor's search-and-replace: finds from the caret, replace, replace all, prompting, undo.
#include <gtest/gtest.h>

#include <deque>

#include "editor/search_plain.h"
#include "editor/search_regex.h"
#include "editor/search_replace.h"

namespace qv {
namespace {

struct Selection {
  BufferCoord begin;
  BufferCoord end;
  BufferCoord caret;
  bool operator==(const Selection&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Selection& s) {
  return os << "(" << s.begin.Char << "," << s.begin.Line << ")-(" << s.end.Char << "," << s.end.Line
            << ") caret (" << s.caret.Char << "," << s.caret.Line << ")";
}

std::string Text(const Editor& e) { return e.lines().text("\n"); }

Selection SelectionOf(const Editor& e) { return {e.blockBegin(), e.blockEnd(), e.caretXY()}; }

struct FindCase {
  const char* name;
  std::string search;
  BufferCoord caret;
  SearchReplaceOptions options;
  bool regex;
  std::optional<Selection> expected;  // none: not found
};

TEST(SearchReplace, FindSelectsTheNextHitFromTheCaret) {
  const std::string text = "alpha beta alpha\nBeta gamma\nalpha";
  SearchReplaceOptions back;
  back.backwards = true;
  SearchReplaceOptions matchCase;
  matchCase.matchCase = true;
  SearchReplaceOptions whole;
  whole.wholeWord = true;
  SearchReplaceOptions top;
  top.entireScope = true;
  const FindCase cases[] = {
      {"from the top", "alpha", {1, 1}, {}, false, Selection{{1, 1}, {6, 1}, {6, 1}}},
      {"after the caret", "alpha", {2, 1}, {}, false, Selection{{12, 1}, {17, 1}, {17, 1}}},
      {"on a later line", "alpha", {17, 1}, {}, false, Selection{{1, 3}, {6, 3}, {6, 3}}},
      {"no wrap-around at the end", "alpha", {6, 3}, {}, false, std::nullopt},
      {"backwards: caret at the hit's start", "alpha", {1, 3}, back, false,
       Selection{{12, 1}, {17, 1}, {12, 1}}},
      {"backwards: a hit must end before the caret", "alpha", {16, 1}, back, false,
       Selection{{1, 1}, {6, 1}, {1, 1}}},
      {"no wrap-around at the start", "alpha", {1, 1}, back, false, std::nullopt},
      {"ignoring case", "beta", {11, 1}, {}, false, Selection{{1, 2}, {5, 2}, {5, 2}}},
      {"matching case", "Beta", {1, 1}, matchCase, false, Selection{{1, 2}, {5, 2}, {5, 2}}},
      {"whole words", "alph", {1, 1}, whole, false, std::nullopt},
      {"regular expression", "g\\w+", {1, 1}, {}, true, Selection{{6, 2}, {11, 2}, {11, 2}}},
      {"regex ignores whole word", "alph", {1, 1}, whole, true, Selection{{1, 1}, {5, 1}, {5, 1}}},
      {"entire scope starts at the top", "alpha", {6, 3}, top, false, Selection{{1, 1}, {6, 1}, {6, 1}}},
  };
  for (const auto& c : cases) {
    Editor editor;
    editor.setText(text);
    editor.setCaretXY(c.caret);
    const Selection before = SelectionOf(editor);
    auto engine = MakeSearchEngine(c.regex);
    auto result = SearchReplace(editor, *engine, c.search, "", c.options);
    EXPECT_FALSE(result.error) << c.name;
    EXPECT_EQ(result.count, c.expected ? 1 : 0) << c.name;
    EXPECT_EQ(SelectionOf(editor), c.expected.value_or(before)) << c.name;
    EXPECT_EQ(Text(editor), text) << c.name;
  }
}

struct ReplaceAllCase {
  const char* name;
  std::string text;
  std::string search;
  std::string replaceWith;
  bool regex;
  SearchReplaceOptions options;
  std::function<void(Editor&)> setUp;  // caret or selection
  std::string expected;
  int count;
};

TEST(SearchReplace, ReplaceAllReplacesEveryHitInItsRange) {
  SearchReplaceOptions all;
  all.replaceAll = true;
  SearchReplaceOptions allWhole = all;
  allWhole.wholeWord = true;
  SearchReplaceOptions allSelected = all;
  allSelected.selectedOnly = true;
  SearchReplaceOptions allBack = all;
  allBack.backwards = true;
  auto caretAt = [](int ch, int line) { return [=](Editor& e) { e.setCaretXY({ch, line}); }; };
  const ReplaceAllCase cases[] = {
      {"literal text, dots are dots", "a.b axb a.b", "a.b", "X", false, all, caretAt(1, 1), "X axb X", 2},
      {"only after the caret", "cat cat cat", "cat", "dog", false, all, caretAt(5, 1), "cat dog dog", 2},
      {"nothing after the caret: no wrap", "cat cat", "cat", "dog", false, all, caretAt(8, 1), "cat cat", 0},
      {"backwards: only before the caret", "cat cat cat", "cat", "dog", false, allBack, caretAt(5, 1),
       "dog cat cat", 1},
      {"plain replacement stays literal", "ab", "a", "$0\\1", false, all, caretAt(1, 1), "$0\\1b", 1},
      {"whole words", "in inside in", "in", "IN", false, allWhole, caretAt(1, 1), "IN inside IN", 2},
      {"selection only", "cat cat cat", "cat", "dog", false, allSelected,
       [](Editor& e) { e.setSelection({5, 1}, {8, 1}); }, "cat dog cat", 1},
      {"selection only across lines", "cat\ncat\ncat", "cat", "dog", false, allSelected,
       [](Editor& e) { e.setSelection({2, 1}, {4, 3}); }, "cat\ndog\ndog", 2},
      {"column selection limits every line", "abcabc\nabcabc\nabcabc", "ca", "X", false, allSelected,
       [](Editor& e) {
         e.setSelectionMode(SelectionMode::Column);
         e.setSelection({3, 1}, {6, 2});
       },
       "abXbc\nabXbc\nabcabc", 2},
      {"group references", "a=b\nc=d", "(\\w+)=(\\w+)", "$2=\\1", true, all, caretAt(1, 1), "b=a\nd=c", 2},
      {"line breaks in replacements", "a, b, c", ", ", "\\n", true, all, caretAt(1, 1), "a\nb\nc", 2},
      {"empty hits at line ends", "a\nb", "$", ";", true, all, caretAt(1, 1), "a;\nb;", 2},
      {"empty hits between characters", "ab", "x*", "-", true, all, caretAt(1, 1), "-a-b-", 3},
      {"zero bytes", std::string("a\0b a\0b", 7), std::string("\0", 1), "0", false, all, caretAt(1, 1),
       "a0b a0b", 2},
  };
  for (const auto& c : cases) {
    Editor editor;
    editor.setText(c.text);
    c.setUp(editor);
    auto engine = MakeSearchEngine(c.regex);
    auto result = SearchReplace(editor, *engine, c.search, c.replaceWith, c.options);
    EXPECT_FALSE(result.error) << c.name;
    EXPECT_EQ(result.count, c.count) << c.name;
    EXPECT_EQ(Text(editor), c.expected) << c.name;
    if (c.count > 0) {
      editor.undo();
      EXPECT_EQ(Text(editor), c.text) << c.name << ": one undo step restores the text";
      EXPECT_FALSE(editor.canUndo()) << c.name;
      editor.redo();
      EXPECT_EQ(Text(editor), c.expected) << c.name;
    }
  }
}

TEST(SearchReplace, SingleReplaceLeavesTheCaretAfterTheNewText) {
  PlainSearch engine;
  SearchReplaceOptions once;
  once.replace = true;
  Editor editor;
  editor.setText("cat cat cat");
  editor.setCaretXY({1, 1});
  EXPECT_EQ(SearchReplace(editor, engine, "cat", "tiger", once).count, 1);
  EXPECT_EQ(Text(editor), "tiger cat cat");
  EXPECT_EQ(editor.caretXY(), (BufferCoord{6, 1}));
  EXPECT_FALSE(editor.selAvail());

  once.backwards = true;
  editor.setCaretXY({14, 1});
  EXPECT_EQ(SearchReplace(editor, engine, "cat", "ox", once).count, 1);
  EXPECT_EQ(Text(editor), "tiger cat ox");
  EXPECT_EQ(editor.caretXY(), (BufferCoord{11, 1}));
}

TEST(SearchReplace, PromptDecidesHitByHitAndTheRunUndoesAsOneStep) {
  struct PromptCase {
    const char* name;
    std::vector<ReplaceAction> answers;
    std::string expected;
    int count;
  };
  const PromptCase cases[] = {
      {"skip then replace", {ReplaceAction::Skip, ReplaceAction::Replace, ReplaceAction::Replace},
       "cat dog dog", 2},
      {"cancel stops", {ReplaceAction::Replace, ReplaceAction::Cancel}, "dog cat cat", 1},
      {"all replaces the rest without asking", {ReplaceAction::Skip, ReplaceAction::ReplaceAll},
       "cat dog dog", 2},
  };
  for (const auto& c : cases) {
    Editor editor;
    editor.setText("cat cat cat");
    editor.setCaretXY({1, 1});
    std::deque<ReplaceAction> answers(c.answers.begin(), c.answers.end());
    int asked = 0;
    auto prompt = [&](BufferCoord start, BufferCoord end, const std::string& replacement) {
      ++asked;
      EXPECT_EQ(editor.selText(), "cat") << c.name << ": the hit is selected while asking";
      EXPECT_EQ(end.Char - start.Char, 3) << c.name;
      EXPECT_EQ(replacement, "dog") << c.name;
      EXPECT_FALSE(answers.empty()) << c.name << ": asked too often";
      if (answers.empty()) return ReplaceAction::Cancel;
      auto a = answers.front();
      answers.pop_front();
      return a;
    };
    SearchReplaceOptions o;
    o.replaceAll = true;
    o.prompt = true;
    PlainSearch engine;
    auto result = SearchReplace(editor, engine, "cat", "dog", o, prompt);
    EXPECT_EQ(result.count, c.count) << c.name;
    EXPECT_EQ(Text(editor), c.expected) << c.name;
    EXPECT_EQ(asked, static_cast<int>(c.answers.size())) << c.name;
    editor.undo();
    EXPECT_EQ(Text(editor), "cat cat cat") << c.name;
  }
}

TEST(SearchReplace, PromptedEmptyHitsStepOn) {
  Editor editor;
  editor.setText("ab\nc");
  editor.setCaretXY({1, 1});
  SearchReplaceOptions o;
  o.replaceAll = true;
  o.prompt = true;
  RegexSearch engine;
  int asked = 0;
  auto result = SearchReplace(editor, engine, "x*", "-", o, [&](BufferCoord, BufferCoord, const std::string&) {
    return ++asked < 100 ? ReplaceAction::Replace : ReplaceAction::Cancel;
  });
  EXPECT_EQ(Text(editor), "-a-b-\n-c-");
  EXPECT_EQ(result.count, 5);
}

TEST(SearchReplace, ErrorsAndReadOnlyChangeNothing) {
  Editor editor;
  editor.setText("a(b a(b");
  SearchReplaceOptions all;
  all.replaceAll = true;
  RegexSearch regex;
  auto bad = SearchReplace(editor, regex, "a(b", "x", all);
  ASSERT_TRUE(bad.error);
  EXPECT_NE(bad.error->find("position"), std::string::npos) << *bad.error;
  EXPECT_EQ(bad.count, 0);

  // A search that fails on a later line leaves earlier lines alone too.
  editor.setText("aaaa\n" + std::string(40, 'a') + " " + std::string(40, 'b') + "!");
  auto runaway = SearchReplace(editor, regex, "(\\w+\\s?)+$", "x", all);
  EXPECT_TRUE(runaway.error);
  EXPECT_EQ(runaway.count, 0);
  EXPECT_EQ(editor.lines().line(0), "aaaa");

  editor.setText("a(b a(b");
  editor.setReadOnly(true);
  PlainSearch plain;
  EXPECT_EQ(SearchReplace(editor, plain, "a(b", "x", all).count, 0);
  EXPECT_EQ(Text(editor), "a(b a(b");
  SearchReplaceOptions find;
  EXPECT_EQ(SearchReplace(editor, plain, "a(b", "", find).count, 1);  // finding still works
}

TEST(SearchReplace, ManyHitsReplaceInOneEdit) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "foo bar foo\n";
  Editor editor;
  editor.setText(text);
  editor.setCaretXY({1, 1});
  SearchReplaceOptions all;
  all.replaceAll = true;
  PlainSearch engine;
  EXPECT_EQ(SearchReplace(editor, engine, "foo", "quux", all).count, 40000);
  std::string expected;
  for (int i = 0; i < 20000; ++i) expected += "quux bar quux\n";
  expected.pop_back();  // the text's final break makes no empty line
  EXPECT_EQ(Text(editor), expected);
  editor.undo();
  EXPECT_EQ(Text(editor) + "\n", text);
}

}  // namespace
}  // namespace qv
