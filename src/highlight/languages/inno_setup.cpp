// The Inno Setup script highlighter: [Section] headers, ; comment lines, Setup directives,
// "Name: value" parameters, {constants} also inside strings, preprocessor lines, and the
// [Code] section scanned as Object Pascal.
#include <array>
#include <string>

#include "highlight/languages/languages.h"
#include "highlight/languages/pascal_lexer.h"

namespace qv::lang {

namespace {

enum Kind { kComment, kConstant, kIdentifier, kInvalid, kNumber, kParameter, kReserved, kSection, kSpace, kString, kSymbol };

constexpr AttrSpec kAttributes[] = {
    {"Comment", "Comment", kClNone, kClNone, 0, Role::Comment},
    {"Constant", "Constant", kClNone, kClNone, 0},
    {"Identifier", "Identifier", kClWindowText, kClNone, 0, Role::Identifier},
    {"Invalid", "Invalid", kFuchsia, kClNone, 0},
    {"Number", "Number", kRed, kClNone, 0},
    {"Parameter", "Parameter", kTeal, kClNone, 0},
    {"Reserved word", "Reserved_Word", kBlue, kClNone, 0, Role::Keyword},
    {"Section", "Section", kNavy, kClNone, 0},
    {"Space", "Space", kClWindowText, kClWindow, 0, Role::Space},
    {"String", "String", kMaroon, kClNone, 0, Role::String},
    {"Symbol", "Symbol", kGray, kClNone, 0, Role::Symbol},
};

// Range: the section kind in bits 8-11; in [Code], the Pascal scanner's range in bits 0-7.
enum Section : HighlighterRange { kNoSection = 0, kSetup = 1, kKeyValue = 2, kParameters = 3, kCode = 4 };
constexpr unsigned kSectionShift = 8;
constexpr HighlighterRange kPascalMask = 0xFF;

const KeywordSet& KeyValueSections() {
  static const KeywordSet set("Messages CustomMessages LangOptions", false);
  return set;
}

const KeywordSet& ParameterSections() {
  static const KeywordSet set(
      "Types Components Tasks Dirs Files Icons INI InstallDelete Languages Registry Run "
      "UninstallDelete UninstallRun",
      false);
  return set;
}

const KeywordSet& Directives() {
  static const KeywordSet set(
      "AllowCancelDuringInstall AllowNetworkDrive AllowNoIcons AllowRootDirectory AllowUNCPath "
      "AlwaysRestart AlwaysShowComponentsList AlwaysShowDirOnReadyPage AlwaysShowGroupOnReadyPage "
      "AlwaysUsePersonalGroup AppComments AppContact AppCopyright AppendDefaultDirName "
      "AppendDefaultGroupName AppId AppModifyPath AppMutex AppName AppPublisher AppPublisherURL "
      "AppReadmeFile AppSupportPhone AppSupportURL AppUpdatesURL AppVerName AppVersion "
      "ArchitecturesAllowed ArchitecturesInstallIn64BitMode ChangesAssociations ChangesEnvironment "
      "CloseApplications CloseApplicationsFilter Compression CompressionThreads CreateAppDir "
      "CreateUninstallRegKey DefaultDialogFontName DefaultDirName DefaultGroupName DefaultUserInfoName "
      "DefaultUserInfoOrg DirExistsWarning DisableDirPage DisableFinishedPage DisableProgramGroupPage "
      "DisableReadyMemo DisableReadyPage DisableStartupPrompt DisableWelcomePage DiskClusterSize "
      "DiskSliceSize DiskSpanning EnableDirDoesntExistWarning Encryption ExtraDiskSpaceRequired "
      "FlatComponentsList InfoAfterFile InfoBeforeFile InternalCompressLevel LanguageDetectionMethod "
      "LicenseFile LZMAAlgorithm LZMABlockSize LZMADictionarySize LZMAMatchFinder LZMANumBlockThreads "
      "LZMANumFastBytes LZMAUseSeparateProcess MergeDuplicateFiles MinVersion OnlyBelowVersion "
      "Output OutputBaseFilename OutputDir OutputManifestFile Password PrivilegesRequired "
      "PrivilegesRequiredOverridesAllowed ReserveBytes RestartApplications RestartIfNeededByRun "
      "SetupIconFile SetupLogging SetupMutex ShowComponentSizes ShowLanguageDialog ShowTasksTreeLines "
      "ShowUndisplayableLanguages SignedUninstaller SignTool SignToolRetryCount SlicesPerDisk "
      "SolidCompression SourceDir TimeStampRounding TimeStampsInUTC TouchDate TouchTime Uninstallable "
      "UninstallDisplayIcon UninstallDisplayName UninstallDisplaySize UninstallFilesDir "
      "UninstallLogMode UninstallRestartComputer UpdateUninstallLogAppName UsePreviousAppDir "
      "UsePreviousGroup UsePreviousLanguage UsePreviousSetupType UsePreviousTasks "
      "UsePreviousUserInfo UserInfoPage UseSetupLdr VersionInfoCompany VersionInfoCopyright "
      "VersionInfoDescription VersionInfoOriginalFileName VersionInfoProductName "
      "VersionInfoProductTextVersion VersionInfoProductVersion VersionInfoTextVersion "
      "VersionInfoVersion WindowResizable WizardImageAlphaFormat WizardImageFile WizardImageStretch "
      "WizardSizePercent WizardSmallImageFile WizardStyle",
      false);
  return set;
}

const KeywordSet& ParameterNames() {
  static const KeywordSet set(
      "AfterInstall AppUserModelID Attribs BeforeInstall Check Comment Components CopyMode "
      "Description DestDir DestName Excludes ExternalSize Filename Flags FontInstall GroupDescription "
      "HotKey IconFilename IconIndex InfoAfterFile InfoBeforeFile Key Languages LicenseFile "
      "MessagesFile MinVersion Name OnlyBelowVersion Parameters Permissions Root RunOnceId Section "
      "Source StatusMsg StrongAssemblyName String Subkey Tasks Type Types ValueData ValueName "
      "ValueType Verb WorkingDir",
      false);
  return set;
}

// Pascal's kinds in this highlighter's terms, by attribute name.
std::array<int, 16> PascalKindMap() {
  std::array<int, 16> map{};
  map.fill(kIdentifier);
  auto attrs = PascalAttributes();
  for (std::size_t i = 0; i < attrs.size() && i < map.size(); ++i) {
    std::string_view name = attrs[i].name;
    if (name == "Comment" || name == "Preprocessor") map[i] = kComment;
    else if (name == "Number" || name == "Float" || name == "Hexadecimal") map[i] = kNumber;
    else if (name == "String" || name == "Character") map[i] = kString;
    else if (name == "Reserved word") map[i] = kReserved;
    else if (name == "Symbol") map[i] = kSymbol;
    else if (name == "Space") map[i] = kSpace;
  }
  return map;
}

// At "{": moves past the constant and any constants nested in it ({code:Get|{app}}).
void ScanConstant(Cursor& c) {
  int depth = 0;
  while (!c.atEnd()) {
    unsigned char ch = c.at();
    c.advance();
    if (ch == '{') ++depth;
    else if (ch == '}' && --depth == 0) return;
  }
}

class InnoSetupLexer final : public Lexer {
 public:
  InnoSetupLexer() : pascal_(MakePascalLexer()), pascalKinds_(PascalKindMap()) {}
  InnoSetupLexer(const InnoSetupLexer& other)
      : pascal_(other.pascal_->clone()), pascalKinds_(other.pascalKinds_) {}

  void beginLine(std::string_view line, HighlighterRange& range) override {
    firstToken_ = true;
    inString_ = false;
    if (section(range) == kCode) {
      HighlighterRange inner = range & kPascalMask;
      pascal_->beginLine(line, inner);
      range = (range & ~kPascalMask) | (inner & kPascalMask);
    }
  }

  int scan(Cursor& c, HighlighterRange& range) override {
    Section current = section(range);
    bool first = firstToken_;
    if (!SpaceChars().test(c.at())) firstToken_ = false;
    if (first && c.at() == '[' && (current != kCode || (range & kPascalMask) == 0)) {
      if (int kind = header(c, range); kind >= 0) return kind;
    }
    if (current == kCode) {
      HighlighterRange inner = range & kPascalMask;
      int kind = pascal_->scan(c, inner);
      range = (static_cast<HighlighterRange>(kCode) << kSectionShift) | (inner & kPascalMask);
      return kind >= 0 && static_cast<std::size_t>(kind) < pascalKinds_.size() ? pascalKinds_[kind] : kIdentifier;
    }
    range = static_cast<HighlighterRange>(current) << kSectionShift;
    if (inString_) return stringPart(c, false);
    unsigned char ch = c.at();
    if (SpaceChars().test(ch)) {
      c.skip(SpaceChars());
      return kSpace;
    }
    if (first && (ch == ';' || (ch == '/' && c.at(1) == '/'))) {
      c.toEnd();
      return kComment;
    }
    if (first && ch == '#' && WordStartChars().test(c.at(1))) {  // #define, #include ...
      c.advance();
      c.skip(WordChars());
      return kReserved;
    }
    if (ch == '{') {
      if (c.at(1) == '{') {
        c.advance(2);
        return kSymbol;
      }
      ScanConstant(c);
      return kConstant;
    }
    if (ch == '"') {
      c.advance();
      inString_ = true;
      return stringPart(c, true);
    }
    if (DigitChars().test(ch)) {
      ScanNumber(c, {0, false, false, false});
      return kNumber;
    }
    if (WordStartChars().test(ch)) {
      std::size_t start = c.pos;
      c.skip(WordChars());
      std::string_view word = c.from(start);
      Cursor after = c;
      after.skip(Chars(" \t"));
      if (first && after.at() == '=' && (current == kSetup || current == kKeyValue)) {
        if (current == kKeyValue) return kParameter;
        return Directives().contains(word) ? kReserved : kInvalid;
      }
      if (current == kParameters && after.at() == ':' && after.at(1) != ':')
        return ParameterNames().contains(word) ? kParameter : kInvalid;
      return kIdentifier;
    }
    c.advance();
    return kSymbol;
  }

  void endLine(std::string_view line, HighlighterRange& range) override {
    if (section(range) != kCode) return;
    HighlighterRange inner = range & kPascalMask;
    pascal_->endLine(line, inner);
    range = (range & ~kPascalMask) | (inner & kPascalMask);
  }

  std::unique_ptr<Lexer> clone() const override { return std::make_unique<InnoSetupLexer>(*this); }

 private:
  static Section section(HighlighterRange range) {
    HighlighterRange s = (range >> kSectionShift) & 0xF;
    return s <= kCode ? static_cast<Section>(s) : kNoSection;
  }

  // At "[" opening a line: "[Name]" switches the section; -1 when this is no header.
  static int header(Cursor& c, HighlighterRange& range) {
    std::size_t close = c.text.find(']', c.pos);
    if (close == std::string_view::npos) return -1;
    std::string_view name = c.text.substr(c.pos + 1, close - c.pos - 1);
    if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") !=
                            std::string_view::npos)
      return -1;
    Section next = kNoSection;
    if (EqualsNoCase(name, "Setup")) next = kSetup;
    else if (EqualsNoCase(name, "Code")) next = kCode;
    else if (KeyValueSections().contains(name)) next = kKeyValue;
    else if (ParameterSections().contains(name)) next = kParameters;
    c.pos = close + 1;
    range = static_cast<HighlighterRange>(next) << kSectionShift;
    return next == kNoSection ? kInvalid : kSection;
  }

  // Inside a quoted value: text up to the closing quote ("" stays inside), {constants} apart.
  // `fresh`: just past the opening quote, which belongs to the text token.
  int stringPart(Cursor& c, bool fresh) {
    if (!fresh && c.at() == '{' && c.at(1) != '{') {
      ScanConstant(c);
      return kConstant;
    }
    while (!c.atEnd()) {
      unsigned char ch = c.at();
      if (ch == '{') {
        if (c.at(1) != '{') return kString;
        c.advance(2);
        continue;
      }
      c.advance();
      if (ch != '"') continue;
      if (c.at() == '"') {
        c.advance();
        continue;
      }
      inString_ = false;
      return kString;
    }
    inString_ = false;
    return kString;
  }

  std::unique_ptr<Lexer> pascal_;
  std::array<int, 16> pascalKinds_;
  bool firstToken_ = true;
  bool inString_ = false;  // line-local: a quoted value is open
};

}  // namespace

std::unique_ptr<Highlighter> MakeInnoSetupHighlighter() {
  return std::make_unique<LexerHighlighter>("Inno Setup Script", std::make_unique<InnoSetupLexer>(), kAttributes,
                                            WordChars());
}

}  // namespace qv::lang
