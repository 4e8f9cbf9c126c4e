// Highlighter definition files (*.chl): the token reader that turns their text into definitions,
// completing a definition into a general highlighter, and writing changed settings back.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "editor/color.h"
#include "highlight/general_highlighter.h"

namespace qv {

// Colour parts and style of one "...Col" key.
struct DefinitionColor {
  Color foreground = kClWindowText;
  Color background = kClWindow;
  int style = 0;
  bool given = false;  // the key appeared in the definition
};

// One parsed definition, before it becomes a highlighter.
struct TCustHLDef {
  std::string name;  // Language
  std::string filter;
  std::string helpFile;
  std::string lineComment;
  std::string blockCommentBeg;
  std::string blockCommentEnd;
  bool blockAutoindent = false;
  std::string blockBegStr;
  std::string blockEndStr;
  std::vector<std::string> identifierChars;
  std::vector<std::string> identifierBegChars;
  std::vector<std::string> numConstChars;
  std::vector<std::string> numConstBegChars;
  std::array<std::vector<std::string>, 5> keyWords;
  std::string stringBegChar;
  std::string stringEndChar;
  std::string description;
  char escapeChar = 0;  // 0: none
  bool multilineStrings = false;
  bool caseSensitive = false;
  bool usePreprocessor = false;
  bool currLineHighlighted = false;
  bool overrideTxtFgColor = false;
  DefinitionColor spaceCol;
  std::array<DefinitionColor, 5> keywordCol;
  DefinitionColor identifierCol;
  DefinitionColor commentCol;
  DefinitionColor numberCol;
  DefinitionColor stringCol;
  DefinitionColor symbolCol;
  DefinitionColor preprocessorCol;
  DefinitionColor selectionCol;
  DefinitionColor currentLineCol;
  DefinitionColor matchedBracesCol;
};

// Every named definition in a file's text, in file order. Never fails: unknown words are skipped,
// unreadable colours become no colour, unreadable flags are off, nameless definitions dropped.
std::vector<TCustHLDef> ParseDefinitionText(std::string_view text);

// A configured general highlighter (with the extra attributes) for a parsed definition.
std::unique_ptr<TSynMyGeneralSyn> CompleteDefinition(const TCustHLDef& def,
                                                     const std::string& sourceFile);

// "clRed", "$000080FF", "255" -> colour; anything else gives no colour (kClNone).
Color ParseDefinitionColor(std::string_view text);
// The table name of a colour, else "$" and eight upper-case hexadecimal digits.
std::string DefinitionColorText(Color color);
// Letters B, I, U, S anywhere in the text (any case) -> font style bits.
int ParseStyleLetters(std::string_view text);
// Style bits -> "B", "I", "U", "S" in that order.
std::string StyleLetters(int style);
// Character-set items: "a..z" adds a range, any other item adds its characters.
std::string ExpandCharacterSet(const std::vector<std::string>& items);

// The highlighters read from a folder of definition files, in creation order.
class HighlighterDefinitions {
 public:
  struct LoadResult {
    std::vector<std::filesystem::path> unreadable;  // files that could not be read
  };

  // Reads every "*.chl" file of the folder (sorted by name); a missing folder gives nothing.
  LoadResult loadFolder(const std::filesystem::path& folder);
  // Reads one file and appends its definitions; false when it cannot be read.
  bool loadFile(const std::filesystem::path& file);

  const std::vector<std::unique_ptr<TSynMyGeneralSyn>>& highlighters() const { return list_; }
  // The position-th highlighter, or nullptr past the end.
  TSynMyGeneralSyn* nextDefinition(std::size_t position) const {
    return position < list_.size() ? list_[position].get() : nullptr;
  }
  void clear() { list_.clear(); }

  // Definition files larger than this are refused as unreadable.
  static constexpr std::uintmax_t kMaxFileSize = 16u << 20;

 private:
  std::vector<std::unique_ptr<TSynMyGeneralSyn>> list_;
};

// The settings of a definition-based table entry that are written back to its file.
struct DefinitionSettings {
  std::string filter;
  std::string helpFile;
  bool colorCurrentLine = false;
  bool overrideTxtFgColor = false;
  bool blockAutoindent = false;
  std::string blockBegStr;
  std::string blockEndStr;
};

// The lines of a definition file with the settings stored: each key replaces the first line
// (not empty, not starting with "/") whose text up to its first ":" is the key, or is appended.
std::vector<std::string> StoreDefinitionSettings(std::vector<std::string> lines,
                                                 const DefinitionSettings& settings,
                                                 const Highlighter& highlighter);

enum class DefinitionWriteResult { Ok, OpenFailed, SaveFailed };

// Rewrites a definition file with the settings; the file is replaced whole or left as it was.
DefinitionWriteResult WriteDefinitionSettings(const std::filesystem::path& file,
                                              const DefinitionSettings& settings,
                                              const Highlighter& highlighter);

}  // namespace qv
