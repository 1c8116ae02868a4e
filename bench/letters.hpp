// Benchmark helper: a word of a language's own letters, which reaches its
// tables, taken from its character table alone (no file of the language is
// read).
#pragma once

#include <string>

#include "hyph/hyph.hpp"

namespace bench {

/// Twelve of the language's letters, each its own normal form.
inline std::u32string lettersOf(hyph::Language language) {
  const hyph::CharTable& table = *hyph::hyphenatorCharTable(hyph::languageHyphenator(language));
  std::u32string word;
  table.forEachPage([&](std::size_t page) {
    for (char32_t c = static_cast<char32_t>(page << 8); c < ((page + 1) << 8) && word.size() < 12;
         ++c)
      if (table.isLetter(c) && table(c) == c) word += c;
  });
  return word;
}

}  // namespace bench
