// Gathering a word's lookups: the fold of a character table with a trie's
// alphabet, and the exception filters.
#include "word_tables.hpp"

#include "trie/patterns_access.hpp"

namespace hyph::detail {

SymbolFold::SymbolFold(const CharTable& chars, const FlatTrie& trie) {
  auto addPage = [&](std::size_t page) {
    if (codes.page(page)) return;
    const std::size_t offset = codes.offsetOf(page);
    SymbolCode* cells = codes.data() + offset;
    for (char32_t low = 0; low < 256; ++low)
      cells[low] = trie.symbolOf(chars(static_cast<char32_t>(page << 8) | low));
  };
  addPage(0);
  chars.forEachPage(addPage);
  trie.symbols.forEachPage(addPage);
}

WordTables::WordTables(const CharTable& chars, const Exceptions& exceptions,
                 const Deferred<Patterns>& patterns)
    : chars(&chars),
      exceptions(exceptions.map().empty() ? nullptr : &exceptions),
      filter(exceptions) {
  try {
    this->patterns = flatOf(patterns.get());
    const FlatTrie& trie = *this->patterns.trie;
    fold.emplace(chars, trie);
    symbolFilter.emplace(exceptions, [&trie](char32_t c) { return trie.symbolOf(c); });
    boundary = trie.symbolOf(U'.');
  } catch (...) {
    patternsError = std::current_exception();
  }
}

}  // namespace hyph::detail
