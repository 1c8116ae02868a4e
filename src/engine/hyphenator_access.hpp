// What the engine's own sources may see of a Hyphenator beyond its accessors.
#pragma once

#include "hyph/hyphenator.hpp"

namespace hyph {

struct HyphenatorAccess {
  /// A word's lookups, when the mapping is a table (built first if
  /// deferred, with the tables they hold).
  static const detail::WordTables* lookups(const Hyphenator& h) {
    return h.tables_->lookups ? h.tables_->lookups->get().get() : nullptr;
  }

  /// The character table, when the mapping is one (built first if deferred).
  static const CharTable* charMap(const Hyphenator& h) {
    return h.tables_->charMap ? &h.tables_->charMap->get() : nullptr;
  }
};

}  // namespace hyph
