// Test helper: words made of the letters of a language's own patterns.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "hyph/language.hpp"

namespace hyph::testing {

/// About `count` words that hit the language's patterns: at places spread
/// over its pattern file, the letters of three consecutive patterns (digits
/// and dots removed) glued together.
inline std::vector<std::u32string> sampleWords(Language language, std::size_t count = 30) {
  const std::u32string text =
      readEmbeddedFile("hyph-" + std::string(languageAffix(language)) + ".pat.txt.gz");
  std::vector<std::u32string> letters;
  std::u32string current;
  for (char32_t c : text) {
    if (c == U'\n') {
      letters.push_back(current);
      current.clear();
    } else if (c != U'.' && (c < U'0' || c > U'9')) {
      current += c;
    }
  }
  std::vector<std::u32string> words;
  const std::size_t step = std::max<std::size_t>(1, letters.size() / count);
  for (std::size_t i = 0; i + 2 < letters.size(); i += step)
    words.push_back(letters[i] + letters[i + 1] + letters[i + 2]);
  return words;
}

}  // namespace hyph::testing
