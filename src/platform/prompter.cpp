// The program-wide prompter and the prompter used when nobody can answer.
#include "platform/prompter.h"

#include <cstdio>

namespace qv {
namespace {

std::unique_ptr<Prompter>& PrompterSlot() {
  static std::unique_ptr<Prompter> slot = std::make_unique<HeadlessPrompter>();
  return slot;
}

}  // namespace

MsgResult CancelAnswer(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return MsgResult::Ok;
    case MsgButtons::YesNo: return MsgResult::No;
    case MsgButtons::AbortRetryIgnore: return MsgResult::Abort;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
    case MsgButtons::RetryCancel: return MsgResult::Cancel;
  }
  return MsgResult::Cancel;
}

MsgResult HeadlessPrompter::message(const std::string& caption, const std::string& text, MsgIcon,
                                    MsgButtons buttons) {
  std::fprintf(stderr, "quirvane: %s: %s\n", caption.c_str(), text.c_str());
  return CancelAnswer(buttons);
}

std::optional<std::string> HeadlessPrompter::input(const std::string&, const std::string&,
                                                   const std::string&) {
  return std::nullopt;
}
std::optional<FileDialogAnswer> HeadlessPrompter::openFile(const FileDialogRequest&) { return std::nullopt; }
std::optional<FileDialogAnswer> HeadlessPrompter::saveFile(const FileDialogRequest&) { return std::nullopt; }
std::optional<std::string> HeadlessPrompter::chooseFolder(const std::string&, const std::string&) {
  return std::nullopt;
}
std::optional<FontSpec> HeadlessPrompter::chooseFont(const FontSpec&, bool) { return std::nullopt; }
std::optional<std::uint32_t> HeadlessPrompter::chooseColor(std::uint32_t) { return std::nullopt; }

Prompter& UserPrompter() { return *PrompterSlot(); }

std::unique_ptr<Prompter> InstallPrompter(std::unique_ptr<Prompter> prompter) {
  std::unique_ptr<Prompter> previous = std::move(PrompterSlot());
  PrompterSlot() = prompter ? std::move(prompter) : std::make_unique<HeadlessPrompter>();
  return previous;
}

}  // namespace qv
