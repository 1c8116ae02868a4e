// readDictionary of arbitrary bytes: a refusal is a hyph::Error; a
// dictionary it reads breaks words, its own text included, with breaks
// inside the word, and rewritings that lie inside it too.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "hyph/dictionary.hpp"
#include "hyph/error.hpp"
#include "hyph/text.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  hyph::Hyphenator h = hyph::english_US();
  try {
    h = hyph::readDictionary({"fuzz.dic", bytes});
  } catch (const hyph::Error&) {
    return 0;
  }
  // Words: slices of the input, as it is and as UTF-32.
  for (std::size_t start = 0; start < size; start += 13) {
    const std::string_view word = bytes.substr(start, 24);
    for (const hyph::Break& b : hyph::breaks(h, word)) {
      if (b.position == 0 || b.position >= word.size()) std::abort();
      if (b.start > b.position || b.end < b.position || b.end > word.size()) std::abort();
      const auto [first, second] = hyph::splitAt(word, b);
      if (!b.rewrites() && std::string(first) + second != word) std::abort();
    }
    (void)hyph::hyphenate(h, word);
    (void)hyph::wrap(h, word, 8);
    (void)hyph::hyphenateText(h, word, "-");
  }
  return 0;
}
