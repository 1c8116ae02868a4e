// Score lists and the small value-type vocabulary shared by the engine.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace hyph {

/// Scores the gaps of a word of n code points: entry g belongs to the gap
/// before code point g, entry n to the gap after the last one. An odd entry
/// permits a break there. A list may be shorter; missing gaps carry no break.
using Scores = std::vector<std::int64_t>;

/// Splits off the last element: nothing for an empty sequence, otherwise the
/// sequence without its last element (a view into the argument) and that
/// element. `unsnoc(U"abc")` gives `U"ab"` and `U'c'`.
inline std::optional<std::pair<std::u32string_view, char32_t>> unsnoc(std::u32string_view text) {
  if (text.empty()) return std::nullopt;
  return std::pair{text.substr(0, text.size() - 1), text.back()};
}

template <class T>
std::optional<std::pair<std::span<const T>, T>> unsnoc(std::span<const T> items) {
  if (items.empty()) return std::nullopt;
  return std::pair{items.first(items.size() - 1), items.back()};
}

template <class T>
std::optional<std::pair<std::span<const T>, T>> unsnoc(const std::vector<T>& items) {
  return unsnoc(std::span<const T>(items));
}

}  // namespace hyph
