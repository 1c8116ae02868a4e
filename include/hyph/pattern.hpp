// The pattern trie: Liang's hyphenation patterns keyed by code point.
//
// A pattern such as "hen5at" is letters with digits in the gaps between them;
// `lookupPattern` scores every gap of a word with the largest digit that any
// matching pattern puts there.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "hyph/export.hpp"
#include "hyph/scores.hpp"

namespace hyph {

namespace detail {
struct FlatTrie;
}

/// One trie node, and with it the whole trie below it. An immutable value:
/// copying is O(1) and every operation returns a new trie that shares the
/// unchanged parts with its arguments. Default construction gives the empty
/// trie, the identity of merge (`operator|`).
///
/// A trie parsed from pattern text is stored flat, in a few contiguous arrays
/// laid out for lookup; tries made by the constructor, `insertPattern` or a
/// merge are linked nodes, compiled to the flat form on their first lookup.
/// Both forms behave alike through this interface.
class HYPH_API Patterns {
 public:
  /// A child of a node: the letter that leads to it, and its subtrie.
  using Child = std::pair<char32_t, Patterns>;
  class Children;

  Patterns() = default;
  /// A node with these scores and children.
  Patterns(Scores scores, const std::map<char32_t, Patterns>& children);

  /// The score list of the pattern that ends at this node (empty if none).
  Scores scores() const;
  /// The children, in ascending order of their code point.
  Children children() const;
  /// The child for `letter`, if there is one.
  std::optional<Patterns> child(char32_t letter) const;
  /// True for a node without scores and without children.
  bool empty() const;

  /// Structural equality (shared subtries compare in O(1)).
  friend HYPH_API bool operator==(const Patterns& a, const Patterns& b);

 private:
  struct Node;
  friend struct PatternsAccess;

  std::shared_ptr<const Node> node_;              // linked form; both null: the empty trie
  std::shared_ptr<const detail::FlatTrie> flat_;  // flat form, at node index_
  std::uint32_t index_ = 0;
};

/// The children of a node: a random-access range of (code point, subtrie)
/// pairs, produced on access.
class HYPH_API Patterns::Children {
 public:
  /// A random-access iterator over the children; it yields them by value.
  class iterator {
   public:
    using value_type = Child;                                   ///< A child, by value.
    using difference_type = std::ptrdiff_t;                     ///< A distance.
    using iterator_category = std::random_access_iterator_tag;  ///< Random access.
    iterator() = default;
    /// The child `at` of `range`.
    iterator(const Children* range, std::size_t at) : range_(range), at_(at) {}
    /// The child it stands at.
    Child operator*() const { return (*range_)[at_]; }
    /// The next child.
    iterator& operator++() { return ++at_, *this; }
    /// The next child, giving this one.
    iterator operator++(int) { return {range_, at_++}; }
    /// The previous child.
    iterator& operator--() { return --at_, *this; }
    /// `d` children on.
    iterator& operator+=(difference_type d) { return at_ += static_cast<std::size_t>(d), *this; }
    /// `d` children on from `it`.
    friend iterator operator+(iterator it, difference_type d) { return it += d; }
    /// How many children lie from `b` to `a`.
    friend difference_type operator-(const iterator& a, const iterator& b) {
      return static_cast<difference_type>(a.at_) - static_cast<difference_type>(b.at_);
    }
    /// Whether both stand at the same child.
    friend bool operator==(const iterator& a, const iterator& b) { return a.at_ == b.at_; }

   private:
    const Children* range_ = nullptr;
    std::size_t at_ = 0;
  };

  /// The number of children.
  std::size_t size() const { return size_; }
  /// Whether there are none.
  bool empty() const { return size_ == 0; }
  /// The i-th child, 0 <= i < size().
  Child operator[](std::size_t i) const;
  /// The first child.
  iterator begin() const { return {this, 0}; }
  /// Past the last child.
  iterator end() const { return {this, size_}; }

 private:
  friend class Patterns;
  // Holds its trie, so it stays valid after the Patterns it came from is gone.
  std::shared_ptr<const Node> node_;
  std::shared_ptr<const detail::FlatTrie> flat_;
  std::size_t begin_ = 0;  // flat form: the node whose children these are
  std::size_t size_ = 0;
};

/// The score list of one pattern: "hy3ph" gives 0, 0, 3, 0, 0; "a1" gives 0, 1.
HYPH_API Scores scorePattern(std::u32string_view pattern);

/// The trie with `pattern` added; its scores replace those of an earlier
/// pattern with the same letters.
HYPH_API Patterns insertPattern(std::u32string_view pattern, const Patterns& trie);

/// The trie of a pattern file, one pattern per line. Where two lines have the
/// same letters, the earlier line wins.
HYPH_API Patterns parsePatterns(std::u32string_view text);
/// The same for UTF-8 text, decoded as the embedded data is: a byte that
/// does not decode is the code point of its own value.
HYPH_API Patterns parsePatterns(std::string_view utf8);

/// The score list of `word` (already normalised): entry g for the gap before
/// code point g, n or n + 1 entries depending on how far the patterns reach.
/// With the US English patterns "hyphenation" gives 0,0,3,0,0,2,5,4,2,0,2.
HYPH_API Scores lookupPattern(std::u32string_view word, const Patterns& trie);

/// Merge: scores are combined by pointwise maximum, children by union.
/// Commutative and idempotent; the empty trie is its identity.
HYPH_API Patterns operator|(const Patterns& a, const Patterns& b);
/// `first` merged with all of `rest`.
HYPH_API Patterns sconcat(const Patterns& first, std::span<const Patterns> rest);
/// All of `tries` merged; the empty trie for an empty sequence.
HYPH_API Patterns mconcat(std::span<const Patterns> tries);
/// `trie` merged with itself `count` times, which is `trie` itself; throws
/// hyph::Error when `count` is below 1.
HYPH_API Patterns stimes(std::int64_t count, const Patterns& trie);

/// Text form at a precedence: "Patterns [] (fromList [])" for the empty trie,
/// wrapped in parentheses at precedence 11 or more; `rest` is appended.
HYPH_API std::string showsPrec(std::int64_t precedence, const Patterns& trie,
                               std::string_view rest = {});
HYPH_API std::string show(const Patterns& trie);
HYPH_API std::string showList(std::span<const Patterns> tries);
HYPH_API std::ostream& operator<<(std::ostream& out, const Patterns& trie);

}  // namespace hyph
