// The compiled tables: each built-in language's compiled block gives the very
// breaks that its parsed tables give; any tables survive the round trip
// through the block format and through the packed form; and a damaged block
// is refused, never read.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <random>

#include "catalogue/compiled_tables.hpp"
#include "engine/hyphenator_access.hpp"
#include "engine/tables_format.hpp"
#include "engine/trie/patterns_access.hpp"
#include "engine/utf8.hpp"
#include "error_of.hpp"
#include "hyph/error.hpp"
#include "hyph/hyph.hpp"
#include "samples.hpp"

namespace hyph {
namespace {

using testing::errorOf;

std::u32string fileOf(Language language, const char* kind) {
  return readEmbeddedFile("hyph-" + std::string(languageAffix(language)) + "." + kind + ".txt.gz");
}

std::vector<std::u32string> linesOf(const std::u32string& text) {
  std::vector<std::u32string> lines{U""};
  for (char32_t c : text) {
    if (c == U'\n')
      lines.emplace_back();
    else
      lines.back() += c;
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

/// A Hyphenator of the language's files, parsed now.
Hyphenator parsedHyphenator(Language language) {
  return Hyphenator(parseChars(fileOf(language, "chr")), parsePatterns(fileOf(language, "pat")),
                    parseExceptions(fileOf(language, "hyp")), languageLeftMin(language),
                    languageRightMin(language));
}

/// A Hyphenator that looks words up in the tables of a block, viewed in
/// place; the block must outlive it.
Hyphenator viewing(std::span<const std::uint8_t> block, std::int64_t left, std::int64_t right) {
  auto words = std::make_shared<const detail::WordTables>(detail::viewWordTables(block));
  const CharTable table = *words->chars;
  auto tables = std::make_shared<HyphenatorAccess::Tables>(
      HyphenatorAccess::Tables{[table](char32_t c) { return table(c); }, Deferred<CharTable>(table),
                               Patterns(), Exceptions(), std::move(words)});
  return HyphenatorAccess::make(std::move(tables), left, right);
}

/// The words to compare a language's tables on: the letters of every
/// pattern (dots gone), every exception word (hyphens gone), and the sample
/// words, each also with its first letter in upper case.
std::vector<std::u32string> wordsOf(Language language) {
  std::vector<std::u32string> words = testing::sampleWords(language, 200);
  for (std::u32string line : linesOf(fileOf(language, "pat"))) {
    std::erase_if(line, [](char32_t c) { return c == U'.' || (c >= U'0' && c <= U'9'); });
    words.push_back(line);
  }
  for (std::u32string line : linesOf(fileOf(language, "hyp"))) {
    std::erase(line, U'-');
    words.push_back(line);
  }
  std::map<char32_t, char32_t> upper;
  for (const std::u32string& line : linesOf(fileOf(language, "chr")))
    if (line.size() >= 2) upper.emplace(line[0], line[1]);
  const std::size_t count = words.size();
  for (std::size_t i = 0; i < count; ++i)
    if (!words[i].empty() && upper.count(words[i][0])) {
      std::u32string capital = words[i];
      capital[0] = upper[capital[0]];
      words.push_back(capital);
    }
  return words;
}

void expectSameBreaks(const Hyphenator& a, const Hyphenator& b,
                      const std::vector<std::u32string>& words, Language language) {
  std::vector<std::size_t> x, y;
  for (const std::u32string& word : words) {
    breakPoints(a, word, x);
    breakPoints(b, word, y);
    ASSERT_EQ(x, y) << language << " " << detail::encodeUtf8(word);
    const std::string bytes = detail::encodeUtf8(word);
    breakPoints(a, std::string_view(bytes), x);
    breakPoints(b, std::string_view(bytes), y);
    ASSERT_EQ(x, y) << language << " " << bytes;
  }
}

TEST(CompiledTables, GiveTheBreaksOfTheParsedTables) {
  for (Language language : enumFrom(firstLanguage)) {
    if (detail::compiledTables(language).empty()) GTEST_SKIP() << "a build without compiled tables";
    expectSameBreaks(languageHyphenator(language), parsedHyphenator(language), wordsOf(language),
                     language);
  }
}

TEST(CompiledTables, CharacterTableIsTheParsedOne) {
  for (Language language : enumFrom(firstLanguage)) {
    const CharTable& compiled = *hyphenatorCharTable(languageHyphenator(language));
    const CharTable parsed = parseChars(fileOf(language, "chr"));
    for (char32_t c = 0; c < 0x11000; ++c) {
      ASSERT_EQ(compiled(c), parsed(c)) << language << " U+" << std::hex << std::uint32_t{c};
      ASSERT_EQ(compiled.isLetter(c), parsed.isLetter(c))
          << language << " U+" << std::hex << std::uint32_t{c};
    }
  }
}

TEST(CompiledTables, EveryTrieShapeSurvivesTheFormat) {
  // Parsed tables of a language, a trie whose patterns need merged lists,
  // one of more symbols than one-word slots hold, and exceptions.
  std::u32string many;
  for (char32_t c = 0x4E00; c < 0x4E00 + 700; ++c) many += std::u32string{c, U'1', c + 1, U'\n'};
  const struct {
    std::u32string chars, patterns, exceptions;
  } shapes[] = {
      {U"aA\nbB\n", U"a1b\n" + std::u32string(40, U'a') + U"3\n", U"ab-ab\n"},
      {U"\u4E00\u4E01\n", many, U"\u4E00-\u4E01\n"},
  };
  for (const auto& shape : shapes) {
    const Hyphenator built(parseChars(shape.chars), parsePatterns(shape.patterns),
                           parseExceptions(shape.exceptions), 1, 1);
    const std::vector<std::uint8_t> block =
        detail::compileWordTables(*HyphenatorAccess::words(built));
    const Hyphenator viewed = viewing(block, 1, 1);
    std::vector<std::u32string> words{U"ab", U"abab",
                                      U"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab"};
    for (std::size_t i = 0; i + 8 < many.size(); i += 40) words.push_back(many.substr(i, 8));
    expectSameBreaks(built, viewed, words, Language::Chinese);  // the name only labels a failure
  }
  const Hyphenator german = parsedHyphenator(Language::German_1996);
  const std::vector<std::uint8_t> block =
      detail::compileWordTables(*HyphenatorAccess::words(german));
  expectSameBreaks(german, viewing(block, 2, 2), wordsOf(Language::German_1996),
                   Language::German_1996);
  // The same tables give the same block.
  EXPECT_EQ(
      detail::compileWordTables(*HyphenatorAccess::words(parsedHyphenator(Language::German_1996))),
      block);
}

TEST(CompiledTables, TablesWithoutATableOrAnAutomatonAreRefused) {
  const Hyphenator function([](char32_t c) { return c; }, parsePatterns(U"a1b\n"), Exceptions(), 1,
                            1);
  EXPECT_EQ(errorOf([&] { detail::compileWordTables(*HyphenatorAccess::words(function)); }),
            "hyphenation tables: a mapping that is a function cannot be compiled");
}

std::string damage(std::vector<std::uint8_t> block) {
  return errorOf([&] { detail::viewWordTables(block); });
}

TEST(CompiledTables, DamagedBlocksAreRefused) {
  const Hyphenator english = parsedHyphenator(Language::English_US);
  const std::vector<std::uint8_t> block =
      detail::compileWordTables(*HyphenatorAccess::words(english));
  ASSERT_EQ(damage(block), "no error");
  EXPECT_EQ(damage({block.begin(), block.begin() + 20}),
            "Damaged hyphenation tables: shorter than its directory");
  EXPECT_EQ(damage(std::vector<std::uint8_t>(block.size(), 0)),
            "Damaged hyphenation tables: not hyphenation tables");
  EXPECT_EQ(damage(detail::compileWordTables(*HyphenatorAccess::words(english), std::endian::big)),
            "Damaged hyphenation tables: written for the other byte order");
  auto changed = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> copy = block;
    copy[at] = value;
    return copy;
  };
  EXPECT_EQ(damage(changed(4, 9)), "Damaged hyphenation tables: version 9, not 5");
  EXPECT_NE(damage({block.begin(), block.end() - 64}).find("lies outside the block"),
            std::string::npos);
  // Any bytes changed anywhere: refused, or else read without a step outside
  // the block (AddressSanitizer watches), whatever the word.
  std::mt19937 random(3);
  const std::vector<std::u32string> words = testing::sampleWords(Language::English_US, 50);
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::uint8_t> copy = block;
    for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k)
      copy[random() % copy.size()] = static_cast<std::uint8_t>(random());
    std::unique_ptr<Hyphenator> viewed;
    try {
      viewed = std::make_unique<Hyphenator>(viewing(copy, 2, 3));
    } catch (const Error& e) {
      ASSERT_EQ(std::string(e.what()).rfind("Damaged hyphenation tables: ", 0), 0u) << e.what();
      continue;
    }
    for (const std::u32string& word : words) (void)breakPoints(*viewed, word);
  }
}

/// A block's bytes where a loaded file puts them: on a multiple of 8 bytes.
struct Aligned {
  explicit Aligned(const std::vector<std::uint8_t>& bytes)
      : words((bytes.size() + 7) / 8), size(bytes.size()) {
    if (size) std::memcpy(words.data(), bytes.data(), size);
  }
  std::span<const std::uint8_t> span() const {
    return {reinterpret_cast<const std::uint8_t*>(words.data()), size};
  }
  std::vector<std::uint64_t> words;
  std::size_t size;
};

/// The packed form of a Hyphenator made of `patterns`.
std::vector<std::uint8_t> packed(const Hyphenator& built, const Patterns& patterns,
                                 std::size_t placingBudget = detail::kPlacingBudget) {
  return detail::packWordTables(*HyphenatorAccess::words(built), *detail::flatOf(patterns).trie,
                                std::endian::native, placingBudget);
}

TEST(PackedTables, GiveTheCompiledBlockAgain) {
  // French and German, placed again by the search for free slots; a trie
  // of merged lists, one of wide slots, and libhyphen's matching rule.
  std::u32string many;
  for (char32_t c = 0x4E00; c < 0x4E00 + 700; ++c) many += std::u32string{c, U'1', c + 1, U'\n'};
  struct Case {
    CharTable chars;
    Patterns patterns;
    Exceptions exceptions;
  };
  std::vector<Case> cases;
  for (Language language : {Language::French, Language::German_1996})
    cases.push_back({parseChars(fileOf(language, "chr")), parsePatterns(fileOf(language, "pat")),
                     parseExceptions(fileOf(language, "hyp"))});
  cases.push_back({parseChars(U"aA\nbB\n"),
                   parsePatterns(U"a1b\n" + std::u32string(40, U'a') + U"3\n"),
                   parseExceptions(U"ab-ab\n")});
  cases.push_back({parseChars(U"\u4E00\u4E01\n"), parsePatterns(many), Exceptions()});
  // A table made by hand: an entry past U+10FFFF, and one whose value is.
  const std::pair<char32_t, char32_t> entries[] = {{0x110000, U'a'}, {U'c', 0x110001}};
  const char32_t letters[] = {U'a', U'b'};
  cases.push_back({CharTable(entries, letters), parsePatterns(U"a1b\n"), Exceptions()});
  cases.push_back({parseChars(U"aA\nbB\n"),
                   PatternsAccess::parse(U"a1b\nab2\n.a3\n", detail::FlatTrie::Matching::Longest),
                   Exceptions()});
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    const Case& c = cases[i];
    const Hyphenator built(c.chars, c.patterns, c.exceptions, 1, 1);
    const Aligned block(packed(built, c.patterns));
    ASSERT_TRUE(detail::isPackedBlock(block.span()));
    EXPECT_EQ(detail::compileWordTables(detail::unpackWordTables(block.span())),
              detail::compileWordTables(*HyphenatorAccess::words(built)));
  }
}

TEST(PackedTables, PlaceTheNodesPastTheBudgetAtTheirBases) {
  // German's trie with less search than it takes: its first nodes placed
  // by the search, the others (all of them, with none) at the bases given,
  // which cost bytes; the same tables every way.
  const Patterns patterns = parsePatterns(fileOf(Language::German_1996, "pat"));
  const Hyphenator built(parseChars(fileOf(Language::German_1996, "chr")), patterns, Exceptions(),
                         2, 2);
  const std::vector<std::uint8_t> expected =
      detail::compileWordTables(*HyphenatorAccess::words(built));
  std::size_t previous = 0;
  for (const std::size_t budget : {detail::kPlacingBudget, std::size_t{20000}, std::size_t{0}}) {
    SCOPED_TRACE(budget);
    const Aligned block(packed(built, patterns, budget));
    EXPECT_GT(block.size, previous);
    previous = block.size;
    EXPECT_EQ(detail::compileWordTables(detail::unpackWordTables(block.span())), expected);
  }
}

std::string packedDamage(const std::vector<std::uint8_t>& bytes) {
  const Aligned block(bytes);
  return errorOf([&] { detail::unpackWordTables(block.span()); });
}

TEST(PackedTables, DamagedOnesAreRefused) {
  const Patterns patterns = parsePatterns(fileOf(Language::English_US, "pat"));
  const Hyphenator english(parseChars(fileOf(Language::English_US, "chr")), patterns,
                           parseExceptions(fileOf(Language::English_US, "hyp")), 2, 3);
  const std::vector<std::uint8_t> block = packed(english, patterns);
  ASSERT_EQ(packedDamage(block), "no error");
  EXPECT_EQ(packedDamage({block.begin(), block.begin() + 20}),
            "Damaged hyphenation tables: shorter than its directory");
  EXPECT_EQ(packedDamage(detail::compileWordTables(*HyphenatorAccess::words(english))),
            "Damaged hyphenation tables: not hyphenation tables");
  EXPECT_NE(packedDamage({block.begin(), block.end() - 64}).find("lies outside the block"),
            std::string::npos);
  // Any bytes changed anywhere: refused, or else tables whose lookups stay
  // inside them (AddressSanitizer watches), whatever the word.
  std::mt19937 random(5);
  const std::vector<std::u32string> words = testing::sampleWords(Language::English_US, 50);
  int refused = 0;
  for (int round = 0; round < 300; ++round) {
    std::vector<std::uint8_t> copy = block;
    for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k)
      copy[random() % copy.size()] = static_cast<std::uint8_t>(random());
    const Aligned aligned(copy);
    std::shared_ptr<const detail::WordTables> tables;
    try {
      tables = std::make_shared<const detail::WordTables>(detail::unpackWordTables(aligned.span()));
    } catch (const Error& e) {
      ASSERT_EQ(std::string(e.what()).rfind("Damaged hyphenation tables: ", 0), 0u) << e.what();
      ++refused;
      continue;
    }
    const Hyphenator viewed = HyphenatorAccess::ofWordTables(
        tables, Deferred<Patterns>(Patterns()), Deferred<Exceptions>(Exceptions()), 2, 3);
    for (const std::u32string& word : words) (void)breakPoints(viewed, word);
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace hyph
