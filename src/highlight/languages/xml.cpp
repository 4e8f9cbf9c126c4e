// The XML highlighter: elements, attributes and namespace declarations, values, entity
// references, comments, CDATA sections, processing instructions and document types, all of which
// may span lines.
#include "highlight/languages/languages.h"
#include "highlight/languages/lexer_support.h"

namespace qv::lang {

namespace {

enum Kind {
  kElement, kAttribute, kNsAttribute, kValue, kNsValue, kText, kCData, kEntity, kPI, kComment,
  kDocType, kSpace, kSymbol
};

constexpr AttrSpec kAttributes[] = {
    {"Element name", "Element_Name", kNavy, kClNone, 0, Role::Keyword},
    {"Attribute name", "Attribute_Name", kMaroon, kClNone, 0, Role::Identifier},
    {"Namespace attribute name", "Namespace_Attribute_Name", kGreen, kClNone, 0},
    {"Attribute value", "Attribute_Value", kRed, kClNone, 0, Role::String},
    {"Namespace attribute value", "Namespace_Attribute_Value", kBlue, kClNone, 0},
    {"Text", "Text", kClWindowText, kClNone, 0},
    {"CDATA section", "CDATA_Section", kOlive, kClNone, 0},
    {"Entity reference", "Entity_Reference", kPurple, kClNone, 0},
    {"Processing instruction", "Processing_Instruction", kNavy, kClNone, 0},
    {"Comment", "Comment", kGray, kClNone, kFsItalic, Role::Comment},
    {"DOCTYPE section", "DOCTYPE_Section", kTeal, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

// Range: bits 0-3 the mode; bit 4 the open value belongs to a namespace declaration; bit 5 the
// document type's internal subset is open.
enum Mode : HighlighterRange {
  kTextMode = 0, kCommentMode = 1, kCDataMode = 2, kPIMode = 3, kTagMode = 4, kSingleValue = 5,
  kDoubleValue = 6, kDocTypeMode = 7
};
constexpr HighlighterRange kModeMask = 0xF, kNsFlag = 0x10, kSubsetFlag = 0x20;

const CharSet& NameChars() {
  static const CharSet set = WordChars() | Chars("-:.");
  return set;
}

class XmlLexer final : public Lexer {
 public:
  void beginLine(std::string_view, HighlighterRange&) override {
    expectName_ = afterNsName_ = false;
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    switch (range & kModeMask) {
      case kCommentMode: return until(c, range, "-->", kComment);
      case kCDataMode: return until(c, range, "]]>", kCData);
      case kPIMode: return until(c, range, "?>", kPI);
      case kTagMode: return tag(c, range);
      case kSingleValue:
      case kDoubleValue: {
        int kind = (range & kNsFlag) ? kNsValue : kValue;
        if (ScanQuoted(c, (range & kModeMask) == kSingleValue ? '\'' : '"', 0)) range = kTagMode;
        return kind;
      }
      case kDocTypeMode: return docType(c, range);
      default: return text(c, range);
    }
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<XmlLexer>(*this); }

 private:
  static int until(Cursor& c, HighlighterRange& range, std::string_view end, int kind) {
    if (c.skipPast(end)) range = kTextMode;
    return kind;
  }

  int text(Cursor& c, HighlighterRange& range) {
    range = kTextMode;
    unsigned char ch = c.at();
    if (c.startsWith("<!--")) {
      c.advance(4);
      range = kCommentMode;
      return until(c, range, "-->", kComment);
    }
    if (c.startsWith("<![CDATA[")) {
      c.advance(9);
      range = kCDataMode;
      return until(c, range, "]]>", kCData);
    }
    if (c.startsWith("<?")) {
      c.advance(2);
      range = kPIMode;
      return until(c, range, "?>", kPI);
    }
    if (c.startsWith("<!")) {
      c.advance(2);
      range = kDocTypeMode;
      return docType(c, range);
    }
    if (ch == '<') {
      c.advance(c.at(1) == '/' ? 2 : 1);
      range = kTagMode;
      expectName_ = true;
      return kSymbol;
    }
    if (ch == '&') {
      std::size_t start = c.pos;
      c.advance();
      if (c.at() == '#') c.advance();
      c.skip(NameChars());
      if (c.at() == ';' && c.pos > start + 1) {
        c.advance();
        return kEntity;
      }
      c.pos = start + 1;
      return kText;
    }
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    while (!c.atEnd() && c.at() != '<' && c.at() != '&' && !SpaceChars().test(c.at())) c.advance();
    return kText;
  }

  int tag(Cursor& c, HighlighterRange& range) {
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (ch == '>' || (ch == '/' && c.at(1) == '>')) {
      c.advance(ch == '/' ? 2 : 1);
      range = kTextMode;
      return kSymbol;
    }
    if (ch == '"' || ch == '\'') {
      c.advance();
      bool ns = afterNsName_;
      afterNsName_ = false;
      if (!ScanQuoted(c, static_cast<char>(ch), 0))
        range = (ch == '\'' ? kSingleValue : kDoubleValue) | (ns ? kNsFlag : 0);
      return ns ? kNsValue : kValue;
    }
    if (NameChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(NameChars());
      if (expectName_) {
        expectName_ = false;
        return kElement;
      }
      std::string_view name = c.from(start);
      afterNsName_ = name == "xmlns" || name.starts_with("xmlns:");
      return afterNsName_ ? kNsAttribute : kAttribute;
    }
    c.advance();
    return kSymbol;
  }

  static int docType(Cursor& c, HighlighterRange& range) {
    while (!c.atEnd()) {
      unsigned char ch = c.at();
      c.advance();
      if (ch == '[') range |= kSubsetFlag;
      else if (ch == ']') range &= ~kSubsetFlag;
      else if (ch == '>' && !(range & kSubsetFlag)) {
        range = kTextMode;
        break;
      }
    }
    return kDocType;
  }

  bool expectName_ = false;
  bool afterNsName_ = false;
};

}  // namespace

std::unique_ptr<Highlighter> MakeXmlHighlighter() {
  return std::make_unique<LexerHighlighter>("XML", std::make_unique<XmlLexer>(), kAttributes, NameChars());
}

}  // namespace qv::lang
