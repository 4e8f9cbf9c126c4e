// The plain-text highlighter: every line is one "Space" token, no state between lines.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

class TextLexer final : public Lexer {
 public:
  int scan(Cursor& c, HighlighterRange& range) override {
    c.toEnd();
    range = 0;
    return 0;
  }
  std::unique_ptr<Lexer> clone() const override { return std::make_unique<TextLexer>(); }
};

constexpr AttrSpec kAttributes[] = {
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
};

}  // namespace

std::unique_ptr<Highlighter> MakeTextHighlighter() {
  return std::make_unique<LexerHighlighter>("Text files", std::make_unique<TextLexer>(), kAttributes,
                                            WordChars());
}

}  // namespace qv::lang
