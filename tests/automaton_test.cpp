// The automaton of every language against a walk of its trie from every
// position.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cwctype>
#include <limits>
#include <optional>
#include <set>
#include <thread>

#include "catalogue/archive.hpp"
#include "catalogue/loader.hpp"
#include "catalogue_helpers.hpp"
#include "engine/trie/patterns_access.hpp"
#include "error_of.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"
#include "samples.hpp"

namespace hyph {
namespace {

using testing::sampleWords;

// that lookupPattern uses.
Scores walkedLookup(std::u32string_view word, const Patterns& trie) {
  std::u32string padded = U".";
  padded += word;
  padded += U'.';
  const std::size_t m = padded.size();
  std::vector<std::int64_t> result(m, 0);
  auto contribute = [&](std::size_t at, const Scores& scores) {
    if (result.size() < at + scores.size())
      result.resize(at + scores.size(), std::numeric_limits<std::int64_t>::min());
    for (std::size_t k = 0; k < scores.size(); ++k)
      result[at + k] = std::max(result[at + k], scores[k]);
  };
  for (std::size_t i = 0; i < m; ++i) {
    contribute(i, trie.scores());
    std::optional<Patterns> node = trie;
    for (std::size_t j = i; j < m && (node = node->child(padded[j])); ++j)
      contribute(i, node->scores());
  }
  contribute(m, trie.scores());
  return Scores(result.begin() + 1, result.end() - 1);
}

TEST(EveryLanguage, LookupAgreesWithAWalkFromEveryPosition) {
  for (Language language : enumFrom(firstLanguage)) {
    const Patterns& trie = hyphenatorPatterns(languageHyphenator(language));
    for (const std::u32string& word : sampleWords(language)) {
      std::u32string normalised = word;
      for (char32_t& c : normalised) c = hyphenatorChars(languageHyphenator(language))(c);
      ASSERT_EQ(lookupPattern(normalised, trie), walkedLookup(normalised, trie)) << language;
      ASSERT_EQ(lookupPattern(U"." + normalised, trie), walkedLookup(U"." + normalised, trie));
    }
  }
}

// The largest tries have rows for more fail states than the root, and
// links that go the long way past the rows; many words of their own letters
// take both, and deep states.
TEST(LargeTries, LookupAgreesWithAWalkOverManyWords) {
  for (Language language :
       {Language::German_1996, Language::Norwegian_Bokmal, Language::Latin_Classic}) {
    const Patterns& trie = hyphenatorPatterns(languageHyphenator(language));
    const detail::FlatTrie& flat = *detail::flatOf(trie).trie;
    EXPECT_GT(flat.rows.size(), flat.letters.size() * (flat.wide ? 2 : 1)) << language;
    for (const std::u32string& word : sampleWords(language, 2000)) {
      ASSERT_EQ(lookupPattern(word, trie), walkedLookup(word, trie)) << language;
      ASSERT_EQ(lookupPattern(U"." + word + U".", trie), walkedLookup(U"." + word + U".", trie));
    }
  }
}

}  // namespace
}  // namespace hyph
