// The Object Pascal scanner, used on its own and for the code section of setup scripts.
#pragma once
#include <memory>
#include <span>

#include "highlight/languages/lexer_support.h"

namespace qv::lang {

// A new scanner; its kinds index PascalAttributes() and its ranges fit in 8 bits.
std::unique_ptr<Lexer> MakePascalLexer();
std::span<const AttrSpec> PascalAttributes();

}  // namespace qv::lang
