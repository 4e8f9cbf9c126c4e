// A prompter driven by a script of answers, for tests: records every question it was asked.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/prompter.h"

namespace qv {

enum class PromptKind { Message, Input, OpenFile, SaveFile, Folder, Font, Color };
std::string_view PromptKindName(PromptKind kind);

// One question as the program asked it.
struct AskedPrompt {
  PromptKind kind = PromptKind::Message;
  std::string caption;
  std::string text;  // message text, input prompt or initial folder
  MsgIcon icon = MsgIcon::None;
  MsgButtons buttons = MsgButtons::Ok;
  std::string initial;       // input box's initial text
  FileDialogRequest file;    // open and save dialogs
  FontSpec font;             // font dialog's initial font
  std::uint32_t color = 0;   // colour dialog's initial colour
};

// Answers questions in the order scripted. A question of another kind than the next answer,
// a message whose text lacks the expected part, an answer that is not one of the box's
// buttons, or a question after the script ran out is a failure: it is recorded, passed to the
// failure handler, and answered as if the dialog were cancelled. Answers never asked for are
// reported as a failure when the prompter is destroyed.
class ScriptedPrompter final : public Prompter {
 public:
  using FailureHandler = std::function<void(const std::string& what)>;
  explicit ScriptedPrompter(FailureHandler onFailure = {});
  ~ScriptedPrompter() override;

  ScriptedPrompter& answerMessage(MsgResult answer, std::string textContains = {});
  ScriptedPrompter& answerInput(std::optional<std::string> answer);
  ScriptedPrompter& answerOpenFile(std::optional<FileDialogAnswer> answer);
  ScriptedPrompter& answerSaveFile(std::optional<FileDialogAnswer> answer);
  ScriptedPrompter& answerFolder(std::optional<std::string> answer);
  ScriptedPrompter& answerFont(std::optional<FontSpec> answer);
  ScriptedPrompter& answerColor(std::optional<std::uint32_t> answer);

  const std::vector<AskedPrompt>& asked() const { return asked_; }
  const std::vector<std::string>& failures() const { return failures_; }
  std::size_t pending() const { return script_.size(); }

  MsgResult message(const std::string& caption, const std::string& text, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override;
  std::optional<FileDialogAnswer> openFile(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> saveFile(const FileDialogRequest& request) override;
  std::optional<std::string> chooseFolder(const std::string& caption,
                                          const std::string& initialDir) override;
  std::optional<FontSpec> chooseFont(const FontSpec& initial, bool fixedPitchOnly) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;

 private:
  using Answer = std::variant<MsgResult, std::optional<std::string>, std::optional<FileDialogAnswer>,
                              std::optional<FontSpec>, std::optional<std::uint32_t>>;
  struct Step {
    PromptKind kind;
    Answer answer;
    std::string textContains;
  };

  ScriptedPrompter& add(PromptKind kind, Answer answer, std::string textContains = {});
  // The next step when it fits the question just recorded; nothing (and a failure) otherwise.
  std::optional<Step> take(PromptKind kind);
  void fail(std::string what);

  FailureHandler onFailure_;
  std::deque<Step> script_;
  std::vector<AskedPrompt> asked_;
  std::vector<std::string> failures_;
};

}  // namespace qv
