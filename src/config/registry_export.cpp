// REGEDIT4 writer and reader for the settings tree.
#include "config/registry_export.h"

#include <cstdio>

#include "platform/file_system.h"

namespace qv {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::uintmax_t kMaxImportBytes = 64u * 1024 * 1024;
constexpr std::size_t kMaxKeyDepth = 512;

// Backslash and double quote are the only characters the format escapes.
void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
}

void AppendHexBytes(std::string& out, std::string_view prefix, const std::uint8_t* data,
                    std::size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += prefix;
  for (std::size_t k = 0; k < size; ++k) {
    out += kDigits[data[k] >> 4];
    out += kDigits[data[k] & 15];
    if (k + 1 < size) {
      out += ',';
      if (k > 0 && k % 25 == 0) {
        out += '\\';
        out += kCrLf;
      }
    }
  }
}

// A line break or a zero inside a string would break the quoted form; such strings go out
// as the string type's byte form, which reads back exactly.
bool NeedsByteForm(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void AppendValue(std::string& out, std::string_view name, const SettingsValue& value) {
  if (name.empty()) {
    out += '@';
  } else {
    out += '"';
    AppendEscaped(out, name);
    out += '"';
  }
  out += '=';
  switch (value.type) {
    case ValueType::String:
      if (NeedsByteForm(value.text)) {
        std::string bytes = value.text;
        bytes += '\0';
        AppendHexBytes(out, "hex(1):", reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       bytes.size());
      } else {
        out += '"';
        AppendEscaped(out, value.text);
        out += '"';
      }
      break;
    case ValueType::Integer: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "dword:%08X", static_cast<std::uint32_t>(value.integer));
      out += buf;
      break;
    }
    case ValueType::Binary:
      AppendHexBytes(out, "hex:", value.bytes.data(), value.bytes.size());
      break;
  }
  out += kCrLf;
}

}  // namespace

void ExportKey(const SettingsTree& tree, std::string_view rootName, std::string_view hivePath,
               std::string& out) {
  out += kCrLf;
  out += '[';
  out += rootName;
  out += '\\';
  out += hivePath;
  out += ']';
  out += kCrLf;
  if (rootName != kSettingsRootHive) return;
  const auto key = TreePathFromHivePath(hivePath);
  if (!key || !tree.keyExists(*key)) return;
  for (const auto& name : tree.valueNames(*key))
    if (const auto value = tree.readValue(*key, name)) AppendValue(out, name, *value);
  for (const auto& sub : tree.subkeyNames(*key)) {
    std::string path(hivePath);
    path += '\\';
    path += sub;
    ExportKey(tree, rootName, path, out);
  }
}

std::string ExportRegistryText(const SettingsTree& tree) {
  std::string out = "REGEDIT4";
  out += kCrLf;
  ExportKey(tree, kSettingsRootHive, kSettingsRootPath, out);
  return out;
}

Status ExportRegistrySettings(const SettingsTree& tree, const std::filesystem::path& file) {
  return WriteFileAtomically(file, ExportRegistryText(tree));
}

// ---- import ----

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

// Built by appending: GCC 12 warns falsely about "literal" + std::string here.
std::string InQuotes(std::string_view s) {
  return std::string(1, '"').append(s).append(1, '"');
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

class Parser {
 public:
  Parser(std::string_view text, std::string_view label) : label_(label) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::size_t start = 0;
    while (start <= text.size()) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      std::string_view line = text.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      lines_.push_back(line);
      if (end == text.size()) break;
      start = end + 1;
    }
  }

  RegistryImport run() {
    if (lines_.empty() || Trim(lines_[0]) != "REGEDIT4")
      return fail(1, "the file does not start with \"REGEDIT4\"");
    for (std::size_t i = 1; i < lines_.size(); ++i) {
      const int lineNo = static_cast<int>(i) + 1;
      const std::string_view line = Trim(lines_[i]);
      if (line.empty() || line.front() == ';') continue;
      const bool ok = line.front() == '[' ? keyLine(line, lineNo) : valueLine(i, lineNo);
      if (!ok) return std::move(result_);
    }
    return std::move(result_);
  }

 private:
  RegistryImport fail(int line, const std::string& what) {
    error(line, what);
    return std::move(result_);
  }
  // Records the error; the caller stops parsing.
  bool error(int line, const std::string& what) {
    result_.changes.clear();
    result_.errorLine = line;
    result_.error = std::string(label_).append(", line ").append(std::to_string(line)).append(": ");
    result_.error.append(what).append(".");
    return false;
  }

  bool keyLine(std::string_view line, int lineNo) {
    if (line.back() != ']') return error(lineNo, "a key line must end with \"]\"");
    std::string_view path = line.substr(1, line.size() - 2);
    const bool remove = !path.empty() && path.front() == '-';
    if (remove) path.remove_prefix(1);
    const std::size_t sep = path.find('\\');
    const std::string_view hive = path.substr(0, sep);
    if (!SameName(hive, kSettingsRootHive) && !SameName(hive, "HKCU"))
      return error(lineNo, "only keys below HKEY_CURRENT_USER\\" + std::string(kSettingsRootPath) +
                               " can be imported");
    const std::string_view rest = sep == std::string_view::npos ? "" : path.substr(sep + 1);
    if (rest.find("\\\\") != std::string_view::npos || (!rest.empty() && rest.front() == '\\'))
      return error(lineNo, "the key path has an empty key name");
    const auto tree = TreePathFromHivePath(rest);
    if (!tree) {
      // The parent keys of the program's own may be named as long as nothing is put in them.
      const auto parts = SplitKeyPath(rest);
      const auto root = SplitKeyPath(kSettingsRootPath);
      bool ancestor = !remove && parts.size() < root.size();
      for (std::size_t i = 0; ancestor && i < parts.size(); ++i) ancestor = SameName(parts[i], root[i]);
      if (!ancestor)
        return error(lineNo, "only keys below HKEY_CURRENT_USER\\" +
                                 std::string(kSettingsRootPath) + " can be imported");
      current_.reset();
      insideRoot_ = false;
      return true;
    }
    if (SplitKeyPath(*tree).size() > kMaxKeyDepth) return error(lineNo, "the key path is too deep");
    insideRoot_ = true;
    if (remove) {
      result_.changes.push_back({SettingsChange::Kind::DeleteKey, *tree, {}, {}});
      current_.reset();
    } else {
      result_.changes.push_back({SettingsChange::Kind::CreateKey, *tree, {}, {}});
      current_ = *tree;
    }
    return true;
  }

  // Parses a quoted text starting at s[pos] == '"'; pos ends after the closing quote.
  std::optional<std::string> quoted(std::string_view s, std::size_t& pos) {
    std::string out;
    for (++pos; pos < s.size(); ++pos) {
      const char c = s[pos];
      if (c == '"') {
        ++pos;
        return out;
      }
      if (c == '\\' && pos + 1 < s.size() && (s[pos + 1] == '\\' || s[pos + 1] == '"')) ++pos;
      out += s[pos];
    }
    return std::nullopt;
  }

  bool valueLine(std::size_t& index, int lineNo) {
    const std::string_view line = Trim(lines_[index]);
    if (!current_) {
      return error(lineNo, insideRoot_ ? "a value follows a deleted key"
                                       : "a value must follow a key line such as [" +
                                             std::string(kSettingsRootHive) + "\\" +
                                             std::string(kSettingsRootPath) + "]");
    }
    std::string name;
    std::size_t pos = 0;
    if (line.front() == '@') {
      pos = 1;
    } else if (line.front() == '"') {
      auto n = quoted(line, pos);
      if (!n) return error(lineNo, "the value name has no closing double quote");
      name = std::move(*n);
    } else {
      return error(lineNo, "expected a key in [brackets], a value name in double quotes, or @");
    }
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    if (pos >= line.size() || line[pos] != '=')
      return error(lineNo, "expected \"=\" after the value name");
    std::string_view data = Trim(line.substr(pos + 1));

    SettingsChange change{SettingsChange::Kind::SetValue, *current_, name, {}};
    if (data == "-") {
      change.kind = SettingsChange::Kind::DeleteValue;
    } else if (!data.empty() && data.front() == '"') {
      std::size_t p = 0;
      auto text = quoted(data, p);
      if (!text) return error(lineNo, "the text has no closing double quote");
      if (!Trim(data.substr(p)).empty()) return error(lineNo, "unexpected characters after the text");
      change.value = SettingsValue::String(std::move(*text));
    } else if (StartsWithNoCase(data, "dword:")) {
      const std::string_view digits = data.substr(6);
      if (digits.empty() || digits.size() > 8) return error(lineNo, "\"dword:\" needs 1 to 8 hexadecimal digits");
      std::uint32_t v = 0;
      for (char c : digits) {
        const int d = HexDigit(c);
        if (d < 0) return error(lineNo, "\"dword:\" needs 1 to 8 hexadecimal digits");
        v = (v << 4) | static_cast<std::uint32_t>(d);
      }
      change.value = SettingsValue::Integer(static_cast<std::int32_t>(v));
    } else if (StartsWithNoCase(data, "hex")) {
      if (!hexValue(data, index, lineNo, change)) return false;
    } else {
      return error(lineNo, "the value must be \"text\", dword:, hex: or -");
    }
    result_.changes.push_back(std::move(change));
    return true;
  }

  bool hexValue(std::string_view data, std::size_t& index, int lineNo, SettingsChange& change) {
    int type = 3;
    std::size_t colon = data.find(':');
    if (colon == std::string_view::npos) return error(lineNo, "expected \":\" after hex");
    const std::string_view head = data.substr(0, colon);
    if (SameName(head, "hex")) {
      type = 3;
    } else if (head.size() > 5 && head[3] == '(' && head.back() == ')') {
      const std::string_view t = head.substr(4, head.size() - 5);
      type = 0;
      for (char c : t) {
        const int d = HexDigit(c);
        if (d < 0 || type > 0xffff) return error(lineNo, "the value type in hex(...) is not a number");
        type = type * 16 + d;
      }
    } else {
      return error(lineNo, "expected hex: or hex(type):");
    }
    // Join continuation lines (a trailing backslash) into one list.
    std::string list;
    std::string_view part = Trim(data.substr(colon + 1));
    while (!part.empty() && part.back() == '\\') {
      list.append(part.substr(0, part.size() - 1));
      if (++index >= lines_.size()) return error(lineNo, "the hex value continues past the end of the file");
      part = Trim(lines_[index]);
    }
    list.append(part);

    std::vector<std::uint8_t> bytes;
    std::string_view rest = list;
    while (!Trim(rest).empty()) {
      const std::size_t comma = rest.find(',');
      const std::string_view item = Trim(rest.substr(0, comma));
      if (item.empty() || item.size() > 2 || HexDigit(item[0]) < 0 ||
          (item.size() == 2 && HexDigit(item[1]) < 0))
        return error(lineNo, InQuotes(item.substr(0, 16)).append(" is not a hexadecimal byte"));
      bytes.push_back(static_cast<std::uint8_t>(
          item.size() == 1 ? HexDigit(item[0]) : HexDigit(item[0]) * 16 + HexDigit(item[1])));
      if (comma == std::string_view::npos) break;
      rest = rest.substr(comma + 1);
      if (Trim(rest).empty()) return error(lineNo, "the hex list ends with a comma");
    }
    switch (type) {
      case 1:  // text, and text with variables: the bytes end with one zero
      case 2: {
        if (!bytes.empty() && bytes.back() == 0) bytes.pop_back();
        change.value = SettingsValue::String(std::string(bytes.begin(), bytes.end()));
        return true;
      }
      case 3: change.value = SettingsValue::Binary(std::move(bytes)); return true;
      case 4: {
        if (bytes.size() != 4) return error(lineNo, "hex(4) needs exactly 4 bytes");
        const std::uint32_t v = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                (static_cast<std::uint32_t>(bytes[3]) << 24);
        change.value = SettingsValue::Integer(static_cast<std::int32_t>(v));
        return true;
      }
      default:
        return error(lineNo, std::string("values of type hex(").append(std::to_string(type)).append(
                                 ") are not used by Quirvane"));
    }
  }

  std::string_view label_;
  std::vector<std::string_view> lines_;
  RegistryImport result_;
  std::optional<std::string> current_;  // key the next values go to
  bool insideRoot_ = false;
};

}  // namespace

RegistryImport ParseRegistryText(std::string_view text, std::string_view label) {
  return Parser(text, label).run();
}

Status ImportRegistrySettings(SettingsTree& tree, const std::filesystem::path& file) {
  const ReadResult read = ReadWholeFile(file, kMaxImportBytes);
  if (!read.bytes) return Status::Failure("Cannot read \"" + file.string() + "\": " + read.error + ".");
  RegistryImport parsed = ParseRegistryText(*read.bytes, InQuotes(file.string()));
  if (!parsed.error.empty()) return Status::Failure(parsed.error + " Nothing was imported.");
  Status applied = tree.apply(parsed.changes);
  if (!applied) return Status::Failure(applied.error + " Nothing was imported.");
  return {};
}

}  // namespace qv
