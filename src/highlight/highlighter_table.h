// The table of every highlighter the program offers (seventeen built-in ones, then one per
// definition), how a document's highlighter is chosen and applied, and the open-dialog filters.
#pragma once
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "editor/color.h"
#include "editor/highlighter.h"
#include "highlight/definition_file.h"
#include "platform/prompter.h"

namespace qv {

class Registry;
class SettingsSteps;

// One language of the table with the settings the rest of the program needs.
struct THighLighter {
  std::string name;           // display name
  std::string componentName;  // built-in: "hlCpp" and so on (its settings subkey); else empty
  std::string extensions;     // "*.pas;*.dpr"
  std::string defaultFilter;  // "Pascal Files (*.pas,*.dpr)|*.pas;*.dpr"
  std::string helpFile;
  std::string blockCommentBeg;
  std::string blockCommentEnd;
  std::string lineComment;
  bool blockAutoindent = false;
  std::string blockBegStr;
  std::string blockEndStr;
  Highlighter* highlighter = nullptr;  // owned by the table; may be missing
  bool colorCurrentLine = false;
  bool overrideTxtFgColor = false;
  bool isDefinitionBased = false;
  bool definitionModified = false;  // settings changed: rewrite the definition file
};

// What a document takes over from a table entry.
struct AppliedHighlighter {
  Highlighter* highlighter = nullptr;
  bool colorCurrentLine = false;
  bool overrideTxtFgColor = false;
  Color selectionForeground = kClHighlightText;
  Color selectionBackground = kClHighlight;
  Color rightEdgeColor = 0xC0C0C0;
};

// The part of an editor document the table works with.
class HighlightedDocument {
 public:
  virtual ~HighlightedDocument() = default;
  virtual Highlighter* highlighter() const = 0;
  virtual void removeHighlighter() = 0;
  // Takes the highlighter, flags and colours, then refreshes the display.
  virtual void applyHighlighter(const AppliedHighlighter& applied) = 0;
  // The entry's settings changed while the document keeps its highlighter.
  virtual void refreshForHighlighter(const AppliedHighlighter& applied) = 0;
  virtual void applyEditorCfg() = 0;
  // Code templates of the entry's language (created on first use by their owner).
  virtual void attachCodeTemplates(const THighLighter& entry) {}
  virtual std::string fileName() const = 0;
  virtual void reload() = 0;
};

// The program-wide highlighter table, owned by the main window.
class HighlighterTable {
 public:
  using BuiltinFactory = std::function<std::unique_ptr<Highlighter>(std::string_view component)>;
  static constexpr std::size_t kBuiltinCount = 17;

  // The factory makes the built-in highlighter for a component name (nullptr: none).
  explicit HighlighterTable(BuiltinFactory factory = {});
  ~HighlighterTable();
  HighlighterTable(const HighlighterTable&) = delete;
  HighlighterTable& operator=(const HighlighterTable&) = delete;

  // Fills the built-in entries, then one entry per definition read from the folder. Files that
  // could not be read are reported through the prompter; the others are used.
  void BuildHighlighterTable(const std::filesystem::path& definitionFolder,
                             Prompter& prompter = UserPrompter());

  std::vector<THighLighter>& entries() { return entries_; }
  const std::vector<THighLighter>& entries() const { return entries_; }
  THighLighter& entry(std::size_t index) { return entries_.at(index); }

  // The first entry whose extension list holds "*" + the name's extension; else entry 0.
  THighLighter& FindHighlighterByFileName(std::string_view fileName);
  THighLighter* FindHighlighterByName(std::string_view name);
  THighLighter* FindHighlighterEntry(const Highlighter* highlighter);
  THighLighter* FindHighlighterByComponent(std::string_view componentName);

  // The entry for a new document: the named default highlighter, else plain text.
  THighLighter& HighlighterForNewDocument(std::string_view defaultHighlighter);
  // Whether a document whose file name changed gets the highlighter chosen by the new name.
  static bool ChooseByNewFileName(std::string_view oldName, std::string_view newName,
                                  bool hasHighlighter, bool keepThisOnce);

  // Removes the document's highlighter and applies the entry (by file name when none is given).
  void SetDocumentHighlighter(HighlightedDocument& document, std::string_view fileName,
                              THighLighter* entry);
  static AppliedHighlighter ApplyHighlighterEntry(HighlightedDocument& document,
                                                  const THighLighter& entry);
  static AppliedHighlighter AppliedFor(const THighLighter& entry);

  // Rebuilds "Description (*.a,*.b)|*.a;*.b" from the description and the extension list.
  static void RebuildDefaultFilter(THighLighter& entry);

  struct DialogFilter {
    std::string filter;  // "All files (*.*)|*.*|..."
    int index = 1;       // 1-based, the document's language preselected
  };
  DialogFilter BuildDialogFilter(const Highlighter* documentHighlighter) const;

  void RefreshHighlighterSettings(std::span<HighlightedDocument* const> documents);
  // Rewrites the definition files of modified entries and reloads those open as documents.
  void SaveModifiedDefinitions(std::span<HighlightedDocument* const> documents,
                               Prompter& prompter = UserPrompter());
  // False (after telling the user) when the file could not be read or written.
  bool SaveDefinition(THighLighter& entry, Prompter& prompter = UserPrompter());

  // Names for the highlighter box and menu, sorted without regard to case.
  struct NamedHighlighter {
    std::string name;
    Highlighter* highlighter = nullptr;
  };
  std::vector<NamedHighlighter> SortedNames() const;

  // Told after a document got its highlighter (syncs the highlighter box, tells plug-ins).
  void onDocumentHighlighterSet(
      std::function<void(HighlightedDocument&, const THighLighter&)> listener);

  // Settings of the built-in entries, key HighLighters\<component name>.
  void LoadHighlighterSettings(Registry& reg);
  void SaveHighlighterSettings(Registry& reg) const;
  // Puts the load and save steps (and the SQL dialect step) into the settings frame.
  void RegisterSettingsSteps(SettingsSteps& steps);
  // The SQL highlighter's dialect (0-7); false when out of range or no SQL highlighter.
  bool SetSqlDialect(int dialect);

 private:
  BuiltinFactory factory_;
  std::vector<std::unique_ptr<Highlighter>> builtins_;
  HighlighterDefinitions definitions_;
  std::vector<THighLighter> entries_;
  std::vector<std::function<void(HighlightedDocument&, const THighLighter&)>> listeners_;
  SettingsSteps* registeredSteps_ = nullptr;  // steps to remove again when the table goes
  std::string stepsOwner_;
};

}  // namespace qv
