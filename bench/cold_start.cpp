// Cold start: from a freshly loaded language to its first hyphenated word.
// Each iteration loads the language anew (loadHyphenator), which for a
// built-in language takes its compiled tables where they are, and for a
// build with HYPH_PREBUILT_TABLES=OFF decompresses and parses its character
// map, exceptions and patterns: every iteration pays the whole cost.
#include <benchmark/benchmark.h>

#include "hyph/hyph.hpp"

namespace {

void coldStart(benchmark::State& state, hyph::Language language, std::u32string_view word) {
  for (auto _ : state) {
    const hyph::Hyphenator h = hyph::loadHyphenator(language);
    benchmark::DoNotOptimize(hyph::hyphenate(h, word));
  }
}

void BM_ColdStart_English(benchmark::State& state) {
  coldStart(state, hyph::Language::English_US, U"hyphenation");
}
void BM_ColdStart_German(benchmark::State& state) {
  coldStart(state, hyph::Language::German_1996, U"Silbentrennung");
}
void BM_ColdStart_Hungarian(benchmark::State& state) {
  coldStart(state, hyph::Language::Hungarian, U"elválasztás");
}

void BM_ColdStart_AllLanguages(benchmark::State& state) {
  for (auto _ : state)
    for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage)) {
      const hyph::Hyphenator h = hyph::loadHyphenator(language);
      benchmark::DoNotOptimize(hyph::hyphenate(h, U"abcdefghij"));
    }
}

BENCHMARK(BM_ColdStart_English)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColdStart_German)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColdStart_Hungarian)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ColdStart_AllLanguages)->Unit(benchmark::kMicrosecond);

}  // namespace
