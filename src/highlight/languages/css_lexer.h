// The CSS scanner, used on its own and inside HTML style elements.
#pragma once
#include <span>

#include "highlight/languages/lexer_support.h"

namespace qv::lang {

// Ranges fit in 16 bits, so a host page can carry one beside its own state.
class CssLexer final : public Lexer {
 public:
  enum Kind { kComment, kKey, kProperty, kUndefinedProperty, kColor, kNumber, kString, kSymbol, kText, kSpace, kCount };
  static std::span<const AttrSpec> Attributes();
  static const CharSet& IdentifierChars();

  void beginLine(std::string_view line, HighlighterRange& range) override;
  int scan(Cursor& c, HighlighterRange& range) override;
  void endLine(std::string_view line, HighlighterRange& range) override;
  std::unique_ptr<Lexer> clone() const override { return std::make_unique<CssLexer>(*this); }

 private:
  int word(Cursor& c, HighlighterRange& range);
  // Position of the next `ch` at or after c.pos, found once per line and stretch.
  std::size_t nextOf(char ch, const Cursor& c);
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-2);
  std::size_t nextBrace_ = kUnknown;
  std::size_t nextSemicolon_ = kUnknown;
  std::size_t cachedSize_ = 0;
  bool afterProperty_ = false;  // a ":" now starts a value
};

}  // namespace qv::lang
