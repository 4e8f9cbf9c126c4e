// Choosing the user-interface language: the active file named in Global\Language, the list the
// options dialog offers, and applying a new choice.
#pragma once
#include <filesystem>
#include <string>
#include <vector>

#include "config/translation.h"
#include "platform/prompter.h"
#include "platform/registry.h"

namespace qv {

// The program's language folder: program folder + "language/".
std::filesystem::path LanguageFolder();

// Appends program folder/language/name to the program-wide table. False for an empty name or a
// missing file.
bool LoadLanguage(const std::string& name);

// Global\Language: the active language file's name; empty for the built-in English.
std::string ReadLanguageSetting(Registry& reg);
void WriteLanguageSetting(Registry& reg, const std::string& name);

// "English" (no file) followed by every language file of the folder.
std::vector<LanguageEntry> LanguageChoices(const std::filesystem::path& folder);
// The entry whose file name equals the setting without regard to case, else 0 ("English").
std::size_t PreselectedLanguage(const std::vector<LanguageEntry>& choices, const std::string& setting);

// Applies the options dialog's choice. When it differs from the preselected entry: the setting
// takes the chosen file name (empty for English), that file is loaded at once (appending, so
// texts already translated keep theirs until the next start), and the user is told the
// language changes at the next start. Returns whether anything changed.
bool ApplyLanguageChoice(std::string& setting, const std::vector<LanguageEntry>& choices,
                         std::size_t preselected, std::size_t chosen,
                         const std::filesystem::path& folder, Prompter& prompter = UserPrompter());

}  // namespace qv
