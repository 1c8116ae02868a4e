// parsePatterns of arbitrary text, then lookups, merges and the text form.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string_view>

#include "engine/utf8.hpp"
#include "hyph/pattern.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::u32string text =
      hyph::detail::decodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
  const hyph::Patterns trie = hyph::parsePatterns(text);
  // The parsed trie is looked up through its automaton; the same trie
  // rebuilt from its root's children, through a walk from every position.
  // Both give the same scores.
  std::map<char32_t, hyph::Patterns> children;
  for (const auto& [letter, child] : trie.children()) children.emplace(letter, child);
  const hyph::Patterns walked(trie.scores(), children);
  // Linked nodes over the flat trie, merged.
  const hyph::Patterns linked = hyph::insertPattern(U"", trie) | trie;
  for (std::size_t start = 0; start < text.size(); start += 7) {
    const std::u32string_view word = std::u32string_view(text).substr(start, 12);
    const hyph::Scores scores = hyph::lookupPattern(word, trie);
    if (scores.size() + 1 < word.size())
      std::abort();  // at least n - 1 entries (n with "." padding)
    if (hyph::lookupPattern(word, walked) != scores) std::abort();
    (void)hyph::lookupPattern(word, linked);
  }
  if (text.size() < 4096 && hyph::show(trie).empty()) std::abort();
  return 0;
}
