// A program that uses hyph the way a project of its own would.
#include <hyph/hyph.hpp>

#include <iostream>
#include <string>

int main() {
  const std::string out = hyph::join(hyph::hyphenate(hyph::english_US(), "Hyphenation"), "-");
  std::cout << out << '\n';
  return out == "Hy-phen-ation" ? 0 : 1;
}
