// Resident memory of loaded languages: prints the growth of the resident set
// after English alone is loaded and used, then after every language has
// hyphenated a word of its own letters, and of its parts: anonymous memory
// (what the process allocates), file-backed pages (the library's code and
// constant data, the compiled tables among them, as the kernel maps them in,
// shared with every process that has the same file), and the private dirty
// memory of /proc/self/smaps_rollup, which no other process can share. Last,
// the peak growth per input byte of reading a user's pattern file of a
// million random lines.
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"
#include "letters.hpp"
#include "process_status.hpp"

namespace {

/// A field of /proc/self/smaps_rollup, in KiB.
long rollupKb(std::string_view field) {
  std::ifstream rollup("/proc/self/smaps_rollup");
  const std::string prefix = std::string(field) + ":";
  for (std::string line; std::getline(rollup, line);)
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  return -1;
}

struct Resident {
  long total = bench::processStatusKb("VmRSS");
  long anonymous = bench::processStatusKb("RssAnon");
  long file = bench::processStatusKb("RssFile");
  long privateDirty = rollupKb("Private_Dirty");
};

void print(const char* what, const Resident& before, const Resident& after) {
  std::cout << what << "_kib " << after.total - before.total << '\n'
            << what << "_anon_kib " << after.anonymous - before.anonymous << '\n'
            << what << "_file_kib " << after.file - before.file << '\n'
            << what << "_private_dirty_kib " << after.privateDirty - before.privateDirty << '\n';
}

}  // namespace

/// Peak resident growth per input byte of reading a user's pattern file: a
/// file of a million random lines, read as the command reads --patterns.
void patternFilePeak() {
  std::string text;
  std::uint32_t x = 1;
  for (int line = 0; line < 1'000'000; ++line) {
    for (int k = 0; k < 6; ++k) {
      x = x * 1664525u + 1013904223u;
      text += static_cast<char>('a' + (x >> 24) % 26);
      if (k == 2) text += static_cast<char>('1' + (x >> 16) % 9);
    }
    text += '\n';
  }
  const long before = bench::processStatusKb("VmHWM");
  const hyph::PatternFile file =
      hyph::readPatterns({"random.pat", text}, *hyph::hyphenatorCharTable(hyph::english_US()));
  (void)hyph::lookupPattern(U"hyphenation", file.patterns);
  const long after = bench::processStatusKb("VmHWM");
  std::cout << "pattern_file_bytes " << text.size() << '\n'
            << "pattern_file_peak_growth_kib " << after - before << '\n'
            << "pattern_file_peak_bytes_per_input_byte "
            << static_cast<double>(after - before) * 1024 / static_cast<double>(text.size())
            << '\n';
}

int main() {
  // A program just linked has its pages dirty in the page cache until they
  // are written back, and smaps counts them as private dirty while they
  // are: written back first, the figure is the process's own.
  ::sync();
  const Resident empty;
  (void)hyph::breakPoints(hyph::english_US(), std::string_view("hyphenation"));
  const Resident english;
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    (void)hyph::breakPoints(hyph::languageHyphenator(language), bench::lettersOf(language));
  const Resident all;
  print("english", empty, english);
  print("all", empty, all);
  patternFilePeak();
}
