// Character sets, keyword sets, number scanning and the lexer-driving highlighter.
#include "highlight/languages/lexer_support.h"

#include <algorithm>
#include <cstring>

namespace qv::lang {

CharSet Chars(std::string_view chars) {
  CharSet set;
  for (char ch : chars) set.set(static_cast<unsigned char>(ch));
  return set;
}

CharSet CharRange(unsigned char first, unsigned char last) {
  CharSet set;
  for (int ch = first; ch <= last; ++ch) set.set(static_cast<std::size_t>(ch));
  return set;
}

const CharSet& DigitChars() {
  static const CharSet set = CharRange('0', '9');
  return set;
}

const CharSet& HexDigitChars() {
  static const CharSet set = CharRange('0', '9') | CharRange('a', 'f') | CharRange('A', 'F');
  return set;
}

const CharSet& WordStartChars() {
  static const CharSet set = CharRange('a', 'z') | CharRange('A', 'Z') | Chars("_") | CharRange(0x80, 0xFF);
  return set;
}

const CharSet& WordChars() {
  static const CharSet set = WordStartChars() | DigitChars();
  return set;
}

const CharSet& SpaceChars() {
  static const CharSet set = CharRange(1, 32);
  return set;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

KeywordSet::KeywordSet(std::string_view words, bool caseSensitive) : caseSensitive_(caseSensitive) {
  std::size_t i = 0;
  while (i < words.size()) {
    while (i < words.size() && SpaceChars().test(static_cast<unsigned char>(words[i]))) ++i;
    std::size_t start = i;
    while (i < words.size() && !SpaceChars().test(static_cast<unsigned char>(words[i]))) ++i;
    if (i == start) continue;
    std::string word(words.substr(start, i - start));
    if (!caseSensitive_) std::transform(word.begin(), word.end(), word.begin(), LowerAscii);
    longest_ = std::max(longest_, word.size());
    words_.insert(std::move(word));
  }
}

bool KeywordSet::contains(std::string_view word) const {
  if (word.empty() || word.size() > longest_) return false;
  if (caseSensitive_) return words_.find(word) != words_.end();
  char buffer[128];
  if (word.size() > sizeof buffer) return false;
  for (std::size_t i = 0; i < word.size(); ++i) buffer[i] = LowerAscii(word[i]);
  return words_.find(std::string_view(buffer, word.size())) != words_.end();
}

bool Cursor::startsWithNoCase(std::string_view s) const {
  if (text.size() - std::min(pos, text.size()) < s.size()) return false;
  for (std::size_t i = 0; i < s.size(); ++i)
    if (LowerAscii(text[pos + i]) != s[i]) return false;
  return true;
}

bool Cursor::skipPast(std::string_view s) {
  std::size_t found = text.find(s, pos);
  if (found == std::string_view::npos) {
    toEnd();
    return false;
  }
  pos = found + s.size();
  return true;
}

bool ScanQuoted(Cursor& c, char quote, char escape) {
  while (!c.atEnd()) {
    char ch = c.text[c.pos];
    if (escape && ch == escape) {
      c.advance(2);
      continue;
    }
    ++c.pos;
    if (ch == quote) return true;
  }
  return false;
}

namespace {

void SkipDigits(Cursor& c, const CharSet& digits, char separator) {
  while (!c.atEnd()) {
    unsigned char ch = c.at();
    if (digits.test(ch) || (separator && ch == static_cast<unsigned char>(separator) && digits.test(c.at(1))))
      ++c.pos;
    else
      break;
  }
}

}  // namespace

NumberClass ScanNumber(Cursor& c, const NumberRules& rules) {
  NumberClass cls = NumberClass::Decimal;
  unsigned char second = static_cast<unsigned char>(LowerAscii(static_cast<char>(c.at(1))));
  if (c.at() == '0' && second == 'x') {
    c.advance(2);
    SkipDigits(c, HexDigitChars(), rules.separator);
    cls = NumberClass::Hex;
    if (c.at() == '.') {
      c.advance();
      SkipDigits(c, HexDigitChars(), rules.separator);
      cls = NumberClass::Float;
    }
    if (LowerAscii(static_cast<char>(c.at())) == 'p') {
      std::size_t back = c.pos;
      c.advance();
      if (c.at() == '+' || c.at() == '-') c.advance();
      if (DigitChars().test(c.at())) {
        SkipDigits(c, DigitChars(), rules.separator);
        cls = NumberClass::Float;
      } else {
        c.pos = back;
      }
    }
  } else if (c.at() == '0' && second == 'b' && rules.prefixB && DigitChars().test(c.at(2))) {
    c.advance(2);
    SkipDigits(c, Chars("01"), rules.separator);
    cls = NumberClass::Binary;
  } else if (c.at() == '0' && second == 'o' && rules.prefixO) {
    c.advance(2);
    SkipDigits(c, CharRange('0', '7'), rules.separator);
    cls = NumberClass::Octal;
  } else {
    bool leadingZero = c.at() == '0' && DigitChars().test(c.at(1));
    SkipDigits(c, DigitChars(), rules.separator);
    if (c.at() == '.' && c.at(1) != '.' && !WordStartChars().test(c.at(1))) {
      c.advance();
      SkipDigits(c, DigitChars(), rules.separator);
      cls = NumberClass::Float;
    } else if (c.at() == '.' && (c.at(1) == 'e' || c.at(1) == 'E') &&
               (DigitChars().test(c.at(2)) || ((c.at(2) == '+' || c.at(2) == '-') && DigitChars().test(c.at(3))))) {
      c.advance();  // "1.e5"
      cls = NumberClass::Float;
    }
    unsigned char e = c.at();
    if (e == 'e' || e == 'E') {
      std::size_t back = c.pos;
      c.advance();
      if (c.at() == '+' || c.at() == '-') c.advance();
      if (DigitChars().test(c.at())) {
        SkipDigits(c, DigitChars(), rules.separator);
        cls = NumberClass::Float;
      } else {
        c.pos = back;
      }
    }
    if (cls == NumberClass::Decimal && leadingZero && rules.octalLeadingZero) cls = NumberClass::Octal;
  }
  c.skip(WordChars());  // suffixes: 10u, 1.5f, 12n, 3j, 10_000L
  return cls;
}

std::uint32_t StringPool::intern(std::string_view s) {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i] == s) return static_cast<std::uint32_t>(i + 1);
  if (items_.size() >= kMaxEntries) return 0;
  items_.emplace_back(s);
  return static_cast<std::uint32_t>(items_.size());
}

std::string_view StringPool::get(std::uint32_t index) const {
  if (index == 0 || index > items_.size()) return {};
  return items_[index - 1];
}

LexerHighlighter::LexerHighlighter(std::string languageName, std::unique_ptr<Lexer> lexer,
                                   std::span<const AttrSpec> attributes, const CharSet& identifierChars)
    : languageName_(std::move(languageName)), lexer_(std::move(lexer)), identChars_(identifierChars) {
  for (const AttrSpec& given : attributes) {
    addAttribute(given.name, given.storageName, given.foreground, given.background, given.style);
    roles_.push_back(given.role);
  }
}

LexerHighlighter::LexerHighlighter(std::string languageName, std::unique_ptr<Lexer> lexer,
                                   std::initializer_list<AttrGroup> groups, const CharSet& identifierChars)
    : languageName_(std::move(languageName)), lexer_(std::move(lexer)), identChars_(identifierChars) {
  for (const AttrGroup& group : groups)
    for (const AttrSpec& given : group.attrs) {
      addAttribute(std::string(group.namePrefix) + given.name, std::string(group.storagePrefix) + given.storageName,
                   given.foreground, given.background, given.style);
      roles_.push_back(given.role);
    }
}

void LexerHighlighter::setLine(std::string_view line, int /*lineNumber*/) {
  line_.assign(line);
  pos_ = 0;
  tokenStart_ = tokenEnd_ = 0;
  eol_ = false;
  lexer_->beginLine(line_, range_);
  next();
}

void LexerHighlighter::next() {
  if (eol_) return;
  if (pos_ >= line_.size()) {
    if (!eol_) lexer_->endLine(line_, range_);
    eol_ = true;
    kind_ = -1;
    tokenStart_ = tokenEnd_ = line_.size();
    return;
  }
  Cursor c{line_, pos_};
  int kind = lexer_->scan(c, range_);
  if (c.pos <= pos_) c.pos = pos_ + 1;  // every token holds at least one byte
  if (c.pos > line_.size()) c.pos = line_.size();
  if (kind < 0 || static_cast<std::size_t>(kind) >= roles_.size()) kind = 0;
  tokenStart_ = pos_;
  tokenEnd_ = pos_ = c.pos;
  kind_ = kind;
}

std::string_view LexerHighlighter::tokenText() const {
  return std::string_view(line_).substr(tokenStart_, tokenEnd_ - tokenStart_);
}

HighlighterAttribute* LexerHighlighter::tokenAttribute() const {
  if (eol_ || kind_ < 0 || static_cast<std::size_t>(kind_) >= attributes().size()) return nullptr;
  return attributes()[static_cast<std::size_t>(kind_)].get();
}

HighlighterAttribute* LexerHighlighter::defaultAttribute(DefaultAttribute which) const {
  Role wanted = Role::None;
  switch (which) {
    case DefaultAttribute::Comment: wanted = Role::Comment; break;
    case DefaultAttribute::Identifier: wanted = Role::Identifier; break;
    case DefaultAttribute::Keyword: wanted = Role::Keyword; break;
    case DefaultAttribute::String: wanted = Role::String; break;
    case DefaultAttribute::Whitespace: wanted = Role::Space; break;
    case DefaultAttribute::Symbol: wanted = Role::Symbol; break;
  }
  for (std::size_t i = 0; i < roles_.size(); ++i)
    if (roles_[i] == wanted) return attributes()[i].get();
  return nullptr;
}

bool LexerHighlighter::isCommentKind(int kind) const {
  return kind >= 0 && static_cast<std::size_t>(kind) < roles_.size() &&
         roles_[static_cast<std::size_t>(kind)] == Role::Comment;
}

std::unique_ptr<Highlighter> LexerHighlighter::clone() const {
  std::vector<AttrSpec> none;
  auto copy = std::make_unique<LexerHighlighter>(languageName_, lexer_->clone(), none, identChars_);
  copy->roles_ = roles_;
  for (const auto& a : attributes()) {
    HighlighterAttribute* b = copy->addAttribute(a->name, a->storageName);
    *b = *a;
  }
  return copy;
}

}  // namespace qv::lang
