// How the program comes up: whether this start runs or hands its arguments to the running
// program, the start action when there were no arguments, and the blank document it may make.
#pragma once
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/instance_channel.h"
#include "shell/command_line.h"

namespace qv {

enum class StartupRole {
  First,       // no program was running: this one runs and answers later starts
  Additional,  // the running program allows several instances: this one runs beside it
  HandedOver,  // the arguments went to the running program: end now, showing nothing
  Standalone,  // the channel could not be used (or broke): run alone, `error` says why
};

struct StartupDecision {
  StartupRole role = StartupRole::Standalone;
  std::unique_ptr<InstanceServer> server;  // First only: plug it into the event loop
  std::string error;
};

// The instance check: connect to a running program (or listen when there is none), ask it
// whether another instance may run, and otherwise hand the arguments over. `args` are the
// program's own arguments after the GNU options; relative names are taken against currentDir.
StartupDecision DecideStartup(const InstanceChannelOptions& options, const std::vector<std::string>& args,
                              const std::filesystem::path& currentDir);

// The document made by the "Create blank file" start action, closed the first time a file
// opens while it is still untouched; at most once per run.
class InitialBlank {
 public:
  void created(DocumentHandle doc) {
    if (!replaced_) doc_ = doc;
  }
  // Any edit, or closing it, takes the mark away.
  void unmark(DocumentHandle doc) {
    if (doc_ == doc) doc_.reset();
  }
  // A file opened successfully: the document to close now, if any.
  std::optional<DocumentHandle> fileOpened();
  std::optional<DocumentHandle> marked() const { return doc_; }
  bool replaced() const { return replaced_; }

 private:
  std::optional<DocumentHandle> doc_;
  bool replaced_ = false;
};

// `StartAction` values.
enum class StartAction { DoNothing = 0, CreateBlankFile = 1, OpenLastFileOrProject = 2 };

// What was open when the program last ended (the `LastOpenFiles` settings).
struct LastOpenFiles {
  std::string project;
  std::vector<std::string> files;  // in tab order
  std::string activeFile;
};

// The main window's side of the start action.
class StartActionHost {
 public:
  virtual ~StartActionHost() = default;
  // A new untitled document, as the New command makes it.
  virtual DocumentHandle createBlankDocument() = 0;
  // Without the existence check; the documents it opened (as CommandLineHost has it).
  virtual std::vector<DocumentHandle> openProjectFile(const std::string& name) = 0;
  virtual void openFileList(const std::vector<std::string>& names, bool onlyExisting) = 0;
  virtual std::optional<DocumentHandle> findDocument(const std::string& name) = 0;
  virtual void activateDocument(DocumentHandle doc) = 0;
};

// Runs the start action (only when the program's own arguments were empty). Unknown values
// do nothing.
void PerformStartAction(int startAction, const LastOpenFiles& last, StartActionHost& host, InitialBlank& blank);

}  // namespace qv
