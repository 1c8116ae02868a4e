// The languages whose data the library holds, and the tables compiled into
// it for each, as the build made them (HYPH_LANGUAGES, HYPH_PREBUILT_TABLES).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "hyph/language.hpp"

namespace hyph::detail {

/// The compiled block of the language's tables (tables_format.hpp), or an
/// empty span where the library was built to parse them on first use.
std::span<const std::uint8_t> compiledTables(Language language);

/// Whether the library holds the language's data: every language, unless it
/// was built with a list of them (HYPH_LANGUAGES).
bool holdsLanguage(Language language);

/// What using a language that the library does not hold throws.
std::string notBuiltInMessage(Language language);

}  // namespace hyph::detail
