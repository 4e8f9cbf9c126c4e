// The editor's search-and-replace operation: find the next hit from the caret, replace it, or
// replace every hit in a range, using one of the find engines.
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "editor/editor.h"
#include "editor/search_engine.h"

namespace qv {

struct SearchReplaceOptions {
  bool matchCase = false;
  bool wholeWord = false;     // the regular-expression engine ignores it
  bool backwards = false;
  bool entireScope = false;   // start at the top (the end, backwards) instead of the caret
  bool selectedOnly = false;  // only inside the selection, when there is one
  bool replace = false;       // replace the next hit
  bool replaceAll = false;    // replace every hit in the range
  bool prompt = false;        // ask before each replacement
};

// The answer to "replace this hit?".
enum class ReplaceAction { Replace, Skip, ReplaceAll, Cancel };

// Asked with the hit selected in the editor; replacement is the text that would go in.
using ReplacePrompt = std::function<ReplaceAction(BufferCoord hitStart, BufferCoord hitEnd,
                                                  const std::string& replacement)>;

struct SearchReplaceResult {
  int count = 0;                     // hits found (1 or 0) or replacements made
  std::optional<std::string> error;  // a pattern that cannot be used, or a search that failed
};

// Searches from the caret toward the end (or, backwards, the start) of the text, or only inside
// the selection with selectedOnly; never wraps around. Each line is searched on its own.
// A find selects the hit with the caret at its end (forward) or start (backwards).
// Replacing inserts the engine's replacement (group references expanded by the
// regular-expression engine) and leaves the caret after the new text (forward) or before it.
// Replace all without prompting builds the new text in one pass and applies it as one edit, so a
// million replacements take seconds and undo in one step; with prompting, all replacements of the
// run still undo as one step. A read-only editor is searched but never changed.
SearchReplaceResult SearchReplace(Editor& editor, SearchEngine& engine, std::string_view search,
                                  std::string_view replaceWith, const SearchReplaceOptions& options,
                                  const ReplacePrompt& prompt = {});

}  // namespace qv
