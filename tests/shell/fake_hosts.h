// Recording stand-ins for the main window and the message boxes, shared by the shell tests.
#pragma once
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/startup.h"
#include "support/test_env.h"

namespace qv::test {

// Keeps every message box it is shown; answers OK.
struct RecordingPrompter : Prompter {
  std::vector<std::string> shown;  // "caption|text"
  MsgResult message(const std::string& caption, const std::string& text, MsgIcon, MsgButtons) override {
    shown.push_back(caption + "|" + text);
    return MsgResult::Ok;
  }
  std::optional<std::string> input(const std::string&, const std::string&, const std::string&) override { return {}; }
  std::optional<FileDialogAnswer> openFile(const FileDialogRequest&) override { return {}; }
  std::optional<FileDialogAnswer> saveFile(const FileDialogRequest&) override { return {}; }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override { return {}; }
  std::optional<FontSpec> chooseFont(const FontSpec&, bool) override { return {}; }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return {}; }
};

// A main window that writes what it is asked to do into `log`, one line per call, with the
// fixture folder taken off file names. Documents are numbered #1, #2, ... as they open.
// A project file is a ".cpr" file whose text begins with "QVPROJECT"; it opens two documents.
class RecordingHost : public CommandLineHost, public StartActionHost {
 public:
  explicit RecordingHost(std::filesystem::path dir) : dir_(std::move(dir)) {}

  std::vector<std::string> log;
  int windows = 0;

  void openFileFromCommandLine(const std::string& name) override {
    log.push_back("open-single " + Short(name));
    active_ = Document(name);
  }
  bool openFile(const std::string& name) override {
    if (!Exists(name)) {
      log.push_back("error opening " + Short(name));
      return false;
    }
    log.push_back("open " + Short(name));
    active_ = Document(name);
    return true;
  }
  std::optional<DocumentHandle> activeDocument() const override { return active_; }
  bool isProjectFile(const std::string& name) override {
    const std::filesystem::path p = Path(name);
    return p.extension() == ".cpr" && ReadFileBytes(p).rfind("QVPROJECT", 0) == 0;
  }
  std::vector<DocumentHandle> openProjectFile(const std::string& name) override {
    log.push_back("project " + Short(name));
    return {Document(name + ":1"), Document(name + ":2")};
  }
  void printFile(const std::string& name) override {
    if (!Exists(name)) {
      log.push_back("error opening " + Short(name));
      return;
    }
    log.push_back("print " + Short(name));
    Document(name);  // its window goes only after processing ends
  }
  int documentWindowCount() const override { return windows; }
  void goTo(DocumentHandle doc, std::int32_t column, std::int32_t line) override {
    log.push_back("goto #" + std::to_string(doc) + " " + std::to_string(column) + " " + std::to_string(line));
  }
  void playMacro(DocumentHandle doc, const std::string& macro) override {
    log.push_back("macro #" + std::to_string(doc) + " " + macro);
  }
  void lock(DocumentHandle doc) override { log.push_back("lock #" + std::to_string(doc)); }
  void save(DocumentHandle doc) override { log.push_back("save #" + std::to_string(doc)); }
  void close(DocumentHandle doc) override { log.push_back("close #" + std::to_string(doc)); }
  void postCloseRequest() override { log.push_back("close-request"); }
  void beginPaintLock() override { log.push_back("paint-lock"); }
  void endPaintLock() override { log.push_back("paint-unlock"); }

  DocumentHandle createBlankDocument() override {
    log.push_back("new");
    return Document("");
  }
  void openFileList(const std::vector<std::string>& names, bool onlyExisting) override {
    for (const std::string& name : names)
      if (!onlyExisting || Exists(name)) openFile(name);
  }
  std::optional<DocumentHandle> findDocument(const std::string& name) override {
    auto it = byName_.find(name);
    if (it == byName_.end()) return std::nullopt;
    return it->second;
  }
  void activateDocument(DocumentHandle doc) override {
    log.push_back("activate #" + std::to_string(doc));
    active_ = doc;
  }
 private:
  std::filesystem::path Path(const std::string& name) const {
    return std::filesystem::path(name).is_absolute() ? std::filesystem::path(name) : dir_ / name;
  }
  bool Exists(const std::string& name) const { return std::filesystem::is_regular_file(Path(name)); }
  std::string Short(const std::string& name) const {
    const std::string prefix = dir_.string() + "/";
    return name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
  }
  DocumentHandle Document(const std::string& name) {
    ++windows;
    byName_[name] = ++next_;
    return next_;
  }

  std::filesystem::path dir_;
  std::map<std::string, DocumentHandle> byName_;
  std::optional<DocumentHandle> active_;
  DocumentHandle next_ = 0;
};

}  // namespace qv::test
