// Hyphenates the words given on the command line with a Hyphenator built from
// a handful of English patterns and two exception words, to show how a
// caller assembles one of its own.
//
//   $ hyphenate_words hyphenation table present
//   hy-phen-ation
//   ta-ble
//   present
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"

int main(int argc, char** argv) {
  const hyph::Patterns patterns =
      hyph::parsePatterns(U"hy3ph\nhe2n\nhen5at\nhena4\n1na\nn2at\n1tio\n2io\no2n\n");
  const hyph::Exceptions exceptions = hyph::parseExceptions(U"ta-ble\npresent\n");
  const auto lower = [](char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; };
  const hyph::Hyphenator hyphenator(lower, patterns, exceptions, 2, 3);

  for (int i = 1; i < argc; ++i)
    std::cout << hyph::join(hyph::hyphenate(hyphenator, std::string_view(argv[i])), "-") << '\n';
}
