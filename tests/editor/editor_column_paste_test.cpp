// Pasting a column block: each piece lands at the caret's column, past the text's end too.
#include <gtest/gtest.h>

#include "editor/clipboard.h"
#include "editor/editor.h"

namespace qv {
namespace {

struct ColumnPasteCase {
  const char* name;
  std::string text;
  BufferCoord caret;
  std::string result;
  BufferCoord caretAfter;
};

TEST(EditorColumnPaste, PiecesLandAtTheCaretColumn) {
  const ColumnPasteCase cases[] = {
      {"inside the text", "abcd\nefgh\nijkl\nmnop", {2, 1}, "abcbcd\r\nefgfgh\r\nijkjkl\r\nmnop", {2, 4}},
      // An empty last line stands for the file's final line break.
      {"on the empty last line", "abcd\nefgh\nijkl\n\n", {1, 4}, "abcd\r\nefgh\r\nijkl\r\nbc\r\nfg\r\njk", {3, 6}},
      {"one line before the end", "abcd\nefgh\n\n", {2, 2}, "abcd\r\nebcfgh\r\n fg\r\n jk", {4, 4}},
      {"on the last line, past its end", "abcd\nefgh", {7, 2}, "abcd\r\nefgh  bc\r\n      fg\r\n      jk",
       {9, 4}},
      {"block ends on the last line", "abcd\nefgh\nijkl", {1, 1}, "bcabcd\r\nfgefgh\r\njkijkl", {3, 3}},
  };
  for (const auto& c : cases) {
    MemoryClipboard clip;
    clip.set({"bc\r\nfg\r\njk", SelectionMode::Column});
    Editor e;
    e.setOptions({EditorOption::eoScrollPastEol});
    e.setClipboard(&clip);
    e.setText(c.text);
    const std::string before = e.text();
    e.setCaretXY(c.caret);
    e.executeCommand(ecPaste);
    EXPECT_EQ(e.text(), c.result) << c.name;
    EXPECT_EQ(e.caretXY(), c.caretAfter) << c.name;
    e.executeCommand(ecUndo);
    EXPECT_EQ(e.text(), before) << c.name << " (undo)";
  }
}

}  // namespace
}  // namespace qv
