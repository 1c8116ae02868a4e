// Telling URLs and e-mail addresses in running text.
#include "url.hpp"

namespace hyph::text {

namespace {

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

bool isUrlOrAddress(std::string_view token, bool colon, bool at) {
  while (!token.empty() &&
         std::string_view("([{<\"'").find(token.front()) != std::string_view::npos)
    token.remove_prefix(1);
  if (token.size() > 4 && asciiLower(token[0]) == 'w' && asciiLower(token[1]) == 'w' &&
      asciiLower(token[2]) == 'w' && token[3] == '.')
    return true;
  if (colon) {
    const std::size_t scheme = token.find("://");
    if (scheme != std::string_view::npos && scheme > 0 && isAsciiAlpha(token[0])) {
      bool valid = true;
      for (char c : token.substr(0, scheme))
        valid = valid &&
                (isAsciiAlpha(c) || (c >= '0' && c <= '9') || c == '+' || c == '.' || c == '-');
      if (valid) return true;
    }
  }
  if (at) {
    const std::size_t sign = token.find('@');
    return sign != std::string_view::npos && sign > 0 &&
           token.find('.', sign + 2) != std::string_view::npos;
  }
  return false;
}

}  // namespace hyph::text
