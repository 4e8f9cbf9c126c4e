// The document's decisions around editing: trimming on caret moves, Select All in column mode,
// Tab with a selection, the options the configuration derives, and the margin drag rule.
#include <gtest/gtest.h>

#include "config/editor_cfg.h"
#include "document_fixture.h"

namespace qv::test {
namespace {

// A document as its window makes it: the default configuration applied.
class DocumentEditing : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    doc->ApplyEditorConfig(TEditorCfg{});
  }
  Editor& ed() { return doc->editor(); }
  std::string text() { return ed().lines().bytes(LineBreak::Lf); }
};

TEST_F(DocumentEditing, LeavingALineTrimsItsTrailingBlanks) {
  ed().loadBytes("one  \t\ntwo\nthree  ");
  ed().setCaretXY({3, 1});
  ed().setCaretXY({1, 2});
  EXPECT_EQ(text(), "one\ntwo\nthree  ") << "the line the caret left loses its blanks";
  ed().setCaretXY({3, 2});  // same line: nothing to trim
  ed().setCaretXY({8, 3});
  ed().setCaretXY({1, 1});
  EXPECT_EQ(text(), "one\ntwo\nthree");
}

TEST_F(DocumentEditing, NoTrimmingWithASelectionOrAfterEnter) {
  ed().loadBytes("ab  \ncd");
  ed().setCaretXY({5, 1});
  ed().setBlockEnd({2, 2});  // caret moved line while selecting
  EXPECT_EQ(text(), "ab  \ncd");
  ed().setCaretXY({3, 1});
  ed().executeCommand(ecChar, ' ');
  ed().executeCommand(ecLineBreak);  // Enter keeps the blanks it left behind for auto-indent
  EXPECT_EQ(ed().caretXY().Line, 2);
  EXPECT_NE(text().find("ab"), std::string::npos);
}

TEST_F(DocumentEditing, NoTrimmingWhenTrimmingIsOff) {
  TEditorCfg cfg;
  cfg.TrimTrailingSpaces = false;
  doc->ApplyEditorConfig(cfg);
  ed().loadBytes("one  \ntwo");
  ed().setCaretXY({2, 1});
  ed().setCaretXY({1, 2});
  EXPECT_EQ(text(), "one  \ntwo");
}

TEST_F(DocumentEditing, SelectAllInColumnModeTakesTheRectangleToTheLongestLine) {
  ed().loadBytes("ab\nlongest line\nxyz");
  ed().setSelectionMode(SelectionMode::Column);
  ed().executeCommand(ecSelectAll);
  EXPECT_EQ(ed().selectionMode(), SelectionMode::Column);
  EXPECT_EQ(ed().blockBegin(), (BufferCoord{1, 1}));
  EXPECT_EQ(ed().blockEnd(), (BufferCoord{13, 3}));
}

TEST_F(DocumentEditing, TabWithASelectionIndentsTheBlockAndShiftTabUnindents) {
  ed().loadBytes("a\nb\nc");
  ed().setSelection({1, 1}, {2, 2});
  ed().executeCommand(ecTab);
  EXPECT_EQ(text(), "  a\n  b\nc");
  ed().executeCommand(ecShiftTab);
  EXPECT_EQ(text(), "a\nb\nc");
  ed().setCaretXY({1, 3});
  ed().executeCommand(ecTab);  // without a selection Tab is a tab
  EXPECT_NE(text(), "a\nb\nc");
}

TEST_F(DocumentEditing, ConfigurationDerivesKeepCaretXAndSmartTabDelete) {
  struct Case {
    bool scrollPastEol, smartTabs;
  };
  for (const Case c : {Case{true, true}, Case{true, false}, Case{false, true}, Case{false, false}}) {
    TEditorCfg cfg;
    cfg.Options.set(EditorOption::eoScrollPastEol, c.scrollPastEol);
    cfg.Options.set(EditorOption::eoSmartTabs, c.smartTabs);
    cfg.TabsMode = c.smartTabs ? 1 : 0;
    doc->ApplyEditorConfig(cfg);
    const std::string what = "scroll past eol " + std::to_string(c.scrollPastEol) + ", smart tabs " +
                             std::to_string(c.smartTabs);
    EXPECT_EQ(ed().has(EditorOption::eoKeepCaretX), !c.scrollPastEol) << what;
    EXPECT_EQ(ed().has(EditorOption::eoSmartTabDelete), c.smartTabs) << what;
    EXPECT_EQ(ed().has(EditorOption::eoTabsToSpaces), c.smartTabs) << what;
  }
}

TEST_F(DocumentEditing, ConfigurationHidesTheMarginAndGutterWhenSwitchedOff) {
  TEditorCfg cfg;
  cfg.RightEdge = 72;
  cfg.GutterVsbl = false;
  services.settings.showRightMargin = false;
  doc->ApplyEditorConfig(cfg);
  EXPECT_EQ(doc->ViewSettings().rightEdge, 0);
  EXPECT_EQ(doc->ViewSettings().gutterWidth, 0);
  EXPECT_FALSE(doc->ViewSettings().lineSelectCursor);
  services.settings.showRightMargin = true;
  cfg.GutterVsbl = true;
  doc->ApplyEditorConfig(cfg);
  EXPECT_EQ(doc->ViewSettings().rightEdge, 72);
  EXPECT_EQ(doc->ViewSettings().gutterWidth, 30);
}

TEST_F(DocumentEditing, MarginDragTakesTheColumnLeftOfTheMouseAboveThree) {
  struct Case {
    int column1;
    std::optional<int> edge;
  };
  for (const Case c : {Case{81, 80}, Case{5, 4}, Case{4, std::nullopt}, Case{1, std::nullopt}})
    EXPECT_EQ(Document::RightEdgeFromDrag(c.column1), c.edge) << "column " << c.column1;
}

}  // namespace
}  // namespace qv::test
