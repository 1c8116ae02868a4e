// parseExceptions of arbitrary text, then lookups and the text form.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/utf8.hpp"
#include "hyph/exceptions.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u32string text =
      hyph::detail::decodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const hyph::Exceptions dictionary = hyph::parseExceptions(text);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(U'\n', start);
    if (end == std::u32string::npos) end = text.size();
    std::u32string key;
    for (char32_t c : std::u32string_view(text).substr(start, end - start))
      if (c != U'-') key += c;
    // Every line's word is a key (the last line only if the text has one).
    if ((end < text.size() || start < text.size()) && !hyph::lookupException(key, dictionary))
      std::abort();
    start = end + 1;
  }
  if (!((dictionary | dictionary) == dictionary)) std::abort();
  (void)hyph::show(dictionary);
  return 0;
}
