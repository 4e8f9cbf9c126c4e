// Choosing the user-interface language.
#include "config/language_choice.h"

#include <algorithm>

#include "config/safe_registry.h"
#include "platform/folders.h"

namespace qv {
namespace {

constexpr std::string_view kGlobalKey = "\\Software\\Quirvane\\Quirvane\\Global\\";

bool SameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::filesystem::path LanguageFolder() { return std::filesystem::path(ApplicationDirectory()) / "language"; }

bool LoadLanguage(const std::string& name) { return LoadLanguageFrom(LanguageFolder(), name); }

std::string ReadLanguageSetting(Registry& reg) {
  if (!reg.OpenKey(kGlobalKey, true)) return {};
  return ReadStrDef(reg, "Language", "");
}

void WriteLanguageSetting(Registry& reg, const std::string& name) {
  if (reg.OpenKey(kGlobalKey, true)) reg.WriteString("Language", name);
}

std::vector<LanguageEntry> LanguageChoices(const std::filesystem::path& folder) {
  std::vector<LanguageEntry> choices{{"English", ""}};
  for (LanguageEntry& e : ListLanguages(folder)) choices.push_back(std::move(e));
  return choices;
}

std::size_t PreselectedLanguage(const std::vector<LanguageEntry>& choices, const std::string& setting) {
  if (setting.empty()) return 0;
  for (std::size_t i = 1; i < choices.size(); ++i)
    if (SameNoCase(choices[i].fileName, setting)) return i;
  return 0;
}

bool ApplyLanguageChoice(std::string& setting, const std::vector<LanguageEntry>& choices,
                         std::size_t preselected, std::size_t chosen, const std::filesystem::path& folder,
                         Prompter& prompter) {
  if (chosen == preselected || chosen >= choices.size()) return false;
  setting = choices[chosen].fileName;
  LoadLanguageFrom(folder, setting);
  prompter.message("Warning",
                   TranslatedText(8013, "Language will be changed when program is restarted."),
                   MsgIcon::Warning, MsgButtons::Ok);
  return true;
}

}  // namespace qv
