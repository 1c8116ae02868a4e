// Resident memory of loaded languages: prints the growth of the resident set
// after English alone is loaded and used, then after all 73.
#include <fstream>
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"

namespace {
long residentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}
}  // namespace

int main() {
  const long empty = residentKb();
  (void)hyph::breakPoints(hyph::english_US(), std::string_view("hyphenation"));
  const long english = residentKb();
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    (void)hyph::breakPoints(hyph::languageHyphenator(language), std::string_view("abcdefghij"));
  const long all = residentKb();
  std::cout << "english_kib " << english - empty << "\nall_kib " << all - empty << '\n';
}
