// Bounded cost: a word of up to a million code points hyphenates in time
// linear in its length, however long its patterns or their score lists (and
// in its length times the longest pattern where every position matches many
// patterns whose scores alternate), a
// merge of many tries costs time linear in their size, and a pattern file of
// a million lines parses in bounded memory (the peak resident set grows by
// the "peak_rss_growth_MiB" counter). Each shape reports items_per_second,
// which stays within a factor of two from 10 k to 1 M, and a Big-O line.
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>
#include <vector>

#include "hyph/hyph.hpp"
#include "process_status.hpp"

namespace {

void BM_LongWord(benchmark::State& state) {
  std::u32string word;
  while (word.size() < static_cast<std::size_t>(state.range(0))) word += U"hyphenation";
  word.resize(static_cast<std::size_t>(state.range(0)));
  std::vector<std::size_t> breaks;
  for (auto _ : state) {
    hyph::breakPoints(hyph::english_US(), word, breaks);
    benchmark::DoNotOptimize(breaks.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongWord)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Complexity(benchmark::oN);

/// A word of n "a"s under one pattern: n "a"s then a digit (one letter a
/// step, longer than the dense automaton takes), or "a" and n digits (a score
/// list n / 2 gaps past its letter, which every "a" of the word matches).
void patternShape(benchmark::State& state, bool longLetters) {
  const auto n = static_cast<std::size_t>(state.range(0));
  const std::u32string pattern =
      longLetters ? std::u32string(n, U'a') + U"1" : U"a" + std::u32string(n, U'1');
  const hyph::Hyphenator h([](char32_t c) { return c; }, hyph::parsePatterns(pattern),
                           hyph::Exceptions(), 1, 1);
  const std::u32string word(n, U'a');
  std::vector<std::size_t> breaks;
  for (auto _ : state) {
    hyph::breakPoints(h, word, breaks);
    benchmark::DoNotOptimize(breaks.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
void BM_LongPattern(benchmark::State& state) { patternShape(state, true); }
void BM_LongScoreList(benchmark::State& state) { patternShape(state, false); }
BENCHMARK(BM_LongPattern)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Complexity(benchmark::oN);
BENCHMARK(BM_LongScoreList)
    ->RangeMultiplier(10)
    ->Range(10'000, 1'000'000)
    ->Complexity(benchmark::oN);

/// A word of n "a"s under 300 nested patterns whose digits alternate over
/// every gap ("1a2", "2a1a2", "1a2a1a2", ...): every position matches all of
/// them, and their merged lists cost the longest pattern's length a step.
void BM_NestedAlternatingPatterns(benchmark::State& state) {
  std::u32string text;
  for (int k = 1; k <= 300; ++k) {
    const char32_t a = k % 2 ? U'1' : U'2', b = a == U'1' ? U'2' : U'1';
    for (int i = 0; i < k; ++i) text += std::u32string{i % 2 ? b : a, U'a'};
    text += std::u32string{k % 2 ? b : a, U'\n'};
  }
  const hyph::Hyphenator h([](char32_t c) { return c; }, hyph::parsePatterns(text),
                           hyph::Exceptions(), 1, 1);
  const std::u32string word(static_cast<std::size_t>(state.range(0)), U'a');
  std::vector<std::size_t> breaks;
  const long before = bench::processStatusKb("VmHWM");
  for (auto _ : state) {
    hyph::breakPoints(h, word, breaks);
    benchmark::DoNotOptimize(breaks.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
  state.counters["peak_rss_growth_MiB"] =
      static_cast<double>(bench::processStatusKb("VmHWM") - before) / 1024;
}
BENCHMARK(BM_NestedAlternatingPatterns)
    ->RangeMultiplier(10)
    ->Range(1'000, 100'000)
    ->Complexity(benchmark::oN);

/// mconcat of n one-pattern tries, each on a letter of its own.
void BM_MergeMany(benchmark::State& state) {
  std::vector<hyph::Patterns> tries;
  for (std::int64_t i = 0; i < state.range(0); ++i)
    tries.push_back(hyph::insertPattern(
        std::u32string{static_cast<char32_t>(0x4E00 + i), U'1', U'b'}, hyph::Patterns()));
  for (auto _ : state) benchmark::DoNotOptimize(hyph::mconcat(tries));
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MergeMany)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Complexity(benchmark::oN);

void BM_ParseMillionLines(benchmark::State& state) {
  std::u32string text;
  const char32_t letters[] = U"abcdefghijklmnopqrstuvwxyz";
  for (std::uint32_t i = 0; i < 1'000'000; ++i) {
    std::uint32_t x = i * 2654435761u;
    for (int k = 0; k < 6; ++k, x /= 26) {
      text += letters[x % 26];
      if (k == 2) text += U'0' + static_cast<char32_t>(i % 10);
    }
    text += U'\n';
  }
  const long before = bench::processStatusKb("VmHWM");
  for (auto _ : state) benchmark::DoNotOptimize(hyph::parsePatterns(text));
  state.counters["text_MiB"] = static_cast<double>(text.size() * 4) / (1 << 20);
  state.counters["peak_rss_growth_MiB"] =
      static_cast<double>(bench::processStatusKb("VmHWM") - before) / 1024;
}
BENCHMARK(BM_ParseMillionLines)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
