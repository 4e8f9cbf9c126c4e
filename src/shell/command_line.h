// The editor's command language: file names, wildcards, list files and switches given at start
// or handed over by a second start, parsed into items and run against the main window.
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/file_names.h"
#include "platform/prompter.h"

namespace qv {

// The host's id of an open document; stays valid (and harmless to use) after the document closed.
using DocumentHandle = std::uint64_t;

enum class CommandLineKind { Open, List, Project, Print, GoTo, Macro, ReadOnly, Save, Close, Exit };

// One parsed action of the command line.
struct CommandLineItem {
  CommandLineKind kind = CommandLineKind::Open;
  std::vector<std::string> files;  // Open, List, Print
  std::int32_t column = 0;         // GoTo, 0-based
  std::int32_t line = 0;           // GoTo, 0-based
  std::string macroName;           // Macro, without surrounding double quotes
  std::string projectFile;         // Project
  bool operator==(const CommandLineItem&) const = default;
};

// What the command line does to the program. The main window implements it; items only decide
// which of these run, on which documents, in which order.
class CommandLineHost {
 public:
  virtual ~CommandLineHost() = default;
  // A single named file: opens it, or makes a placeholder document when it does not exist.
  virtual void openFileFromCommandLine(const std::string& name) = 0;
  // Opens (or activates) a file; false after reporting the failure to the user.
  virtual bool openFile(const std::string& name) = 0;
  virtual std::optional<DocumentHandle> activeDocument() const = 0;
  virtual bool isProjectFile(const std::string& name) = 0;
  // Opens a project workspace without the existence check; returns the documents it opened.
  virtual std::vector<DocumentHandle> openProjectFile(const std::string& name) = 0;
  // Opens, prints and closes a file.
  virtual void printFile(const std::string& name) = 0;
  // Document windows that exist at this moment (closed ones count until processing ends).
  virtual int documentWindowCount() const = 0;

  // Caret to the 0-based column and line, first column scrolled into view, line centred.
  virtual void goTo(DocumentHandle doc, std::int32_t column, std::int32_t line) = 0;
  virtual void playMacro(DocumentHandle doc, const std::string& macroName) = 0;
  virtual void lock(DocumentHandle doc) = 0;
  // As the Save command (an untitled document asks for a name).
  virtual void save(DocumentHandle doc) = 0;
  // As the Close command, with its save prompt.
  virtual void close(DocumentHandle doc) = 0;
  // Ends the program after the current processing, through the normal shut-down.
  virtual void postCloseRequest() = 0;
  virtual void beginPaintLock() = 0;
  virtual void endPaintLock() = 0;
};

// Where relative names are taken from and how the user is told of errors.
struct CommandLineEnv {
  std::filesystem::path currentDir;  // empty: the process's current folder
  Prompter* prompter = nullptr;      // null: errors are not shown
  // Translated text by id, English default; empty function: the English text.
  std::function<std::string(int id, const std::string& english)> text;
};

// Tokens of the arguments: "." and ".." removed, "/A/B" split into switches. `hadArguments` is
// false when nothing was left after removing "." and "..".
struct CommandLineTokens {
  bool hadArguments = false;
  std::vector<std::string> tokens;
};
CommandLineTokens TokenizeCommandLine(const std::vector<std::string>& args);

// An argument that begins with "/" but names something below an existing top-level folder
// ("/home/me/a.txt") is an absolute file name, not a run of switches.
bool IsAbsoluteFileArgument(std::string_view arg);

// Items of the tokens. Reads list files, expands wildcards and asks the host about projects.
std::vector<CommandLineItem> ParseCommandLineItems(const std::vector<std::string>& tokens, CommandLineHost& host,
                                                   const CommandLineEnv& env);

// Runs the items in order against the host. Files are opened with openFileFromCommandLine when
// the open and list items name fewer than two files together, else with openFile.
void ExecuteCommandLineItems(const std::vector<CommandLineItem>& items, CommandLineHost& host);

// Parses and runs the arguments. Returns whether there was any argument after "." and ".."
// were removed (the caller then skips the start action).
bool ProcessCommandLine(const std::vector<std::string>& args, CommandLineHost& host, const CommandLineEnv& env);

// Wildcard match of one file name: "*" any run, "?" one character. The part of the pattern
// after its last "." (the extension) matches without regard to ASCII case, the rest exactly.
// A pattern ending in ".*" also matches names without an extension.
bool WildcardMatch(std::string_view pattern, std::string_view name);

// A file argument: with "*" or "?", the canonical names of the matching non-folder entries of the
// folder it names, sorted byte-wise; otherwise the argument itself.
std::vector<std::string> ExpandFileArgument(const std::string& arg, const std::filesystem::path& currentDir);

// Names listed in a list file, one a line, trimmed, empty lines dropped, each taken against the
// list file's folder. `error` is set (names read so far kept) when the file cannot be read.
std::vector<std::string> ReadListFile(const std::string& listFile, const std::filesystem::path& currentDir,
                                      bool& error);

// Blanks and control characters (bytes up to space) taken off both ends.
std::string TrimBlanks(std::string_view text);

}  // namespace qv
