// Reading and writing highlighter definition files.
#include "highlight/definition_file.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

#include "highlight/extra_attributes.h"

namespace qv {

namespace {

enum class Kind { Phrase, WordList, RestOfLine, Flag, Colour };

enum class Key {
  Language, Filter, HelpFile, LineComment, BlockCommentBeg, BlockCommentEnd, BlockAutoindent,
  BlockBegStr, BlockEndStr, IdentifierChars, IdentifierBegChars, NumConstChars, NumConstBegChars,
  KeyWords1, KeyWords2, KeyWords3, KeyWords4, KeyWords5, StringBegChar, StringEndChar,
  Description, EscapeChar, MultilineStrings, CaseSensitive, UsePreprocessor, CurrLineHighlighted,
  OverrideTxtFgColor, SpaceCol, Keyword1Col, Keyword2Col, Keyword3Col, Keyword4Col, Keyword5Col,
  IdentifierCol, CommentCol, NumberCol, StringCol, SymbolCol, PreprocessorCol, SelectionCol,
  CurrentLineCol, MatchedBracesCol,
};

struct KeyInfo {
  std::string_view name;
  Key key;
  Kind kind;
};

constexpr KeyInfo kKeys[] = {
    {"Language", Key::Language, Kind::Phrase},
    {"Filter", Key::Filter, Kind::Phrase},
    {"HelpFile", Key::HelpFile, Kind::Phrase},
    {"LineComment", Key::LineComment, Kind::RestOfLine},
    {"BlockCommentBeg", Key::BlockCommentBeg, Kind::RestOfLine},
    {"BlockCommentEnd", Key::BlockCommentEnd, Kind::RestOfLine},
    {"BlockAutoindent", Key::BlockAutoindent, Kind::Flag},
    {"BlockBegStr", Key::BlockBegStr, Kind::RestOfLine},
    {"BlockEndStr", Key::BlockEndStr, Kind::RestOfLine},
    {"IdentifierChars", Key::IdentifierChars, Kind::WordList},
    {"IdentifierBegChars", Key::IdentifierBegChars, Kind::WordList},
    {"NumConstChars", Key::NumConstChars, Kind::WordList},
    {"NumConstBegChars", Key::NumConstBegChars, Kind::WordList},
    {"KeyWords1", Key::KeyWords1, Kind::WordList},
    {"KeyWords2", Key::KeyWords2, Kind::WordList},
    {"KeyWords3", Key::KeyWords3, Kind::WordList},
    {"KeyWords4", Key::KeyWords4, Kind::WordList},
    {"KeyWords5", Key::KeyWords5, Kind::WordList},
    {"StringBegChar", Key::StringBegChar, Kind::RestOfLine},
    {"StringEndChar", Key::StringEndChar, Kind::RestOfLine},
    {"Description", Key::Description, Kind::RestOfLine},
    {"EscapeChar", Key::EscapeChar, Kind::RestOfLine},
    {"MultilineStrings", Key::MultilineStrings, Kind::Flag},
    {"CaseSensitive", Key::CaseSensitive, Kind::Flag},
    {"UsePreprocessor", Key::UsePreprocessor, Kind::Flag},
    {"CurrLineHighlighted", Key::CurrLineHighlighted, Kind::Flag},
    {"OverrideTxtFgColor", Key::OverrideTxtFgColor, Kind::Flag},
    {"SpaceCol", Key::SpaceCol, Kind::Colour},
    {"Keyword1Col", Key::Keyword1Col, Kind::Colour},
    {"Keyword2Col", Key::Keyword2Col, Kind::Colour},
    {"Keyword3Col", Key::Keyword3Col, Kind::Colour},
    {"Keyword4Col", Key::Keyword4Col, Kind::Colour},
    {"Keyword5Col", Key::Keyword5Col, Kind::Colour},
    {"IdentifierCol", Key::IdentifierCol, Kind::Colour},
    {"CommentCol", Key::CommentCol, Kind::Colour},
    {"NumberCol", Key::NumberCol, Kind::Colour},
    {"StringCol", Key::StringCol, Kind::Colour},
    {"SymbolCol", Key::SymbolCol, Kind::Colour},
    {"PreprocessorCol", Key::PreprocessorCol, Kind::Colour},
    {"SelectionCol", Key::SelectionCol, Kind::Colour},
    {"CurrentLineCol", Key::CurrentLineCol, Kind::Colour},
    {"MatchedBracesCol", Key::MatchedBracesCol, Kind::Colour},
};

const KeyInfo* FindKey(std::string_view name) {
  for (const KeyInfo& k : kKeys)
    if (k.name == name) return &k;
  return nullptr;
}

struct NamedColor {
  std::string_view name;
  Color value;
};

constexpr NamedColor kColorNames[] = {
    {"clBlack", 0x000000},   {"clMaroon", 0x000080}, {"clGreen", 0x008000},
    {"clOlive", 0x008080},   {"clNavy", 0x800000},   {"clPurple", 0x800080},
    {"clTeal", 0x808000},    {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},     {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},    {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},   {"clNone", kClNone},
    {"clScrollBar", 0x80000000},           {"clBackground", 0x80000001},
    {"clActiveCaption", 0x80000002},       {"clInactiveCaption", 0x80000003},
    {"clMenu", 0x80000004},                {"clWindow", 0x80000005},
    {"clWindowFrame", 0x80000006},         {"clMenuText", 0x80000007},
    {"clWindowText", 0x80000008},          {"clCaptionText", 0x80000009},
    {"clActiveBorder", 0x8000000A},        {"clInactiveBorder", 0x8000000B},
    {"clAppWorkSpace", 0x8000000C},        {"clHighlight", 0x8000000D},
    {"clHighlightText", 0x8000000E},       {"clBtnFace", 0x8000000F},
    {"clBtnShadow", 0x80000010},           {"clGrayText", 0x80000011},
    {"clBtnText", 0x80000012},             {"clInactiveCaptionText", 0x80000013},
    {"clBtnHighlight", 0x80000014},        {"cl3DDkShadow", 0x80000015},
    {"cl3DLight", 0x80000016},             {"clInfoText", 0x80000017},
    {"clInfoBk", 0x80000018},
};

// Reads tokens from a definition text (line breaks already CR LF).
class TokenReader {
 public:
  struct Token {
    enum Type { End, Word, KeyToken } type = End;
    std::string text;            // the word without a final ":"
    const KeyInfo* key = nullptr;
  };

  explicit TokenReader(std::string_view text) : text_(text.substr(0, text.find('\0'))) {}

  Token next() {
    skipSeparatorsAndComments();
    Token t;
    if (pos_ >= text_.size()) return t;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsBreak(text_[pos_])) ++pos_;
    std::string_view word = text_.substr(start, pos_ - start);
    if (word.ends_with(':')) {
      word.remove_suffix(1);
      if (const KeyInfo* k = FindKey(word)) {
        t.type = Token::KeyToken;
        t.key = k;
        t.text = std::string(word);
        return t;
      }
    }
    t.type = Token::Word;
    t.text = std::string(word);
    return t;
  }

  // The raw rest of the current line, without blanks and tabs at both ends.
  std::string restOfLine() {
    const std::size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
    std::string_view rest = text_.substr(start, pos_ - start);
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t')) rest.remove_suffix(1);
    return std::string(rest);
  }

 private:
  static bool IsBreak(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }
  static bool IsSeparator(char c) { return c >= 1 && c <= 32; }

  void skipSeparatorsAndComments() {
    for (;;) {
      while (pos_ < text_.size() && IsSeparator(text_[pos_])) ++pos_;
      const bool lineStart = pos_ == 0 || text_[pos_ - 1] == '\n';
      if (lineStart && text_.substr(pos_).starts_with("//")) {
        const std::size_t eol = text_.find('\n', pos_);
        pos_ = eol == std::string_view::npos ? text_.size() : eol;
        continue;
      }
      return;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string NormaliseLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

bool ParseFlag(std::string_view word) {
  int value = 0;
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
  return ec == std::errc() && end == word.data() + word.size() && value != 0;
}

DefinitionColor* ColourField(TCustHLDef& d, Key key) {
  switch (key) {
    case Key::SpaceCol: return &d.spaceCol;
    case Key::Keyword1Col: return &d.keywordCol[0];
    case Key::Keyword2Col: return &d.keywordCol[1];
    case Key::Keyword3Col: return &d.keywordCol[2];
    case Key::Keyword4Col: return &d.keywordCol[3];
    case Key::Keyword5Col: return &d.keywordCol[4];
    case Key::IdentifierCol: return &d.identifierCol;
    case Key::CommentCol: return &d.commentCol;
    case Key::NumberCol: return &d.numberCol;
    case Key::StringCol: return &d.stringCol;
    case Key::SymbolCol: return &d.symbolCol;
    case Key::PreprocessorCol: return &d.preprocessorCol;
    case Key::SelectionCol: return &d.selectionCol;
    case Key::CurrentLineCol: return &d.currentLineCol;
    case Key::MatchedBracesCol: return &d.matchedBracesCol;
    default: return nullptr;
  }
}

std::string* TextField(TCustHLDef& d, Key key) {
  switch (key) {
    case Key::Language: return &d.name;
    case Key::Filter: return &d.filter;
    case Key::HelpFile: return &d.helpFile;
    case Key::LineComment: return &d.lineComment;
    case Key::BlockCommentBeg: return &d.blockCommentBeg;
    case Key::BlockCommentEnd: return &d.blockCommentEnd;
    case Key::BlockBegStr: return &d.blockBegStr;
    case Key::BlockEndStr: return &d.blockEndStr;
    case Key::StringBegChar: return &d.stringBegChar;
    case Key::StringEndChar: return &d.stringEndChar;
    case Key::Description: return &d.description;
    default: return nullptr;
  }
}

std::vector<std::string>* ListField(TCustHLDef& d, Key key) {
  switch (key) {
    case Key::IdentifierChars: return &d.identifierChars;
    case Key::IdentifierBegChars: return &d.identifierBegChars;
    case Key::NumConstChars: return &d.numConstChars;
    case Key::NumConstBegChars: return &d.numConstBegChars;
    case Key::KeyWords1: return &d.keyWords[0];
    case Key::KeyWords2: return &d.keyWords[1];
    case Key::KeyWords3: return &d.keyWords[2];
    case Key::KeyWords4: return &d.keyWords[3];
    case Key::KeyWords5: return &d.keyWords[4];
    default: return nullptr;
  }
}

bool* FlagField(TCustHLDef& d, Key key) {
  switch (key) {
    case Key::BlockAutoindent: return &d.blockAutoindent;
    case Key::MultilineStrings: return &d.multilineStrings;
    case Key::CaseSensitive: return &d.caseSensitive;
    case Key::UsePreprocessor: return &d.usePreprocessor;
    case Key::CurrLineHighlighted: return &d.currLineHighlighted;
    case Key::OverrideTxtFgColor: return &d.overrideTxtFgColor;
    default: return nullptr;
  }
}

// Walks the tokens of one text and collects its definitions.
class DefinitionParser {
 public:
  explicit DefinitionParser(std::string_view text) : reader_(text) {}

  std::vector<TCustHLDef> run() {
    TokenReader::Token t = reader_.next();
    while (t.type != TokenReader::Token::End) {
      if (t.type == TokenReader::Token::Word) {
        t = reader_.next();  // words outside values are skipped
        continue;
      }
      t = processKey(*t.key);
    }
    finish();
    return std::move(done_);
  }

 private:
  using Token = TokenReader::Token;

  void finish() {
    if (!current_.name.empty()) done_.push_back(std::move(current_));
    current_ = TCustHLDef{};
  }

  // Reads the key's value and returns the first token after it.
  Token processKey(const KeyInfo& key) {
    if (key.key == Key::Language) finish();
    switch (key.kind) {
      case Kind::Phrase:
      case Kind::WordList: {
        std::vector<std::string> words;
        Token t = reader_.next();
        while (t.type == Token::Word) {
          words.push_back(std::move(t.text));
          t = reader_.next();
        }
        if (key.kind == Kind::WordList) {
          *ListField(current_, key.key) = std::move(words);
        } else {
          std::string joined;
          for (const auto& w : words) {
            if (!joined.empty()) joined += ' ';
            joined += w;
          }
          *TextField(current_, key.key) = std::move(joined);
        }
        return t;
      }
      case Kind::RestOfLine: {
        std::string value = reader_.restOfLine();
        if (key.key == Key::EscapeChar) current_.escapeChar = value.empty() ? 0 : value.front();
        else *TextField(current_, key.key) = std::move(value);
        return reader_.next();
      }
      case Kind::Flag: {
        Token t = reader_.next();
        bool& flag = *FlagField(current_, key.key);
        flag = false;
        if (t.type != Token::Word) return t;
        flag = ParseFlag(t.text);
        return reader_.next();
      }
      case Kind::Colour: {
        DefinitionColor& c = *ColourField(current_, key.key);
        c.given = true;
        c.foreground = kClNone;
        c.background = kClNone;
        for (int part = 0; part < 3; ++part) {
          Token t = reader_.next();
          if (t.type == Token::End) return t;
          if (t.type == Token::KeyToken) {
            if (part == 2) return t;
            continue;  // a key among the first two is lost
          }
          if (part == 0) c.foreground = ParseDefinitionColor(t.text);
          else if (part == 1) c.background = ParseDefinitionColor(t.text);
          else c.style = ParseStyleLetters(t.text);
        }
        return reader_.next();
      }
    }
    return reader_.next();
  }

  TokenReader reader_;
  TCustHLDef current_;
  std::vector<TCustHLDef> done_;
};

void ApplyColour(HighlighterAttribute* a, const DefinitionColor& c, bool withStyle) {
  if (!a) return;
  a->foreground = c.foreground;
  a->background = c.background;
  if (withStyle) a->style = c.style;
}

// Extra roles keep their built-in colours where the definition gives none.
void ApplyExtraColour(HighlighterAttribute* a, const DefinitionColor& c) {
  if (!a || !c.given) return;
  if (c.foreground != kClNone) a->foreground = c.foreground;
  if (c.background != kClNone) a->background = c.background;
}

std::string RemoveBlanks(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += c;
  return out;
}

std::string UpperAscii(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return s;
}

std::string ColourValue(const HighlighterAttribute* a) {
  return DefinitionColorText(a->foreground) + " " + DefinitionColorText(a->background) + " " +
         StyleLetters(a->style);
}

}  // namespace

std::vector<TCustHLDef> ParseDefinitionText(std::string_view text) {
  const std::string normal = NormaliseLineBreaks(text);
  return DefinitionParser(normal).run();
}

Color ParseDefinitionColor(std::string_view text) {
  for (const NamedColor& n : kColorNames)
    if (EqualsIgnoringCase(n.name, text)) return n.value;
  std::string_view digits = text;
  if (digits.starts_with('$')) {
    digits.remove_prefix(1);
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
        value > 0xFFFFFFFFull)
      return kClNone;
    return static_cast<Color>(value);
  }
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  std::int64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return kClNone;
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return kClNone;
  return static_cast<Color>(static_cast<std::int32_t>(value));
}

std::string DefinitionColorText(Color color) {
  for (const NamedColor& n : kColorNames)
    if (n.value == color) return std::string(n.name);
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

int ParseStyleLetters(std::string_view text) {
  int style = 0;
  for (char c : text) {
    switch (c) {
      case 'B': case 'b': style |= kFsBold; break;
      case 'I': case 'i': style |= kFsItalic; break;
      case 'U': case 'u': style |= kFsUnderline; break;
      case 'S': case 's': style |= kFsStrikeOut; break;
      default: break;
    }
  }
  return style;
}

std::string StyleLetters(int style) {
  std::string s;
  if (style & kFsBold) s += 'B';
  if (style & kFsItalic) s += 'I';
  if (style & kFsUnderline) s += 'U';
  if (style & kFsStrikeOut) s += 'S';
  return s;
}

std::string ExpandCharacterSet(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) {
    if (item.size() == 4 && item[1] == '.' && item[2] == '.') {
      const auto from = static_cast<unsigned char>(item[0]);
      const auto to = static_cast<unsigned char>(item[3]);
      for (unsigned c = from; c <= to; ++c) out += static_cast<char>(c);
    } else {
      out += item;
    }
  }
  return out;
}

std::unique_ptr<TSynMyGeneralSyn> CompleteDefinition(const TCustHLDef& def,
                                                     const std::string& sourceFile) {
  auto hl = std::make_unique<TSynMyGeneralSyn>();
  AddExtraAttributes(*hl);
  hl->setLanguageName(def.name);
  hl->defaultFilter = def.filter;
  hl->description = def.description;

  ApplyColour(hl->commentAttri(), def.commentCol, true);
  ApplyColour(hl->identifierAttri(), def.identifierCol, true);
  for (int n = 1; n <= TSynMyGeneralSyn::kKeywordLists; ++n)
    ApplyColour(hl->keyAttri(n), def.keywordCol[n - 1], true);
  ApplyColour(hl->numberAttri(), def.numberCol, true);
  ApplyColour(hl->preprocessorAttri(), def.preprocessorCol, true);
  ApplyColour(hl->spaceAttri(), def.spaceCol, false);
  ApplyColour(hl->stringAttri(), def.stringCol, true);
  ApplyColour(hl->symbolAttri(), def.symbolCol, true);
  ApplyExtraColour(hl->attribute(kSelectionAttr), def.selectionCol);
  ApplyExtraColour(hl->attribute(kCurrentLineAttr), def.currentLineCol);
  ApplyExtraColour(hl->attribute(kMatchedBracesAttr), def.matchedBracesCol);

  hl->setIdentifierChars(ExpandCharacterSet(def.identifierChars));
  hl->setIdentifierBegChars(ExpandCharacterSet(def.identifierBegChars));
  hl->setNumConstChars(ExpandCharacterSet(def.numConstChars));
  hl->setNumBegChars(ExpandCharacterSet(def.numConstBegChars));

  hl->setDetectPreprocessor(def.usePreprocessor);
  hl->setCaseSensitive(def.caseSensitive);
  hl->colorCurrentLine = def.currLineHighlighted;
  hl->overrideTxtFgColor = def.overrideTxtFgColor;
  hl->helpFile = def.helpFile;
  hl->setComments(def.lineComment, def.blockCommentBeg, def.blockCommentEnd);
  hl->setStringDelimiters(RemoveBlanks(def.stringBegChar), RemoveBlanks(def.stringEndChar),
                          def.multilineStrings);
  hl->setEscapeChar(def.escapeChar);
  hl->blockAutoindent = def.blockAutoindent;
  hl->blockBegStr = def.blockBegStr;
  hl->blockEndStr = def.blockEndStr;

  for (int n = 1; n <= TSynMyGeneralSyn::kKeywordLists; ++n) {
    std::vector<std::string> words = def.keyWords[n - 1];
    if (!def.caseSensitive)
      for (auto& w : words) w = UpperAscii(std::move(w));
    hl->setKeyWords(n, words);
  }
  hl->sourceFileName = sourceFile;
  hl->buildDispatchTable();
  return hl;
}

// --- Loading

namespace {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, std::uintmax_t limit) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return std::nullopt;
  const auto size = std::filesystem::file_size(file, ec);
  if (ec || size > limit) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(buf).str();
}

bool HasDefinitionExtension(const std::filesystem::path& p) {
  return EqualsIgnoringCase(p.extension().string(), ".chl");
}

}  // namespace

bool HighlighterDefinitions::loadFile(const std::filesystem::path& file) {
  const auto text = ReadWholeFile(file, kMaxFileSize);
  if (!text) return false;
  for (const TCustHLDef& def : ParseDefinitionText(*text))
    list_.push_back(CompleteDefinition(def, file.string()));
  return true;
}

HighlighterDefinitions::LoadResult HighlighterDefinitions::loadFolder(
    const std::filesystem::path& folder) {
  LoadResult result;
  std::error_code ec;
  std::vector<std::filesystem::path> files;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
    if (HasDefinitionExtension(it->path())) files.push_back(it->path());
  // A stable order on every file system: by name, ignoring case first.
  std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
    const std::string an = UpperAscii(a.filename().string()), bn = UpperAscii(b.filename().string());
    return an != bn ? an < bn : a.filename() < b.filename();
  });
  for (const auto& f : files)
    if (!loadFile(f)) result.unreadable.push_back(f);
  return result;
}

// --- Writing back

std::vector<std::string> StoreDefinitionSettings(std::vector<std::string> lines,
                                                 const DefinitionSettings& s,
                                                 const Highlighter& hl) {
  auto store = [&lines](std::string_view key, const std::string& value) {
    std::string line(key);
    line += ':';
    if (line.size() < 24) line.resize(24, ' ');
    line += value;
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    for (std::string& l : lines) {
      if (l.empty() || l.front() == '/') continue;
      const std::string_view head = std::string_view(l).substr(0, l.find(':'));
      if (head == key) {
        l = std::move(line);
        return;
      }
    }
    lines.push_back(std::move(line));
  };
  auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
  auto colour = [&hl](std::string_view attr) -> std::optional<std::string> {
    for (const auto& a : hl.attributes())
      if (EqualsIgnoringCase(a->name, attr)) return ColourValue(a.get());
    return std::nullopt;
  };

  store("Filter", s.filter);
  store("HelpFile", s.helpFile);
  store("CurrLineHighlighted", flag(s.colorCurrentLine));
  store("OverrideTxtFgColor", flag(s.overrideTxtFgColor));
  store("BlockAutoindent", flag(s.blockAutoindent));
  store("BlockBegStr", s.blockBegStr);
  store("BlockEndStr", s.blockEndStr);
  constexpr std::pair<std::string_view, std::string_view> kColourKeys[] = {
      {"SpaceCol", "Space"},           {"Keyword1Col", "Keywords 1"},
      {"Keyword2Col", "Keywords 2"},   {"Keyword3Col", "Keywords 3"},
      {"Keyword4Col", "Keywords 4"},   {"Keyword5Col", "Keywords 5"},
      {"IdentifierCol", "Identifier"}, {"CommentCol", "Comment"},
      {"NumberCol", "Number"},         {"StringCol", "String"},
      {"SymbolCol", "Symbol"},         {"PreprocessorCol", "Preprocessor"},
      {"SelectionCol", kSelectionAttr}, {"CurrentLineCol", kCurrentLineAttr},
      {"MatchedBracesCol", kMatchedBracesAttr},
  };
  for (const auto& [key, attr] : kColourKeys)
    if (auto value = colour(attr)) store(key, *value);
  return lines;
}

DefinitionWriteResult WriteDefinitionSettings(const std::filesystem::path& file,
                                              const DefinitionSettings& settings,
                                              const Highlighter& highlighter) {
  const auto text = ReadWholeFile(file, HighlighterDefinitions::kMaxFileSize);
  if (!text) return DefinitionWriteResult::OpenFailed;
  // A file the user may not write stays as it is, even though the folder would allow a rename.
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::canonical(file, ec);
  if (ec || ::access(target.c_str(), W_OK) != 0) return DefinitionWriteResult::SaveFailed;
  const auto mode = std::filesystem::status(target, ec).permissions();
  if (ec || (mode & std::filesystem::perms::owner_write) == std::filesystem::perms::none)
    return DefinitionWriteResult::SaveFailed;

  // Keep the file's own line-break style.
  std::string eol = "\n";
  if (const std::size_t p = text->find_first_of("\r\n"); p != std::string::npos)
    eol = (*text)[p] == '\n' ? "\n" : (p + 1 < text->size() && (*text)[p + 1] == '\n') ? "\r\n" : "\r";
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text->size(); ++i) {
    const char c = (*text)[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text->substr(start, i - start));
    if (c == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text->size()) lines.emplace_back(text->substr(start));

  lines = StoreDefinitionSettings(std::move(lines), settings, highlighter);
  std::string out;
  for (const auto& l : lines) out += l + eol;

  // Write a sibling file and rename it over the original: never a half-written definition.
  std::filesystem::path temp = target;
  temp += ".tmp-" + std::to_string(::getpid());
  {
    std::ofstream o(temp, std::ios::binary | std::ios::trunc);
    if (!o) return DefinitionWriteResult::SaveFailed;
    o.write(out.data(), static_cast<std::streamsize>(out.size()));
    o.flush();
    if (!o) {
      o.close();
      std::error_code ec;
      std::filesystem::remove(temp, ec);
      return DefinitionWriteResult::SaveFailed;
    }
  }
  std::filesystem::permissions(temp, mode, ec);
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return DefinitionWriteResult::SaveFailed;
  }
  return DefinitionWriteResult::Ok;
}

}  // namespace qv
