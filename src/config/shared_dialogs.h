// The program's common messages about files: open and save errors, and the overwrite question.
#pragma once
#include <string>

#include "platform/prompter.h"

namespace qv {

// Error box "Error opening '<name>'." captioned "Error" (both translated).
void ShowOpenError(const std::string& fileName, Prompter& prompter = UserPrompter());
// Error box "Error saving '<name>'." captioned "Error".
void ShowSaveError(const std::string& fileName, Prompter& prompter = UserPrompter());
// True at once when the file does not exist; otherwise asks whether to replace it (OK/Cancel)
// and is true only for OK.
bool ConfirmOverwrite(const std::string& fileName, Prompter& prompter = UserPrompter());

}  // namespace qv
