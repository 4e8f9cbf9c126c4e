// Registry-style accessor: key path resolution and typed reads and writes.
#include "platform/registry.h"

#include <bit>
#include <cstring>

namespace qv {

Registry::Registry() : tree_(&UserSettings()) {}
Registry::Registry(SettingsTree& tree) : tree_(&tree) {}

std::optional<std::string> Registry::ResolveKeyPath(std::string_view path) const {
  const bool absolute = !path.empty() && (path.front() == '\\' || path.front() == '/');
  if (absolute || !current_) return TreePathFromHivePath(path);
  const auto parts = SplitKeyPath(path);
  std::string joined = *current_;
  for (const auto& p : parts) {
    if (!joined.empty()) joined += '\\';
    joined += p;
  }
  return joined;
}

bool Registry::OpenKey(std::string_view path, bool canCreate) {
  const auto resolved = ResolveKeyPath(path);
  if (!resolved) return false;
  if (!tree_->keyExists(*resolved)) {
    if (!canCreate || !tree_->createKey(*resolved)) return false;
  }
  current_ = *resolved;
  readOnly_ = false;
  return true;
}

bool Registry::OpenKeyReadOnly(std::string_view path) {
  const auto resolved = ResolveKeyPath(path);
  if (!resolved || !tree_->keyExists(*resolved)) return false;
  current_ = *resolved;
  readOnly_ = true;
  return true;
}

void Registry::CloseKey() {
  current_.reset();
  readOnly_ = false;
}

const std::string& Registry::CurrentPath() const {
  static const std::string none;
  return current_ ? *current_ : none;
}

bool Registry::KeyExists(std::string_view path) const {
  const auto resolved = ResolveKeyPath(path);
  return resolved && tree_->keyExists(*resolved);
}

Status Registry::DeleteKey(std::string_view path) {
  const auto resolved = ResolveKeyPath(path);
  if (!resolved) return Status::Failure("The key \"" + std::string(path) + "\" is not a Quirvane key.");
  return tree_->deleteKey(*resolved);
}

std::optional<SettingsValue> Registry::read(std::string_view name) const {
  if (!current_) return std::nullopt;
  return tree_->readValue(*current_, name);
}

Status Registry::write(std::string_view name, const SettingsValue& value) {
  if (!current_) return Status::Failure("No settings key is open.");
  if (readOnly_) return Status::Failure("The settings key \"" + *current_ + "\" is open read-only.");
  return tree_->writeValue(*current_, name, value);
}

bool Registry::ValueExists(std::string_view name) const { return read(name).has_value(); }

std::optional<ValueType> Registry::GetDataType(std::string_view name) const {
  const auto v = read(name);
  if (!v) return std::nullopt;
  return v->type;
}

std::vector<std::string> Registry::GetValueNames() const {
  return current_ ? tree_->valueNames(*current_) : std::vector<std::string>{};
}

std::vector<std::string> Registry::GetKeyNames() const {
  return current_ ? tree_->subkeyNames(*current_) : std::vector<std::string>{};
}

Status Registry::DeleteValue(std::string_view name) {
  if (!current_) return Status::Failure("No settings key is open.");
  if (readOnly_) return Status::Failure("The settings key \"" + *current_ + "\" is open read-only.");
  return tree_->deleteValue(*current_, name);
}

std::optional<std::string> Registry::ReadString(std::string_view name) const {
  const auto v = read(name);
  if (!v || v->type != ValueType::String) return std::nullopt;
  return v->text;
}

std::optional<std::int32_t> Registry::ReadInteger(std::string_view name) const {
  const auto v = read(name);
  if (!v || v->type != ValueType::Integer) return std::nullopt;
  return v->integer;
}

std::optional<bool> Registry::ReadBool(std::string_view name) const {
  const auto v = ReadInteger(name);
  if (!v) return std::nullopt;
  return *v != 0;
}

std::optional<std::vector<std::uint8_t>> Registry::ReadBinaryData(std::string_view name) const {
  const auto v = read(name);
  if (!v || v->type != ValueType::Binary) return std::nullopt;
  return v->bytes;
}

std::optional<double> Registry::ReadFloat(std::string_view name) const {
  const auto bytes = ReadBinaryData(name);
  if (!bytes || bytes->size() != sizeof(double)) return std::nullopt;
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = (bits << 8) | (*bytes)[static_cast<std::size_t>(i)];
  return std::bit_cast<double>(bits);
}

Status Registry::WriteString(std::string_view name, std::string_view text) {
  return write(name, SettingsValue::String(std::string(text)));
}

Status Registry::WriteInteger(std::string_view name, std::int32_t value) {
  return write(name, SettingsValue::Integer(value));
}

Status Registry::WriteBool(std::string_view name, bool value) {
  return WriteInteger(name, value ? 1 : 0);
}

Status Registry::WriteBinaryData(std::string_view name, std::vector<std::uint8_t> bytes) {
  return write(name, SettingsValue::Binary(std::move(bytes)));
}

Status Registry::WriteFloat(std::string_view name, double value) {
  std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
  std::vector<std::uint8_t> bytes(8);
  for (auto& b : bytes) {
    b = static_cast<std::uint8_t>(bits & 0xff);
    bits >>= 8;
  }
  return WriteBinaryData(name, std::move(bytes));
}

}  // namespace qv
