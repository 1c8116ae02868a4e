// The loader on another archive, for tests.
#pragma once

#include <span>

#include "catalogue/archive.hpp"
#include "hyph/language.hpp"

namespace hyph::detail {

HYPH_API Hyphenator loadHyphenator(Language language, std::span<const EmbeddedFile> archive);

}  // namespace hyph::detail
