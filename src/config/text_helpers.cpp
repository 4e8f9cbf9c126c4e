// Small text routines shared across the program.
#include "config/text_helpers.h"

#include <vector>

namespace qv {
namespace {

std::vector<std::string_view> SplitBars(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    std::size_t bar = text.find('|', start);
    parts.push_back(text.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return parts;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

std::string ExpandTabs(std::string_view line, int tabWidth) {
  const int w = tabWidth < 1 ? 1 : tabWidth;
  std::string out;
  out.reserve(line.size());
  int r = w;  // columns left to the next tab stop
  for (char c : line) {
    if (c == '\t') {
      out.append(static_cast<std::size_t>(r), ' ');
      r = w;
    } else {
      out += c;
      r = (r == 1) ? w : r - 1;
    }
  }
  return out;
}

std::string CompressSpaces(std::string_view line, int tabWidth) {
  const int w = tabWidth < 1 ? 1 : tabWidth;
  std::string out;
  out.reserve(line.size());
  int r = w;       // columns left to the next tab stop
  std::size_t p = 0;  // blanks seen but not yet written
  for (char c : line) {
    if (r == 0) {
      r = w;
      if (p > 0) out += (p == 1) ? ' ' : '\t';
      p = 0;
    }
    --r;
    if (c == ' ') {
      ++p;
      continue;
    }
    out.append(p, ' ');
    out += c;
    if (c == '\t') r = w;
    p = 0;
  }
  if (p > 0) {
    if (r == 0) out += (p == 1) ? ' ' : '\t';
    else out.append(p, ' ');
  }
  return out;
}

std::string AddQuotes(std::string_view text) {
  if (text.empty()) return {};
  std::string out;
  if (text.front() != '"') out += '"';
  out += text;
  if (text.back() != '"') out += '"';
  return out;
}

std::string RemoveQuotes(std::string_view text) {
  if (!text.empty() && text.front() == '"') text.remove_prefix(1);
  if (!text.empty() && text.back() == '"') text.remove_suffix(1);
  return std::string(text);
}

std::string DoubleAmpersands(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    out += c;
    if (c == '&') out += '&';
  }
  return out;
}

std::string FormatText(std::string_view format, std::initializer_list<std::string_view> args) {
  std::string out;
  out.reserve(format.size() + 32);
  auto next = args.begin();
  for (std::size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    char kind = format[i + 1];
    if (kind == 's' || kind == 'd') {
      if (next != args.end()) out += *next++;
      ++i;
    } else if (kind == '%') {
      out += '%';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

int FilterIndexOf(std::string_view filter, std::string_view defaultFilter) {
  std::vector<std::string_view> parts = SplitBars(filter);
  std::vector<std::string_view> wanted = SplitBars(defaultFilter);
  if (wanted.size() < 2) return 1;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    if (parts[i] == wanted[0] && parts[i + 1] == wanted[1]) return static_cast<int>(i / 2) + 1;
  return 1;
}

std::string FilterDefaultExt(std::string_view filter, int filterIndex) {
  std::vector<std::string_view> parts = SplitBars(filter);
  if (filterIndex < 1) return {};
  std::size_t patternAt = static_cast<std::size_t>(filterIndex) * 2 - 1;
  if (patternAt >= parts.size()) return {};
  std::string_view pattern = parts[patternAt];
  pattern = pattern.substr(0, pattern.find(';'));
  std::string ext;
  for (char c : pattern)
    if (c != '*' && c != '.') ext += c;
  return std::string(TrimBlanks(ext));
}

}  // namespace qv
