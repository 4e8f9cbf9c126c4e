// Numbered bookmarks: reading and setting them on an editor, project lines and menu captions.
#include "documents/bookmarks.h"

#include <algorithm>

#include "editor/editor.h"

namespace qv {

namespace {

std::string_view Trim(std::string_view s) {
  const std::size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  const std::size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

}  // namespace

TBookmarkList BookmarksOf(const Editor& editor) {
  TBookmarkList list;
  for (int n = 0; n <= 9; ++n)
    if (auto m = editor.marker(n)) list.push_back({n, m->Char, m->Line});
  return list;
}

void ApplyBookmarks(Editor& editor, const TBookmarkList& list) {
  for (const TBookmark& b : list)
    if (b.X >= 1 && b.Index >= 0 && b.Index <= 9) editor.setMarker(b.Index, BufferCoord{b.X, std::max(1, b.Y)});
}

std::vector<std::string> BookmarkListText(const TBookmarkList& list) {
  std::vector<std::string> lines;
  lines.reserve(list.size() * 3 + 1);
  lines.push_back("BookmarkCount=" + std::to_string(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i) {
    auto key = [i](std::string_view name, int value) {
      std::string s = "Bookmark";
      s += std::to_string(i);
      s += name;
      s += '=';
      s += std::to_string(value);
      return s;
    };
    lines.push_back(key("Index", list[i].Index));
    lines.push_back(key("X", list[i].X));
    lines.push_back(key("Y", list[i].Y));
  }
  return lines;
}

std::string BookmarkCaption(int n, const std::string* lineText) {
  std::string caption = "&";
  caption += std::to_string(n);
  if (lineText) {
    caption += ' ';
    caption += Trim(*lineText);
  }
  return caption;
}

std::vector<std::string> JumpToBookmarkCaptions(const Editor& editor) {
  std::vector<std::string> captions;
  for (int n = 0; n <= 9; ++n) {
    if (auto m = editor.marker(n)) {
      const std::string text(editor.line(m->Line));
      captions.push_back(BookmarkCaption(n, &text));
    } else {
      captions.push_back(BookmarkCaption(n, nullptr));
    }
  }
  return captions;
}

void JumpToBookmark(Editor& editor, int n) {
  editor.clearSelection();
  if (!editor.marker(n)) return;
  editor.executeCommand(ecGotoMarker0 + n);
  editor.setTopLine(std::max(1, editor.caretXY().Line - editor.linesInWindow() / 2));
}

void ToggleBookmark(Editor& editor, int n) {
  if (n >= 0 && n <= 9) editor.executeCommand(ecSetMarker0 + n);
}

}  // namespace qv
