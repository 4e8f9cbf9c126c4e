// A prompter driven by a script of answers, for tests.
#include "platform/scripted_prompter.h"

#include <cstdio>
#include <utility>

namespace qv {
namespace {

bool ButtonOffered(MsgButtons buttons, MsgResult answer) {
  switch (buttons) {
    case MsgButtons::Ok: return answer == MsgResult::Ok;
    case MsgButtons::OkCancel: return answer == MsgResult::Ok || answer == MsgResult::Cancel;
    case MsgButtons::YesNo: return answer == MsgResult::Yes || answer == MsgResult::No;
    case MsgButtons::YesNoCancel:
      return answer == MsgResult::Yes || answer == MsgResult::No || answer == MsgResult::Cancel;
    case MsgButtons::RetryCancel: return answer == MsgResult::Retry || answer == MsgResult::Cancel;
    case MsgButtons::AbortRetryIgnore:
      return answer == MsgResult::Abort || answer == MsgResult::Retry || answer == MsgResult::Ignore;
  }
  return false;
}

std::string Describe(const AskedPrompt& p) {
  std::string d = std::string(PromptKindName(p.kind)) + " \"" + p.caption + "\"";
  if (!p.text.empty()) d += ": \"" + p.text + "\"";
  return d;
}

}  // namespace

std::string_view PromptKindName(PromptKind kind) {
  switch (kind) {
    case PromptKind::Message: return "message box";
    case PromptKind::Input: return "input box";
    case PromptKind::OpenFile: return "open dialog";
    case PromptKind::SaveFile: return "save dialog";
    case PromptKind::Folder: return "folder dialog";
    case PromptKind::Font: return "font dialog";
    case PromptKind::Color: return "colour dialog";
  }
  return "dialog";
}

ScriptedPrompter::ScriptedPrompter(FailureHandler onFailure) : onFailure_(std::move(onFailure)) {}

ScriptedPrompter::~ScriptedPrompter() {
  if (script_.empty()) return;
  std::string what = std::to_string(script_.size()) + " scripted answer(s) never asked for; next: " +
                     std::string(PromptKindName(script_.front().kind));
  fail(std::move(what));
}

void ScriptedPrompter::fail(std::string what) {
  failures_.push_back(what);
  if (onFailure_) onFailure_(what);
  else std::fprintf(stderr, "ScriptedPrompter: %s\n", what.c_str());
}

ScriptedPrompter& ScriptedPrompter::add(PromptKind kind, Answer answer, std::string textContains) {
  script_.push_back(Step{kind, std::move(answer), std::move(textContains)});
  return *this;
}

ScriptedPrompter& ScriptedPrompter::answerMessage(MsgResult answer, std::string textContains) {
  return add(PromptKind::Message, answer, std::move(textContains));
}
ScriptedPrompter& ScriptedPrompter::answerInput(std::optional<std::string> answer) {
  return add(PromptKind::Input, std::move(answer));
}
ScriptedPrompter& ScriptedPrompter::answerOpenFile(std::optional<FileDialogAnswer> answer) {
  return add(PromptKind::OpenFile, std::move(answer));
}
ScriptedPrompter& ScriptedPrompter::answerSaveFile(std::optional<FileDialogAnswer> answer) {
  return add(PromptKind::SaveFile, std::move(answer));
}
ScriptedPrompter& ScriptedPrompter::answerFolder(std::optional<std::string> answer) {
  return add(PromptKind::Folder, std::move(answer));
}
ScriptedPrompter& ScriptedPrompter::answerFont(std::optional<FontSpec> answer) {
  return add(PromptKind::Font, std::move(answer));
}
ScriptedPrompter& ScriptedPrompter::answerColor(std::optional<std::uint32_t> answer) {
  return add(PromptKind::Color, std::move(answer));
}

std::optional<ScriptedPrompter::Step> ScriptedPrompter::take(PromptKind kind) {
  const AskedPrompt& asked = asked_.back();
  if (script_.empty()) {
    fail("unexpected " + Describe(asked) + " (the script has no answers left)");
    return std::nullopt;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  if (step.kind != kind) {
    // The mismatched answer is used up, so later answers stay in step with later questions.
    fail("unexpected " + Describe(asked) + " (the script's next answer is for: " +
         std::string(PromptKindName(step.kind)) + ")");
    return std::nullopt;
  }
  if (!step.textContains.empty() && asked.text.find(step.textContains) == std::string::npos) {
    fail(Describe(asked) + " does not contain \"" + step.textContains + "\"");
    return std::nullopt;
  }
  return step;
}

MsgResult ScriptedPrompter::message(const std::string& caption, const std::string& text, MsgIcon icon,
                                    MsgButtons buttons) {
  asked_.push_back(AskedPrompt{PromptKind::Message, caption, text, icon, buttons, {}, {}, {}, 0});
  std::optional<Step> step = take(PromptKind::Message);
  if (!step) return CancelAnswer(buttons);
  MsgResult answer = std::get<MsgResult>(step->answer);
  if (!ButtonOffered(buttons, answer)) {
    fail("scripted answer is not a button of " + Describe(asked_.back()));
    return CancelAnswer(buttons);
  }
  return answer;
}

std::optional<std::string> ScriptedPrompter::input(const std::string& caption, const std::string& prompt,
                                                   const std::string& initial) {
  AskedPrompt p;
  p.kind = PromptKind::Input;
  p.caption = caption;
  p.text = prompt;
  p.initial = initial;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::Input);
  return step ? std::get<std::optional<std::string>>(step->answer) : std::nullopt;
}

std::optional<FileDialogAnswer> ScriptedPrompter::openFile(const FileDialogRequest& request) {
  AskedPrompt p;
  p.kind = PromptKind::OpenFile;
  p.caption = request.caption;
  p.file = request;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::OpenFile);
  return step ? std::get<std::optional<FileDialogAnswer>>(step->answer) : std::nullopt;
}

std::optional<FileDialogAnswer> ScriptedPrompter::saveFile(const FileDialogRequest& request) {
  AskedPrompt p;
  p.kind = PromptKind::SaveFile;
  p.caption = request.caption;
  p.file = request;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::SaveFile);
  return step ? std::get<std::optional<FileDialogAnswer>>(step->answer) : std::nullopt;
}

std::optional<std::string> ScriptedPrompter::chooseFolder(const std::string& caption,
                                                          const std::string& initialDir) {
  AskedPrompt p;
  p.kind = PromptKind::Folder;
  p.caption = caption;
  p.text = initialDir;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::Folder);
  return step ? std::get<std::optional<std::string>>(step->answer) : std::nullopt;
}

std::optional<FontSpec> ScriptedPrompter::chooseFont(const FontSpec& initial, bool) {
  AskedPrompt p;
  p.kind = PromptKind::Font;
  p.font = initial;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::Font);
  return step ? std::get<std::optional<FontSpec>>(step->answer) : std::nullopt;
}

std::optional<std::uint32_t> ScriptedPrompter::chooseColor(std::uint32_t initial) {
  AskedPrompt p;
  p.kind = PromptKind::Color;
  p.color = initial;
  asked_.push_back(std::move(p));
  std::optional<Step> step = take(PromptKind::Color);
  return step ? std::get<std::optional<std::uint32_t>>(step->answer) : std::nullopt;
}

}  // namespace qv
