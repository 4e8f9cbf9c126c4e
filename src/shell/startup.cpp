// The instance check and the start action.
#include "shell/startup.h"

#include <system_error>

#include "shell/handover.h"

namespace qv {
namespace fs = std::filesystem;

StartupDecision DecideStartup(const InstanceChannelOptions& options, const std::vector<std::string>& args,
                              const fs::path& currentDir) {
  StartupDecision decision;
  InstanceChannel channel = OpenInstanceChannel(options);
  if (channel.server) {
    decision.role = StartupRole::First;
    decision.server = std::move(channel.server);
    return decision;
  }
  if (!channel.client) {
    decision.error = channel.error;
    return decision;
  }
  const std::optional<std::int64_t> answer = channel.client->send({kMsgInstanceQuery, 0, 0, {}});
  if (!answer) {
    decision.error = "the running program did not answer";
    return decision;
  }
  if (*answer == 1) {
    decision.role = StartupRole::Additional;
    return decision;
  }
  if (!SendHandOver(*channel.client, args, currentDir)) {
    // The running side drops what it got of a broken hand-over, so running here loses nothing.
    decision.error = "the hand-over to the running program broke off";
    return decision;
  }
  decision.role = StartupRole::HandedOver;
  return decision;
}

std::optional<DocumentHandle> InitialBlank::fileOpened() {
  if (replaced_ || !doc_) return std::nullopt;
  replaced_ = true;
  return std::exchange(doc_, std::nullopt);
}

void PerformStartAction(int startAction, const LastOpenFiles& last, StartActionHost& host, InitialBlank& blank) {
  switch (static_cast<StartAction>(startAction)) {
    case StartAction::CreateBlankFile:
      blank.created(host.createBlankDocument());
      break;
    case StartAction::OpenLastFileOrProject: {
      std::error_code ec;
      if (!last.project.empty() && fs::exists(last.project, ec)) host.openProjectFile(last.project);
      host.openFileList(last.files, true);
      if (!last.activeFile.empty())
        if (auto doc = host.findDocument(last.activeFile)) host.activateDocument(*doc);
      break;
    }
    case StartAction::DoNothing:
    default:
      break;
  }
}

}  // namespace qv
