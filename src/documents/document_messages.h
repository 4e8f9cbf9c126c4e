// The translated messages documents show, and one way of showing them.
#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

#include "config/text_helpers.h"
#include "config/translation.h"
#include "platform/prompter.h"

namespace qv {

struct DocumentMessage {
  int id;
  const char* english;
};

inline constexpr DocumentMessage kMsgModifiedStatus{3000, "Modified"};
inline constexpr DocumentMessage kMsgInsert{3001, "Insert"};
inline constexpr DocumentMessage kMsgOverwrite{3002, "Overwrite"};
inline constexpr DocumentMessage kMsgRecording{3003, "Recording"};
inline constexpr DocumentMessage kMsgSelNormal{3004, "Sel: Normal"};
inline constexpr DocumentMessage kMsgSelColumn{3005, "Sel: Column"};
inline constexpr DocumentMessage kMsgFileSize{3006, "File size:"};
inline constexpr DocumentMessage kMsgReadOnly{3007, "ReadOnly"};
inline constexpr DocumentMessage kMsgCharsSelected{3008, "%d chars%s selected."};
inline constexpr DocumentMessage kMsgLines{3009, "lines"};
inline constexpr DocumentMessage kMsgErrorOpening{3010, "Error opening '%s'."};
inline constexpr DocumentMessage kMsgErrorSaving{3011, "Error saving '%s'."};
inline constexpr DocumentMessage kMsgErrorCaption{3012, "Error"};
inline constexpr DocumentMessage kMsgFileChanged{3013,
                                                 "File '%s' has been changed. Reload from disk?"};
// A translation of 3013 would otherwise give the deleted-file question the changed-file text.
inline constexpr DocumentMessage kMsgFileDeleted{3014,
                                                 "File '%s' has been deleted. Keep file in editor?"};
inline constexpr DocumentMessage kMsgSaveChanges{3015, "File '%s' is modified. Save changes?"};
inline constexpr DocumentMessage kMsgBackupFailed{3016, "Error creating backup file: '%s'"};
inline constexpr DocumentMessage kMsgReadOnlySave{3017,
                                                  "File '%s' is read-only. Save file anyway?"};
inline constexpr DocumentMessage kMsgConfirmCaption{1012, "Confirm"};
inline constexpr DocumentMessage kMsgReplaceFile{
    1013, "File '%s' already exists.\rDo you want to replace it?"};
inline constexpr DocumentMessage kMsgRenameCaption{1100, "Rename File"};
inline constexpr DocumentMessage kMsgRenamePrompt{1101, "New filename:"};
inline constexpr DocumentMessage kMsgRenameExists{1102, "File already exists!"};
inline constexpr DocumentMessage kMsgRenameFailed{1103, "Error renaming file '%s' to '%s'."};
inline constexpr DocumentMessage kMsgRevertBackup{1110, "Revert to backup file '%s'?"};
inline constexpr DocumentMessage kMsgRevertSaved{1111, "Revert '%s' to saved?"};

inline std::string MessageText(DocumentMessage msg, std::initializer_list<std::string_view> args = {}) {
  return FormatText(TranslatedText(msg.id, msg.english), args);
}

// An error box ("Error" caption, OK) or a warning question ("Confirm" caption).
inline void ShowErrorMessage(Prompter* prompter, const std::string& text) {
  if (prompter) {
    prompter->message(MessageText(kMsgErrorCaption), text, MsgIcon::Error, MsgButtons::Ok);
  }
}

inline MsgResult AskWarning(Prompter* prompter, const std::string& text, MsgButtons buttons) {
  if (!prompter) return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
  return prompter->message(MessageText(kMsgConfirmCaption), text, MsgIcon::Warning, buttons);
}

}  // namespace qv
