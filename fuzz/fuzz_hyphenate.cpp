// A Hyphenator made from the input: minimums, patterns, exceptions, words.
// Layout: 2 bytes of minimums, then sections separated by 0xFF bytes. Each
// is built twice, with a function as its mapping and with a character table
// that maps the same, so that the table's fast paths (the fold, the UTF-8
// path, the exception filters) see fuzzed patterns and minimums too: both
// must cut every word alike.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "engine/utf8.hpp"
#include "hyph/char_table.hpp"
#include "hyph/error.hpp"
#include "hyph/hyphenator.hpp"

namespace {

char32_t lower(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; }

hyph::CharTable lowerTable() {
  std::vector<hyph::CharTable::Entry> entries;
  for (char32_t c = U'A'; c <= U'Z'; ++c) entries.emplace_back(c, c + 32);
  return hyph::CharTable(entries, {});
}

}  // namespace

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

  const hyph::Patterns patterns = hyph::parsePatterns(hyph::detail::decodeUtf8(sections[0]));
  const hyph::Exceptions exceptions = hyph::parseExceptions(hyph::detail::decodeUtf8(sections[1]));
  const hyph::Hyphenator byFunction(lower, patterns, exceptions, left, right);
  const hyph::Hyphenator byTable(lowerTable(), patterns, exceptions, left, right);
  std::string_view words = sections[2];
  while (!words.empty()) {
    const std::size_t end = std::min(words.find('\n'), words.size());
    const std::string_view word = words.substr(0, end);
    words.remove_prefix(std::min(end + 1, words.size()));
    bool failed = false;
    std::vector<std::size_t> expected;
    try {
      const std::vector<std::string> pieces = hyph::hyphenate(byFunction, word);
      std::string joined;
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (pieces[i].empty() && i + 1 < pieces.size()) std::abort();
        joined += pieces[i];
      }
      if (pieces.empty() || joined != word) std::abort();
      if (hyph::hyphenate(byFunction, hyph::detail::decodeUtf8(word)).size() != pieces.size())
        std::abort();
      expected = hyph::breakPoints(byFunction, word);
    } catch (const hyph::Error&) {
      if (left > 0) std::abort();  // only a non-positive left minimum meets an empty list
      failed = true;
    }
    try {
      // The table's UTF-8 path against the function's, and its code point
      // path against its UTF-8 path.
      const std::vector<std::size_t> direct = hyph::breakPoints(byTable, word);
      if (failed || direct != expected) std::abort();
      const std::u32string decoded = hyph::detail::decodeUtf8(word);
      if (hyph::breakPoints(byTable, std::u32string_view(decoded)).size() != direct.size())
        std::abort();
    } catch (const hyph::Error&) {
      if (!failed) std::abort();
    }
  }
  return 0;
}
