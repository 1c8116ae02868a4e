// From a word to its scores: every lookup of a word in a trie (lookupPattern,
// and the Hyphenator's one road from a word to its breaks) pads the word
// with PaddedWord and scores it with WordScores.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "engine/small_buffer.hpp"
#include "flat_trie.hpp"

namespace hyph::detail {

/// A word as a lookup takes it: the symbol codes of its letters between two
/// boundary codes (the "." that patterns such as ".ach4" match), on the stack
/// for ordinary words.
class PaddedWord {
 public:
  /// Words of up to this many letters stay on the stack.
  static constexpr std::size_t kInlineLetters = 128;

  /// Room for up to `capacity` letters.
  explicit PaddedWord(std::size_t capacity) : codes_(capacity + 2) {}

  /// Where the codes of the letters go: letters()[i] for letter i.
  SymbolCode* letters() { return codes_.data() + 1; }
  /// Puts the boundary around the first `count` letters.
  void close(std::size_t count, SymbolCode boundary) {
    codes_[0] = codes_[count + 1] = boundary;
    size_ = count + 2;
  }

  const SymbolCode* data() const { return codes_.data(); }
  /// The number of codes, boundaries included: the word's length plus two.
  std::size_t size() const { return size_; }

 private:
  SmallBuffer<SymbolCode, kInlineLetters + 2> codes_;
  std::size_t size_ = 0;
};

/// Which scores of a padded word a caller reads: the gaps from `first` to
/// `last` (gap g of the padded word stands before its code g, so gap g + 1 is
/// the gap before letter g of the word). With `parityOnly` it asks only
/// which of them are odd, and not for the length of the list; a lookup then
/// skips what cannot reach those gaps, which is how a Hyphenator's minimums
/// reach the scoring loop.
struct ScoreRequest {
  std::size_t first = 0;  // at most `last`
  std::size_t last = std::numeric_limits<std::size_t>::max();
  bool parityOnly = false;
};

/// What scores a padded word: the automaton of a whole parsed trie (a view,
/// which may be a built-in language's constant data), or else a walk of a
/// flat trie from one of its nodes.
struct Scorer {
  const TrieView* automaton = nullptr;
  FlatView walk{nullptr, 0};
};

/// The window automaton's lookup of a padded word of m codes: writes the
/// full list's gaps from result[trie.window - 1] (room: window + m + 1 +
/// rootScores.size()) and returns its length.
std::size_t automatonLookup(const TrieView& trie, const SymbolCode* codes, std::size_t m,
                            std::uint8_t* result);
/// Words of up to this many codes, boundaries included, have their odd gaps
/// come as a 32-bit mask, without a buffer for their scores.
inline constexpr std::size_t kShortWord = 30;
/// The window automaton's lookup of a padded word of at most kShortWord
/// codes, whose root has no scores: bit g for each gap g whose score is odd.
std::uint32_t oddGapMask(const TrieView& trie, const SymbolCode* codes, std::size_t m);

/// The merged automaton's lookup of a padded word of m codes: writes the
/// full list's gaps from result[0] (room: m + trie.reach + rootScores.size())
/// and returns its length.
std::size_t mergedLookup(const TrieView& trie, const SymbolCode* codes, std::size_t m,
                         std::uint8_t* result);

/// The lookup of any trie: a walk from each of the first `starts` positions
/// of the padded word, as deep as its codes have children. `result` needs
/// room for m + trie.maxScoreLength entries; returns the full list's length.
std::size_t walkLookup(FlatView view, const SymbolCode* codes, std::size_t m, std::int64_t* result,
                       std::size_t starts);

/// The common road of a parity request, for a short word in a window
/// automaton whose root has no scores: sets `mask` to bit g for each odd gap
/// g from `first` to `last` and returns true. Returns false, having done
/// nothing, for any other word or automaton.
inline bool oddGapsOfShortWord(const TrieView* trie, const PaddedWord& word, std::size_t first,
                               std::size_t last, std::uint32_t& mask) {
  if (!trie || trie->scoring != TrieView::Scoring::Windows || word.size() > kShortWord ||
      !trie->rootScores.empty())
    return false;
  const std::uint32_t odd = oddGapMask(*trie, word.data(), word.size());
  // Gaps [first, last]: first <= last, and the word has no gap past 31.
  last = std::min<std::size_t>(last, 31);
  mask = odd & (~std::uint32_t{0} << first) & (~std::uint32_t{0} >> (31 - last));
  return true;
}

/// The scores of a padded word, as one lookup gives them.
class WordScores {
 public:
  /// Looks up `word` with the automaton, or else by a walk.
  WordScores(const Scorer& scorer, const PaddedWord& word, ScoreRequest request = {})
      : request_(request) {
    const std::size_t m = word.size();
    if (request.parityOnly &&
        oddGapsOfShortWord(scorer.automaton, word, request.first, request.last, mask_)) {
      form_ = Form::Mask;
      return;
    }
    if (const TrieView* trie = scorer.automaton) {
      const std::size_t root = trie->rootScores.size();
      if (trie->scoring == TrieView::Scoring::Windows) {
        storage_.resize((trie->window + m + 1 + root + 7) / 8);
        auto* bytes = reinterpret_cast<std::uint8_t*>(storage_.data());
        size_ = automatonLookup(*trie, word.data(), m, bytes);
        digits_ = bytes + trie->window - 1;
      } else {
        storage_.resize((m + trie->reach + root + 7) / 8);
        auto* bytes = reinterpret_cast<std::uint8_t*>(storage_.data());
        size_ = mergedLookup(*trie, word.data(), m, bytes);
        digits_ = bytes;
      }
      form_ = Form::Bytes;
      return;
    }
    // A walk from a position after the last gap asked for cannot reach it.
    const std::size_t starts = request.parityOnly ? std::min(request.last, m - 1) + 1 : m;
    storage_.resize(m + scorer.walk.trie->maxScoreLength);
    size_ = walkLookup(scorer.walk, word.data(), m, storage_.data(), starts);
    wide_ = storage_.data();
    form_ = Form::Wide;
  }
  WordScores(const WordScores&) = delete;
  WordScores& operator=(const WordScores&) = delete;

  /// The length of the full list over the gaps of the padded word: at least
  /// its number of codes, more where patterns reach past its end (not for a
  /// parityOnly request).
  std::size_t size() const { return size_; }
  /// The score of a gap below size() (not for a parityOnly request).
  std::int64_t operator[](std::size_t gap) const {
    return form_ == Form::Bytes ? std::int64_t{digits_[gap]} : wide_[gap];
  }

  /// Calls onGap(g) for each requested gap g whose score is odd, ascending.
  template <class OnGap>
  void forEachOdd(OnGap onGap) const {
    if (form_ == Form::Mask) {
      for (std::uint32_t odd = mask_; odd != 0; odd &= odd - 1)
        onGap(static_cast<std::size_t>(std::countr_zero(odd)));
      return;
    }
    const std::size_t last = std::min(request_.last, size_ - 1);
    for (std::size_t gap = request_.first; gap <= last; ++gap)
      if ((*this)[gap] % 2 != 0) onGap(gap);
  }

 private:
  enum class Form { Mask, Bytes, Wide };
  ScoreRequest request_;
  Form form_;
  std::uint32_t mask_;  // Form::Mask: bit g for gap g
  std::size_t size_ = 0;
  union {
    const std::uint8_t* digits_;  // Form::Bytes: gap 0 at digits_[0]
    const std::int64_t* wide_;    // Form::Wide
  };
  SmallBuffer<std::int64_t, 96> storage_;  // bytes or 64-bit scores
};

}  // namespace hyph::detail
