// hyph's side of the peer benchmark protocol (see the peers' README):
//
//   peer_bench LANG WORDLIST SAMPLES RUNS DUMP [--pieces]   throughput
//   peer_bench LANG --cold WORD                             load, one word, exit
//
// LANG is anything findLanguage takes: a word-list tag (en-us, de), an affix,
// an enumerator name; or a libhyphen dictionary (a path ending in ".dic"),
// read as hyph reads one. Called through a name ending in "-dic", the tags
// en-us and de stand for Debian's hyph_en_US.dic and hyph_de_DE.dic, so that
// libhyphen and hyph are timed on the same files in one run. The timed loop calls breakPoints on each UTF-8 word
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
#include <iterator>
#include <optional>
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

bool endsWith(const std::string& s, const char* end) {
  const std::string tail(end);
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

/// The dictionary that LANG names, if it names one: a .dic path, or with
/// `dictionaries`, a word-list tag's Debian dictionary.
std::optional<std::string> dictionaryOf(const std::string& lang, bool dictionaries) {
  if (endsWith(lang, ".dic")) return lang;
  if (!dictionaries) return std::nullopt;
  if (lang == "en-us") return "/usr/share/hyphen/hyph_en_US.dic";
  if (lang == "de") return "/usr/share/hyphen/hyph_de_DE.dic";
  std::cerr << "peer_bench: no dictionary for " << lang << '\n';
  std::exit(2);
}

/// Loads the language as a program does: a built-in language's shared
/// Hyphenator, whose tables are compiled into the library, ready at once
/// (its patterns and exceptions as values are parsed only for callers that
/// ask for them, which the hot loop does not); a dictionary read from its
/// file, as libhyphen loads it.
hyph::Hyphenator load(const std::string& lang, bool dictionaries) {
  if (const std::optional<std::string> path = dictionaryOf(lang, dictionaries)) {
    std::ifstream in(*path, std::ios::binary);
    if (!in) {
      std::cerr << "peer_bench: cannot read " << *path << '\n';
      std::exit(2);
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return hyph::readDictionary({*path, bytes});
  }
  return hyph::languageHyphenator(languageOf(lang));
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
  const std::string self = argv[0];
  const bool dictionaries = endsWith(self, "-dic");
  if (argc == 4 && std::string(argv[2]) == "--cold") {
    std::cout << marked(load(argv[1], dictionaries), argv[3]) << '\n';
    return 0;
  }
  if (argc < 6) {
    std::cerr
        << "usage: peer_bench LANG WORDLIST SAMPLES RUNS DUMP [--pieces] | LANG --cold WORD\n";
    return 2;
  }
  const bool pieces = (argc > 6 && std::string(argv[6]) == "--pieces") || endsWith(self, "-pieces");
  const std::vector<std::string> words = readWords(argv[2]);
  const std::vector<std::string> samples = readWords(argv[3]);
  const int runs = std::stoi(argv[4]);
  const std::string dumpPath = argv[5];

  std::size_t codepoints = 0;
  for (const auto& word : words)
    for (unsigned char c : word) codepoints += (c & 0xC0) != 0x80;

  const auto loadStart = Clock::now();
  const hyph::Hyphenator h = load(argv[1], dictionaries);
  const auto loadNs = nanoseconds(Clock::now() - loadStart);

  std::cout << "peer hyph-" << hyph::version << (pieces ? "-pieces" : "") << (dictionaries ? "-dic" : "")
            << '\n';
  const std::optional<std::string> dictionary = dictionaryOf(argv[1], dictionaries);
  std::cout << "dict "
            << (dictionary ? *dictionary : std::string(hyph::languageAffix(languageOf(argv[1]))))
            << " minima (" << hyph::hyphenatorLeftMin(h)
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
