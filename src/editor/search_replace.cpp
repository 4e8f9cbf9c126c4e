// Search and replace over the editor's lines: single finds, prompted replacing, and replace-all
// built in one pass and applied as one edit.
#include "editor/search_replace.h"

#include <algorithm>

namespace qv {
namespace {

// The stretch of text a run covers (0-based, end exclusive per line); in a column selection
// each line is limited to the selected columns as well.
struct Scope {
  TextPos from;
  TextPos to;
  bool columns = false;
  std::size_t firstColumn = 0;
  std::size_t lastColumn = 0;
};

// A hit in the editor's text.
struct TextHit {
  TextPos start;
  TextPos end;
};

Scope MakeScope(const Editor& editor, const SearchReplaceOptions& o) {
  const TextBuffer& text = editor.lines();
  const TextPos top{0, 0};
  const TextPos bottom = text.endPos();
  Scope scope;
  if (o.selectedOnly && editor.selAvail()) {
    TextPos b = text.clamp(Editor::toPos(editor.blockBegin()));
    TextPos e = text.clamp(Editor::toPos(editor.blockEnd()));
    switch (editor.selectionMode()) {
      case SelectionMode::Normal:
        scope.from = b;
        scope.to = e;
        break;
      case SelectionMode::Line:
        scope.from = {b.line, 0};
        scope.to = {e.line, text.lineLength(e.line)};
        break;
      case SelectionMode::Column:
        scope.from = {b.line, 0};
        scope.to = {e.line, text.lineLength(e.line)};
        scope.columns = true;
        scope.firstColumn = static_cast<std::size_t>(std::min(b.col, e.col));
        scope.lastColumn = static_cast<std::size_t>(std::max(b.col, e.col));
        break;
    }
    return scope;
  }
  const TextPos caret = text.clamp(Editor::toPos(editor.caretXY()));
  scope.from = (o.entireScope || o.backwards) ? top : caret;
  scope.to = (o.entireScope || !o.backwards) ? bottom : caret;
  return scope;
}

// The columns of `line` inside the scope; false when none.
bool LimitsOn(const Scope& scope, int line, std::string_view text, std::size_t& a, std::size_t& b) {
  a = line == scope.from.line ? static_cast<std::size_t>(scope.from.col) : 0;
  b = line == scope.to.line ? static_cast<std::size_t>(scope.to.col) : text.size();
  if (scope.columns) {
    a = std::max(a, scope.firstColumn);
    b = std::min(b, scope.lastColumn);
  }
  b = std::min(b, text.size());
  return a <= b;
}

std::optional<TextHit> FindOne(const TextBuffer& text, SearchEngine& engine, const Scope& scope,
                               bool backwards, std::optional<std::string>& error) {
  if (scope.to < scope.from) return std::nullopt;
  const int step = backwards ? -1 : 1;
  const int last = backwards ? scope.from.line : scope.to.line;
  for (int line = backwards ? scope.to.line : scope.from.line;; line += step) {
    std::string_view s = text.line(line);
    std::size_t a, b;
    if (LimitsOn(scope, line, s, a, b)) {
      auto hit = engine.find(s, a, b, backwards);
      if (!hit && engine.matchError()) {
        error = engine.matchError();
        return std::nullopt;
      }
      if (hit) {
        return TextHit{{line, static_cast<int>(hit->position)},
                       {line, static_cast<int>(hit->position + hit->length)}};
      }
    }
    if (line == last) return std::nullopt;
  }
}

// Caret without a selection; unlike setCaretXY this keeps an open undo block in one step.
void PlaceCaret(Editor& editor, BufferCoord p) { editor.setSelection(p, p); }

// Replaces every hit in the scope in one edit; the caret goes after the last replacement
// (forward) or before the first. Changes nothing when the search fails part-way.
int ReplaceAllAtOnce(Editor& editor, SearchEngine& engine, const Scope& scope,
                     std::string_view replaceWith, bool backwards, std::optional<std::string>& error) {
  const TextBuffer& text = editor.lines();
  if (scope.to < scope.from) return 0;
  std::string out;
  int count = 0;
  TextPos first;
  int copiedLine = 0;          // out holds the text from `first` up to (copiedLine, copiedCol)
  std::size_t copiedCol = 0;
  for (int line = scope.from.line; line <= scope.to.line; ++line) {
    std::string_view s = text.line(line);
    std::size_t a, b;
    if (!LimitsOn(scope, line, s, a, b)) continue;
    engine.findEach(s, a, b, [&](const SearchHit& hit) {
      if (count == 0) {
        first = {line, static_cast<int>(hit.position)};
        copiedLine = line;
        copiedCol = hit.position;
      }
      // Bring out up to this hit: the rest of the line copied last, the lines between, this line.
      for (; copiedLine < line; ++copiedLine, copiedCol = 0) {
        out.append(text.line(copiedLine).substr(copiedCol));
        out.push_back('\n');
      }
      out.append(s.substr(copiedCol, hit.position - copiedCol));
      engine.appendReplacement(replaceWith, out);
      copiedCol = hit.position + hit.length;
      ++count;
      return true;
    });
    if (engine.matchError()) {
      error = engine.matchError();
      return 0;
    }
  }
  if (count == 0) return 0;
  const TextPos lastEnd{copiedLine, static_cast<int>(copiedCol)};
  BufferCoord end = editor.replaceRange(Editor::toCoord(first), Editor::toCoord(lastEnd), out);
  PlaceCaret(editor, backwards ? Editor::toCoord(first) : end);
  return count;
}

std::optional<TextPos> StepForward(const TextBuffer& text, TextPos p) {
  if (p.col < text.lineLength(p.line)) return TextPos{p.line, p.col + 1};
  if (p.line + 1 < text.lineCount()) return TextPos{p.line + 1, 0};
  return std::nullopt;
}

std::optional<TextPos> StepBackward(const TextBuffer& text, TextPos p) {
  if (p.col > 0) return TextPos{p.line, p.col - 1};
  if (p.line > 0) return TextPos{p.line - 1, text.lineLength(p.line - 1)};
  return std::nullopt;
}

// The flag that keeps the document from trimming lines while the caret jumps about.
class MultiLineOperation {
 public:
  explicit MultiLineOperation(Editor& e) : editor_(e), was_(e.multiLineOperation()) {
    editor_.setMultiLineOperation(true);
  }
  ~MultiLineOperation() { editor_.setMultiLineOperation(was_); }
  MultiLineOperation(const MultiLineOperation&) = delete;
  MultiLineOperation& operator=(const MultiLineOperation&) = delete;

 private:
  Editor& editor_;
  bool was_;
};

void SelectHit(Editor& editor, const TextHit& hit, bool backwards) {
  if (backwards)
    editor.setSelection(Editor::toCoord(hit.end), Editor::toCoord(hit.start));
  else
    editor.setSelection(Editor::toCoord(hit.start), Editor::toCoord(hit.end));
}

}  // namespace

SearchReplaceResult SearchReplace(Editor& editor, SearchEngine& engine, std::string_view search,
                                  std::string_view replaceWith, const SearchReplaceOptions& o,
                                  const ReplacePrompt& prompt) {
  SearchReplaceResult result;
  if (auto e = engine.setPattern(search, {o.matchCase, o.wholeWord})) {
    result.error = e->message;
    return result;
  }
  const bool replacing = o.replace || o.replaceAll;
  if (replacing && editor.readOnly()) return result;
  MultiLineOperation busy(editor);
  const TextBuffer& text = editor.lines();
  Scope scope = MakeScope(editor, o);

  if (!replacing) {
    if (auto hit = FindOne(text, engine, scope, o.backwards, result.error)) {
      SelectHit(editor, *hit, o.backwards);
      result.count = 1;
    }
    return result;
  }
  if (o.replaceAll && !(o.prompt && prompt)) {
    result.count = ReplaceAllAtOnce(editor, engine, scope, replaceWith, o.backwards, result.error);
    return result;
  }

  // One hit at a time: a single replace, or replace-all asking before each hit.
  editor.beginUndoBlock();
  while (auto hit = FindOne(text, engine, scope, o.backwards, result.error)) {
    const std::string replacement = engine.replacement(replaceWith);  // before the text changes
    SelectHit(editor, *hit, o.backwards);
    ReplaceAction action = (o.prompt && prompt)
                               ? prompt(Editor::toCoord(hit->start), Editor::toCoord(hit->end), replacement)
                               : ReplaceAction::Replace;
    if (action == ReplaceAction::Cancel) break;
    const bool empty = hit->start == hit->end;
    // The scope's end, counted from the end of the text, survives edits before it.
    const int linesAfter = text.lineCount() - 1 - scope.to.line;
    const int colsAfter = text.lineLength(scope.to.line) - scope.to.col;
    TextPos resume = o.backwards ? hit->start : hit->end;
    if (action != ReplaceAction::Skip) {
      BufferCoord end =
          editor.replaceRange(Editor::toCoord(hit->start), Editor::toCoord(hit->end), replacement);
      ++result.count;
      resume = o.backwards ? hit->start : Editor::toPos(end);
      PlaceCaret(editor, Editor::toCoord(resume));
      if (!o.backwards) {
        scope.to.line = text.lineCount() - 1 - linesAfter;
        scope.to.col = text.lineLength(scope.to.line) - colsAfter;
      }
    }
    // An empty hit is passed by one character, or it would be found again at once.
    if (empty) {
      auto next = o.backwards ? StepBackward(text, resume) : StepForward(text, resume);
      if (!next) break;
      resume = *next;
    }
    if (o.backwards)
      scope.to = resume;
    else
      scope.from = resume;
    if (action == ReplaceAction::ReplaceAll) {
      result.count += ReplaceAllAtOnce(editor, engine, scope, replaceWith, o.backwards, result.error);
      break;
    }
    if (!o.replaceAll && action == ReplaceAction::Replace) break;
  }
  editor.endUndoBlock();
  return result;
}

}  // namespace qv
