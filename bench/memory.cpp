// Resident memory of loaded languages: prints the growth of the resident set
// after English alone is loaded and used, then after all 73.
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"
#include "process_status.hpp"

int main() {
  const long empty = bench::processStatusKb("VmRSS");
  (void)hyph::breakPoints(hyph::english_US(), std::string_view("hyphenation"));
  const long english = bench::processStatusKb("VmRSS");
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    (void)hyph::breakPoints(hyph::languageHyphenator(language), std::string_view("abcdefghij"));
  const long all = bench::processStatusKb("VmRSS");
  std::cout << "english_kib " << english - empty << "\nall_kib " << all - empty << '\n';
}
