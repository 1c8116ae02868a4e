// Assembling a Hyphenator's WordTables: the trie, the exception table, and
// what is worked out from them and the mapping (the fold, the filter, the
// boundary's code).
#include "word_tables.hpp"

#include <algorithm>
#include <vector>

#include "char_table_access.hpp"
#include "sorted_pairs.hpp"
#include "trie/patterns_access.hpp"

namespace hyph::detail {

SymbolCode FoldView::outsideCode(char32_t c) const {
  return static_cast<SymbolCode>(valueOfPair(outside, c));
}

TriePart TriePart::of(const Deferred<Patterns>& patterns) {
  TriePart part;
  try {
    const FlatView flat = flatOf(patterns.get());
    const FlatTrie& trie = *flat.trie;
    part.letters = trie.letters;
    part.symbols = &trie.symbols;
    if (flat.root == 0 && trie.automaton) {
      part.trie = trie.view();
      part.automaton = true;
    } else {
      part.walk = flat;
    }
    // The value holds the flat form; the tables hold the value.
    part.owner = std::make_shared<const Patterns>(patterns.get());
  } catch (...) {
    part.error = std::current_exception();
  }
  return part;
}

TriePart TriePart::of(const std::shared_ptr<const WordTables>& tables) {
  TriePart part;
  part.trie = tables->trie;
  part.automaton = tables->automaton;
  part.walk = tables->walk;
  part.letters = tables->trie.letters;
  part.error = tables->patternsError;
  part.owner = tables;
  if (tables->walk.trie) {
    part.letters = tables->walk.trie->letters;
    part.symbols = &tables->walk.trie->symbols;
  }
  return part;
}

ExceptionsPart ExceptionsPart::of(const Exceptions& exceptions) {
  auto table = std::make_shared<const ExceptionTable>(exceptions);
  return {table->view(), table};
}

ExceptionsPart ExceptionsPart::of(const std::shared_ptr<const WordTables>& tables) {
  return {tables->exceptions, tables};
}

namespace {

/// What a WordTables assembled at run time owns beyond its parts.
struct Assembled {
  std::shared_ptr<const void> trie, exceptions;
  PageTableBuilder<SymbolCode> alphabet;  // when the trie's own map is not at hand
  PageTableBuilder<SymbolCode> fold;
  std::vector<std::uint64_t> foldOutside;
  std::vector<std::uint64_t> filter;
};

}  // namespace

std::shared_ptr<const WordTables> assembleWordTables(std::optional<CharTable> chars,
                                                     const CharMapping* mapping, TriePart trie,
                                                     ExceptionsPart exceptions,
                                                     std::shared_ptr<const CompoundLevel> levels) {
  auto owned = std::make_shared<Assembled>();
  owned->trie = trie.owner;
  owned->exceptions = exceptions.owner;
  auto tables = std::make_shared<WordTables>();
  tables->chars = std::move(chars);
  tables->mapping = mapping;
  tables->trie = trie.trie;
  tables->automaton = trie.automaton;
  tables->walk = trie.walk;
  tables->patternsError = trie.error;
  tables->exceptions = exceptions.table;
  tables->levels = std::move(levels);
  tables->offRoad = tables->levels || tables->patternsError;

  // Where the patterns failed to build, their alphabet is empty: every
  // letter's code is then kNoSymbol, and the filter still never says no to
  // an exception.
  PageTableView<SymbolCode> alphabet;
  if (trie.symbols) {
    alphabet = *trie.symbols;
  } else {
    for (std::size_t symbol = 0; symbol < trie.letters.size(); ++symbol)
      owned->alphabet.cell(trie.letters[symbol]) = static_cast<SymbolCode>(symbol + 1);
    alphabet = owned->alphabet.view();
  }
  tables->alphabet = alphabet;
  tables->boundary = alphabet[U'.'];
  if (tables->chars) {
    // The fold covers every page of the table and of the alphabet (and
    // the first, which the road from UTF-8 reads for every ASCII letter).
    const CharTable& table = *tables->chars;
    auto addPage = [&](std::size_t page) {
      const std::size_t offset = owned->fold.offsetOf(page);
      for (char32_t low = 0; low < 256; ++low)
        owned->fold.data()[offset + low] = alphabet[table(static_cast<char32_t>(page << 8) | low)];
    };
    addPage(0);
    table.forEachPage(addPage);
    alphabet.forEachPage([&](std::size_t page) {
      if (page <= 0x10FF) addPage(page);
    });
    // Code points past U+10FFFF, which only text made by hand holds.
    std::vector<char32_t> beyond;
    const std::span<const std::uint64_t> outside = CharTableAccess::outside(table);
    for (std::size_t i = 0; i < outside.size(); i += 2)
      beyond.push_back(static_cast<char32_t>(outside[i]));
    for (char32_t letter : trie.letters)
      if (letter > 0x10FFFF) beyond.push_back(letter);
    std::sort(beyond.begin(), beyond.end());
    beyond.erase(std::unique(beyond.begin(), beyond.end()), beyond.end());
    for (char32_t c : beyond) {
      owned->foldOutside.push_back(c);
      owned->foldOutside.push_back(alphabet[table(c)]);
    }
    tables->fold = {owned->fold.view(), owned->foldOutside};
  }
  if (!exceptions.table.empty()) {
    owned->filter = ExceptionFilter::of(exceptions.table, [&](char32_t c) { return alphabet[c]; });
    tables->filter = owned->filter;
  }
  tables->owner = std::move(owned);
  return tables;
}

}  // namespace hyph::detail
