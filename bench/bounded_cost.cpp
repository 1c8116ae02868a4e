// Bounded cost: a word of up to a million code points hyphenates in time
// linear in its length (the Big-O line of the output), and a pattern file of
// a million lines parses in bounded memory (the peak resident set grows by
// the "peak_rss_growth_MiB" counter).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

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
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LongWord)->RangeMultiplier(10)->Range(10'000, 1'000'000)->Complexity(benchmark::oN);

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
