// The built-in highlighters' settings in key HighLighters\<component name>.
#include <string>

#include "config/editor_cfg.h"
#include "config/env_options.h"
#include "config/safe_registry.h"
#include "config/settings_steps.h"
#include "highlight/highlighter_table.h"
#include "highlight/languages/tcl.h"
#include "platform/registry.h"

namespace qv {

namespace {

std::string EntryKey(const THighLighter& e) {
  return "\\Software\\Quirvane\\Quirvane\\HighLighters\\" + e.componentName;
}

bool HasStoredSettings(const THighLighter& e) {
  return e.highlighter && !e.isDefinitionBased && !e.componentName.empty();
}

}  // namespace

void HighlighterTable::LoadHighlighterSettings(Registry& reg) {
  for (THighLighter& e : entries_) {
    if (!HasStoredSettings(e)) continue;
    const std::string key = EntryKey(e);
    for (auto& a : e.highlighter->attributes()) {
      const std::string attrKey = key + "\\" + a->storageName;
      if (a->storageName.empty() || !reg.KeyExists(attrKey) || !reg.OpenKey(attrKey, false))
        continue;
      if (auto v = reg.ReadInteger("Background")) a->background = static_cast<Color>(*v);
      if (auto v = reg.ReadInteger("Foreground")) a->foreground = static_cast<Color>(*v);
      if (auto v = reg.ReadInteger("Style")) a->style = *v & 0xFF;
      reg.CloseKey();
    }
    if (!reg.OpenKey(key, true)) continue;
    e.colorCurrentLine = ReadBoolDef(reg, "ColorCurrentLine", false);
    e.overrideTxtFgColor = ReadBoolDef(reg, "OverrideTxtFgColor", false);
    e.extensions = ConvertOldExtensions(ReadStrDef(reg, "Extensions", e.extensions));
    e.blockBegStr = ReadStrDef(reg, "BlockBegStr", e.blockBegStr);
    e.blockEndStr = ReadStrDef(reg, "BlockEndStr", e.blockEndStr);
    e.blockAutoindent = ReadBoolDef(reg, "BlockAutoindent", true);
    RebuildDefaultFilter(e);
    e.helpFile = ReadStrDef(reg, "HelpFile", "");
    if (auto words = lang::TclHighlighterKeyWords(*e.highlighter))
      lang::SetTclHighlighterKeyWords(*e.highlighter, ReadStrDef(reg, "KeyWords", *words));
    reg.CloseKey();
    e.highlighter->notifyChange();
  }
}

void HighlighterTable::SaveHighlighterSettings(Registry& reg) const {
  for (const THighLighter& e : entries_) {
    if (!HasStoredSettings(e)) continue;
    const std::string key = EntryKey(e);
    for (const auto& a : e.highlighter->attributes()) {
      if (a->storageName.empty() || !reg.OpenKey(key + "\\" + a->storageName, true)) continue;
      reg.WriteInteger("Background", static_cast<std::int32_t>(a->background));
      reg.WriteInteger("Foreground", static_cast<std::int32_t>(a->foreground));
      reg.WriteInteger("Style", a->style);
      reg.CloseKey();
    }
    if (!reg.OpenKey(key, true)) continue;
    reg.WriteBool("ColorCurrentLine", e.colorCurrentLine);
    reg.WriteBool("OverrideTxtFgColor", e.overrideTxtFgColor);
    reg.WriteString("Extensions", e.extensions);
    reg.WriteString("BlockBegStr", e.blockBegStr);
    reg.WriteString("BlockEndStr", e.blockEndStr);
    reg.WriteBool("BlockAutoindent", e.blockAutoindent);
    reg.WriteString("HelpFile", e.helpFile);
    if (auto words = lang::TclHighlighterKeyWords(*e.highlighter)) reg.WriteString("KeyWords", *words);
    reg.CloseKey();
  }
}

void HighlighterTable::RegisterSettingsSteps(SettingsSteps& steps) {
  if (registeredSteps_) registeredSteps_->remove(stepsOwner_);
  registeredSteps_ = &steps;
  stepsOwner_ = "highlighter table " + std::to_string(reinterpret_cast<std::uintptr_t>(this));
  steps.onLoad(LoadStep::Highlighters, stepsOwner_, [this](Registry& reg) {
    LoadHighlighterSettings(reg);
  });
  steps.onLoad(LoadStep::SqlDialect, stepsOwner_, [this](Registry&) {
    SetSqlDialect(EnvOptions().SQLDialect);
  });
  steps.onSave(SaveStep::EditorBlock, stepsOwner_, [this](Registry& reg) {
    SaveHighlighterSettings(reg);
  });
}

}  // namespace qv
