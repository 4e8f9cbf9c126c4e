// Tab order, recent lists, window list and the remembered open files of the main window.
#include "shell/main_window_state.h"

#include <algorithm>
#include <cstdio>

#include "config/safe_registry.h"
#include "platform/registry.h"

namespace qv {
namespace {

constexpr std::string_view kRoot = "\\Software\\Quirvane\\Quirvane\\";

std::string KeyPath(std::string_view key) { return std::string(kRoot) + std::string(key); }

}  // namespace

void RecentList::add(const std::string& name) {
  if (name.empty()) return;
  remove(name);
  items_.insert(items_.begin(), name);
  if (items_.size() > capacity_) items_.resize(capacity_);
}

void RecentList::remove(const std::string& name) { std::erase(items_, name); }

void RecentList::Load(Registry& reg, std::string_view key) {
  items_.clear();
  if (!reg.OpenKeyReadOnly(KeyPath(key))) return;
  for (std::size_t i = 1; i <= capacity_; ++i) {
    const std::string name = ReadStrDef(reg, "MRU" + std::to_string(i), "");
    if (!name.empty() && std::find(items_.begin(), items_.end(), name) == items_.end()) items_.push_back(name);
  }
  reg.CloseKey();
}

void RecentList::Save(Registry& reg, std::string_view key) const {
  if (!reg.OpenKey(KeyPath(key), true)) return;
  for (std::size_t i = 1; i <= capacity_; ++i) {
    const std::string value = "MRU" + std::to_string(i);
    if (i <= items_.size())
      reg.WriteString(value, items_[i - 1]);
    else if (reg.ValueExists(value))
      reg.DeleteValue(value);
  }
  reg.CloseKey();
}

std::optional<int> DocumentOrder::indexOf(DocumentHandle doc) const {
  const auto it = std::find(tabs_.begin(), tabs_.end(), doc);
  if (it == tabs_.end()) return std::nullopt;
  return static_cast<int>(it - tabs_.begin());
}

std::optional<DocumentHandle> DocumentOrder::at(int index) const {
  if (index < 0 || index >= count()) return std::nullopt;
  return tabs_[static_cast<std::size_t>(index)];
}

int DocumentOrder::insert(DocumentHandle doc) {
  int index = count();
  if (active_)
    if (const auto current = indexOf(*active_)) index = *current + 1;
  tabs_.insert(tabs_.begin() + index, doc);
  active_ = doc;
  return index;
}

std::optional<DocumentHandle> DocumentOrder::remove(DocumentHandle doc) {
  const auto index = indexOf(doc);
  if (!index) return active_;
  tabs_.erase(tabs_.begin() + *index);
  if (active_ == doc) active_.reset();
  if (tabs_.empty()) return std::nullopt;
  return tabs_[static_cast<std::size_t>(std::min(*index, count() - 1))];
}

void DocumentOrder::move(int from, int to) {
  if (from < 0 || to < 0 || from >= count() || to >= count() || from == to) return;
  const DocumentHandle doc = tabs_[static_cast<std::size_t>(from)];
  tabs_.erase(tabs_.begin() + from);
  tabs_.insert(tabs_.begin() + to, doc);
}

void DocumentOrder::setActive(std::optional<DocumentHandle> doc) {
  if (doc && !indexOf(*doc)) return;
  active_ = doc;
}

std::optional<DocumentHandle> DocumentOrder::neighbour(bool forward) const {
  if (!active_ || tabs_.empty()) return std::nullopt;
  const auto index = indexOf(*active_);
  if (!index) return std::nullopt;
  const int n = count();
  return tabs_[static_cast<std::size_t>((*index + (forward ? 1 : n - 1)) % n)];
}

std::optional<DocumentHandle> DocumentOrder::byAltDigit(int digit) const {
  if (digit < 0 || digit > 9) return std::nullopt;
  return at(digit == 0 ? 9 : digit - 1);
}

std::vector<std::string> WindowMenuCaptions(const std::vector<std::string>& fileNames) {
  std::vector<std::string> captions;
  for (std::size_t i = 0; i < fileNames.size() && i < 9; ++i) {
    std::string caption(1, '&');
    caption += std::to_string(i + 1);
    caption += ' ';
    for (char c : fileNames[i]) {
      if (c == '&') caption += '&';
      caption += c;
    }
    captions.push_back(std::move(caption));
  }
  return captions;
}

std::string CommandLineFileName(const std::string& name, const std::filesystem::path& currentDir) {
  if (name.empty() || std::filesystem::path(name).has_parent_path()) return name;
  return (currentDir / name).string();
}

bool CreatePlaceholderFile(const std::string& name) {
  if (name.empty()) return false;
  // "x": never truncates a file that appeared since the caller looked.
  FILE* f = std::fopen(name.c_str(), "wx");
  if (!f) return false;
  return std::fclose(f) == 0;
}

LastOpenFiles CollectLastOpenFiles(const std::vector<OpenDocumentInfo>& tabs, std::optional<int> activeIndex,
                                   const std::string& project) {
  LastOpenFiles last;
  last.project = project;
  for (const OpenDocumentInfo& doc : tabs)
    if (!doc.fileMissing && !doc.projectFile && !doc.fileName.empty()) last.files.push_back(doc.fileName);
  if (activeIndex && *activeIndex >= 0 && *activeIndex < static_cast<int>(tabs.size())) {
    const OpenDocumentInfo& active = tabs[static_cast<std::size_t>(*activeIndex)];
    if (!active.fileMissing) last.activeFile = active.fileName;
  }
  return last;
}

void SaveLastOpenFiles(Registry& reg, int startAction, const LastOpenFiles& last) {
  const std::string path = KeyPath("LastOpenFiles");
  if (reg.KeyExists(path)) reg.DeleteKey(path);
  if (startAction != static_cast<int>(StartAction::OpenLastFileOrProject)) return;
  if (!reg.OpenKey(path, true)) return;
  if (!last.project.empty()) reg.WriteString("Project", last.project);
  if (!last.files.empty()) {
    reg.WriteInteger("FilesCount", static_cast<std::int32_t>(last.files.size()));
    for (std::size_t i = 0; i < last.files.size(); ++i) reg.WriteString("File" + std::to_string(i), last.files[i]);
  }
  if (!last.activeFile.empty()) reg.WriteString("ActiveFile", last.activeFile);
  reg.CloseKey();
}

LastOpenFiles LoadLastOpenFiles(Registry& reg) {
  LastOpenFiles last;
  if (!reg.OpenKeyReadOnly(KeyPath("LastOpenFiles"))) return last;
  last.project = ReadStrDef(reg, "Project", "");
  // A damaged count cannot make the start read millions of values.
  const int count = std::clamp(ReadIntDef(reg, "FilesCount", 0), 0, 100000);
  for (int i = 0; i < count; ++i) {
    const std::string name = ReadStrDef(reg, "File" + std::to_string(i), "");
    if (!name.empty()) last.files.push_back(name);
  }
  last.activeFile = ReadStrDef(reg, "ActiveFile", "");
  reg.CloseKey();
  return last;
}

int TabRowHeight(int rows, bool multiline) {
  if (rows <= 0) return 0;
  return multiline ? 19 * rows + 4 : 23;
}

std::vector<int> WrapTabRows(const std::vector<int>& widths, int available) {
  std::vector<int> rows;
  rows.reserve(widths.size());
  int row = 0;
  int used = 0;
  for (const int w : widths) {
    if (used > 0 && used + w > available) {
      ++row;
      used = 0;
    }
    rows.push_back(row);
    used += w;
  }
  return rows;
}

}  // namespace qv
