// Building the highlighter table and choosing, applying and listing highlighters.
#include "highlight/highlighter_table.h"

#include <algorithm>
#include <system_error>

#include "config/editor_cfg.h"
#include "config/settings_steps.h"
#include "config/shared_dialogs.h"
#include "config/text_helpers.h"
#include "highlight/extra_attributes.h"
#include "highlight/languages/builtin_highlighters.h"

namespace qv {

namespace {

struct BuiltinEntry {
  std::string_view component;
  std::string_view name;
  std::string_view defaultFilter;
  std::string_view lineComment;
  std::string_view blockCommentBeg;
  std::string_view blockCommentEnd;
  std::string_view blockBegStr;
  std::string_view blockEndStr;
  bool autoindent;
};

constexpr BuiltinEntry kBuiltins[HighlighterTable::kBuiltinCount] = {
    {"hlTxt", "Text files", "Text files (*.txt,*.*)|*.txt;*.*", "", "", "", "", "", false},
    {"hlPas", "Object Pascal",
     "Pascal Files (*.pas;*.pp;*.dpr;*.dpk;*.inc)|*.pas;*.pp;*.dpr;*.dpk;*.inc", "//", "{", "}",
     "begin", "end", true},
    {"hlCpp", "C/C++", "C/C++ files (*.c,*.cpp,*.h,*.hpp)|*.c;*.cpp;*.h;*.hpp", "//", "/*", "*/",
     "{", "}", true},
    {"hlPerl", "Perl", "Perl Files (*.pl,*.pm,*.cgi)|*.pl;*.pm;*.cgi", "#", "", "", "{", "}", true},
    {"hlHtml", "HTML",
     "HTML Document (*.htm,*.html,*.asp,*.shtml)|*.htm;*.html;*.asp;*.shtml", "", "<!--", "-->",
     "", "", false},
    {"hlCSS", "Cascading Style Sheet", "Cascading Stylesheets (*.css)|*.css", "", "/*", "*/", "{",
     "}", false},
    {"hlXML", "XML", "XML Document (*.xml,*.xsd,*.xsl,*.xslt)|*.xml;*.xsd;*.xsl;*.xslt", "",
     "<!--", "-->", "", "", false},
    {"hlPHP", "PHP", "PHP files (*.php,*.php3,*.phtml)|*.php;*.php3;*.phtml", "//", "/*", "*/",
     "{", "}", true},
    {"hlSQL", "SQL", "SQL files (*.sql)|*.sql", "--", "/*", "*/", "begin", "end", true},
    {"hlVisualBasic", "Visual Basic", "Visual Basic files (*.bas)|*.bas;*.vbs;*.frm;*.cls", "'",
     "", "", "", "", false},
    {"hlJava", "Java", "Java files (*.java)|*.java;*.jav", "//", "/*", "*/", "{", "}", true},
    {"hlJavascript", "JavaScript", "Javascript files (*.js)|*.js", "//", "/*", "*/", "{", "}",
     true},
    {"hlPython", "Python", "Python files (*.py)|*.py", "#", "", "", "{", "}", true},
    {"hlTCL", "Tcl/Tk", "Tcl/Tk files (*.tcl)|*.tcl", "#", "", "", "", "", false},
    {"hlFortran", "Fortran", "Fortran Files (*.for)|*.for", "", "", "", "", "", false},
    {"hlFox", "Foxpro", "Foxpro Files (*.prg)|*.prg", "&&", "", "", "", "", false},
    {"hlInnoSetup", "Inno Setup Script", "Inno Setup Script Files (*.iss)|*.iss", ";", "", "", "",
     "", false},
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return out;
}

bool LessNoCase(std::string_view a, std::string_view b) { return Lower(a) < Lower(b); }

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

// Extension with its dot, from the last "." after the last folder separator ("" when none).
std::string_view ExtensionOf(std::string_view fileName) {
  const std::size_t slash = fileName.find_last_of("/\\");
  const std::size_t dot = fileName.find_last_of('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  return fileName.substr(dot);
}

std::string ExtensionsOfFilter(std::string_view filter) {
  const std::size_t bar = filter.find('|');
  return std::string(bar == std::string_view::npos ? filter : filter.substr(bar + 1));
}

}  // namespace

HighlighterTable::HighlighterTable(BuiltinFactory factory)
    : factory_(factory ? std::move(factory) : BuiltinFactory(&MakeBuiltinHighlighter)) {}

HighlighterTable::~HighlighterTable() {
  if (registeredSteps_) registeredSteps_->remove(stepsOwner_);
}

void HighlighterTable::BuildHighlighterTable(const std::filesystem::path& definitionFolder,
                                             Prompter& prompter) {
  EditorCfg() = TEditorCfg{};
  entries_.clear();
  builtins_.clear();
  definitions_.clear();
  entries_.reserve(kBuiltinCount);

  for (const BuiltinEntry& b : kBuiltins) {
    THighLighter e;
    e.componentName = std::string(b.component);
    e.name = std::string(b.name);
    e.defaultFilter = std::string(b.defaultFilter);
    e.extensions = ExtensionsOfFilter(b.defaultFilter);
    e.lineComment = std::string(b.lineComment);
    e.blockCommentBeg = std::string(b.blockCommentBeg);
    e.blockCommentEnd = std::string(b.blockCommentEnd);
    e.blockBegStr = std::string(b.blockBegStr);
    e.blockEndStr = std::string(b.blockEndStr);
    e.blockAutoindent = b.autoindent;
    if (auto hl = factory_(b.component)) {
      AddExtraAttributes(*hl, b.component != "hlTxt");
      e.highlighter = hl.get();
      builtins_.push_back(std::move(hl));
    }
    entries_.push_back(std::move(e));
  }

  const auto loaded = definitions_.loadFolder(definitionFolder);
  for (const auto& file : loaded.unreadable) ShowOpenError(file.string(), prompter);
  for (const auto& def : definitions_.highlighters()) {
    THighLighter e;
    e.name = def->displayLanguageName();
    e.defaultFilter = def->defaultFilter;
    e.extensions = ExtensionsOfFilter(def->defaultFilter);
    e.isDefinitionBased = true;
    e.lineComment = def->lineComment();
    e.blockCommentBeg = def->blockCommentBeg();
    e.blockCommentEnd = def->blockCommentEnd();
    e.blockBegStr = def->blockBegStr;
    e.blockEndStr = def->blockEndStr;
    e.blockAutoindent = def->blockAutoindent;
    e.colorCurrentLine = def->colorCurrentLine;
    e.overrideTxtFgColor = def->overrideTxtFgColor;
    e.helpFile = def->helpFile;
    e.highlighter = def.get();
    entries_.push_back(std::move(e));
  }
}

THighLighter& HighlighterTable::FindHighlighterByFileName(std::string_view fileName) {
  std::string pattern(1, '*');
  pattern += Lower(ExtensionOf(fileName));
  for (THighLighter& e : entries_) {
    const std::string list = Lower(e.extensions);
    const std::size_t at = list.find(pattern);
    if (at == std::string::npos) continue;  // only the first occurrence counts
    const std::size_t after = at + pattern.size();
    if (after == list.size() || list[after] == ';') return e;
  }
  return entries_.at(0);
}

THighLighter* HighlighterTable::FindHighlighterByName(std::string_view name) {
  for (THighLighter& e : entries_)
    if (EqualsIgnoringCase(e.name, name)) return &e;
  return nullptr;
}

THighLighter* HighlighterTable::FindHighlighterEntry(const Highlighter* highlighter) {
  if (!highlighter) return nullptr;
  for (THighLighter& e : entries_)
    if (e.highlighter == highlighter) return &e;
  return nullptr;
}

THighLighter* HighlighterTable::FindHighlighterByComponent(std::string_view componentName) {
  for (THighLighter& e : entries_)
    if (!e.isDefinitionBased && e.componentName == componentName) return &e;
  return nullptr;
}

THighLighter& HighlighterTable::HighlighterForNewDocument(std::string_view defaultHighlighter) {
  THighLighter* e = FindHighlighterByName(defaultHighlighter);
  return e ? *e : entries_.at(0);
}

bool HighlighterTable::ChooseByNewFileName(std::string_view oldName, std::string_view newName,
                                           bool hasHighlighter, bool keepThisOnce) {
  if (keepThisOnce) return false;
  return !hasHighlighter || !EqualsIgnoringCase(ExtensionOf(oldName), ExtensionOf(newName));
}

AppliedHighlighter HighlighterTable::AppliedFor(const THighLighter& entry) {
  AppliedHighlighter a;
  a.highlighter = entry.highlighter;
  a.colorCurrentLine = entry.colorCurrentLine;
  a.overrideTxtFgColor = entry.overrideTxtFgColor;
  if (entry.highlighter) {
    if (const auto* sel = FindAttributeNoCase(*entry.highlighter, kSelectionAttr)) {
      a.selectionForeground = sel->foreground;
      a.selectionBackground = sel->background;
    }
    if (const auto* edge = FindAttributeNoCase(*entry.highlighter, kRightEdgeAttr))
      a.rightEdgeColor = edge->foreground;
  }
  return a;
}

AppliedHighlighter HighlighterTable::ApplyHighlighterEntry(HighlightedDocument& document,
                                                           const THighLighter& entry) {
  AppliedHighlighter a = AppliedFor(entry);
  document.applyHighlighter(a);
  return a;
}

void HighlighterTable::SetDocumentHighlighter(HighlightedDocument& document,
                                              std::string_view fileName, THighLighter* entry) {
  document.removeHighlighter();
  if (!entry) entry = &FindHighlighterByFileName(fileName);
  ApplyHighlighterEntry(document, *entry);
  document.attachCodeTemplates(*entry);
  for (const auto& l : listeners_) l(document, *entry);
}

void HighlighterTable::RebuildDefaultFilter(THighLighter& entry) {
  const std::string& f = entry.defaultFilter;
  const std::size_t bar = f.find('|');
  if (bar == std::string::npos) return;
  const std::size_t paren = f.find('(');
  const std::string description = Trim(f.substr(0, paren != std::string::npos ? paren : bar));
  std::string shown = entry.extensions, pattern;
  std::replace(shown.begin(), shown.end(), ';', ',');
  for (char c : entry.extensions)
    if (c != ' ' && c != '\t') pattern += c;
  entry.defaultFilter = description + " (" + shown + ")|" + pattern;
}

HighlighterTable::DialogFilter HighlighterTable::BuildDialogFilter(
    const Highlighter* documentHighlighter) const {
  std::vector<const THighLighter*> listed;
  for (const THighLighter& e : entries_) {
    if (!e.highlighter || e.defaultFilter.empty()) continue;
    // One built-in per language name; every definition keeps its own filter.
    const bool duplicate = !e.isDefinitionBased &&
        std::any_of(listed.begin(), listed.end(), [&](const THighLighter* o) {
          return EqualsIgnoringCase(o->name, e.name);
        });
    if (!duplicate) listed.push_back(&e);
  }
  std::stable_sort(listed.begin(), listed.end(), [](const THighLighter* a, const THighLighter* b) {
    return LessNoCase(a->name, b->name);
  });

  DialogFilter result;
  result.filter = "All files (*.*)|*.*|";
  const THighLighter* own = nullptr;
  for (const THighLighter* e : listed) {
    result.filter += e->defaultFilter;
    if (!e->defaultFilter.ends_with('|')) result.filter += '|';
    if (documentHighlighter && e->highlighter == documentHighlighter && !own) own = e;
  }
  if (documentHighlighter && own) {
    std::string_view wanted = own->defaultFilter;
    if (wanted.ends_with('|')) wanted.remove_suffix(1);
    result.index = FilterIndexOf(result.filter, wanted);
  }
  return result;
}

void HighlighterTable::RefreshHighlighterSettings(std::span<HighlightedDocument* const> documents) {
  for (const THighLighter& e : entries_) {
    if (!e.highlighter) continue;
    for (HighlightedDocument* d : documents)
      if (d && d->highlighter() == e.highlighter) d->refreshForHighlighter(AppliedFor(e));
  }
  for (HighlightedDocument* d : documents)
    if (d) d->applyEditorCfg();
}

bool HighlighterTable::SaveDefinition(THighLighter& entry, Prompter& prompter) {
  if (!entry.isDefinitionBased || !entry.highlighter) return true;
  const auto* general = dynamic_cast<const TSynMyGeneralSyn*>(entry.highlighter);
  if (!general) return true;
  DefinitionSettings s;
  s.filter = entry.defaultFilter;
  s.helpFile = entry.helpFile;
  s.colorCurrentLine = entry.colorCurrentLine;
  s.overrideTxtFgColor = entry.overrideTxtFgColor;
  s.blockAutoindent = entry.blockAutoindent;
  s.blockBegStr = entry.blockBegStr;
  s.blockEndStr = entry.blockEndStr;
  switch (WriteDefinitionSettings(general->sourceFileName, s, *general)) {
    case DefinitionWriteResult::Ok: return true;
    case DefinitionWriteResult::OpenFailed: ShowOpenError(general->sourceFileName, prompter); break;
    case DefinitionWriteResult::SaveFailed: ShowSaveError(general->sourceFileName, prompter); break;
  }
  return false;
}

void HighlighterTable::SaveModifiedDefinitions(std::span<HighlightedDocument* const> documents,
                                               Prompter& prompter) {
  for (THighLighter& e : entries_) {
    if (!e.isDefinitionBased || !e.definitionModified) continue;
    // A failed write keeps the flag, so the next apply tries again.
    if (!SaveDefinition(e, prompter)) continue;
    e.definitionModified = false;
    const auto* general = dynamic_cast<const TSynMyGeneralSyn*>(e.highlighter);
    if (!general) continue;
    const std::filesystem::path source = general->sourceFileName;
    for (HighlightedDocument* d : documents) {
      if (!d || d->fileName().empty()) continue;
      std::error_code ec;
      if (d->fileName() == source.string() || std::filesystem::equivalent(d->fileName(), source, ec))
        d->reload();
    }
  }
}

std::vector<HighlighterTable::NamedHighlighter> HighlighterTable::SortedNames() const {
  std::vector<NamedHighlighter> names;
  for (const THighLighter& e : entries_)
    if (e.highlighter) names.push_back({e.name, e.highlighter});
  std::stable_sort(names.begin(), names.end(), [](const auto& a, const auto& b) {
    return LessNoCase(a.name, b.name);
  });
  return names;
}

void HighlighterTable::onDocumentHighlighterSet(
    std::function<void(HighlightedDocument&, const THighLighter&)> listener) {
  listeners_.push_back(std::move(listener));
}

bool HighlighterTable::SetSqlDialect(int dialect) {
  THighLighter* sql = FindHighlighterByComponent("hlSQL");
  return sql && sql->highlighter && qv::SetSqlDialect(*sql->highlighter, dialect);
}

}  // namespace qv
