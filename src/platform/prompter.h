// The dialog interface through which core code shows messages and asks the user questions.
// The UI implements it with Qt dialogs; tests implement it with a script of answers.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qv {

enum class MsgIcon { None, Information, Warning, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class MsgResult { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

struct FileDialogRequest {
  std::string caption;
  std::string initialDir;
  std::string fileName;          // proposed name
  std::string filter;            // "Description|*.a;*.b|Other|*.*"
  int filterIndex = 1;           // 1-based, as stored in settings
  std::string defaultExt;        // without the dot
  bool allowMultiple = false;    // open only
  bool overwritePrompt = false;  // save only: the dialog itself asks before replacing a file
};

struct FileDialogAnswer {
  std::vector<std::string> files;  // one unless allowMultiple
  int filterIndex = 1;
};

// A stored font: Name, Size (points), Color, Style bits (1 bold, 2 italic, 4 underline, 8 strike-out).
struct FontSpec {
  std::string name = "Courier New";
  int size = 10;
  std::uint32_t color = 0x80000008;  // window text
  int style = 0;
  bool operator==(const FontSpec&) const = default;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual MsgResult message(const std::string& caption, const std::string& text, MsgIcon icon,
                            MsgButtons buttons) = 0;
  // Input box: the answer, or nothing when cancelled.
  virtual std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) = 0;
  virtual std::optional<FileDialogAnswer> openFile(const FileDialogRequest& request) = 0;
  virtual std::optional<FileDialogAnswer> saveFile(const FileDialogRequest& request) = 0;
  virtual std::optional<std::string> chooseFolder(const std::string& caption,
                                                  const std::string& initialDir) = 0;
  virtual std::optional<FontSpec> chooseFont(const FontSpec& initial, bool fixedPitchOnly) = 0;
  // Colours in the 0x00BBGGRR encoding.
  virtual std::optional<std::uint32_t> chooseColor(std::uint32_t initial) = 0;
};

// Answers without a user: messages go to standard error, each question gets its safe answer
// (Cancel, No or nothing). Used until the UI installs its own, and by command-line runs.
class HeadlessPrompter final : public Prompter {
 public:
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
};

// The answer a dialog gives when it is closed without choosing (Escape or the close box).
MsgResult CancelAnswer(MsgButtons buttons);

// The program-wide prompter. Until one is installed, a HeadlessPrompter.
Prompter& UserPrompter();
// Installs a prompter (nullptr goes back to the headless one); returns the previous one.
std::unique_ptr<Prompter> InstallPrompter(std::unique_ptr<Prompter> prompter);

}  // namespace qv
