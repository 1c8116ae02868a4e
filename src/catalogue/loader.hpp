// The loader on another archive, for tests.
#pragma once

#include <span>

#include "catalogue/archive.hpp"
#include "hyph/language.hpp"

namespace hyph::detail {

Hyphenator loadHyphenator(Language language, std::span<const EmbeddedFile> archive);

/// Counters for tests: how often the shared Hyphenator of a language was
/// created, and how often each table of any loaded Hyphenator of the
/// language was built.
enum class Table { Chars, Patterns, Exceptions };
int sharedCreations(Language language);
int tableBuilds(Language language, Table table);

}  // namespace hyph::detail
