// The program's common messages about files.
#include "config/shared_dialogs.h"

#include <filesystem>
#include <system_error>

#include "config/text_helpers.h"
#include "config/translation.h"

namespace qv {

void ShowOpenError(const std::string& fileName, Prompter& prompter) {
  prompter.message(TranslatedText(3012, "Error"),
                   FormatText(TranslatedText(3010, "Error opening '%s'."), {fileName}), MsgIcon::Error,
                   MsgButtons::Ok);
}

void ShowSaveError(const std::string& fileName, Prompter& prompter) {
  prompter.message(TranslatedText(3012, "Error"),
                   FormatText(TranslatedText(3011, "Error saving '%s'."), {fileName}), MsgIcon::Error,
                   MsgButtons::Ok);
}

bool ConfirmOverwrite(const std::string& fileName, Prompter& prompter) {
  std::error_code ec;
  if (!std::filesystem::exists(fileName, ec)) return true;
  const std::string text = FormatText(
      TranslatedText(1013, "File '%s' already exists.\rDo you want to replace it?"), {fileName});
  return prompter.message(TranslatedText(1012, "Confirm"), text, MsgIcon::Warning,
                          MsgButtons::OkCancel) == MsgResult::Ok;
}

}  // namespace qv
