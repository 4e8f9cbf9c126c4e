// The main window's settings load and save: an ordered frame of steps that each owner plugs into.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace qv {

// Load steps, in the order they run.
enum class LoadStep {
  Toolbars = 1,   // key fmMain
  Global,         // window placement and main-window switches
  Editor,         // key Editor into the editor configuration
  Highlighters,   // HighLighters\<component name>
  RecentLists,    // mruFiles, mruProjects
  FilePanel,      // FilePan
  UserCommands,   // UserExecKeys
  LastOpenFiles,  // only when StartAction is 2
  FindDialog,     // FindHistory, ReplaceHistory, Find, IncrementalSearch
  SqlDialect,     // the SQL highlighter's dialect from the environment options
};

// Save steps, in the order they run. EditorBlock steps run only while EditorCfgChanged is set;
// the flag is cleared after the last step.
enum class SaveStep {
  Toolbars = 1,
  Global,
  EditorBlock,    // Editor, then HighLighters, then UserExecKeys
  FilePanel,
  FindDialog,
  RecentLists,
  LastOpenFiles,
};

// Steps registered for the same position run in the order they were registered.
class SettingsSteps {
 public:
  using Step = std::function<void(Registry& reg)>;

  void onLoad(LoadStep at, std::string owner, Step step);
  void onSave(SaveStep at, std::string owner, Step step);
  // Drops every step an owner registered (when that part of the program goes away).
  void remove(const std::string& owner);

  void LoadSettings(Registry& reg) const;
  void SaveSettings(Registry& reg) const;

 private:
  struct Entry {
    int position;
    std::string owner;
    Step step;
  };
  static void Insert(std::vector<Entry>& list, Entry entry);
  std::vector<Entry> load_;
  std::vector<Entry> save_;
};

// The program's frame, with the editor configuration's own steps already in place.
SettingsSteps& ProgramSettingsSteps();

// Runs the program's frame over the program-wide settings tree.
void LoadSettings();
void SaveSettings();

}  // namespace qv
