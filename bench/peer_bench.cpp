// hyph's side of the peer benchmark protocol (see the peers' README):
//
//   peer_bench LANG WORDLIST SAMPLES RUNS DUMP [--pieces]   throughput
//   peer_bench LANG --cold WORD                             load, one word, exit
//
// LANG is anything findLanguage takes: a word-list tag (en-us, de), an affix,
// an enumerator name. The timed loop calls breakPoints on each UTF-8 word
// with one reused buffer; with --pieces, or when the program is called
// through a name ending in "-pieces", it calls hyphenate and builds a
// std::vector<std::string> of pieces per word instead. Output: "key value"
// lines.
#include <time.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "hyph/hyph.hpp"
#include "process_status.hpp"

namespace {

hyph::Language languageOf(const std::string& tag) {
  if (const std::optional<hyph::Language> language = hyph::findLanguage(tag)) return *language;
  std::cerr << "peer_bench: unknown language " << tag << '\n';
  std::exit(2);
}

std::vector<std::string> readWords(const char* path) {
  std::ifstream in(path);
  if (!in) {
    std::cerr << "peer_bench: cannot read " << path << '\n';
    std::exit(2);
  }
  std::vector<std::string> words;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) words.push_back(line);
  return words;
}

std::uint64_t threadCpuNs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<std::uint64_t>(ts.tv_sec) * 1'000'000'000u +
         static_cast<std::uint64_t>(ts.tv_nsec);
}

std::string marked(const hyph::Hyphenator& h, const std::string& word) {
  std::string out;
  hyph::appendJoined(out, word, hyph::breakPoints(h, std::string_view(word)), "-");
  return out;
}

/// Loads the language as a program does: its shared Hyphenator, whose
/// tables are compiled into the library, ready at once. (Its patterns and
/// exceptions as values are parsed only for callers that ask for them, which
/// the hot loop does not.)
const hyph::Hyphenator& load(hyph::Language language) {
  return hyph::languageHyphenator(language);
}

template <class T>
void keep(const T& value) {
  asm volatile("" : : "g"(&value) : "memory");
}

}  // namespace

int main(int argc, char** argv) {
  using Clock = std::chrono::steady_clock;
  auto nanoseconds = [](Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
  };
  if (argc == 4 && std::string(argv[2]) == "--cold") {
    std::cout << marked(load(languageOf(argv[1])), argv[3]) << '\n';
    return 0;
  }
  if (argc < 6) {
    std::cerr
        << "usage: peer_bench LANG WORDLIST SAMPLES RUNS DUMP [--pieces] | LANG --cold WORD\n";
    return 2;
  }
  const std::string self = argv[0];
  const bool pieces = (argc > 6 && std::string(argv[6]) == "--pieces") ||
                      (self.size() >= 7 && self.substr(self.size() - 7) == "-pieces");
  const hyph::Language language = languageOf(argv[1]);
  const std::vector<std::string> words = readWords(argv[2]);
  const std::vector<std::string> samples = readWords(argv[3]);
  const int runs = std::stoi(argv[4]);
  const std::string dumpPath = argv[5];

  std::size_t codepoints = 0;
  for (const auto& word : words)
    for (unsigned char c : word) codepoints += (c & 0xC0) != 0x80;

  const auto loadStart = Clock::now();
  const hyph::Hyphenator& h = load(language);
  const auto loadNs = nanoseconds(Clock::now() - loadStart);

  std::cout << "peer hyph-" << hyph::version << (pieces ? "-pieces" : "") << '\n';
  std::cout << "dict " << hyph::languageAffix(language) << " minima (" << hyph::hyphenatorLeftMin(h)
            << ", " << hyph::hyphenatorRightMin(h) << ")\n";
  std::cout << "words " << words.size() << '\n';
  std::cout << "codepoints " << codepoints << '\n';
  std::cout << "load_ns " << loadNs << '\n';

  const auto firstStart = Clock::now();
  keep(hyph::breakPoints(h, std::string_view(samples.at(0))));
  std::cout << "first_ns " << nanoseconds(Clock::now() - firstStart) << '\n';

  for (const auto& sample : samples) std::cout << "sample " << marked(h, sample) << '\n';

  std::uint64_t breaks = 0, possum = 0;
  std::vector<std::size_t> buffer;
  for (int run = -1; run < runs; ++run) {  // run -1 warms up
    std::uint64_t b = 0, p = 0;
    const std::uint64_t cpuStart = threadCpuNs();
    const auto start = Clock::now();
    if (pieces) {
      for (const auto& word : words) {
        const std::vector<std::string> cut = hyph::hyphenate(h, std::string_view(word));
        std::size_t offset = 0;
        for (std::size_t i = 0; i + 1 < cut.size(); ++i) {
          offset += cut[i].size();
          ++b;
          p += offset;
        }
      }
    } else {
      for (const auto& word : words) {
        hyph::breakPoints(h, std::string_view(word), buffer);
        b += buffer.size();
        for (std::size_t position : buffer) p += position;  // byte offsets
      }
    }
    const auto ns = nanoseconds(Clock::now() - start);
    const std::uint64_t cpu = threadCpuNs() - cpuStart;
    keep(b);
    keep(p);
    if (run >= 0) {
      std::cout << "run_ns " << ns << '\n';
      std::cout << "run_cpu_ns " << cpu << '\n';
    }
    if (run > 0 && (b != breaks || p != possum)) {
      std::cerr << "peer_bench: runs disagree\n";
      return 1;
    }
    breaks = b;
    possum = p;
  }
  std::cout << "breaks " << breaks << '\n';
  std::cout << "possum " << possum << '\n';

  std::ofstream dump;
  if (dumpPath != "-") dump.open(dumpPath);
  std::uint64_t digest = 14695981039346656037ull;
  for (const auto& word : words) {
    const std::string line = marked(h, word) + "\n";
    for (unsigned char c : line) digest = (digest ^ c) * 1099511628211ull;
    if (dump) dump << line;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
  std::cout << "digest " << hex << '\n';
  std::cout << "vmhwm_kb " << bench::processStatusKb("VmHWM") << '\n';
  return 0;
}
