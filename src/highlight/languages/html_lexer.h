// The HTML scanner with script and style elements coloured as JavaScript and CSS; used on its
// own and around the code of PHP pages.
#pragma once
#include <span>

#include "highlight/languages/css_lexer.h"
#include "highlight/languages/javascript_lexer.h"

namespace qv::lang {

// Ranges fit in 24 bits, so a host page can carry one beside its own state.
class HtmlLexer final : public Lexer {
 public:
  enum Kind { kComment, kTag, kAttribute, kEntity, kValue, kText, kSpace, kSymbol, kCount };
  static constexpr int kJsOffset = static_cast<int>(kCount);
  static constexpr int kCssOffset = kJsOffset + static_cast<int>(JsLexer::kCount);
  static constexpr int kAllKinds = kCssOffset + static_cast<int>(CssLexer::kCount);
  static std::span<const AttrSpec> Attributes();
  static constexpr HighlighterRange kRangeBits = 24;

  void beginLine(std::string_view line, HighlighterRange& range) override;
  int scan(Cursor& c, HighlighterRange& range) override;
  void endLine(std::string_view line, HighlighterRange& range) override;
  std::unique_ptr<Lexer> clone() const override { return std::make_unique<HtmlLexer>(*this); }

 private:
  int text(Cursor& c, HighlighterRange& range);
  int inTag(Cursor& c, HighlighterRange& range);
  int embedded(Cursor& c, HighlighterRange& range, bool script);
  std::size_t embedEnd(const Cursor& c, std::string_view closeTag);

  JsLexer js_;
  CssLexer css_;
  bool expectName_ = false;  // the next word in a tag is its element name
  bool closingTag_ = false;
  bool afterEquals_ = false;
  static constexpr std::size_t kUnknown = static_cast<std::size_t>(-2);
  std::size_t embedEnd_ = kUnknown;  // where the script or style element ends on this stretch
  std::size_t embedSize_ = 0;
};

}  // namespace qv::lang
