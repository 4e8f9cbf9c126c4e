// INI files ("[Section]" and "key=value" lines) read whole, changed in memory, written atomically.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/settings_tree.h"

namespace qv {

// Sections and keys compare without regard to ASCII case; the first of two equal keys is the one
// read. Comments and lines that are not "key=value" survive a rewrite untouched. Changes stay in
// memory until UpdateFile(), which replaces the file whole.
class IniFile {
 public:
  explicit IniFile(std::filesystem::path file = {});

  struct LoadResult;
  // A missing file loads as empty without error; an unreadable or huge one gives an error and
  // an empty file (which UpdateFile() will not write over the original, see there).
  static LoadResult Load(const std::filesystem::path& file);
  // Reads INI text (CR LF or LF line ends; any bytes tolerated).
  static IniFile Parse(std::string_view text, std::filesystem::path file = {});

  const std::filesystem::path& FileName() const { return file_; }

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // Decimal, or hexadecimal after "$" or "0x"; anything else gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;  // not 0 = true

  // Line breaks in a key or value are written as spaces so the file keeps its shape.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);  // "1" or "0"

  bool SectionExists(std::string_view section) const;
  bool ValueExists(std::string_view section, std::string_view key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(std::string_view section) const;  // keys in file order
  std::vector<std::pair<std::string, std::string>> ReadSectionValues(std::string_view section) const;

  void EraseSection(std::string_view section);
  void DeleteKey(std::string_view section, std::string_view key);

  bool Modified() const { return modified_; }
  std::string Text() const;
  // Writes Text() to a temp file and renames it over the file.
  Status UpdateFile();

 private:
  struct Line {
    std::string key;    // empty for a comment or other line kept as it is
    std::string value;
    std::string raw;    // the line as read, written back while unchanged
    bool changed = false;
  };
  struct Section {
    std::string name;
    std::string header;  // "[name]" line as read; empty for the lines before the first section
    std::vector<Line> lines;
    std::unordered_map<std::string, std::size_t> index;  // folded key -> first line with it
    void reindex();
  };

  const Section* find(std::string_view section) const;
  Section* find(std::string_view section);
  const Line* findLine(std::string_view section, std::string_view key) const;

  std::filesystem::path file_;
  std::vector<Section> sections_;  // sections_[0]: lines before any header
  std::unordered_map<std::string, std::size_t> sectionIndex_;  // folded name -> first section
  std::string lineEnd_ = "\r\n";
  bool modified_ = false;
  bool readFailed_ = false;  // the file exists but was not read: never write over it
};

struct IniFile::LoadResult {
  IniFile file;
  std::string error;  // empty when the file was read (or did not exist)
};

}  // namespace qv
