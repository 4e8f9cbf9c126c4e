// The ordered load and save frame of the program's settings.
#include "config/settings_steps.h"

#include <algorithm>
#include <utility>

#include "config/editor_cfg.h"

namespace qv {

void SettingsSteps::Insert(std::vector<Entry>& list, Entry entry) {
  auto at = std::upper_bound(list.begin(), list.end(), entry.position,
                             [](int position, const Entry& e) { return position < e.position; });
  list.insert(at, std::move(entry));
}

void SettingsSteps::onLoad(LoadStep at, std::string owner, Step step) {
  Insert(load_, Entry{static_cast<int>(at), std::move(owner), std::move(step)});
}

void SettingsSteps::onSave(SaveStep at, std::string owner, Step step) {
  Insert(save_, Entry{static_cast<int>(at), std::move(owner), std::move(step)});
}

void SettingsSteps::remove(const std::string& owner) {
  auto byOwner = [&](const Entry& e) { return e.owner == owner; };
  load_.erase(std::remove_if(load_.begin(), load_.end(), byOwner), load_.end());
  save_.erase(std::remove_if(save_.begin(), save_.end(), byOwner), save_.end());
}

void SettingsSteps::LoadSettings(Registry& reg) const {
  for (const Entry& e : load_) {
    reg.CloseKey();
    e.step(reg);
  }
  reg.CloseKey();
}

void SettingsSteps::SaveSettings(Registry& reg) const {
  const bool editorBlock = EditorCfgChanged();
  for (const Entry& e : save_) {
    if (e.position == static_cast<int>(SaveStep::EditorBlock) && !editorBlock) continue;
    reg.CloseKey();
    e.step(reg);
  }
  reg.CloseKey();
  SetEditorCfgChanged(false);
}

SettingsSteps& ProgramSettingsSteps() {
  static SettingsSteps steps = [] {
    SettingsSteps s;
    s.onLoad(LoadStep::Editor, "editor configuration", [](Registry& reg) { LoadEditorCfg(reg, EditorCfg()); });
    s.onSave(SaveStep::EditorBlock, "editor configuration",
             [](Registry& reg) { SaveEditorCfg(reg, EditorCfg()); });
    return s;
  }();
  return steps;
}

void LoadSettings() {
  Registry reg;
  ProgramSettingsSteps().LoadSettings(reg);
}

void SaveSettings() {
  Registry reg;
  ProgramSettingsSteps().SaveSettings(reg);
}

}  // namespace qv
