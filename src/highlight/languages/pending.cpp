// Languages whose tokeniser is not written yet fall back to plain text.
#include "highlight/languages/languages.h"

namespace qv::lang {











std::unique_ptr<Highlighter> MakeInnoSetupHighlighter() { return MakeTextHighlighter(); }


}  // namespace qv::lang
