// The table-driven highlighter configured by a definition file: character classes, comment
// markers, string delimiters, an escape character, five keyword lists and preprocessor lines.
#pragma once
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "editor/highlighter.h"

namespace qv {

// A general highlighter for one user-defined language. Everything that makes the language is
// configuration; call buildDispatchTable() after changing character classes, markers or strings.
class TSynMyGeneralSyn final : public Highlighter {
 public:
  // Token kinds reported by tokenKind().
  enum TokenKind : int {
    tkComment = 0,
    tkIdentifier = 1,
    tkKey1 = 2,  // tkKey1 + n - 1 for keyword list n
    tkKey5 = 6,
    tkNull = 7,
    tkNumber = 8,
    tkPreprocessor = 9,
    tkSpace = 10,
    tkString = 11,
    tkSymbol = 12,
    tkUnknown = 13,
  };
  // Range values: the low byte is one of these; inside a string the next byte holds the
  // string's end character, so a line can be re-scanned on its own.
  enum RangeState : std::uint32_t { rsComment = 1, rsString = 2, rsUnknown = 3 };
  static constexpr int kKeywordLists = 5;

  TSynMyGeneralSyn();

  // Copies every configuration field and keyword list (not the colours) and rebuilds the
  // dispatch table.
  void assignFrom(const TSynMyGeneralSyn& other);

  // --- Highlighter interface
  std::string languageName() const override { return {}; }
  void setLine(std::string_view line, int lineNumber) override;
  void next() override;
  bool eol() const override { return kind_ == tkNull; }
  std::string_view tokenText() const override;
  int tokenKind() const override { return kind_; }
  int tokenPosition() const override { return static_cast<int>(tokenStart_); }
  HighlighterAttribute* tokenAttribute() const override;
  HighlighterRange range() const override;
  void setRange(HighlighterRange value) override;
  void resetRange() override { range_ = rsUnknown; }
  HighlighterAttribute* defaultAttribute(DefaultAttribute which) const override;
  const std::bitset<256>& identifierChars() const override { return identChars_; }
  bool isCommentKind(int kind) const override { return kind == tkComment; }
  std::unique_ptr<Highlighter> clone() const override;

  // --- Configuration
  const std::string& displayLanguageName() const { return languageName_; }
  void setLanguageName(std::string name) { languageName_ = std::move(name); }

  void setIdentifierChars(std::string_view chars);
  void setIdentifierBegChars(std::string_view chars) { identBegChars_ = std::string(chars); }
  const std::string& identifierBegChars() const { return identBegChars_; }
  void setNumConstChars(std::string_view chars);
  void setNumBegChars(std::string_view chars);
  const std::bitset<256>& numConstChars() const { return numChars_; }
  const std::bitset<256>& numBegChars() const { return numBegChars_; }

  bool detectPreprocessor() const { return detectPreprocessor_; }
  void setDetectPreprocessor(bool on);
  bool caseSensitive() const { return caseSensitive_; }
  void setCaseSensitive(bool on) { caseSensitive_ = on; }

  // Each may hold several markers separated by blanks.
  void setComments(std::string_view lineComment, std::string_view blockBegin,
                   std::string_view blockEnd);
  const std::string& lineComment() const { return lineComment_; }
  const std::string& blockCommentBeg() const { return blockBeg_; }
  const std::string& blockCommentEnd() const { return blockEnd_; }

  // The n-th start character pairs with the n-th end character.
  void setStringDelimiters(std::string_view beg, std::string_view end, bool multiline);
  const std::string& stringBegChars() const { return stringBeg_; }
  const std::string& stringEndChars() const { return stringEnd_; }
  bool multilineStrings() const { return multilineStrings_; }
  char escapeChar() const { return escapeChar_; }
  void setEscapeChar(char c) { escapeChar_ = c; }

  // list is 1..5; words are upper-cased first unless the highlighter is case sensitive.
  void setKeyWords(int list, const std::vector<std::string>& words);
  const std::vector<std::string>& keyWords(int list) const;

  void buildDispatchTable();

  // Attributes in their index order.
  HighlighterAttribute* commentAttri() const { return attr_[0]; }
  HighlighterAttribute* identifierAttri() const { return attr_[1]; }
  HighlighterAttribute* keyAttri(int list) const { return attr_[1 + list]; }  // list 1..5
  HighlighterAttribute* numberAttri() const { return attr_[7]; }
  HighlighterAttribute* spaceAttri() const { return attr_[8]; }
  HighlighterAttribute* stringAttri() const { return attr_[9]; }
  HighlighterAttribute* symbolAttri() const { return attr_[10]; }
  HighlighterAttribute* preprocessorAttri() const { return attr_[11]; }

  // Carried for the highlighter table and the definition writer; the tokeniser ignores them.
  std::string defaultFilter;
  std::string description;
  std::string helpFile;
  std::string blockBegStr;
  std::string blockEndStr;
  std::string sourceFileName;
  bool colorCurrentLine = false;
  bool overrideTxtFgColor = false;
  bool blockAutoindent = false;

 private:
  enum class Routine : std::uint8_t {
    EndOfLine, LineFeed, CarriageReturn, Space, Identifier, Number, Preprocessor, Other,
    String, LineComment, BlockComment,
  };

  unsigned char at(std::size_t pos) const {
    return pos < line_.size() ? static_cast<unsigned char>(line_[pos]) : 0;
  }
  bool atEnd(std::size_t pos) const { return pos >= line_.size(); }
  // Length of the first marker of `markers` matching at the scan position, or 0.
  std::size_t matchMarker(const std::vector<std::string>& markers) const;
  bool isBlank(unsigned char c) const { return (c >= 1 && c <= 32) && c != 10 && c != 13; }

  void scanEndOfLine();
  void scanLineFeed();
  void scanCarriageReturn();
  void scanSpace();
  void scanIdentifier();
  void scanNumber();
  void scanPreprocessor();
  void scanOther();
  void scanString();
  void scanLineComment();
  void scanBlockComment();
  void continueBlockComment();
  void continueString();
  bool scanStringBody();
  void scanUntilBlockEnd();
  void fallBackFromMarker();

  // Configuration.
  std::string languageName_;
  std::bitset<256> identChars_;
  std::string identBegChars_;
  std::bitset<256> numChars_;
  std::bitset<256> numBegChars_;
  bool detectPreprocessor_ = false;
  bool caseSensitive_ = false;
  std::string lineComment_, blockBeg_, blockEnd_;
  std::vector<std::string> lineMarkers_, blockBegMarkers_, blockEndMarkers_;
  std::string stringBeg_, stringEnd_;
  bool multilineStrings_ = false;
  char escapeChar_ = 0;
  std::array<std::vector<std::string>, kKeywordLists> keyWords_;
  std::array<std::unordered_set<std::string>, kKeywordLists> keyLookup_;
  std::array<Routine, 256> dispatch_{};

  // Attributes, owned by the base class, in index order.
  std::array<HighlighterAttribute*, 12> attr_{};

  // Scanner state. The line is copied so that tokens stay valid while the editor reads them.
  std::string line_;
  std::size_t pos_ = 0;
  std::size_t tokenStart_ = 0;
  int kind_ = tkNull;
  int lineNumber_ = 0;
  std::uint32_t range_ = rsUnknown;
  unsigned char stringEndChar_ = 0;  // end character of the string being scanned; 0: none
  std::string word_;  // reused for keyword lookups
};

}  // namespace qv
