// Writing WordTables as a block of fixed-width integers, and viewing one in
// place, checked unless it is trusted.
#include "tables_format.hpp"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

#include "char_table_access.hpp"
#include "first_use.hpp"
#include "hyph/error.hpp"
#include "trie/slot_allocator.hpp"
#include "utf8.hpp"

namespace hyph::detail {

namespace {

// The sections, in the order of the directory, and the size of an element
// of each.
enum Section : std::uint32_t {
  kSlots,
  kRows,
  kWindows,
  kReaches,
  kRootScores,
  kLetters,
  kMergedStarts,
  kMergedRuns,
  kDepths,
  kFoldSlots,
  kFoldCells,
  kFoldOutside,
  kCharSlots,
  kCharCells,
  kCharOutside,
  kFilter,
  kExceptionSlots,
  kExceptionEntries,
  kExceptionKeys,
  kExceptionParities,
  // The packed form's trie, in place of the sections above that hold it.
  kPackedShape,
  kPackedBases,
  kPackedDigits,
  // The packed form's alphabet, character table and exceptions, of which
  // the reader works out the fold, the filter and the exception table.
  kPackedLetters,
  kPackedChars,
  kPackedExceptions,
  kSections
};
constexpr std::size_t kElementSize[kSections] = {8, 8, 1, 1, 1, 4, 4, 4, 4, 4, 4, 8, 4,
                                                 4, 8, 8, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1};

// The directory: magic, version, flags, symbols, reach, boundary, then an
// offset and a count a section.
constexpr std::size_t kFixedWords = 6;
constexpr std::size_t kDirectoryBytes = (kFixedWords + 2 * kSections) * 4;
constexpr std::uint32_t kWide = 1, kMerged = 2, kNarrowWindows = 4;
// A packed block's flags: the trie's matching rule.
constexpr std::uint32_t kLongestMatch = 1;

std::size_t roundUp(std::size_t bytes) { return (bytes + 7) & ~std::size_t{7}; }

/// The bytes of a block as a machine of one byte order holds them.
class Writer {
 public:
  explicit Writer(std::endian order) : order_(order), bytes_(roundUp(kDirectoryBytes), 0) {}

  void word(std::size_t index, std::uint32_t value) { put(index * 4, value, 4); }

  template <class T>
  void section(Section section, std::span<const T> elements) {
    static_assert(std::is_integral_v<T>);
    const std::size_t size = kElementSize[section];
    const std::size_t at = bytes_.size();
    word(kFixedWords + 2 * section, static_cast<std::uint32_t>(at));
    word(kFixedWords + 2 * section + 1, static_cast<std::uint32_t>(elements.size()));
    bytes_.resize(roundUp(at + elements.size() * size), 0);
    for (std::size_t i = 0; i < elements.size(); ++i)
      put(at + i * size, static_cast<std::uint64_t>(elements[i]), size);
  }

  std::vector<std::uint8_t> take() {
    if (bytes_.size() > 0xFFFFFFFFu) throw Error("hyphenation tables of more than 4 GiB");
    return std::move(bytes_);
  }

 private:
  void put(std::size_t at, std::uint64_t value, std::size_t size) {
    for (std::size_t k = 0; k < size; ++k) {
      const std::size_t shift = order_ == std::endian::little ? 8 * k : 8 * (size - 1 - k);
      bytes_[at + k] = static_cast<std::uint8_t>(value >> shift);
    }
  }

  std::endian order_;
  std::vector<std::uint8_t> bytes_;
};

template <class T>
std::span<const T> spanOf(const std::vector<T>& v) {
  return v;
}

/// The sections beside the trie: the mapping, its fold with the alphabet,
/// the exceptions and their filter; `firstLookup` writes what else a first
/// lookup reads, after the few of these that it reads too.
template <class FirstLookup>
void writeBesideTrie(Writer& out, const WordTables& tables, FirstLookup firstLookup) {
  const CharTableAccess::Cells& cells = CharTableAccess::cells(*tables.chars);
  std::vector<std::uint32_t> keys(tables.exceptions.keys.begin(), tables.exceptions.keys.end());
  out.section(kFoldSlots, tables.fold.pages.slots);
  out.section(kFoldCells, tables.fold.pages.cells);
  out.section(kFoldOutside, tables.fold.outside);
  out.section(kFilter, tables.filter);
  out.section(kExceptionSlots, tables.exceptions.slots);
  firstLookup();
  out.section(kCharSlots, cells.slots);
  out.section(kCharCells, cells.cells);
  out.section(kCharOutside, CharTableAccess::outside(*tables.chars));
  out.section(kExceptionEntries, tables.exceptions.entries);
  out.section(kExceptionKeys, spanOf(keys));
  out.section(kExceptionParities, tables.exceptions.parities);
}

}  // namespace

std::vector<std::uint8_t> compileWordTables(const WordTables& tables, std::endian order) {
  if (!tables.chars)
    throw Error("hyphenation tables: a mapping that is a function cannot be compiled");
  if (tables.patternsError) std::rethrow_exception(tables.patternsError);
  if (!tables.automaton)
    throw Error("hyphenation tables: patterns without an automaton cannot be compiled");
  const TrieView& trie = tables.trie;
  Writer out(order);
  out.word(0, kTablesMagic);
  out.word(1, kTablesVersion);
  out.word(2, (trie.wide ? kWide : 0) | (trie.scoring == TrieView::Scoring::Merged ? kMerged : 0) |
                  (trie.window == 16 ? kNarrowWindows : 0));
  out.word(3, trie.symbolCount);
  out.word(4, trie.reach);
  out.word(5, tables.boundary);
  // The small sections that a first lookup reads come first, beside the
  // directory, and the slots, the largest, last: the pages that a fresh
  // process must fault in for its first word are then few.
  writeBesideTrie(out, tables, [&] {
    out.section(kRootScores, trie.rootScores);
    out.section(kReaches, trie.reaches);
    out.section(kWindows, trie.windows);
  });
  std::vector<std::uint32_t> letters(trie.letters.begin(), trie.letters.end());
  out.section(kLetters, spanOf(letters));
  out.section(kMergedStarts, trie.mergedStarts);
  out.section(kMergedRuns, trie.mergedRuns);
  out.section(kDepths, trie.depths);
  out.section(kRows, trie.rows);
  out.section(kSlots, trie.slots);
  return out.take();
}

namespace {

std::uint32_t swapped(std::uint32_t v) {
  return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

[[noreturn]] void damaged(const std::string& why) {
  throw Error("Damaged hyphenation tables: " + why);
}

/// Reads a block's directory and sections, checking them where asked.
class Reader {
 public:
  Reader(std::span<const std::uint8_t> block, bool check, std::uint32_t expected = kTablesMagic)
      : block_(block), check_(check) {
    if (check_) {
      if (reinterpret_cast<std::uintptr_t>(block.data()) % 8 != 0)
        damaged("the block does not start on a multiple of 8 bytes");
      if (block.size() < kDirectoryBytes) damaged("shorter than its directory");
      std::uint32_t magic;
      std::memcpy(&magic, block.data(), 4);
      if (magic != expected)
        damaged(swapped(magic) == expected ? "written for the other byte order"
                                           : "not hyphenation tables");
      if (word(1) != kTablesVersion)
        damaged("version " + std::to_string(word(1)) + ", not " + std::to_string(kTablesVersion));
    }
  }

  std::uint32_t word(std::size_t index) const {
    std::uint32_t value;
    std::memcpy(&value, block_.data() + 4 * index, 4);
    return value;
  }

  template <class T>
  std::span<const T> section(Section section) const {
    const std::size_t at = word(kFixedWords + 2 * section);
    const std::size_t count = word(kFixedWords + 2 * section + 1);
    if (check_ && (sizeof(T) != kElementSize[section] || at % 8 != 0 || at > block_.size() ||
                   count > (block_.size() - at) / sizeof(T)))
      damaged("section " + std::to_string(section) + " lies outside the block");
    return {reinterpret_cast<const T*>(block_.data() + at), count};
  }

 private:
  std::span<const std::uint8_t> block_;
  bool check_;
};

inline void require(bool holds, const char* what) {
  if (!holds) [[unlikely]]
    damaged(what);
}

template <class T>
void checkPageTable(const PageTableView<T>& table) {
  const std::size_t pages = table.cells.size() / 256;
  require(table.cells.size() % 256 == 0, "a page table with a part of a page");
  for (std::uint32_t slot : table.slots)
    require(slot == PageTableView<T>::kAbsentPage || slot < pages,
            "a page table's page is missing");
}

/// Checks that every step of every lookup stays inside the arrays.
template <class Slot>
void checkTrie(const TrieView& trie) {
  const std::size_t words = Slot::kWords;
  require(trie.slots.size() % words == 0 && !trie.slots.empty(), "no slots");
  const std::size_t slots = trie.slots.size() / words;
  const std::size_t symbols = trie.symbolCount;
  require(trie.letters.size() == symbols, "the alphabet's size");
  require(symbols <= Slot::kMaxSymbols, "too many symbols for the slots");
  require(trie.rows.size() % (symbols * words) == 0 && !trie.rows.empty(),
          "rows of part of an alphabet");
  const std::size_t rows = trie.rows.size() / (symbols * words);
  const bool windows = trie.scoring == TrieView::Scoring::Windows;
  const std::size_t outputs = windows ? trie.windows.size() / trie.window : slots + 1;
  if (windows) {
    require(trie.windows.size() % trie.window == 0 && outputs >= 1 &&
                trie.reaches.size() == outputs && trie.reach == 1,
            "windows of part of a window");
    for (std::uint8_t reach : trie.reaches) require(reach <= 1, "a window that reaches too far");
  } else {
    require(trie.mergedStarts.size() == slots + 1 && trie.depths.size() == slots,
            "merged lists of another size");
    std::uint64_t reach = 1;
    for (std::size_t v = 0; v < slots; ++v) {
      require(trie.mergedStarts[v] <= trie.mergedStarts[v + 1] &&
                  std::size_t{trie.mergedStarts[v + 1]} * 3 <= trie.mergedRuns.size(),
              "merged runs out of order");
      for (std::uint32_t r = trie.mergedStarts[v]; r < trie.mergedStarts[v + 1]; ++r) {
        const std::uint32_t* run = trie.mergedRuns.data() + 3 * std::size_t{r};
        const std::uint64_t end = std::uint64_t{run[0]} + run[1];
        if (end > trie.depths[v]) reach = std::max(reach, end - trie.depths[v]);
      }
    }
    // The lookup makes room for this much past the word.
    require(trie.reach == reach, "the reach is not what the merged lists reach");
  }
  auto checkSlot = [&](const std::uint64_t* slot) {
    require(std::size_t{Slot::base(slot)} + symbols < slots, "a base past the slots");
    require(Slot::output(slot) < outputs, "an output past the outputs");
    const std::uint32_t link = Slot::link(slot);
    if (link & Slot::kRowFlag)
      require((link & ~Slot::kRowFlag) < rows, "a link past the rows");
    else
      require(link < slots, "a link past the slots");
    if (!windows && Slot::output(slot) != 0) {
      const std::uint32_t u = Slot::output(slot) - 1;
      // A state's list starts at most its depth before the current gap; a
      // run reaches at most `reach` past it.
      for (std::uint32_t r = trie.mergedStarts[u]; r < trie.mergedStarts[u + 1]; ++r) {
        const std::uint32_t* run = trie.mergedRuns.data() + 3 * std::size_t{r};
        require(std::uint64_t{run[0]} + run[1] <= std::uint64_t{trie.depths[u]} + trie.reach,
                "a merged run past the reach");
        require(run[2] <= 9 || run[2] == 0, "a merged score past 9");
      }
    }
  };
  for (std::size_t v = 0; v < slots; ++v) checkSlot(trie.slots.data() + v * words);
  for (std::size_t r = 0; r < rows * symbols; ++r) checkSlot(trie.rows.data() + r * words);
  // Links without a row must end at one, or a step would never end.
  std::vector<std::uint8_t> state(slots, 0);  // 0: not seen, 1: on the path, 2: ends at a row
  std::vector<std::uint32_t> path;
  for (std::size_t v = 0; v < slots; ++v) {
    for (std::uint32_t at = static_cast<std::uint32_t>(v); state[at] != 2;) {
      require(state[at] == 0, "links that go round in a circle");
      state[at] = 1;
      path.push_back(at);
      const std::uint32_t link = Slot::link(trie.slots.data() + std::size_t{at} * words);
      if (link & Slot::kRowFlag) break;
      at = link;
    }
    for (std::uint32_t at : path) state[at] = 2;
    path.clear();
  }
}

/// The sections beside the trie: the mapping, its fold with the alphabet,
/// the exceptions and their filter.
HYPH_FIRST_USE void readBesideTrie(const Reader& in, WordTables& tables) {
  tables.fold = {{in.section<std::uint32_t>(kFoldSlots), in.section<SymbolCode>(kFoldCells)},
                 in.section<std::uint64_t>(kFoldOutside)};
  const CharTableAccess::Cells cells{in.section<std::uint32_t>(kCharSlots),
                                     in.section<std::uint32_t>(kCharCells)};
  tables.chars = CharTableAccess::over(cells, in.section<std::uint64_t>(kCharOutside), nullptr);
  tables.filter = in.section<std::uint64_t>(kFilter);
  tables.exceptions = {
      in.section<std::uint32_t>(kExceptionSlots), in.section<std::uint32_t>(kExceptionEntries),
      in.section<char32_t>(kExceptionKeys), in.section<std::uint8_t>(kExceptionParities)};
}

void checkExceptions(const ExceptionTableView& ex) {
  require(ex.entries.size() % 4 == 0, "exception entries of part of an entry");
  require(ex.empty() == ex.slots.empty() && std::has_single_bit(ex.slots.size() | !ex.slots.size()),
          "an exception table of another size");
  for (std::uint32_t slot : ex.slots)
    require(slot <= ex.size(), "an exception slot past the entries");
  require(ex.slots.empty() || std::find(ex.slots.begin(), ex.slots.end(), 0u) != ex.slots.end(),
          "an exception table without a free slot");
  for (std::size_t i = 0; i < ex.size(); ++i) {
    const std::uint32_t* e = ex.entries.data() + 4 * i;
    require(std::uint64_t{e[0]} + e[1] <= ex.keys.size() &&
                std::uint64_t{e[2]} + e[3] <= ex.parities.size(),
            "an exception entry past its keys or scores");
  }
}

void checkBesideTrie(const Reader& in, const WordTables& tables) {
  const std::uint32_t symbols = tables.trie.symbolCount;
  require(tables.boundary <= symbols, "the boundary's code past the alphabet");
  checkPageTable(tables.fold.pages);
  require(tables.fold.pages.page(0) != nullptr, "the fold without its first page");
  for (SymbolCode code : tables.fold.pages.cells)
    require(code <= symbols, "a folded code past the alphabet");
  require(tables.fold.outside.size() % 2 == 0, "the fold's list of odd length");
  for (std::size_t i = 1; i < tables.fold.outside.size(); i += 2)
    require(tables.fold.outside[i] <= symbols, "a folded code past the alphabet");
  checkPageTable(CharTableAccess::Cells{in.section<std::uint32_t>(kCharSlots),
                                        in.section<std::uint32_t>(kCharCells)});
  require(tables.filter.empty() || tables.filter.size() == ExceptionFilter::kWords,
          "an exception filter of another size");
  checkExceptions(tables.exceptions);
}

}  // namespace

std::uint64_t tablesDigest(std::span<const std::uint8_t> tables) {
  // Each 64-bit word (little-endian, the last one padded with zeros) mixed
  // into the state by a bijection, then the state's bits spread.
  constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15u;
  auto mix = [](std::uint64_t digest, std::uint64_t word) {
    return std::rotl(digest ^ word, 31) * kOdd;
  };
  std::uint64_t digest = kOdd ^ tables.size();
  const std::size_t whole = tables.size() / 8 * 8;
  for (std::size_t i = 0; i < whole; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, tables.data() + i, 8);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    digest = mix(digest, word);
  }
  if (whole < tables.size()) {
    std::uint64_t word = 0;
    for (std::size_t k = whole; k < tables.size(); ++k)
      word |= std::uint64_t{tables[k]} << (8 * (k - whole));
    digest = mix(digest, word);
  }
  digest ^= digest >> 33;
  digest *= 0xFF51AFD7ED558CCDu;
  digest ^= digest >> 33;
  return digest;
}

HYPH_FIRST_USE WordTables viewWordTables(std::span<const std::uint8_t> block, Trust trust) {
  const bool check = trust == Trust::Checked;
  const Reader in(block, check);
  const std::uint32_t flags = in.word(2);
  WordTables tables;
  TrieView& trie = tables.trie;
  trie.wide = (flags & kWide) != 0;
  if (!kWideSlots && trie.wide) refuseWideSlots();
  trie.scoring = (flags & kMerged) ? TrieView::Scoring::Merged : TrieView::Scoring::Windows;
  if (trie.scoring == TrieView::Scoring::Windows) trie.window = (flags & kNarrowWindows) ? 16 : 32;
  trie.symbolCount = in.word(3);
  trie.reach = in.word(4);
  tables.boundary = in.word(5);
  trie.slots = in.section<std::uint64_t>(kSlots);
  trie.rows = in.section<std::uint64_t>(kRows);
  trie.windows = in.section<std::uint8_t>(kWindows);
  trie.reaches = in.section<std::uint8_t>(kReaches);
  trie.rootScores = in.section<std::uint8_t>(kRootScores);
  trie.letters = in.section<char32_t>(kLetters);
  trie.mergedStarts = in.section<std::uint32_t>(kMergedStarts);
  trie.mergedRuns = in.section<std::uint32_t>(kMergedRuns);
  trie.depths = in.section<std::uint32_t>(kDepths);
  tables.automaton = true;
  readBesideTrie(in, tables);
  if (check) {
    require(trie.symbolCount > 0, "no symbols");
    if (!trie.wide)
      checkTrie<CompactSlot>(trie);
    else if constexpr (kWideSlots)
      checkTrie<WideSlot>(trie);
    checkBesideTrie(in, tables);
  }
  return tables;
}

namespace {

void putNumber(std::vector<std::uint8_t>& out, std::uint64_t n) {
  for (; n >= 0x80; n >>= 7) out.push_back(static_cast<std::uint8_t>(n | 0x80));
  out.push_back(static_cast<std::uint8_t>(n));
}

/// The numbers of a packed stream, seven bits a byte, low bits first.
class Numbers {
 public:
  explicit Numbers(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::uint32_t next() {
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
      require(at_ < bytes_.size(), "a packed stream that ends early");
      require(shift < 35, "a packed number of more than 32 bits");
      const std::uint8_t byte = bytes_[at_++];
      value |= std::uint64_t{byte & 0x7Fu} << shift;
      if (byte < 0x80) break;
    }
    require(value <= 0xFFFFFFFFu, "a packed number of more than 32 bits");
    return static_cast<std::uint32_t>(value);
  }
  bool done() const { return at_ == bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

std::uint64_t zigzag(std::int64_t n) {
  return n < 0 ? (static_cast<std::uint64_t>(-(n + 1)) << 1) | 1 : static_cast<std::uint64_t>(n) << 1;
}
std::int64_t unzigzag(std::uint32_t n) {
  return (n & 1) ? -static_cast<std::int64_t>(n >> 1) - 1 : static_cast<std::int64_t>(n >> 1);
}

/// A character table as its cells in the order of their code points: for
/// each, the step from the one before, then 0 for a letter or 1 for an entry
/// and its value's distance from the code point (zigzag, in 32 bits).
std::vector<std::uint8_t> packChars(const CharTable& table) {
  std::map<char32_t, bool> cells;  // code point -> has an entry
  table.forEachPage([&](std::size_t page) {
    for (char32_t low = 0; low < 256; ++low) {
      const auto c = static_cast<char32_t>(page << 8 | low);
      if (table.hasEntry(c) || table.isLetter(c)) cells.emplace(c, table.hasEntry(c));
    }
  });
  const std::span<const std::uint64_t> outside = CharTableAccess::outside(table);
  for (std::size_t i = 0; i < outside.size(); i += 2) {
    const auto c = static_cast<char32_t>(outside[i]);
    cells.emplace(c, table.hasEntry(c));
  }
  std::vector<std::uint8_t> out;
  char32_t previous = 0;
  for (const auto& [c, entry] : cells) {
    if (!table.isLetter(c))
      throw Error(
          "hyphenation tables: a character table's entry that is not a letter cannot be packed");
    putNumber(out, c - previous);
    previous = c;
    putNumber(out, entry ? 1 : 0);
    if (entry) {
      const auto distance = static_cast<std::int32_t>(static_cast<std::uint32_t>(table(c) - c));
      putNumber(out, zigzag(distance));
    }
  }
  return out;
}

CharTable unpackChars(std::span<const std::uint8_t> bytes) {
  std::vector<std::pair<char32_t, std::uint64_t>> cells;
  Numbers in(bytes);
  char32_t c = 0;
  while (!in.done()) {
    const std::uint32_t step = in.next();
    require(cells.empty() || (step > 0 && step <= 0xFFFFFFFFu - c), "characters out of order");
    c += step;
    const std::uint32_t kind = in.next();
    require(kind <= 1, "a character of no kind");
    std::uint64_t cell = CharTableAccess::kLetter;
    if (kind == 1) {
      const auto distance = static_cast<std::uint32_t>(unzigzag(in.next()));
      cell |= CharTableAccess::kHasEntry | static_cast<char32_t>(c + distance);
    }
    cells.emplace_back(c, cell);
  }
  return CharTableAccess::ofCells(cells);
}

/// An exception table's words, in its order, as an exception file gives
/// them: UTF-8, a hyphen where a score is odd (before a letter, or after the
/// last), a line each. Only the packer writes them, so a word that holds a
/// hyphen or a line's end, or a code point that is not a scalar value,
/// cannot be packed.
std::vector<std::uint8_t> packExceptions(const ExceptionTableView& table) {
  std::string text;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::u32string_view word = table.key(i);
    const auto parities = *table.find(word);
    if (word.empty() || parities.size() != word.size() + 1)
      throw Error(
          "hyphenation tables: an exception whose scores are not its letters' and one "
          "more cannot be packed");
    for (std::size_t at = 0; at < word.size(); ++at) {
      const char32_t c = word[at];
      if (c == U'-' || c == U'\n' || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        throw Error(
            "hyphenation tables: an exception of a hyphen, a line's end or no scalar "
            "value cannot be packed");
      if (parities[at]) text += '-';
      appendUtf8(text, c);
    }
    if (parities[word.size()]) text += '-';
    text += '\n';
  }
  return {text.begin(), text.end()};
}

Exceptions unpackExceptions(std::span<const std::uint8_t> bytes) {
  Exceptions::Map words;
  std::u32string word;
  Scores scores;
  bool odd = false;  // a hyphen before the next letter
  decodeUtf8({reinterpret_cast<const char*>(bytes.data()), bytes.size()},
             [&](char32_t c, std::size_t, std::size_t) {
               if (c == U'-') {
                 odd = true;
               } else if (c == U'\n') {
                 require(!word.empty(), "an empty exception");
                 scores.push_back(odd);
                 words.insert_or_assign(std::move(word), std::move(scores));
                 word.clear();
                 scores.clear();
                 odd = false;
               } else {
                 scores.push_back(odd);
                 word += c;
                 odd = false;
               }
             });
  require(word.empty() && !odd, "an exception without its line's end");
  return Exceptions(std::move(words));
}

/// An alphabet, ascending, as the steps between its letters.
std::vector<std::uint8_t> packLetters(std::span<const char32_t> letters) {
  std::vector<std::uint8_t> out;
  char32_t previous = 0;
  for (const char32_t letter : letters) {
    putNumber(out, letter - previous);
    previous = letter;
  }
  return out;
}

std::vector<char32_t> unpackLetters(std::span<const std::uint8_t> bytes) {
  std::vector<char32_t> letters;
  Numbers in(bytes);
  for (char32_t letter = 0; !in.done();) {
    const std::uint32_t step = in.next();
    require(letters.empty() || (step > 0 && step <= 0xFFFFFFFFu - letter),
            "an alphabet out of order");
    letters.push_back(letter += step);
  }
  return letters;
}

}  // namespace

std::vector<std::uint8_t> packWordTables(const WordTables& tables, const FlatTrie& trie,
                                         std::endian order, std::size_t placingBudget) {
  if (!tables.chars)
    throw Error("hyphenation tables: a mapping that is a function cannot be compiled");
  if (tables.patternsError) std::rethrow_exception(tables.patternsError);
  if (!tables.automaton || !trie.automaton || !trie.doubleArray || !trie.narrow ||
      tables.trie.slots.data() != trie.slots.data())
    throw Error("hyphenation tables: patterns without an automaton cannot be compiled");
  // The trie breadth first, as it was placed: each node's number of
  // children and whether it has scores of its own (one number), its
  // children by code, and its scores, which are one digit more than its
  // letters (those of a pattern); then how many of the nodes with children
  // a reader places by the search for free slots, and the bases of the
  // others (each from the one before). Placing nodes at given bases
  // rebuilds the double array without the search, which is most of a build.
  const auto symbols = static_cast<std::uint32_t>(trie.letters.size());
  std::vector<std::uint8_t> shape, bases, digits;
  std::vector<std::uint32_t> queue{0}, depths(trie.slotCount, 0);
  std::int64_t previous = 0;
  // The placing that a reader would do, followed along: the nodes are
  // placed again while the search finds each one's base within the budget;
  // the others' bases are given, each from the one given before. (English's
  // 4,221 nodes with children try 10,644 words, German's 23,867 try 101,755,
  // Hungarian's 42,828 try 202,680: 2 to 3 ms natively for the largest,
  // where their bases would cost about a byte a node gzipped.)
  SlotAllocator placing;
  bool searching = true;
  std::uint32_t searched = 0;
  std::vector<std::uint32_t> codes;
  for (std::size_t q = 0; q < queue.size(); ++q) {
    const std::uint32_t v = queue[q];
    const std::uint32_t base = trie.baseOf(v);
    const std::uint32_t start = trie.scoreStarts[v], own = trie.scoreStarts[v + 1] - start;
    if (own != 0 && own != depths[v] + 1)
      throw Error(
          "hyphenation tables: scores of another length than their pattern's cannot be packed");
    digits.insert(digits.end(), trie.digits.begin() + start, trie.digits.begin() + start + own);
    const std::size_t first = queue.size();
    for (std::uint32_t code = 1; code <= symbols; ++code)
      if (std::size_t{base} + code < trie.slotCount && trie.checkOf(base + code) == code) {
        queue.push_back(base + code);
        depths[base + code] = depths[v] + 1;
      }
    putNumber(shape, (queue.size() - first) * 2 + (own != 0));
    std::uint32_t last = 0;
    for (std::size_t k = first; k < queue.size(); ++k) {
      putNumber(shape, queue[k] - base - last);
      last = queue[k] - base;
    }
    if (queue.size() == first) continue;
    if (searching) {
      codes.clear();
      for (std::size_t k = first; k < queue.size(); ++k) codes.push_back(queue[k] - base);
      searching = placing.place(codes) == base && placing.wordsTried() <= placingBudget;
      if (searching) {
        ++searched;
        continue;
      }
    }
    putNumber(bases, zigzag(std::int64_t{base} - previous));
    previous = base;
  }
  std::vector<std::uint8_t> placed;
  putNumber(placed, searched);
  bases.insert(bases.begin(), placed.begin(), placed.end());
  Writer out(order);
  out.word(0, kPackedMagic);
  out.word(1, kTablesVersion);
  out.word(2, trie.matching == FlatTrie::Matching::Longest ? kLongestMatch : 0);
  out.word(3, symbols);
  out.word(4, trie.slotCount);
  out.word(5, tables.boundary);
  // The character table, the alphabet and the exceptions, of which the
  // fold, the filter and the exception table are worked out again.
  const std::vector<std::uint8_t> chars = packChars(*tables.chars),
                                  letters = packLetters(trie.letters),
                                  exceptions = packExceptions(tables.exceptions);
  out.section(kPackedChars, spanOf(chars));
  out.section(kPackedLetters, spanOf(letters));
  out.section(kPackedExceptions, spanOf(exceptions));
  out.section(kPackedShape, spanOf(shape));
  out.section(kPackedBases, spanOf(bases));
  out.section(kPackedDigits, spanOf(digits));
  return out.take();
}

bool isPackedBlock(std::span<const std::uint8_t> block) {
  std::uint32_t magic = 0;
  if (block.size() >= 4) std::memcpy(&magic, block.data(), 4);
  return magic == kPackedMagic;
}

WordTables unpackWordTables(std::span<const std::uint8_t> block) {
  const Reader in(block, true, kPackedMagic);
  const std::uint32_t symbols = in.word(3), total = in.word(4);
  const std::vector<char32_t> letters = unpackLetters(in.section<std::uint8_t>(kPackedLetters));
  const auto shape = in.section<std::uint8_t>(kPackedShape);
  const auto digits = in.section<std::uint8_t>(kPackedDigits);
  require(symbols > 0 && letters.size() == symbols, "the alphabet's size");
  // Every node takes a byte of the shape at least; the slots of a packing
  // are not many more than its nodes.
  require(total > symbols + 1 && total - symbols - 1 <= 8 * (shape.size() + symbols) + 64,
          "more slots than the trie's nodes take");
  const std::uint32_t dead = total - symbols - 1;  // every leaf's base

  auto trie = std::make_shared<FlatTrie>();
  trie->matching =
      (in.word(2) & kLongestMatch) ? FlatTrie::Matching::Longest : FlatTrie::Matching::Every;
  trie->letters.assign(letters.begin(), letters.end());
  trie->buildAlphabet();
  trie->doubleArray = true;
  trie->wide = symbols > CompactSlot::kMaxSymbols || total > CompactSlot::kMaxSlots;
  if (!kWideSlots && trie->wide) refuseWideSlots();
  trie->slotCount = total;
  trie->slots.assign(std::size_t{total} * (trie->wide ? 2 : 1), 0);
  auto set = [&](std::uint32_t v, std::uint32_t check, std::uint32_t base) {
    if (kWideSlots && trie->wide)
      WideSlot::set(trie->slots.data() + 2 * std::size_t{v}, check, 0, base, 0);
    else
      CompactSlot::set(trie->slots.data() + v, check, 0, base, 0);
  };

  // The nodes placed breadth first at their bases, as the trie was packed.
  // Each slot holds one node and each base serves one node, below the leaves'
  // base: the double array then has no child but those placed here, and
  // every step of a lookup stays inside it.
  std::vector<std::uint32_t> order{0}, parents(total, 0), depths(total, 0), ownLength(total, 0);
  std::vector<std::uint8_t> taken(total, 0);  // 1: a node's slot; 2: a node's base
  constexpr std::uint8_t kSlot = 1, kBase = 2;
  taken[0] = kSlot;
  set(0, 0, dead);
  Numbers shapeIn(shape), basesIn(in.section<std::uint8_t>(kPackedBases));
  // The first nodes placed again by the search, the rest at their bases.
  std::uint32_t searched = basesIn.next();
  SlotAllocator allocator;
  std::vector<std::uint32_t> codes;
  std::int64_t previous = 0;
  for (std::size_t q = 0; q < order.size(); ++q) {
    const std::uint32_t v = order[q];
    const std::uint32_t shapeOf = shapeIn.next(), count = shapeOf / 2;
    if (shapeOf % 2) ownLength[v] = depths[v] + 1;
    if (count == 0) continue;
    require(count <= symbols, "more children than symbols");
    codes.clear();
    for (std::uint32_t k = 0, code = 0; k < count; ++k) {
      const std::uint32_t step = shapeIn.next();
      require(step >= 1 && step <= symbols - code, "children out of order");
      code += step;
      codes.push_back(code);
    }
    std::int64_t base;
    if (searched > 0) {
      base = allocator.place(codes);
      --searched;
    } else {
      base = previous + unzigzag(basesIn.next());
      previous = base;
    }
    require(base >= 0 && base < dead && !(taken[base] & kBase), "a base out of place");
    taken[base] |= kBase;
    set(v, v == 0 ? 0 : trie->checkOf(v), static_cast<std::uint32_t>(base));
    for (const std::uint32_t code : codes) {
      const auto child = static_cast<std::uint32_t>(base + code);
      require(child < dead && !(taken[child] & kSlot), "two nodes in one slot");
      taken[child] |= kSlot;
      parents[child] = v;
      depths[child] = depths[v] + 1;
      order.push_back(child);
      set(child, code, dead);
    }
  }
  require(shapeIn.done() && basesIn.done(), "packed streams longer than the trie");

  // Each node's own scores, which the automaton's outputs are built from,
  // put in slot order.
  std::vector<std::uint32_t> ownStart(total, 0);
  std::size_t at = 0;
  for (const std::uint32_t v : order) {
    require(ownLength[v] <= digits.size() - at, "scores past the digits");
    ownStart[v] = static_cast<std::uint32_t>(at);
    at += ownLength[v];
  }
  require(at == digits.size(), "scores of no node");
  std::uint8_t highest = 0;
  for (const std::uint8_t digit : digits) highest = std::max(highest, digit);
  require(highest <= 9, "a score past 9");
  trie->scoreStarts.resize(std::size_t{total} + 1);
  trie->digits.resize(digits.size());
  std::uint32_t put = 0;
  for (std::uint32_t v = 0; v < total; ++v) {
    trie->scoreStarts[v] = put;
    std::copy_n(digits.data() + ownStart[v], ownLength[v], trie->digits.data() + put);
    put += ownLength[v];
    trie->maxScoreLength = std::max(trie->maxScoreLength, ownLength[v]);
  }
  trie->scoreStarts[total] = put;
  depths = {};
  taken = {};
  trie->buildAutomaton(order, std::move(parents));
  require(trie->automaton, "patterns without an automaton");

  // The fold, the filter and the exception table worked out of the
  // character table, the alphabet and the exceptions, as a build works
  // them out.
  TriePart part;
  part.trie = trie->view();
  part.automaton = true;
  part.letters = trie->letters;
  part.symbols = &trie->symbols;
  part.owner = trie;
  const std::shared_ptr<const WordTables> tables = assembleWordTables(
      unpackChars(in.section<std::uint8_t>(kPackedChars)), nullptr, std::move(part),
      ExceptionsPart::of(unpackExceptions(in.section<std::uint8_t>(kPackedExceptions))));
  require(tables->boundary == in.word(5), "the boundary's code");
  return *tables;
}

}  // namespace hyph::detail
