// The character file format: a language's letters, each line a letter
// followed by the code points that normalise to it.
#include <vector>

#include "engine/show.hpp"
#include "hyph/language.hpp"

namespace hyph {

CharTable parseChars(std::u32string_view text) {
  std::vector<CharTable::Entry> entries;
  std::vector<char32_t> letters;
  detail::forEachLine(text, [&](std::u32string_view line) {
    if (line.empty()) return;
    letters.push_back(line.front());
    for (char32_t variant : line.substr(1)) entries.emplace_back(variant, line.front());
  });
  return CharTable(entries, letters);
}

}  // namespace hyph
