// The editor configuration record, its key Editor and the changed flag.
#include "config/editor_cfg.h"

#include <variant>

#include "config/safe_registry.h"

namespace qv {
namespace {

using Field = std::variant<EditorOption, bool TEditorCfg::*, std::int32_t TEditorCfg::*,
                           std::string TEditorCfg::*>;

struct EditorValue {
  std::string_view name;
  Field field;
  bool optionDefault = false;  // for option values only
};

// Every value of key Editor, in the order they are read and written.
const EditorValue kEditorValues[] = {
    {"AutoIndent", EditorOption::eoAutoIndent, true},
    {"DragDropEditing", EditorOption::eoDragDropEditing, true},
    {"ScrollPastEol", EditorOption::eoScrollPastEol, true},
    {"EnhanceHomeKey", EditorOption::eoEnhanceHomeKey, false},
    {"SmartTabs", EditorOption::eoSmartTabs, true},
    {"TrimTrailingSpaces", &TEditorCfg::TrimTrailingSpaces},
    {"GroupUndo", EditorOption::eoGroupUndo, true},
    {"TabsInBlockIndent", EditorOption::eoTabsInBlockIndent, true},
    {"ShowSpecialChars", EditorOption::eoShowSpecialChars, false},
    {"FindTextAtCursor", &TEditorCfg::FindTextAtCursor},
    {"GutterVsbl", &TEditorCfg::GutterVsbl},
    {"LineNumbers", &TEditorCfg::LineNumbers},
    {"UndoAfterSave", &TEditorCfg::UndoAfterSave},
    {"HideMouseWhenTyping", &TEditorCfg::HideMouseWhenTyping},
    {"ExtraLineSpacing", &TEditorCfg::ExtraLineSpacing},
    {"InsertCaretShape", &TEditorCfg::InsertCaretShape},
    {"OverwriteCaretShape", &TEditorCfg::OverwriteCaretShape},
    {"RightEdge", &TEditorCfg::RightEdge},
    {"GutterWidth", &TEditorCfg::GutterWidth},
    {"TabWidth", &TEditorCfg::TabWidth},
    {"BlockIndent", &TEditorCfg::BlockIndent},
    {"FontName", &TEditorCfg::FontName},
    {"FontSize", &TEditorCfg::FontSize},
    {"OEMFontName", &TEditorCfg::OEMFontName},
    {"OEMFontSize", &TEditorCfg::OEMFontSize},
    {"GutterFontName", &TEditorCfg::GutterFontName},
    {"GutterFontSize", &TEditorCfg::GutterFontSize},
    {"ShowFindReplaceInfoDlg", &TEditorCfg::ShowFindReplaceInfoDlg},
    {"ShowExecInfoDlg", &TEditorCfg::ShowExecInfoDlg},
    {"RulerVsbl", &TEditorCfg::RulerVsbl},
    {"TabsMode", &TEditorCfg::TabsMode},
    {"CBlockIndent", &TEditorCfg::CBlockIndent},
    {"DefaultHighlighter", &TEditorCfg::DefaultHighlighter},
    {"DefaultTextFormat", &TEditorCfg::DefaultTextFormat},
    {"WordwrapByDefault", &TEditorCfg::WordwrapByDefault},
    {"ShowWordwrapGlyph", &TEditorCfg::ShowWordwrapGlyph},
};

// Keeps a stored number inside what the editor can draw and edit with.
void Limit(std::int32_t& value, std::int32_t low, std::int32_t high, std::int32_t fallback) {
  if (value < low || value > high) value = fallback;
}

void Sanitize(TEditorCfg& cfg) {
  const TEditorCfg d;
  Limit(cfg.TabWidth, 1, 256, d.TabWidth);
  Limit(cfg.BlockIndent, 0, 256, d.BlockIndent);
  Limit(cfg.CBlockIndent, 0, 256, d.CBlockIndent);
  Limit(cfg.InsertCaretShape, 0, 3, d.InsertCaretShape);
  Limit(cfg.OverwriteCaretShape, 0, 3, d.OverwriteCaretShape);
  Limit(cfg.RightEdge, 0, 100000, d.RightEdge);
  Limit(cfg.GutterWidth, 0, 10000, d.GutterWidth);
  Limit(cfg.ExtraLineSpacing, -50, 200, d.ExtraLineSpacing);
  Limit(cfg.FontSize, 1, 500, d.FontSize);
  Limit(cfg.OEMFontSize, 1, 500, d.OEMFontSize);
  Limit(cfg.GutterFontSize, 1, 500, d.GutterFontSize);
  Limit(cfg.TabsMode, 0, 1, d.TabsMode);
  Limit(cfg.DefaultTextFormat, 0, 5, d.DefaultTextFormat);
}

bool& ChangedFlag() {
  static bool changed = false;
  return changed;
}

}  // namespace

void LoadEditorCfg(Registry& reg, TEditorCfg& cfg) {
  if (!reg.OpenKey(kEditorKey, true)) return;
  const TEditorCfg defaults;
  for (const EditorValue& v : kEditorValues) {
    std::visit(
        [&](auto field) {
          using F = decltype(field);
          if constexpr (std::is_same_v<F, EditorOption>) {
            cfg.Options.set(field, ReadBoolDef(reg, v.name, v.optionDefault));
          } else if constexpr (std::is_same_v<F, bool TEditorCfg::*>) {
            cfg.*field = ReadBoolDef(reg, v.name, defaults.*field);
          } else if constexpr (std::is_same_v<F, std::int32_t TEditorCfg::*>) {
            cfg.*field = ReadIntDef(reg, v.name, defaults.*field);
          } else {
            cfg.*field = ReadStrDef(reg, v.name, defaults.*field);
          }
        },
        v.field);
  }
  Sanitize(cfg);
}

void SaveEditorCfg(Registry& reg, const TEditorCfg& cfg) {
  if (!reg.OpenKey(kEditorKey, true)) return;
  for (const EditorValue& v : kEditorValues) {
    std::visit(
        [&](auto field) {
          using F = decltype(field);
          if constexpr (std::is_same_v<F, EditorOption>) {
            reg.WriteBool(v.name, cfg.Options.has(field));
          } else if constexpr (std::is_same_v<F, bool TEditorCfg::*>) {
            reg.WriteBool(v.name, cfg.*field);
          } else if constexpr (std::is_same_v<F, std::int32_t TEditorCfg::*>) {
            reg.WriteInteger(v.name, cfg.*field);
          } else {
            reg.WriteString(v.name, cfg.*field);
          }
        },
        v.field);
  }
}

TEditorCfg& EditorCfg() {
  static TEditorCfg cfg;
  return cfg;
}

bool EditorCfgChanged() { return ChangedFlag(); }
void SetEditorCfgChanged(bool changed) { ChangedFlag() = changed; }

std::string ConvertOldExtensions(std::string_view extensions) {
  std::string out;
  out.reserve(extensions.size() + extensions.size() / 2);
  bool converted = false;
  // Each blank before a dot becomes ";*"; one pass does it, as the result holds no " ." again.
  for (std::size_t i = 0; i < extensions.size(); ++i) {
    if (extensions[i] == ' ' && i + 1 < extensions.size() && extensions[i + 1] == '.') {
      out += ";*";
      converted = true;
    } else {
      out += extensions[i];
    }
  }
  if (converted) SetEditorCfgChanged(true);
  std::string_view result = out;
  if (!result.empty() && result.front() == ';') result.remove_prefix(1);
  while (!result.empty() && result.front() == ' ') result.remove_prefix(1);
  while (!result.empty() && result.back() == ' ') result.remove_suffix(1);
  return std::string(result);
}

}  // namespace qv
