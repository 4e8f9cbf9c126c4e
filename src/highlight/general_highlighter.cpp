// Scanning routines of the general highlighter, driven by a 256-entry dispatch table.
#include "highlight/general_highlighter.h"

#include <algorithm>

namespace qv {

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::bitset<256> CharSetOf(std::string_view chars) {
  std::bitset<256> set;
  for (char c : chars) set.set(static_cast<unsigned char>(c));
  return set;
}

std::vector<std::string> SplitOnBlanks(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    std::size_t start = i;
    while (i < text.size() && text[i] != ' ' && text[i] != '\t') ++i;
    if (i > start) parts.emplace_back(text.substr(start, i - start));
  }
  return parts;
}

bool LessNoCase(const std::string& a, const std::string& b) {
  std::string ua = UpperAscii(a), ub = UpperAscii(b);
  return ua != ub ? ua < ub : a < b;
}

}  // namespace

TSynMyGeneralSyn::TSynMyGeneralSyn() {
  attr_[0] = addAttribute("Comment", "Comment", kClNone, kClNone, kFsItalic);
  attr_[1] = addAttribute("Identifier", "Identifier");
  for (int n = 1; n <= kKeywordLists; ++n)
    attr_[1 + n] = addAttribute("Keywords " + std::to_string(n), "Keywords" + std::to_string(n));
  attr_[7] = addAttribute("Number", "Number");
  attr_[8] = addAttribute("Space", "Space");
  attr_[9] = addAttribute("String", "String");
  attr_[10] = addAttribute("Symbol", "Symbol");
  attr_[11] = addAttribute("Preprocessor", "Preprocessor");
  numChars_ = CharSetOf("0123456789");
  numBegChars_ = numChars_;
  buildDispatchTable();
}

void TSynMyGeneralSyn::assignFrom(const TSynMyGeneralSyn& other) {
  languageName_ = other.languageName_;
  identChars_ = other.identChars_;
  identBegChars_ = other.identBegChars_;
  numChars_ = other.numChars_;
  numBegChars_ = other.numBegChars_;
  detectPreprocessor_ = other.detectPreprocessor_;
  caseSensitive_ = other.caseSensitive_;
  lineComment_ = other.lineComment_;
  blockBeg_ = other.blockBeg_;
  blockEnd_ = other.blockEnd_;
  lineMarkers_ = other.lineMarkers_;
  blockBegMarkers_ = other.blockBegMarkers_;
  blockEndMarkers_ = other.blockEndMarkers_;
  stringBeg_ = other.stringBeg_;
  stringEnd_ = other.stringEnd_;
  multilineStrings_ = other.multilineStrings_;
  escapeChar_ = other.escapeChar_;
  keyWords_ = other.keyWords_;
  keyLookup_ = other.keyLookup_;
  defaultFilter = other.defaultFilter;
  description = other.description;
  helpFile = other.helpFile;
  blockBegStr = other.blockBegStr;
  blockEndStr = other.blockEndStr;
  sourceFileName = other.sourceFileName;
  colorCurrentLine = other.colorCurrentLine;
  overrideTxtFgColor = other.overrideTxtFgColor;
  blockAutoindent = other.blockAutoindent;
  buildDispatchTable();
}

std::unique_ptr<Highlighter> TSynMyGeneralSyn::clone() const {
  auto copy = std::make_unique<TSynMyGeneralSyn>();
  copy->assignFrom(*this);
  // A printed or exported copy must look like the original, so colours come along too.
  for (const auto& a : attributes()) {
    HighlighterAttribute* target = copy->attribute(a->name);
    if (!target) target = copy->addAttribute(a->name, a->storageName);
    *target = *a;
  }
  return copy;
}

void TSynMyGeneralSyn::setIdentifierChars(std::string_view chars) { identChars_ = CharSetOf(chars); }
void TSynMyGeneralSyn::setNumConstChars(std::string_view chars) { numChars_ = CharSetOf(chars); }
void TSynMyGeneralSyn::setNumBegChars(std::string_view chars) { numBegChars_ = CharSetOf(chars); }

void TSynMyGeneralSyn::setDetectPreprocessor(bool on) {
  detectPreprocessor_ = on;
  notifyChange();
}

void TSynMyGeneralSyn::setComments(std::string_view lineComment, std::string_view blockBegin,
                                   std::string_view blockEnd) {
  lineComment_ = std::string(lineComment);
  blockBeg_ = std::string(blockBegin);
  blockEnd_ = std::string(blockEnd);
  lineMarkers_ = SplitOnBlanks(lineComment);
  blockBegMarkers_ = SplitOnBlanks(blockBegin);
  blockEndMarkers_ = SplitOnBlanks(blockEnd);
}

void TSynMyGeneralSyn::setStringDelimiters(std::string_view beg, std::string_view end,
                                           bool multiline) {
  stringBeg_ = std::string(beg);
  stringEnd_ = std::string(end);
  multilineStrings_ = multiline;
}

void TSynMyGeneralSyn::setKeyWords(int list, const std::vector<std::string>& words) {
  if (list < 1 || list > kKeywordLists) return;
  std::vector<std::string> sorted;
  sorted.reserve(words.size());
  for (const auto& w : words) sorted.push_back(caseSensitive_ ? w : UpperAscii(w));
  std::sort(sorted.begin(), sorted.end(), LessNoCase);
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  keyLookup_[list - 1] = std::unordered_set<std::string>(sorted.begin(), sorted.end());
  keyWords_[list - 1] = std::move(sorted);
}

const std::vector<std::string>& TSynMyGeneralSyn::keyWords(int list) const {
  static const std::vector<std::string> kNone;
  return list >= 1 && list <= kKeywordLists ? keyWords_[list - 1] : kNone;
}

void TSynMyGeneralSyn::buildDispatchTable() {
  for (int k = 0; k < 256; ++k) {
    const char c = static_cast<char>(k);
    Routine r;
    if (k != 0 && identBegChars_.find(c) != std::string::npos) r = Routine::Identifier;
    else if (numBegChars_.test(k)) r = Routine::Number;
    else if (k == 0) r = Routine::EndOfLine;
    else if (k == 10) r = Routine::LineFeed;
    else if (k == 13) r = Routine::CarriageReturn;
    else if (k <= 32) r = Routine::Space;
    else if (k == '#') r = Routine::Preprocessor;
    else r = Routine::Other;
    dispatch_[k] = r;
  }
  for (char c : stringBeg_) dispatch_[static_cast<unsigned char>(c)] = Routine::String;
  auto setMarkers = [this](std::vector<std::string>& markers, Routine routine) {
    for (std::string& m : markers) {
      const char first = UpperAscii(m[0]);
      if (identChars_.test(static_cast<unsigned char>(first))) {
        dispatch_[static_cast<unsigned char>(first)] = routine;
        dispatch_[static_cast<unsigned char>(LowerAscii(first))] = routine;
        m = UpperAscii(m);
      } else {
        dispatch_[static_cast<unsigned char>(first)] = routine;
      }
    }
  };
  setMarkers(lineMarkers_, Routine::LineComment);
  setMarkers(blockBegMarkers_, Routine::BlockComment);
}

// --- Scanning

void TSynMyGeneralSyn::setLine(std::string_view line, int lineNumber) {
  line_.assign(line);
  pos_ = 0;
  lineNumber_ = lineNumber;
  next();
}

void TSynMyGeneralSyn::next() {
  tokenStart_ = pos_;
  if (range_ == rsComment) return continueBlockComment();
  if (range_ == rsString) return continueString();
  switch (dispatch_[at(pos_)]) {
    case Routine::EndOfLine: return scanEndOfLine();
    case Routine::LineFeed: return scanLineFeed();
    case Routine::CarriageReturn: return scanCarriageReturn();
    case Routine::Space: return scanSpace();
    case Routine::Identifier: return scanIdentifier();
    case Routine::Number: return scanNumber();
    case Routine::Preprocessor: return scanPreprocessor();
    case Routine::Other: return scanOther();
    case Routine::String: return scanString();
    case Routine::LineComment: return scanLineComment();
    case Routine::BlockComment: return scanBlockComment();
  }
}

std::string_view TSynMyGeneralSyn::tokenText() const {
  return std::string_view(line_).substr(tokenStart_, pos_ - tokenStart_);
}

HighlighterAttribute* TSynMyGeneralSyn::tokenAttribute() const {
  switch (kind_) {
    case tkComment: return commentAttri();
    case tkIdentifier: return identifierAttri();
    case tkNumber: return numberAttri();
    case tkPreprocessor: return preprocessorAttri();
    case tkSpace: return spaceAttri();
    case tkString: return stringAttri();
    case tkSymbol:
    case tkUnknown: return symbolAttri();
    case tkNull: return nullptr;
    default: return kind_ >= tkKey1 && kind_ <= tkKey5 ? keyAttri(kind_ - tkKey1 + 1) : nullptr;
  }
}

HighlighterRange TSynMyGeneralSyn::range() const {
  if (range_ == rsString) return rsString | (static_cast<std::uint32_t>(stringEndChar_) << 8);
  return range_;
}

void TSynMyGeneralSyn::setRange(HighlighterRange value) {
  range_ = value & 0xFF;
  const auto end = static_cast<unsigned char>((value >> 8) & 0xFF);
  if (range_ == rsString && end != 0) stringEndChar_ = end;
}

HighlighterAttribute* TSynMyGeneralSyn::defaultAttribute(DefaultAttribute which) const {
  switch (which) {
    case DefaultAttribute::Comment: return commentAttri();
    case DefaultAttribute::Identifier: return identifierAttri();
    case DefaultAttribute::Keyword: return keyAttri(1);
    case DefaultAttribute::String: return stringAttri();
    case DefaultAttribute::Whitespace: return spaceAttri();
    default: return nullptr;
  }
}

std::size_t TSynMyGeneralSyn::matchMarker(const std::vector<std::string>& markers) const {
  for (const std::string& m : markers) {
    if (m.empty() || line_.size() - pos_ < m.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < m.size() && same; ++i)
      same = UpperAscii(line_[pos_ + i]) == UpperAscii(m[i]);
    if (!same) continue;
    if (identChars_.test(static_cast<unsigned char>(UpperAscii(m[0]))) &&
        !atEnd(pos_ + m.size()) && identChars_.test(at(pos_ + m.size())))
      continue;
    return m.size();
  }
  return 0;
}

void TSynMyGeneralSyn::scanEndOfLine() {
  if (atEnd(pos_)) {
    kind_ = tkNull;
    return;
  }
  // A zero byte inside the line is text, not the end of it.
  kind_ = tkUnknown;
  ++pos_;
}

void TSynMyGeneralSyn::scanLineFeed() {
  kind_ = tkSpace;
  ++pos_;
}

void TSynMyGeneralSyn::scanCarriageReturn() {
  kind_ = tkSpace;
  ++pos_;
  if (at(pos_) == 10) ++pos_;
}

void TSynMyGeneralSyn::scanSpace() {
  kind_ = tkSpace;
  ++pos_;
  while (isBlank(at(pos_))) ++pos_;
}

void TSynMyGeneralSyn::scanOther() {
  kind_ = tkUnknown;
  ++pos_;
}

void TSynMyGeneralSyn::scanIdentifier() {
  ++pos_;
  while (!atEnd(pos_) && identChars_.test(at(pos_))) ++pos_;
  kind_ = tkIdentifier;
  word_.assign(tokenText());
  if (!caseSensitive_)
    for (char& c : word_) c = UpperAscii(c);
  for (int n = 0; n < kKeywordLists; ++n) {
    if (!keyLookup_[n].empty() && keyLookup_[n].contains(word_)) {
      kind_ = tkKey1 + n;
      return;
    }
  }
}

void TSynMyGeneralSyn::scanNumber() {
  kind_ = tkNumber;
  ++pos_;
  while (!atEnd(pos_) && numChars_.test(at(pos_)) && !(at(pos_) == '.' && at(pos_ + 1) == '.'))
    ++pos_;
}

void TSynMyGeneralSyn::scanPreprocessor() {
  if (detectPreprocessor_) {
    kind_ = tkPreprocessor;
    pos_ = line_.size();
  } else {
    kind_ = tkSymbol;
    ++pos_;
  }
}

void TSynMyGeneralSyn::scanString() {
  kind_ = tkString;
  const std::size_t index = stringBeg_.find(static_cast<char>(at(pos_)));
  stringEndChar_ = index < stringEnd_.size() ? static_cast<unsigned char>(stringEnd_[index]) : 0;
  if (!scanStringBody() && multilineStrings_ && stringEndChar_ != 0) range_ = rsString;
}

// From the current character up to and over the string's end character (true), or up to a line
// break or the end of the line (false).
bool TSynMyGeneralSyn::scanStringBody() {
  for (;;) {
    const unsigned char c = at(pos_);
    if (escapeChar_ != 0 && c == static_cast<unsigned char>(escapeChar_) && !atEnd(pos_ + 1)) {
      ++pos_;
    } else if (atEnd(pos_) || c == 10 || c == 13) {
      return false;
    }
    ++pos_;
    if (stringEndChar_ != 0 && !atEnd(pos_) && at(pos_) == stringEndChar_) {
      ++pos_;
      return true;
    }
  }
}

void TSynMyGeneralSyn::continueString() {
  const unsigned char c = at(pos_);
  if (atEnd(pos_)) return scanEndOfLine();
  if (c == 10) return scanLineFeed();
  if (c == 13) return scanCarriageReturn();
  kind_ = tkString;
  if (stringEndChar_ != 0 && c == stringEndChar_) {
    range_ = rsUnknown;
    ++pos_;
    return;
  }
  // Without a known end character the string cannot go on past this line.
  if (scanStringBody() || stringEndChar_ == 0) range_ = rsUnknown;
}

void TSynMyGeneralSyn::fallBackFromMarker() {
  const unsigned char c = at(pos_);
  if (identChars_.test(c) || identChars_.test(static_cast<unsigned char>(UpperAscii(c))))
    return scanIdentifier();
  kind_ = tkSymbol;
  ++pos_;
}

void TSynMyGeneralSyn::scanLineComment() {
  if (matchMarker(lineMarkers_) == 0) return fallBackFromMarker();
  kind_ = tkComment;
  pos_ = line_.size();
}

void TSynMyGeneralSyn::scanBlockComment() {
  if (matchMarker(lineMarkers_) != 0) return scanLineComment();
  const std::size_t n = matchMarker(blockBegMarkers_);
  if (n == 0) return fallBackFromMarker();
  kind_ = tkComment;
  range_ = rsComment;
  pos_ += n;
  scanUntilBlockEnd();
}

void TSynMyGeneralSyn::scanUntilBlockEnd() {
  while (!atEnd(pos_) && at(pos_) != 10 && at(pos_) != 13) {
    if (const std::size_t n = matchMarker(blockEndMarkers_)) {
      range_ = rsUnknown;
      pos_ += n;
      return;
    }
    ++pos_;
  }
}

void TSynMyGeneralSyn::continueBlockComment() {
  const unsigned char c = at(pos_);
  if (atEnd(pos_)) return scanEndOfLine();
  if (c == 10) return scanLineFeed();
  if (c == 13) return scanCarriageReturn();
  kind_ = tkComment;
  scanUntilBlockEnd();
}

}  // namespace qv
