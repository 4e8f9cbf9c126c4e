// Numbered bookmarks and the records that carry them, and search hits, between subsystems.
#pragma once
#include <string>
#include <vector>

namespace qv {

class Editor;

// One numbered bookmark: index 0-9 at a 1-based column X and line Y.
struct TBookmark {
  int Index = 0;
  int X = 1;
  int Y = 1;
  bool operator==(const TBookmark&) const = default;
};

// The bookmarks of one document, in the order they were taken.
using TBookmarkList = std::vector<TBookmark>;

// The editor's marks, in bookmark number order.
TBookmarkList BookmarksOf(const Editor& editor);
// Sets every bookmark whose X is at least 1 (the editor keeps it inside the text).
void ApplyBookmarks(Editor& editor, const TBookmarkList& list);

// The key lines of a project file entry: "BookmarkCount=n", then for each i
// "Bookmark<i>Index=", "Bookmark<i>X=", "Bookmark<i>Y=".
std::vector<std::string> BookmarkListText(const TBookmarkList& list);

// One search hit: file, 1-based column and 0-based line of the match, the whole line, the length.
struct TFindTextResult {
  std::string FileName;
  int Col = 1;
  int Line = 0;
  std::string LineText;
  int Len = 0;
};

// Caption of item n of the bookmark submenus: "&n", or "&n " + the trimmed line text when set.
std::string BookmarkCaption(int n, const std::string* lineText);

// The ten captions of the Jump To Bookmark submenu for a document's editor.
std::vector<std::string> JumpToBookmarkCaptions(const Editor& editor);

// Jump to bookmark n: collapse the selection, move to the mark when set, centre its line.
void JumpToBookmark(Editor& editor, int n);

// Set Bookmark item n: toggles bookmark n at the caret.
void ToggleBookmark(Editor& editor, int n);

}  // namespace qv
