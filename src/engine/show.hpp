// Helpers shared by the text forms of the value types.
#pragma once

#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "hyph/scores.hpp"

namespace hyph::detail {

inline void appendInteger(std::string& out, std::int64_t value) {
  char buffer[24];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)ec;
  out.append(buffer, end);
}

/// "[0,1,0]": decimal integers separated by commas, no blanks.
inline void appendScores(std::string& out, const Scores& scores) {
  out += '[';
  for (std::size_t i = 0; i < scores.size(); ++i) {
    if (i != 0) out += ',';
    appendInteger(out, scores[i]);
  }
  out += ']';
}

/// "[a,b]" of the precedence-0 forms of `items`.
template <class T, class Show>
std::string showSequence(std::span<const T> items, Show show) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i != 0) out += ',';
    out += show(items[i]);
  }
  out += ']';
  return out;
}

/// Splits `text` at line feeds: the line feed belongs to no line, a final
/// line feed starts no empty line, an empty text has no lines. Calls
/// `onLine(std::u32string_view)` for each line in order.
template <class OnLine>
void forEachLine(std::u32string_view text, OnLine onLine) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(U'\n', start);
    if (end == std::u32string_view::npos) end = text.size();
    onLine(text.substr(start, end - start));
    start = end + 1;
  }
}

}  // namespace hyph::detail
