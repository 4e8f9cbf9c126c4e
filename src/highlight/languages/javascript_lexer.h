// The JavaScript scanner, used on its own and inside HTML and PHP pages.
#pragma once
#include <span>

#include "highlight/languages/lexer_support.h"

namespace qv::lang {

// Ranges fit in 16 bits, so a host page can carry one beside its own state.
class JsLexer final : public Lexer {
 public:
  enum Kind { kComment, kIdentifier, kReserved, kNonReserved, kEvent, kNumber, kString, kSymbol, kSpace, kCount };
  static std::span<const AttrSpec> Attributes();
  static const CharSet& IdentifierChars();

  void beginLine(std::string_view line, HighlighterRange& range) override;
  int scan(Cursor& c, HighlighterRange& range) override;
  void endLine(std::string_view line, HighlighterRange& range) override;
  std::unique_ptr<Lexer> clone() const override { return std::make_unique<JsLexer>(*this); }

 private:
  int code(Cursor& c, HighlighterRange& range);
  bool regexAllowed_ = true;  // the previous token lets a "/" start a regular expression
};

}  // namespace qv::lang
