// Key path helpers, the in-memory settings tree and the program-wide tree.
#include "platform/settings_tree.h"

#include <algorithm>
#include <unordered_map>

namespace qv {

SettingsValue SettingsValue::String(std::string text) {
  SettingsValue v;
  v.type = ValueType::String;
  v.text = std::move(text);
  return v;
}

SettingsValue SettingsValue::Integer(std::int32_t value) {
  SettingsValue v;
  v.type = ValueType::Integer;
  v.integer = value;
  return v;
}

SettingsValue SettingsValue::Binary(std::vector<std::uint8_t> bytes) {
  SettingsValue v;
  v.type = ValueType::Binary;
  v.bytes = std::move(bytes);
  return v;
}

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

int CompareNames(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(FoldAscii(a[i]));
    const auto cb = static_cast<unsigned char>(FoldAscii(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && CompareNames(a, b) == 0;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\' || path[i] == '/') {
      if (i > start) parts.emplace_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::string JoinKeyPath(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& p : parts) {
    if (!out.empty()) out += '\\';
    out += p;
  }
  return out;
}

std::optional<std::string> TreePathFromHivePath(std::string_view hivePath) {
  const auto parts = SplitKeyPath(hivePath);
  const auto root = SplitKeyPath(kSettingsRootPath);
  if (parts.size() < root.size()) return std::nullopt;
  for (std::size_t i = 0; i < root.size(); ++i)
    if (!SameName(parts[i], root[i])) return std::nullopt;
  return JoinKeyPath(std::vector<std::string>(parts.begin() + static_cast<long>(root.size()),
                                              parts.end()));
}

// ---- MemorySettingsTree ----

namespace {

std::string Folded(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldAscii(c);
  return out;
}

}  // namespace

struct MemorySettingsTree::Node {
  std::string name;
  std::vector<std::pair<std::string, SettingsValue>> values;  // in order first written
  std::unordered_map<std::string, std::size_t> valueIndex;     // folded name -> position
  std::vector<std::unique_ptr<Node>> children;                // sorted by CompareNames

  auto childPos(std::string_view n) const {
    return std::lower_bound(children.begin(), children.end(), n,
                            [](const auto& c, std::string_view x) {
                              return CompareNames(c->name, x) < 0;
                            });
  }
  Node* child(std::string_view n) const {
    auto it = childPos(n);
    return (it != children.end() && SameName((*it)->name, n)) ? it->get() : nullptr;
  }
  Node* addChild(std::string_view n) {
    auto it = childPos(n);
    if (it != children.end() && SameName((*it)->name, n)) return it->get();
    auto node = std::make_unique<Node>();
    node->name = std::string(n);
    return children.insert(it, std::move(node))->get();
  }
  SettingsValue* value(std::string_view n) {
    auto it = valueIndex.find(Folded(n));
    return it == valueIndex.end() ? nullptr : &values[it->second].second;
  }
  void setValue(std::string_view n, const SettingsValue& v) {
    if (SettingsValue* existing = value(n)) {
      *existing = v;
      return;
    }
    valueIndex.emplace(Folded(n), values.size());
    values.emplace_back(std::string(n), v);
  }
  void eraseValue(std::string_view n) {
    auto it = valueIndex.find(Folded(n));
    if (it == valueIndex.end()) return;
    values.erase(values.begin() + static_cast<long>(it->second));
    valueIndex.clear();
    for (std::size_t i = 0; i < values.size(); ++i) valueIndex.emplace(Folded(values[i].first), i);
  }
};

namespace {

template <class NodeT>
NodeT* Find(NodeT* root, std::string_view key) {
  NodeT* node = root;
  for (const auto& part : SplitKeyPath(key)) {
    node = node->child(part);
    if (!node) return nullptr;
  }
  return node;
}

}  // namespace

MemorySettingsTree::MemorySettingsTree() : root_(std::make_unique<Node>()) {}
MemorySettingsTree::~MemorySettingsTree() = default;

bool MemorySettingsTree::keyExists(std::string_view key) const {
  return Find(root_.get(), key) != nullptr;
}

Status MemorySettingsTree::createKey(std::string_view key) {
  Node* node = root_.get();
  for (const auto& part : SplitKeyPath(key)) node = node->addChild(part);
  return {};
}

Status MemorySettingsTree::deleteKey(std::string_view key) {
  const auto parts = SplitKeyPath(key);
  if (parts.empty()) {
    root_->values.clear();
    root_->valueIndex.clear();
    root_->children.clear();
    return {};
  }
  std::vector<std::string> parentParts(parts.begin(), parts.end() - 1);
  Node* parent = Find(root_.get(), JoinKeyPath(parentParts));
  if (!parent) return {};
  std::erase_if(parent->children,
                [&](const auto& c) { return SameName(c->name, parts.back()); });
  return {};
}

std::vector<std::string> MemorySettingsTree::subkeyNames(std::string_view key) const {
  std::vector<std::string> names;
  if (const Node* node = Find(root_.get(), key))
    for (const auto& c : node->children) names.push_back(c->name);
  return names;
}

std::optional<SettingsValue> MemorySettingsTree::readValue(std::string_view key,
                                                           std::string_view name) const {
  Node* node = Find(root_.get(), key);
  if (!node) return std::nullopt;
  if (const SettingsValue* v = node->value(name)) return *v;
  return std::nullopt;
}

Status MemorySettingsTree::writeValue(std::string_view key, std::string_view name,
                                      const SettingsValue& value) {
  Node* node = root_.get();
  for (const auto& part : SplitKeyPath(key)) node = node->addChild(part);
  node->setValue(name, value);
  return {};
}

Status MemorySettingsTree::deleteValue(std::string_view key, std::string_view name) {
  if (Node* node = Find(root_.get(), key)) node->eraseValue(name);
  return {};
}

std::vector<std::string> MemorySettingsTree::valueNames(std::string_view key) const {
  std::vector<std::string> names;
  if (const Node* node = Find(root_.get(), key))
    for (const auto& v : node->values) names.push_back(v.first);
  return names;
}

Status MemorySettingsTree::apply(std::span<const SettingsChange> changes) {
  // Nothing here can fail part-way, so applying in order is already all-or-nothing.
  for (const auto& c : changes) {
    switch (c.kind) {
      case SettingsChange::Kind::CreateKey: createKey(c.key); break;
      case SettingsChange::Kind::SetValue: writeValue(c.key, c.name, c.value); break;
      case SettingsChange::Kind::DeleteValue: deleteValue(c.key, c.name); break;
      case SettingsChange::Kind::DeleteKey: deleteKey(c.key); break;
    }
  }
  return {};
}

// ---- the program-wide tree ----

namespace {

std::unique_ptr<SettingsTree>& UserSettingsSlot() {
  static std::unique_ptr<SettingsTree> tree = std::make_unique<MemorySettingsTree>();
  return tree;
}

}  // namespace

SettingsTree& UserSettings() { return *UserSettingsSlot(); }

void InstallUserSettings(std::unique_ptr<SettingsTree> tree) {
  UserSettingsSlot() = tree ? std::move(tree) : std::make_unique<MemorySettingsTree>();
}

}  // namespace qv
