// The process-wide shared hyphenator of each language.
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

using L = Language;
using testing::hyphenated;

TEST(LanguageHyphenator, IsTheNamedConstant) {
  EXPECT_EQ(&languageHyphenator(L::Welsh), &welsh());
  EXPECT_EQ(&languageHyphenator(L::German_1996), &languageHyphenator(L::German_1996));
  EXPECT_EQ(&hyphenatorPatterns(german_1996()), &hyphenatorPatterns(german_1996()));
  const Hyphenator* named[] = {
#define HYPH_ADDRESS(name, function, affix, left, right) &function(),
      HYPH_LANGUAGES(HYPH_ADDRESS)
#undef HYPH_ADDRESS
  };
  ASSERT_EQ(std::size(named), 73u);
  for (Language language : enumFrom(firstLanguage))
    EXPECT_EQ(&languageHyphenator(language), named[fromEnum(language)]) << language;
}

TEST(LanguageHyphenator, FreshLoadHasItsOwnTablesAndTheSameResults) {
  const Hyphenator fresh = loadHyphenator(L::English_US);
  EXPECT_NE(&hyphenatorPatterns(fresh), &hyphenatorPatterns(english_US()));
  for (const char* word : {"hyphenation", "Computer", "table", "associates", "reformation"})
    EXPECT_EQ(hyphenated(fresh, word), hyphenated(english_US(), word));
}

TEST(LanguageHyphenator, ConcurrentFirstUseSharesOneHyphenatorAndTables) {
  std::atomic<bool> go = false;
  std::vector<std::thread> threads;
  std::vector<const Hyphenator*> hyphenators(16);
  std::vector<const Patterns*> tables(16);
  std::vector<std::string> results(16);
  for (int t = 0; t < 16; ++t)
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      hyphenators[t] = &french();
      results[t] = hyphenated(*hyphenators[t], "anticonstitutionnellement");
      tables[t] = &hyphenatorPatterns(*hyphenators[t]);
    });
  go = true;
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 16; ++t) {
    EXPECT_EQ(hyphenators[t], hyphenators[0]);
    EXPECT_EQ(tables[t], tables[0]);
    EXPECT_EQ(results[t], results[0]);
  }
}

}  // namespace
}  // namespace hyph
