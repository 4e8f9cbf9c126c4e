// Line transformations used by the editor's commands.
#include "editor/text_ops.h"

#include <algorithm>

namespace qv::textops {

std::string expandTabs(std::string_view line, int width) {
  width = std::max(width, 1);
  std::string out;
  out.reserve(line.size());
  for (char c : line) {
    if (c == '\t')
      out.append(static_cast<std::size_t>(width - static_cast<int>(out.size() % width)), ' ');
    else
      out.push_back(c);
  }
  return out;
}

std::string compressSpaces(std::string_view line, int width) {
  width = std::max(width, 1);
  std::string out;
  out.reserve(line.size());
  int col = 0;
  int blanks = 0;
  for (char c : line) {
    if (c == ' ') {
      ++blanks;
      ++col;
      if (col % width == 0) {
        out.push_back(blanks >= 2 ? '\t' : ' ');
        blanks = 0;
      }
    } else {
      out.append(static_cast<std::size_t>(blanks), ' ');
      blanks = 0;
      out.push_back(c);
      col = c == '\t' ? 0 : col + 1;
    }
  }
  out.append(static_cast<std::size_t>(blanks), ' ');
  return out;
}

std::string_view trimRight(std::string_view line) {
  std::size_t n = line.size();
  while (n > 0 && (line[n - 1] == ' ' || line[n - 1] == '\t')) --n;
  return line.substr(0, n);
}

int leadingBlanks(std::string_view line) {
  std::size_t n = 0;
  while (n < line.size() && (line[n] == ' ' || line[n] == '\t')) ++n;
  return static_cast<int>(n);
}

int displayColumn(std::string_view line, int col, int tabWidth) {
  tabWidth = std::max(tabWidth, 1);
  int d = 0;
  for (int i = 0; i < col; ++i)
    d += (i < static_cast<int>(line.size()) && line[i] == '\t') ? tabWidth - d % tabWidth : 1;
  return d;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    out.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size() || out.empty()) out.emplace_back(text.substr(start));
  return out;
}

std::string changeCase(std::string_view text, CaseChange how) {
  auto isUpper = [](char c) { return c >= 'A' && c <= 'Z'; };
  auto isLower = [](char c) { return c >= 'a' && c <= 'z'; };
  auto up = [&](char c) { return isLower(c) ? char(c - 'a' + 'A') : c; };
  auto low = [&](char c) { return isUpper(c) ? char(c - 'A' + 'a') : c; };
  std::string out(text);
  bool wordStart = true;
  for (char& c : out) {
    switch (how) {
      case CaseChange::Upper: c = up(c); break;
      case CaseChange::Lower: c = low(c); break;
      case CaseChange::Invert: c = isUpper(c) ? low(c) : up(c); break;
      case CaseChange::Title: {
        bool letter = isUpper(c) || isLower(c);
        c = wordStart ? up(c) : low(c);
        wordStart = !(letter || (c >= '0' && c <= '9') || c == '_' || static_cast<unsigned char>(c) >= 0x80);
        break;
      }
    }
  }
  return out;
}

}  // namespace qv::textops
