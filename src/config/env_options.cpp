// The environment options and their keys Global, General and Misc.
#include "config/env_options.h"

#include <utility>

#include "config/file_names.h"
#include "config/safe_registry.h"
#include "platform/folders.h"
#include "platform/settings_tree.h"

namespace qv {
namespace {

constexpr std::string_view kGlobalKey = "\\Software\\Quirvane\\Quirvane\\Global\\";
constexpr std::string_view kGeneralKey = "\\Software\\Quirvane\\Quirvane\\General\\";
constexpr std::string_view kMiscKey = "\\Software\\Quirvane\\Quirvane\\Misc\\";

// The options write LastDir when destroyed at exit, so the settings tree they write to must be
// made first: function-local statics are destroyed in the reverse order of their construction.
std::unique_ptr<TEnvOptions>& Slot() {
  static std::unique_ptr<TEnvOptions> slot = (UserSettings(), nullptr);
  return slot;
}

}  // namespace

TEnvOptions::TEnvOptions(std::string programFolder, SettingsTree* tree)
    : BackupDir(std::move(programFolder) + "Backup"), tree_(tree) {
  LoadEnvOptions();
}

TEnvOptions::~TEnvOptions() { SaveLastDir(); }

SettingsTree& TEnvOptions::tree() const { return tree_ ? *tree_ : UserSettings(); }

void TEnvOptions::LoadEnvOptions() {
  TSafeRegistry reg(tree());
  if (reg.OpenKey(kGlobalKey, true)) {
    ShiftClickClosesFileTab = reg.ReadBoolDef("ShiftClickClosesFileTab", ShiftClickClosesFileTab);
  }
  if (reg.OpenKey(kGeneralKey, true)) {
    Backup = reg.ReadBoolDef("Backup", Backup);
    BackupDir = reg.ReadStrDef("BackupDir", BackupDir);
    BackupDOSFileName = reg.ReadBoolDef("BackupDOSFileName", BackupDOSFileName);
    DetectFileChanges = reg.ReadBoolDef("DetectFileChanges", DetectFileChanges);
    AutoUpdateChangedFiles = reg.ReadBoolDef("AutoUpdateChangedFiles", AutoUpdateChangedFiles);
    MinimizeIfNoFiles = reg.ReadBoolDef("MinimizeIfNoFiles", MinimizeIfNoFiles);
    MinimizeToTray = reg.ReadBoolDef("MinimizeToTray", MinimizeToTray);
    StartAction = reg.ReadIntDef("StartAction", StartAction);
    RememberLastDir = reg.ReadBoolDef("RememberLastDir", RememberLastDir);
    RememberFindCfg = reg.ReadBoolDef("RememberFindCfg", RememberFindCfg);
    LastDir = reg.ReadStrDef("LastDir", LastDir);
    MultipleInstances = reg.ReadBoolDef("MultipleInstances", MultipleInstances);
  }
  if (reg.OpenKey(kMiscKey, true)) {
    SQLDialect = reg.ReadIntDef("SQLDialect", SQLDialect);
  }
}

void TEnvOptions::SaveEnvOptions() {
  TSafeRegistry reg(tree());
  if (reg.OpenKey(kGlobalKey, true)) {
    reg.WriteBool("ShiftClickClosesFileTab", ShiftClickClosesFileTab);
  }
  if (reg.OpenKey(kGeneralKey, true)) {
    reg.WriteBool("Backup", Backup);
    reg.WriteString("BackupDir", BackupDir);
    reg.WriteBool("BackupDOSFileName", BackupDOSFileName);
    reg.WriteBool("DetectFileChanges", DetectFileChanges);
    reg.WriteBool("AutoUpdateChangedFiles", AutoUpdateChangedFiles);
    reg.WriteBool("MinimizeIfNoFiles", MinimizeIfNoFiles);
    reg.WriteBool("MinimizeToTray", MinimizeToTray);
    reg.WriteInteger("StartAction", StartAction);
    reg.WriteBool("RememberLastDir", RememberLastDir);
    reg.WriteBool("RememberFindCfg", RememberFindCfg);
    reg.WriteBool("MultipleInstances", MultipleInstances);
  }
  if (reg.OpenKey(kMiscKey, true)) {
    reg.WriteInteger("SQLDialect", SQLDialect);
  }
}

void TEnvOptions::SaveLastDir() {
  TSafeRegistry reg(tree());
  if (reg.OpenKey(kGeneralKey, true)) reg.WriteString("LastDir", LastDir);
}

TEnvOptions& EnvOptions() {
  if (!Slot()) Slot() = std::make_unique<TEnvOptions>(ApplicationDirectory());
  return *Slot();
}

void ReleaseEnvOptions() { Slot().reset(); }

void NoteLastDir(std::string_view fileName) { NoteLastDir(EnvOptions().LastDir, fileName); }

}  // namespace qv
