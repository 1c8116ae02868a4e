// Running text through TextHyphenator, plain and HTML, in 64 KiB chunks as
// the command feeds it: bytes per second, and heap allocations per word
// ("allocations_per_word", which the plain path keeps at zero once its
// buffers have grown).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "hyph/hyph.hpp"

namespace {

std::atomic<std::size_t> allocations{0};

/// English-like text: words of the US English patterns' letters, ten to a
/// sentence, with punctuation.
std::string sampleText(bool html) {
  const std::vector<std::string> words = {
      "hyphenation", "documentation", "the",        "of",        "representation",
      "table",       "association",   "characters", "program",   "international",
      "a",           "computer",      "paragraph",  "knowledge", "breaking"};
  std::mt19937 random(1);
  std::string text;
  while (text.size() < (4u << 20)) {
    if (html) text += "<p class=\"text\">";
    for (int k = 0; k < 10; ++k) {
      if (k) text += ' ';
      text += words[random() % words.size()];
    }
    text += html ? ".</p>\n" : ".\n";
  }
  return text;
}

void throughput(benchmark::State& state, bool html) {
  const std::string text = sampleText(html);
  hyph::TextOptions options;
  options.markup = html ? hyph::Markup::Html : hyph::Markup::Plain;
  std::string out;
  std::size_t words = 0;
  std::size_t allocated = 0;
  for (auto _ : state) {
    hyph::TextHyphenator stream(hyph::english_US(), options);
    const std::size_t before = allocations.load();
    for (std::size_t at = 0; at < text.size(); at += 65536) {
      out.clear();
      stream.write(std::string_view(text).substr(at, 65536), out);
    }
    out.clear();
    stream.finish(out);
    allocated += allocations.load() - before;
    words += text.size() / 8;
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["allocations_per_word"] =
      static_cast<double>(allocated) / static_cast<double>(words);
}

void BM_TextPlain(benchmark::State& state) { throughput(state, false); }
void BM_TextHtml(benchmark::State& state) { throughput(state, true); }
BENCHMARK(BM_TextPlain)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextHtml)->Unit(benchmark::kMillisecond);

}  // namespace

// Counts every allocation of the process.
void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
