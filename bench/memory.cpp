// Resident memory of loaded languages: prints the growth of the resident set
// after English alone is loaded and used, then after all 73, and of its two
// parts: anonymous memory (the tables on the heap) and file-backed pages
// (the library's code and constant data as the kernel maps them in, shared
// with every process that has the same file, and varying with how the
// kernel maps around a fault).
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

int main() {
  const Resident empty;
  (void)hyph::breakPoints(hyph::english_US(), std::string_view("hyphenation"));
  const Resident english;
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    (void)hyph::breakPoints(hyph::languageHyphenator(language), std::string_view("abcdefghij"));
  const Resident all;
  print("english", empty, english);
  print("all", empty, all);
}
