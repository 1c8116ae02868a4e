// A Hyphenator made from the input: minimums, patterns, exceptions, words.
// Layout: 2 bytes of minimums, then sections separated by 0xFF bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "hyph/hyphenator.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto left = static_cast<std::int64_t>(static_cast<std::int8_t>(data[0]));
  const auto right = static_cast<std::int64_t>(static_cast<std::int8_t>(data[1]));
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  std::vector<std::string_view> sections;
  for (std::size_t at; (at = rest.find('\xFF')) != std::string_view::npos;
       rest.remove_prefix(at + 1))
    sections.push_back(rest.substr(0, at));
  sections.push_back(rest);
  sections.resize(3);

  const hyph::Hyphenator h([](char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; },
                           hyph::parsePatterns(hyph::detail::decodeUtf8(sections[0])),
                           hyph::parseExceptions(hyph::detail::decodeUtf8(sections[1])), left,
                           right);
  std::string_view words = sections[2];
  while (!words.empty()) {
    const std::size_t end = std::min(words.find('\n'), words.size());
    const std::string_view word = words.substr(0, end);
    words.remove_prefix(std::min(end + 1, words.size()));
    try {
      const std::vector<std::string> pieces = hyph::hyphenate(h, word);
      std::string joined;
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].empty() && i + 1 < pieces.size()) std::abort();
        joined += pieces[i];
      }
      if (pieces.empty() || joined != word) std::abort();
      if (hyph::hyphenate(h, hyph::detail::decodeUtf8(word)).size() != pieces.size()) std::abort();
    } catch (const hyph::Error&) {
      if (left > 0) std::abort();  // only a non-positive left minimum meets an empty list
    }
  }
  return 0;
}
