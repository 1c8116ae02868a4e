// What the library's own sources see of a Hyphenator: its tables, and a
// Hyphenator made of tables put together elsewhere (a built-in language's,
// or a custom one over another's).
#pragma once

#include <memory>
#include <optional>

#include "hyph/hyphenator.hpp"
#include "word_tables.hpp"

namespace hyph {

struct Hyphenator::Tables {
  CharMapping chars;                             // hyphenatorChars
  std::optional<Deferred<CharTable>> charTable;  // when `chars` looks one up
  Deferred<Patterns> patterns;                   // hyphenatorPatterns
  Deferred<Exceptions> exceptions;               // hyphenatorExceptions
  /// What words are looked up in: built from the three on first use, or a
  /// built-in language's, ready at once.
  Deferred<std::shared_ptr<const detail::WordTables>> words =
      std::shared_ptr<const detail::WordTables>();
};

struct HyphenatorAccess {
  using Tables = Hyphenator::Tables;

  static Hyphenator make(std::shared_ptr<const Tables> tables, std::int64_t leftMin,
                         std::int64_t rightMin) {
    return Hyphenator(std::move(tables), leftMin, rightMin);
  }
  static const std::shared_ptr<const Tables>& tables(const Hyphenator& h) { return h.tables_; }

  /// A Hyphenator over lookup tables made elsewhere (a compiled block,
  /// viewed in place), which hold a character table: that is its mapping.
  /// `patterns` and `exceptions` give hyphenatorPatterns and
  /// hyphenatorExceptions, which such tables do not keep.
  static Hyphenator ofWordTables(std::shared_ptr<const detail::WordTables> words,
                                 Deferred<Patterns> patterns, Deferred<Exceptions> exceptions,
                                 std::int64_t leftMin, std::int64_t rightMin) {
    const CharTable& table = *words->chars;
    auto tables = std::make_shared<Tables>(Tables{[table](char32_t c) { return table(c); },
                                                  Deferred<CharTable>(table), std::move(patterns),
                                                  std::move(exceptions), std::move(words)});
    return make(std::move(tables), leftMin, rightMin);
  }

  /// What the words are looked up in (built first if deferred).
  static const std::shared_ptr<const detail::WordTables>& words(const Hyphenator& h) {
    return h.tables_->words.get();
  }

  /// The character table, when the mapping is one (built first if deferred).
  static const CharTable* charTable(const Hyphenator& h) {
    return h.tables_->charTable ? &h.tables_->charTable->get() : nullptr;
  }

  static std::int64_t leftMin(const Hyphenator& h) { return h.leftMin_; }
  static std::int64_t rightMin(const Hyphenator& h) { return h.rightMin_; }
};

}  // namespace hyph
