// What the engine's own sources may see of a Hyphenator beyond its accessors.
#pragma once

#include <span>

#include "hyph/hyphenator.hpp"

namespace hyph {

struct HyphenatorAccess {
  /// Applies the character mapping to each code point of `word` in place;
  /// through the table directly when the mapping is one.
  static void normalise(const Hyphenator& h, std::span<char32_t> word) {
    const Hyphenator::Tables& tables = *h.tables_;
    if (tables.charMap) {
      const CharMap& map = tables.charMap->get();
      for (char32_t& c : word) c = map(c);
    } else {
      for (char32_t& c : word) c = tables.chars(c);
    }
  }

  /// A word's lookups, when the mapping is a table (built first if
  /// deferred, with the tables they hold).
  static const detail::Lookups* lookups(const Hyphenator& h) {
    return h.tables_->lookups ? h.tables_->lookups->get().get() : nullptr;
  }

  /// The character table, when the mapping is one (built first if deferred).
  static const CharMap* charMap(const Hyphenator& h) {
    return h.tables_->charMap ? &h.tables_->charMap->get() : nullptr;
  }
};

}  // namespace hyph
