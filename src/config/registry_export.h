// The settings tree as a "REGEDIT4" text file: export, and import to move or restore settings.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/settings_tree.h"

namespace qv {

// Appends the key at `hivePath` below `rootName` ("HKEY_CURRENT_USER") and all its subkeys, in
// the tree's enumeration order, lines ending with CR LF. A key the tree does not hold gets its
// header line only.
void ExportKey(const SettingsTree& tree, std::string_view rootName, std::string_view hivePath,
               std::string& out);

// "REGEDIT4" and the whole program tree, as the export file holds it.
std::string ExportRegistryText(const SettingsTree& tree);

// Writes the export file; the old file stays whole when writing fails. The caller saves the
// window's settings first so the tree is current.
Status ExportRegistrySettings(const SettingsTree& tree, const std::filesystem::path& file);

// The changes a REGEDIT4 text asks for, or the first error, naming `label` and the line.
struct RegistryImport {
  std::vector<SettingsChange> changes;
  std::string error;  // empty: the text is sound
  int errorLine = 0;
};
RegistryImport ParseRegistryText(std::string_view text, std::string_view label);

// Reads, checks and applies the file in one transaction: on any error nothing changes.
// Keys and values in the file are added or replaced; "[-key]" and "name"=- delete.
Status ImportRegistrySettings(SettingsTree& tree, const std::filesystem::path& file);

}  // namespace qv
