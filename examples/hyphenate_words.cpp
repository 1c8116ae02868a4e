// Hyphenates the words given on the command line with a Hyphenator built from
// a handful of English patterns and two exception words.
//
//   $ hyphenate_words hyphenation table present
//   hy-phen-ation
//   ta-ble
//   present
#include <cctype>
#include <iostream>
#include <string>

#include "hyph/hyph.hpp"

int main(int argc, char** argv) {
  const hyph::Patterns patterns =
      hyph::parsePatterns(U"hy3ph\nhe2n\nhen5at\nhena4\n1na\nn2at\n1tio\n2io\no2n\n");
  const hyph::Exceptions exceptions = hyph::parseExceptions(U"ta-ble\npresent\n");
  const auto lower = [](char32_t c) {
    return c < 0x80 ? static_cast<char32_t>(std::tolower(static_cast<int>(c))) : c;
  };
  const hyph::Hyphenator hyphenator(lower, patterns, exceptions, 2, 3);

  for (int i = 1; i < argc; ++i) {
    // The patterns above are ASCII; each byte of the argument is one letter.
    const std::string word = argv[i];
    const std::u32string letters(word.begin(), word.end());
    std::string line;
    for (const std::u32string& piece : hyph::hyphenate(hyphenator, letters)) {
      if (!line.empty()) line += '-';
      for (char32_t c : piece) line += static_cast<char>(c);
    }
    std::cout << line << '\n';
  }
}
