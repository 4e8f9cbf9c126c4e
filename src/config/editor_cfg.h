// The one editor configuration applied to every document, and its key Editor.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "editor/editor_options.h"
#include "platform/registry.h"

namespace qv {

struct TEditorCfg {
  EditorOptions Options = {
      EditorOption::eoAltSetsColumnMode,  EditorOption::eoAutoIndent,
      EditorOption::eoAutoSizeMaxScrollWidth, EditorOption::eoDragDropEditing,
      EditorOption::eoDropFiles,          EditorOption::eoGroupUndo,
      EditorOption::eoHideShowScrollbars, EditorOption::eoScrollPastEol,
      EditorOption::eoShowScrollHint,     EditorOption::eoSmartTabs,
      EditorOption::eoSpecialLineDefaultFg, EditorOption::eoTabsInBlockIndent,
  };
  bool TrimTrailingSpaces = true;
  bool FindTextAtCursor = true;
  bool GutterVsbl = true;
  bool LineNumbers = false;
  bool UndoAfterSave = true;
  bool HideMouseWhenTyping = true;
  std::int32_t ExtraLineSpacing = 0;
  std::int32_t InsertCaretShape = 0;     // 0 vertical, 1 horizontal, 2 half block, 3 block
  std::int32_t OverwriteCaretShape = 3;
  std::int32_t RightEdge = 80;
  std::int32_t GutterWidth = 30;
  std::int32_t TabWidth = 8;             // at least 1
  std::int32_t BlockIndent = 2;
  std::string FontName = "Courier New";
  std::int32_t FontSize = 10;            // at least 1
  std::string OEMFontName = "Terminal";
  std::int32_t OEMFontSize = 14;
  std::string GutterFontName = "Courier New";
  std::int32_t GutterFontSize = 8;
  bool ShowFindReplaceInfoDlg = true;
  bool ShowExecInfoDlg = false;
  bool RulerVsbl = true;
  std::int32_t TabsMode = 1;             // 0 hard tabs, 1 tabs to spaces
  std::int32_t CBlockIndent = 2;
  std::string DefaultHighlighter;
  std::int32_t DefaultTextFormat = 0;    // 0 DOS, 1 Unix, 2 Mac, 3 Unicode
  bool WordwrapByDefault = false;
  bool ShowWordwrapGlyph = true;

  bool operator==(const TEditorCfg&) const = default;
};

inline constexpr std::string_view kEditorKey = "\\Software\\Quirvane\\Quirvane\\Editor\\";

// Reads every value of key Editor (opened with creation) into cfg; a missing value takes the
// default of a fresh record. Values that no editor can use (a tab width below 1, a caret
// shape outside 0..3, ...) are replaced by their defaults.
void LoadEditorCfg(Registry& reg, TEditorCfg& cfg);
// Writes every value of key Editor; option values from their option bits.
void SaveEditorCfg(Registry& reg, const TEditorCfg& cfg);

// The program-wide configuration record.
TEditorCfg& EditorCfg();

// Whether the keys Editor, HighLighters and UserExecKeys are written at the next save.
bool EditorCfgChanged();
void SetEditorCfgChanged(bool changed);

// Turns an old extension list (" .pas .dpr") into the current form ("*.pas;*.dpr"), trimmed;
// a conversion sets EditorCfgChanged so the new form is written back.
std::string ConvertOldExtensions(std::string_view extensions);

}  // namespace qv
