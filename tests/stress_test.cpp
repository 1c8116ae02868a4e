// Many threads use every shared hyphenator for the first time at once. Runs
// as a program of its own, so that no other test has touched the shared
// hyphenators before.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "catalogue/compiled_tables.hpp"
#include "catalogue/loader.hpp"
#include "hyph/hyph.hpp"

namespace hyph {
namespace {

constexpr int kThreads = 24;

// Words of a language's own letters: some lines of its pattern file, glued.
std::vector<std::u32string> wordsOf(Language language) {
  const std::u32string text =
      readEmbeddedFile("hyph-" + std::string(languageAffix(language)) + ".pat.txt.gz");
  std::vector<std::u32string> words{U""};
  for (char32_t c : text) {
    if (c == U'\n') {
      if (words.back().size() >= 9 && words.size() < 40) words.emplace_back();
    } else if (c != U'.' && (c < U'0' || c > U'9')) {
      words.back() += c;
    }
  }
  return words;
}

using Results = std::vector<std::vector<std::vector<std::u32string>>>;  // [language][word]

TEST(Stress, ConcurrentFirstUseOfEveryLanguage) {
  std::vector<std::vector<std::u32string>> words;
  for (Language language : enumFrom(firstLanguage)) words.push_back(wordsOf(language));
  for (Language language : enumFrom(firstLanguage))
    ASSERT_EQ(detail::sharedCreations(language), 0) << "used before the test";

  std::vector<Results> results(kThreads, Results(languageCount));
  // Every thread hyphenates words of every language, in an order of its
  // own; then, once all have, asks for every table.
  std::atomic<int> ready = 0, hyphenated = 0;
  std::atomic<bool> counted = false;
  std::vector<std::thread> threads;
  std::vector<std::vector<int>> builtByWords(languageCount, std::vector<int>(3));
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      std::vector<std::int64_t> order(languageCount);
      for (std::int64_t i = 0; i < languageCount; ++i) order[i] = i;
      std::shuffle(order.begin(), order.end(), std::mt19937(t));
      if (t % 2) std::reverse(order.begin(), order.end());
      ++ready;
      while (ready < kThreads) std::this_thread::yield();
      for (std::int64_t ordinal : order) {
        const Hyphenator& h = languageHyphenator(toEnum(ordinal));
        for (const std::u32string& word : words[ordinal])
          results[t][ordinal].push_back(hyphenate(h, word));
      }
      if (++hyphenated == kThreads) {
        for (Language language : enumFrom(firstLanguage))
          for (int table = 0; table < 3; ++table)
            builtByWords[fromEnum(language)][table] =
                detail::tableBuilds(language, static_cast<detail::Table>(table));
        counted = true;
      }
      while (!counted) std::this_thread::yield();
      for (std::int64_t ordinal : order) {
        const Hyphenator& h = languageHyphenator(toEnum(ordinal));
        (void)hyphenatorPatterns(h);
        (void)hyphenatorExceptions(h);
        (void)hyphenatorChars(h)(U'A');
      }
    });
  for (auto& thread : threads) thread.join();

  for (Language language : enumFrom(firstLanguage)) {
    const std::int64_t i = fromEnum(language);
    EXPECT_EQ(detail::sharedCreations(language), 1) << language;
    // Words of a language whose tables the build compiled build nothing;
    // asked for, its patterns and exceptions are parsed once (its character
    // table is the compiled one). Otherwise words build each table once.
    const bool compiled = !detail::compiledTables(language).empty();
    for (auto table : {detail::Table::Chars, detail::Table::Patterns, detail::Table::Exceptions}) {
      EXPECT_EQ(builtByWords[i][static_cast<int>(table)], compiled ? 0 : 1) << language;
      EXPECT_EQ(detail::tableBuilds(language, table),
                compiled && table == detail::Table::Chars ? 0 : 1)
          << language;
    }
    // The same pieces as one thread alone, with a Hyphenator of its own.
    const Hyphenator alone = loadHyphenator(language);
    for (std::size_t w = 0; w < words[i].size(); ++w) {
      const auto expected = hyphenate(alone, words[i][w]);
      for (int t = 0; t < kThreads; ++t) ASSERT_EQ(results[t][i][w], expected) << language;
    }
  }
}

}  // namespace
}  // namespace hyph
