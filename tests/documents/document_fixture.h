// A document over a temp folder, with a prompter that plays back scripted answers.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "documents/document.h"
#include "support/test_env.h"

namespace qv::test {

class ScriptPrompter : public Prompter {
 public:
  struct Shown {
    std::string caption;
    std::string text;
    MsgIcon icon;
    MsgButtons buttons;
  };
  std::vector<Shown> messages;
  std::deque<MsgResult> answers;  // for questions; OK boxes need none
  std::vector<FileDialogRequest> saveRequests;
  std::deque<std::optional<FileDialogAnswer>> saveAnswers;

  MsgResult message(const std::string& caption, const std::string& text, MsgIcon icon,
                    MsgButtons buttons) override {
    messages.push_back({caption, text, icon, buttons});
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    if (answers.empty()) {
      ADD_FAILURE() << "unexpected question: " << text;
      return MsgResult::Cancel;
    }
    const MsgResult r = answers.front();
    answers.pop_front();
    return r;
  }
  std::optional<std::string> input(const std::string&, const std::string&,
                                   const std::string&) override {
    return std::nullopt;
  }
  std::optional<FileDialogAnswer> openFile(const FileDialogRequest&) override { return {}; }
  std::optional<FileDialogAnswer> saveFile(const FileDialogRequest& request) override {
    saveRequests.push_back(request);
    if (saveAnswers.empty()) {
      ADD_FAILURE() << "unexpected save dialog";
      return std::nullopt;
    }
    auto a = saveAnswers.front();
    saveAnswers.pop_front();
    return a;
  }
  std::optional<std::string> chooseFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<FontSpec> chooseFont(const FontSpec&, bool) override { return std::nullopt; }
  std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }

  void answerSave(const std::string& file, int filterIndex = 1) {
    saveAnswers.push_back(FileDialogAnswer{{file}, filterIndex});
  }
  std::string lastText() const { return messages.empty() ? std::string() : messages.back().text; }
};

class DocumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshDir("doc");
    services.prompter = &prompter;
    services.settings.backup.backup = false;
    doc = std::make_unique<Document>(services);
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::string write(const std::string& name, const std::string& bytes) const {
    WriteFileBytes(dir / name, bytes);
    return path(name);
  }
  std::string read(const std::string& name) const { return ReadFileBytes(dir / name); }

  std::filesystem::path dir;
  ScriptPrompter prompter;
  DocumentServices services;
  std::unique_ptr<Document> doc;
};

}  // namespace qv::test
