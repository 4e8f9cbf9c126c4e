// INI parsing, lookup by folded names, and whole-file rewriting.
#include "platform/ini_file.h"

#include <charconv>

#include "platform/file_system.h"

namespace qv {

namespace {

constexpr std::uintmax_t kMaxIniBytes = 64u * 1024 * 1024;

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::string Fold(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string OneLine(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

void IniFile::Section::reindex() {
  index.clear();
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (!lines[i].key.empty()) index.emplace(Fold(lines[i].key), i);  // first one wins
}

IniFile::IniFile(std::filesystem::path file) : file_(std::move(file)) { sections_.emplace_back(); }

IniFile IniFile::Parse(std::string_view text, std::filesystem::path file) {
  IniFile ini(std::move(file));
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const std::size_t firstBreak = text.find('\n');
  if (firstBreak != std::string_view::npos)
    ini.lineEnd_ = (firstBreak > 0 && text[firstBreak - 1] == '\r') ? "\r\n" : "\n";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    start = end + 1;
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    const std::string_view line = Trim(raw);
    if (!line.empty() && line.front() == '[') {
      std::string_view name = line.substr(1);
      name = Trim(name.substr(0, name.find(']')));
      Section section;
      section.name = std::string(name);
      section.header = std::string(raw);
      ini.sectionIndex_.emplace(Fold(name), ini.sections_.size());
      ini.sections_.push_back(std::move(section));
      continue;
    }
    Line entry;
    entry.raw = std::string(raw);
    const std::size_t eq = line.find('=');
    if (!line.empty() && line.front() != ';' && line.front() != '#' && eq != std::string_view::npos &&
        eq > 0) {
      entry.key = std::string(Trim(line.substr(0, eq)));
      entry.value = std::string(Trim(line.substr(eq + 1)));
    }
    ini.sections_.back().lines.push_back(std::move(entry));
  }
  for (auto& s : ini.sections_) s.reindex();
  return ini;
}

IniFile::LoadResult IniFile::Load(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, ec)))
    return {IniFile(file), {}};
  ReadResult read = ReadWholeFile(file, kMaxIniBytes);
  if (!read.bytes) {
    IniFile empty(file);
    empty.readFailed_ = true;
    return {std::move(empty), "Cannot read \"" + file.string() + "\": " + read.error + "."};
  }
  return {Parse(*read.bytes, file), {}};
}

const IniFile::Section* IniFile::find(std::string_view section) const {
  auto it = sectionIndex_.find(Fold(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

IniFile::Section* IniFile::find(std::string_view section) {
  auto it = sectionIndex_.find(Fold(section));
  return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

const IniFile::Line* IniFile::findLine(std::string_view section, std::string_view key) const {
  const Section* s = find(section);
  if (!s) return nullptr;
  auto it = s->index.find(Fold(key));
  return it == s->index.end() ? nullptr : &s->lines[it->second];
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  const Line* line = findLine(section, key);
  return line ? line->value : std::string(def);
}

std::int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                                  std::int32_t def) const {
  const Line* line = findLine(section, key);
  if (!line) return def;
  std::string_view v = line->value;
  bool negative = false;
  if (!v.empty() && (v.front() == '-' || v.front() == '+')) {
    negative = v.front() == '-';
    v.remove_prefix(1);
  }
  int base = 10;
  if (!v.empty() && v.front() == '$') {
    base = 16;
    v.remove_prefix(1);
  } else if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) {
    base = 16;
    v.remove_prefix(2);
  }
  std::int64_t n = 0;
  const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n, base);
  if (v.empty() || ec != std::errc() || end != v.data() + v.size()) return def;
  if (negative) n = -n;
  // Hexadecimal spellings of negative numbers (FFFFFFFF) wrap as 32-bit values do.
  if (base == 16 && n >= 0 && n <= 0xFFFFFFFFll) return static_cast<std::int32_t>(static_cast<std::uint32_t>(n));
  if (n < INT32_MIN || n > INT32_MAX) return def;
  return static_cast<std::int32_t>(n);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string k(Trim(OneLine(key)));
  const std::string v = OneLine(value);
  Section* s = find(section);
  if (!s) {
    Section fresh;
    fresh.name = OneLine(Trim(section));
    sectionIndex_.emplace(Fold(fresh.name), sections_.size());
    sections_.push_back(std::move(fresh));
    s = &sections_.back();
  }
  modified_ = true;
  auto it = s->index.find(Fold(k));
  if (it != s->index.end()) {
    Line& line = s->lines[it->second];
    line.value = v;
    line.changed = true;
    return;
  }
  Line line;
  line.key = k;
  line.value = v;
  line.changed = true;
  // New keys go after the section's last entry, before trailing blank lines.
  std::size_t at = s->lines.size();
  while (at > 0 && Trim(s->lines[at - 1].raw).empty() && s->lines[at - 1].key.empty() &&
         !s->lines[at - 1].changed)
    --at;
  s->lines.insert(s->lines.begin() + static_cast<long>(at), std::move(line));
  s->reindex();
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

bool IniFile::SectionExists(std::string_view section) const { return find(section) != nullptr; }

bool IniFile::ValueExists(std::string_view section, std::string_view key) const {
  return findLine(section, key) != nullptr;
}

std::vector<std::string> IniFile::ReadSections() const {
  std::vector<std::string> names;
  for (std::size_t i = 1; i < sections_.size(); ++i) {
    auto it = sectionIndex_.find(Fold(sections_[i].name));
    if (it != sectionIndex_.end() && it->second == i) names.push_back(sections_[i].name);
  }
  return names;
}

std::vector<std::string> IniFile::ReadSection(std::string_view section) const {
  std::vector<std::string> keys;
  for (const auto& [key, value] : ReadSectionValues(section)) keys.push_back(key);
  return keys;
}

std::vector<std::pair<std::string, std::string>> IniFile::ReadSectionValues(
    std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> out;
  const Section* s = find(section);
  if (!s) return out;
  for (std::size_t i = 0; i < s->lines.size(); ++i) {
    const Line& line = s->lines[i];
    if (line.key.empty()) continue;
    auto it = s->index.find(Fold(line.key));
    if (it != s->index.end() && it->second == i) out.emplace_back(line.key, line.value);
  }
  return out;
}

void IniFile::EraseSection(std::string_view section) {
  const std::string folded = Fold(section);
  if (!sectionIndex_.contains(folded)) return;
  // Every section of that name goes, as reading only ever saw the first; the lines before the
  // first header are not a section.
  std::vector<Section> kept;
  kept.push_back(std::move(sections_[0]));
  for (std::size_t i = 1; i < sections_.size(); ++i)
    if (Fold(sections_[i].name) != folded) kept.push_back(std::move(sections_[i]));
  sections_ = std::move(kept);
  sectionIndex_.clear();
  for (std::size_t i = 1; i < sections_.size(); ++i) sectionIndex_.emplace(Fold(sections_[i].name), i);
  modified_ = true;
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  Section* s = find(section);
  if (!s) return;
  const std::string folded = Fold(key);
  const auto before = s->lines.size();
  std::erase_if(s->lines, [&](const Line& l) { return !l.key.empty() && Fold(l.key) == folded; });
  if (s->lines.size() != before) {
    s->reindex();
    modified_ = true;
  }
}

std::string IniFile::Text() const {
  std::string out;
  for (std::size_t i = 0; i < sections_.size(); ++i) {
    const Section& s = sections_[i];
    if (i > 0) {
      // A section added in this session is set off by a blank line, as editors of INI files do.
      if (s.header.empty() && !out.empty() && !out.ends_with(lineEnd_ + lineEnd_)) out += lineEnd_;
      out += s.header.empty() ? "[" + s.name + "]" : s.header;
      out += lineEnd_;
    }
    for (const Line& line : s.lines) {
      out += line.changed ? line.key + "=" + line.value : line.raw;
      out += lineEnd_;
    }
  }
  return out;
}

Status IniFile::UpdateFile() {
  if (file_.empty()) return Status::Failure("The INI file has no name.");
  if (readFailed_)
    return Status::Failure(std::string(1, '"').append(file_.string()).append(
        "\" could not be read, so it is not overwritten."));
  Status s = WriteFileAtomically(file_, Text());
  if (s) modified_ = false;
  return s;
}

}  // namespace qv
