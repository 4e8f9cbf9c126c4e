// Program entry: GNU options first, then the editor itself.
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "config/registry_export.h"
#include "platform/folders.h"
#include "platform/sqlite_settings_tree.h"
#include "shell/gnu_options.h"
#include "shell/ui/application.h"
#include "version.h"

namespace {

// --import-settings and --export-settings work on the settings file and end the program.
int RunSettingsTransfer(const qv::GnuOptions& options) {
  qv::SettingsStore store = qv::OpenSettingsStore(qv::SettingsDatabasePath());
  if (!store.message.empty()) std::cerr << "quirvane: " << store.message << "\n";
  if (options.importSettings) {
    if (!store.persistent) {
      std::cerr << "quirvane: nothing was imported, the settings file cannot be used\n";
      return 1;
    }
    const qv::Status imported = qv::ImportRegistrySettings(*store.tree, *options.importSettings);
    if (!imported) {
      std::cerr << "quirvane: " << imported.error << "\n";
      return 1;
    }
  }
  if (options.exportSettings) {
    const qv::Status exported = qv::ExportRegistrySettings(*store.tree, *options.exportSettings);
    if (!exported) {
      std::cerr << "quirvane: " << exported.error << "\n";
      return 1;
    }
  }
  return 0;
}

// Copies the shipped defaults the program folder lacks, leaving the user's files alone.
void SeedProgramFolderAtStart() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path resources = qv::FindResourceDirectory(
      qv::ResourceDirectoryCandidates(QUIRVANE_RESOURCE_DIR, ec ? std::filesystem::path() : exe));
  const qv::SeedResult seeded = qv::SeedProgramFolder(resources, qv::ApplicationDirectory());
  for (const auto& error : seeded.errors) std::cerr << "quirvane: cannot copy " << error << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const qv::GnuOptions options = qv::ParseGnuOptions(args);
  if (!options.error.empty()) {
    std::cerr << "quirvane: " << options.error << "\nTry 'quirvane --help' for more information.\n";
    return 2;
  }
  if (options.help) {
    std::cout << qv::HelpText();
    return 0;
  }
  if (options.version) {
    std::cout << qv::VersionText();
    return 0;
  }

  if (options.importSettings || options.exportSettings) return RunSettingsTransfer(options);

  SeedProgramFolderAtStart();
  qv::SettingsStore settings = qv::OpenSettingsStore(qv::SettingsDatabasePath());
  const std::string settingsMessage = settings.message;
  qv::InstallUserSettings(std::move(settings.tree));

  return qv::RunApplication(argc, argv, options.rest, settingsMessage);
}
