// Language-file reader, message lookup and form translation.
#include "config/translation.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>
#include <system_error>

namespace qv {
namespace {

enum class Section { Outside, Messages, Hints, Form };

// Language files are trimmed of blanks and control characters at both ends.
std::string_view Trim(std::string_view s) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return Lower(x) == Lower(y); });
}

std::string ConvertLineBreaks(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Calls f(line) for each line of text (LF, CR LF or CR separated).
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    f(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes;
}

bool IsRegularFile(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

}  // namespace

// Section and key compare without case, blanks around key and value are dropped and one pair
// of enclosing quotes is removed, as INI files are read.
std::optional<std::string> LanguageDescriptorName(std::string_view fileText) {
  bool inDescriptor = false;
  std::optional<std::string> found;
  ForEachLine(fileText, [&](std::string_view raw) {
    if (found) return;
    std::string_view line = Trim(raw);
    if (line.empty() || line.front() == ';') return;
    if (line.front() == '[') {
      std::size_t close = line.find(']');
      std::string_view name = line.substr(1, close == std::string_view::npos ? line.size() - 1 : close - 1);
      inDescriptor = EqualNoCase(Trim(name), "LanguageDescriptor");
      return;
    }
    if (!inDescriptor) return;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !EqualNoCase(Trim(line.substr(0, eq)), "Name")) return;
    std::string_view value = Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.substr(1, value.size() - 2);
    found = std::string(value);
  });
  return found;
}

namespace {

std::string DisplayNameOf(const std::filesystem::path& file, const std::string& fileText) {
  std::optional<std::string> name = LanguageDescriptorName(fileText);
  // An empty name would leave a blank entry in the language list; the file name says more.
  if (!name || name->empty()) return file.filename().string();
  return *name;
}

}  // namespace

bool ParseLanguageId(std::string_view text, int& id) {
  if (text.empty()) return false;
  bool negative = false;
  std::size_t pos = 0;
  if (text[0] == '-' || text[0] == '+') {
    negative = text[0] == '-';
    pos = 1;
  }
  int base = 10;
  if (pos < text.size() && text[pos] == '$') {
    base = 16;
    ++pos;
  }
  if (pos >= text.size()) return false;
  long long value = 0;
  for (; pos < text.size(); ++pos) {
    char c = Lower(text[pos]);
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    value = value * base + digit;
    if (value > static_cast<long long>(std::numeric_limits<unsigned int>::max())) return false;
  }
  // Hexadecimal ids may use all 32 bits, as "$FFFFFFFF" does for -1.
  if (base == 16 && value > std::numeric_limits<int>::max())
    value -= static_cast<long long>(std::numeric_limits<unsigned int>::max()) + 1;
  if (negative) value = -value;
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return false;
  id = static_cast<int>(value);
  return true;
}

bool SplitLanguageLine(std::string_view line, std::string& key, std::string& text) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key.assign(line.substr(0, eq));
  std::string_view value = line.substr(eq + 1);
  if (!value.empty() && value.front() == '"') value.remove_prefix(1);
  if (!value.empty() && value.back() == '"') value.remove_suffix(1);
  text.assign(value);
  return true;
}

void LanguageTable::append(std::string_view fileText) {
  Section state = Section::Outside;
  FormSection* current = nullptr;
  std::string key, text;
  ForEachLine(fileText, [&](std::string_view raw) {
    std::string_view line = Trim(raw);
    if (line.empty() || line.substr(0, 2) == "//") return;
    if (line.front() == '[') {
      std::string_view name = line.size() >= 2 ? line.substr(1, line.size() - 2) : std::string_view{};
      if (EqualNoCase(name, "messages")) {
        state = Section::Messages;
      } else if (EqualNoCase(name, "hints")) {
        state = Section::Hints;
      } else {
        state = Section::Form;
        sections_.push_back(FormSection{std::string(name), {}});
        current = &sections_.back();
      }
      return;
    }
    switch (state) {
      case Section::Form:
        current->lines.emplace_back(line);
        break;
      case Section::Messages: {
        int id = 0;
        if (SplitLanguageLine(line, key, text) && ParseLanguageId(key, id))
          messages_.try_emplace(id, ConvertLineBreaks(std::move(text)));
        break;
      }
      case Section::Hints:  // read for the format's sake; hints are not used
      case Section::Outside:
        break;
    }
  });
}

void LanguageTable::clear() {
  messages_.clear();
  sections_.clear();
}

const std::string* LanguageTable::message(int id) const {
  auto it = messages_.find(id);
  return it == messages_.end() ? nullptr : &it->second;
}

const LanguageTable::FormSection* LanguageTable::section(std::string_view name) const {
  for (const FormSection& s : sections_)
    if (s.name == name) return &s;
  return nullptr;
}

LanguageTable& ProgramLanguage() {
  static LanguageTable table;
  return table;
}

std::string TranslatedText(int id, std::string_view englishDefault) {
  if (const std::string* text = ProgramLanguage().message(id)) return *text;
  return std::string(englishDefault);
}

bool LoadLanguageFrom(const std::filesystem::path& languageFolder, const std::string& name) {
  if (name.empty()) return false;
  std::filesystem::path path = languageFolder / name;
  if (!IsRegularFile(path)) return false;
  // An unreadable file leaves the table as it was.
  if (std::optional<std::string> bytes = ReadWholeFile(path)) ProgramLanguage().append(*bytes);
  return true;
}

void TranslateForm(TranslatableForm& form, std::string_view sectionName, const LanguageTable& table) {
  const LanguageTable::FormSection* section = table.section(sectionName);
  if (!section) return;
  bool captionDone = form.isFrame();
  std::string key, text;
  for (const std::string& line : section->lines) {
    if (!SplitLanguageLine(line, key, text)) continue;
    if (!captionDone && key == "FormCaption") {
      form.setFormCaption(text);
      captionDone = true;
    } else {
      form.setComponentText(key, text);
    }
  }
}

std::vector<LanguageEntry> ListLanguages(const std::filesystem::path& folder) {
  std::vector<LanguageEntry> result;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const std::filesystem::path& path = it->path();
    if (!EqualNoCase(path.extension().string(), ".lng") || !IsRegularFile(path)) continue;
    std::optional<std::string> bytes = ReadWholeFile(path);
    result.push_back({DisplayNameOf(path, bytes.value_or(std::string())), path.filename().string()});
  }
  std::sort(result.begin(), result.end(), [](const LanguageEntry& a, const LanguageEntry& b) {
    return std::lexicographical_compare(a.fileName.begin(), a.fileName.end(), b.fileName.begin(),
                                        b.fileName.end(),
                                        [](char x, char y) { return Lower(x) < Lower(y); });
  });
  return result;
}

std::string LanguageDisplayName(const std::filesystem::path& file) {
  if (!IsRegularFile(file)) return {};
  std::optional<std::string> bytes = ReadWholeFile(file);
  return DisplayNameOf(file, bytes.value_or(std::string()));
}

}  // namespace qv
