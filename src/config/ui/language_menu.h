// The Options menu's "Language" submenu: switching the user-interface language while running.
#pragma once
#include <filesystem>

#include "config/language_choice.h"
#include "platform/prompter.h"

class QMenu;
class QWidget;

namespace qv {

// Adds "Language" to the Options menu: "English" and every language file of the folder, the
// active one (Global\Language) checked. Choosing another stores it, loads it at once and tells
// the user that the full change comes with the next start. The submenu takes its caption from
// the main window's form section (key "miLanguage"). Messages go to `prompter`, or to the
// program-wide one at the time of choosing when it is null. Returns the submenu.
QMenu* InstallLanguageMenu(QMenu* optionsMenu, QWidget* mainWindow, Prompter* prompter = nullptr,
                           const std::filesystem::path& languageFolder = LanguageFolder());

}  // namespace qv
