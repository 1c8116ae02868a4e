// A program that uses hyph the way a project of its own would.
#include <hyph/hyph.hpp>

#include <iostream>
#include <string>

int main() {
  std::string out;
  for (const std::string& piece : hyph::hyphenate(hyph::english_US(), "Hyphenation")) {
    if (!out.empty()) out += '-';
    out += piece;
  }
  std::cout << out << '\n';
  return out == "Hy-phen-ation" ? 0 : 1;
}
