// Translated user-visible texts: message lookup by numeric id and form captions from language files.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qv {

// A tree of named components that a form section can rename (a form, a frame, or a test double).
class TranslatableForm {
 public:
  virtual ~TranslatableForm() = default;
  // Frames have no caption of their own; "FormCaption" then counts as an ordinary key.
  virtual bool isFrame() const { return false; }
  virtual void setFormCaption(const std::string& text) = 0;
  // Sets the caption or text of the owned component with that name (compared without case);
  // names that match nothing are ignored.
  virtual void setComponentText(const std::string& name, const std::string& text) = 0;
};

// The message table and form sections read from language files.
// Loading appends: an id or section already present keeps its earlier text.
class LanguageTable {
 public:
  struct FormSection {
    std::string name;                // exactly as written in the file
    std::vector<std::string> lines;  // trimmed, split only when a form is translated
  };

  // Reads one language file's text and appends its messages and form sections.
  void append(std::string_view fileText);
  void clear();

  // The text of the first message with this id, or nullptr.
  const std::string* message(int id) const;
  // The first form section with exactly this name, or nullptr.
  const FormSection* section(std::string_view name) const;

  std::size_t messageCount() const { return messages_.size(); }
  const std::vector<FormSection>& sections() const { return sections_; }

 private:
  std::unordered_map<int, std::string> messages_;  // first occurrence of each id wins
  std::vector<FormSection> sections_;              // in file order
};

// Parses an id the way language files write it: decimal, or hexadecimal after "$"; no blanks.
bool ParseLanguageId(std::string_view text, int& id);

// Splits "key=text" at the first "=" and strips one leading and one trailing double quote
// from the text. Returns false for a line without "=".
bool SplitLanguageLine(std::string_view line, std::string& key, std::string& text);

// The program-wide table, empty until a language is loaded.
LanguageTable& ProgramLanguage();

// The translated text for an id, or the English default when no language has it.
std::string TranslatedText(int id, std::string_view englishDefault);

// Appends folder/name to the program-wide table. False for an empty name or a missing file.
bool LoadLanguageFrom(const std::filesystem::path& languageFolder, const std::string& name);

// Applies the first section named exactly `sectionName` to the form; nothing when none exists.
void TranslateForm(TranslatableForm& form, std::string_view sectionName,
                   const LanguageTable& table = ProgramLanguage());

struct LanguageEntry {
  std::string displayName;
  std::string fileName;  // without folder
  bool operator==(const LanguageEntry&) const = default;
};

// Every *.lng file in the folder, sorted by file name, with its display name.
std::vector<LanguageEntry> ListLanguages(const std::filesystem::path& folder);

// The Name value of section LanguageDescriptor in a language file's text, read as INI files are.
std::optional<std::string> LanguageDescriptorName(std::string_view fileText);

// Name in [LanguageDescriptor], else the file's own name; empty when the file does not exist.
std::string LanguageDisplayName(const std::filesystem::path& file);

}  // namespace qv
