// Resident memory of loaded languages: prints the growth of the resident set
// after English alone is loaded and used, then after all 73, and of its two
// parts: anonymous memory (the tables on the heap) and file-backed pages
// (the library's code and constant data as the kernel maps them in, shared
// with every process that has the same file, and varying with how the
// kernel maps around a fault). Last, the peak growth per input byte of
// reading a user's pattern file of a million random lines.
#include <cstdint>
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"
#include "process_status.hpp"

namespace {

struct Resident {
  long total = bench::processStatusKb("VmRSS");
  long anonymous = bench::processStatusKb("RssAnon");
  long file = bench::processStatusKb("RssFile");
};

void print(const char* what, const Resident& before, const Resident& after) {
  std::cout << what << "_kib " << after.total - before.total << '\n'
            << what << "_anon_kib " << after.anonymous - before.anonymous << '\n'
            << what << "_file_kib " << after.file - before.file << '\n';
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
  const Resident empty;
  (void)hyph::breakPoints(hyph::english_US(), std::string_view("hyphenation"));
  const Resident english;
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    (void)hyph::breakPoints(hyph::languageHyphenator(language), std::string_view("abcdefghij"));
  const Resident all;
  print("english", empty, english);
  print("all", empty, all);
  patternFilePeak();
}
