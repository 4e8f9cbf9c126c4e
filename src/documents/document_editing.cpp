// A document's part in editing: the editor's events, the configuration applied to the editor,
// the keys and clicks it handles before the control, help and the shell.
#include <algorithm>
#include <cctype>
#include <filesystem>

#include "config/editor_cfg.h"
#include "documents/document.h"
#include "editor/highlighter.h"

namespace qv {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsWordChar(const Editor& editor, unsigned char c) {
  if (Highlighter* h = editor.highlighter()) return h->isIdentChar(c);
  return std::isalnum(c) || c == '_' || c >= 0x80;
}

std::string UpperCase(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

void Document::onStatusChange(unsigned bits) {
  Editor& e = *editor_;
  const int caretLine = e.caretXY().Line;
  const bool lineChanged = lastCaretLine_ != -1 && caretLine != lastCaretLine_;
  // The line the caret left loses its trailing blanks, unless Enter made the move (the
  // auto-indent of the new line is kept) or a multi-line operation is running.
  if (lineChanged && !e.selAvail() && !typedLineBreak_ && !e.multiLineOperation() &&
      lastCaretLine_ <= e.lineCount()) {
    const std::string_view left = e.line(lastCaretLine_);
    if (!left.empty() && IsBlank(left.back())) e.trimLine(lastCaretLine_);
  }
  lastCaretLine_ = caretLine;
  (void)bits;
  changed();
}

void Document::onProcessCommand(EditorCommand& command, char& ch, CommandData& data) {
  Editor& e = *editor_;
  typedLineBreak_ = command == ecLineBreak || command == ecInsertLine;
  if (command == ecSelectAll && e.selectionMode() == SelectionMode::Column) {
    // The rectangle from the first column to the longest line's end.
    int longest = 0;
    const TextBuffer& b = e.lines();
    for (int i = 0; i < b.lineCount(); ++i) longest = std::max(longest, b.lineLength(i));
    e.setSelection({1, 1}, {longest + 1, e.lineCount()});
    command = ecNone;
  } else if ((command == ecTab || command == ecShiftTab) && e.selAvail()) {
    command = command == ecTab ? ecBlockIndent : ecBlockUnindent;
  }
  if (command != ecNone && services_.recordCommand) services_.recordCommand(command, ch, data);
}

void Document::onCommandProcessed(EditorCommand command, char, const CommandData&) {
  typedLineBreak_ = false;
  if (command == ecUndo || command == ecRedo) SetModified(editor_->modified());
}

void Document::ApplyEditorConfig(const TEditorCfg& cfg) {
  Editor& e = *editor_;
  e.beginUpdate();
  EditorOptions options = cfg.Options;
  // The options no setting controls stay as the control has them.
  for (EditorOption o : {EditorOption::eoAltSetsColumnMode, EditorOption::eoAutoSizeMaxScrollWidth,
                         EditorOption::eoDropFiles, EditorOption::eoHideShowScrollbars,
                         EditorOption::eoShowScrollHint, EditorOption::eoSpecialLineDefaultFg,
                         EditorOption::eoEnhanceEndKey}) {
    options.set(o, e.has(o));
  }
  options.set(EditorOption::eoTrimTrailingSpaces, cfg.TrimTrailingSpaces);
  options.set(EditorOption::eoTabsToSpaces, cfg.TabsMode == 1);
  e.setOptions(withDerivedOptions(options));
  e.setTabWidth(cfg.TabWidth);
  e.setBlockIndent(cfg.BlockIndent);
  e.endUpdate();

  DocumentViewSettings v;
  v.extraLineSpacing = std::max(0, cfg.ExtraLineSpacing);
  v.insertCaretShape = std::clamp(cfg.InsertCaretShape, 0, 3);
  v.overwriteCaretShape = std::clamp(cfg.OverwriteCaretShape, 0, 3);
  v.editorFont = FontSpec{cfg.FontName, std::max(1, cfg.FontSize)};
  v.oemFont = FontSpec{cfg.OEMFontName, std::max(1, cfg.OEMFontSize)};
  v.gutterFont = FontSpec{cfg.GutterFontName, std::max(1, cfg.GutterFontSize)};
  v.rightEdge = services_.settings.showRightMargin ? std::max(0, cfg.RightEdge) : 0;
  v.gutterWidth = cfg.GutterVsbl ? std::max(0, cfg.GutterWidth) : 0;
  v.lineSelectCursor = cfg.GutterVsbl;
  v.lineNumbers = cfg.LineNumbers;
  v.wordwrapGlyph = cfg.ShowWordwrapGlyph;
  v.hideMouseWhenTyping = cfg.HideMouseWhenTyping;
  viewSettings_ = v;
  services_.settings.tabsMode = cfg.TabsMode;
  services_.settings.tabWidth = cfg.TabWidth;
  services_.settings.undoAfterSave = cfg.UndoAfterSave;
  rulerVsbl_ = cfg.RulerVsbl;
  changed();
}

void Document::SetColorCurrentLine(bool value) {
  colorCurrentLine_ = value;
  changed();
}

void Document::SetOverrideTxtFgColor(bool value) {
  EditorOptions o = editor_->options();
  o.set(EditorOption::eoSpecialLineDefaultFg, !value);
  editor_->setOptions(o);
  changed();
}

void Document::SetOEMView(bool value) {
  oemView_ = value;
  changed();
}

void Document::SetWordwrap(bool value) {
  editor_->setWordWrap(value);
  if (value) editor_->setLeftChar(1);
  changed();
}

void Document::SetRulerVsbl(bool value) {
  rulerVsbl_ = value;
  changed();
}

void Document::SetEmphasizeWord(bool value) {
  emphasizeWord_ = value;
  changed();
}

void Document::SetEmphasizedWord(std::string word) {
  emphasizedWord_ = std::move(word);
  changed();
}

bool Document::HandleKey(std::uint16_t key, std::uint8_t shift) {
  Editor& e = *editor_;
  if (key == vk::Back && shift == ssShift) {
    e.executeCommand(ecDeleteLastChar);
    return true;
  }
  if (key == vk::Return && shift == ssShift) {
    e.executeCommand(ecLineBreak);
    return true;
  }
  if (key == vk::Insert && shift == ssShift) {
    e.executeCommand(ecPaste);
    return true;
  }
  if (key == vk::End && shift == ssNone) e.trimLine(e.caretXY().Line);  // then End goes on
  return false;
}

void Document::SelectGutterLine(int line1) {
  Editor& e = *editor_;
  line1 = std::clamp(line1, 1, e.lineCount());
  // The whole line with its break; the last line to its end. The caret stays at its start.
  const BufferCoord end = line1 < e.lineCount()
                              ? BufferCoord{1, line1 + 1}
                              : BufferCoord{static_cast<int>(e.line(line1).size()) + 1, line1};
  e.setSelectionMode(SelectionMode::Normal);
  e.setSelection(end, {1, line1});
}

std::optional<HelpRequest> Document::HelpOnKeyword() const {
  if (!services_.highlighterHelpFile || !hasHighlighter_) return std::nullopt;
  HelpRequest r;
  r.file = services_.highlighterHelpFile(highlighter_);
  if (r.file.empty()) return std::nullopt;
  const Editor& e = *editor_;
  if (e.selAvail()) {
    r.keyword = e.selText();
  } else {
    const BufferCoord c = e.caretXY();
    const std::string_view line = e.line(c.Line);
    int from = std::min(c.Char - 1, static_cast<int>(line.size()));
    int to = from;
    while (from > 0 && IsWordChar(e, static_cast<unsigned char>(line[from - 1]))) --from;
    while (to < static_cast<int>(line.size()) && IsWordChar(e, static_cast<unsigned char>(line[to]))) ++to;
    r.keyword = std::string(line.substr(from, to - from));
  }
  r.keywordLookup = UpperCase(std::filesystem::path(r.file).extension().string()) == ".HLP";
  return r;
}

std::optional<std::string> Document::PrepareOpenInShell() {
  if (modified_ && !Save(false)) return std::nullopt;
  if (fileMissing_) return std::nullopt;
  return fileName_;
}

std::optional<int> Document::RightEdgeFromDrag(int column1) {
  const int edge = column1 - 1;
  if (edge > 3) return edge;
  return std::nullopt;
}

void Document::SetCaret(int column0, int line0) {
  editor_->setCaretXY({column0 + 1, line0 + 1});
}

}  // namespace qv
