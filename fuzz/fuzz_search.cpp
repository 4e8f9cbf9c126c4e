// Plain and regular-expression search and replace on random text and patterns: hits stay inside
// the text and never overlap, replace-all undoes to the original bytes and redoes to its result.
// fuzz-link: qv_editor
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "editor/search_replace.h"

namespace {
void check(bool ok) {
  if (!ok) std::abort();
}

bool inside(const qv::Editor& e, qv::BufferCoord c) {
  return c.Line >= 1 && c.Line <= e.lineCount() && c.Char >= 1 &&
         c.Char <= static_cast<int>(e.line(c.Line).size()) + 1;
}
}  // namespace

// Input: flags (1 byte), pattern length, replacement length (1 byte each), pattern, replacement,
// then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::uint8_t flags = data[0];
  std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
  const std::size_t patLen = std::min<std::size_t>(data[1] % 32, rest.size());
  const std::string_view pattern = rest.substr(0, patLen);
  rest.remove_prefix(patLen);
  const std::size_t repLen = std::min<std::size_t>(data[2] % 16, rest.size());
  const std::string_view replacement = rest.substr(0, repLen);
  const std::string_view text = rest.substr(repLen);

  const bool regex = flags & 1;
  auto engine = qv::MakeSearchEngine(regex);
  qv::SearchOptions so;
  so.matchCase = flags & 2;
  so.wholeWord = flags & 4;
  if (flags & 64) engine->setTextMode(qv::SearchTextMode::Bytes);
  if (engine->setPattern(pattern, so)) return 0;

  // Hits of the whole text: inside it, in order, not overlapping.
  std::size_t end = 0;
  bool first = true;
  std::optional<qv::SearchHit> firstHit;
  engine->findEach(text, 0, text.size(), [&](const qv::SearchHit& h) {
    check(h.position >= end && h.position + h.length <= text.size());
    if (first) firstHit = h;
    first = false;
    end = h.position + h.length;
    return true;
  });
  for (bool backwards : {false, true}) {
    auto h = engine->find(text, 0, text.size(), backwards);
    if (h) check(h->position + h->length <= text.size());
    if (!backwards && !engine->matchError()) check(h.has_value() == firstHit.has_value());
  }

  // Replace all in an editor, then undo and redo.
  qv::Editor e;
  e.loadBytes(text);
  const std::string before = e.lines().bytes();
  if (flags & 8) e.setSelection({1 + data[1] % 5, 1}, {1 + data[2] % 7, e.lineCount()});
  else e.setCaretXY({1 + data[2] % 5, 1 + data[1] % 3});
  qv::SearchReplaceOptions ro;
  ro.matchCase = so.matchCase;
  ro.wholeWord = so.wholeWord;
  ro.backwards = flags & 16;
  ro.entireScope = flags & 32;
  ro.selectedOnly = flags & 8;
  ro.replaceAll = !(flags & 128);
  ro.replace = true;
  auto engine2 = qv::MakeSearchEngine(regex);
  const qv::SearchReplaceResult r = qv::SearchReplace(e, *engine2, pattern, replacement, ro);
  check(r.count >= 0);
  check(inside(e, e.caretXY()) && inside(e, e.blockBegin()) && inside(e, e.blockEnd()));
  const std::string after = e.lines().bytes();
  if (r.count == 0) check(after == before);
  while (e.canUndo()) e.undo();
  check(e.lines().bytes() == before);
  while (e.canRedo()) e.redo();
  check(e.lines().bytes() == after);
  return 0;
}
