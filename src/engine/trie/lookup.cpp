// Scoring a padded word: through the automaton of a parsed trie, one pass
// over the word, or by a walk from every position for any other trie.
#include "lookup.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "cpu.hpp"
#include "engine/first_use.hpp"
#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "patterns_access.hpp"

namespace hyph {
namespace detail {
namespace {

/// A walk of the automaton: after each code, the slot of the longest suffix
/// of what was read that is a path of the trie. Most steps take one load
/// deep: the slot of the child on the code, and the row's copy of the slot
/// that a step without a child leads to, loaded together and one of them
/// kept. A fail state without a row takes the long way along the links.
template <class Slot>
class Steps;

template <>
class Steps<CompactSlot> {
 public:
  using SlotLayout = CompactSlot;

  explicit Steps(const TrieView& trie)
      : slots_(trie.slots.data()), rows_(trie.rows.data()), symbols_(trie.symbolCount) {}

  std::uint32_t output() const { return CompactSlot::output(current_); }

  [[gnu::always_inline]] void step(SymbolCode code) {
    if (code == kNoSymbol) {
      current_ = slots_[0];
      return;
    }
    const std::uint64_t child = slots_[CompactSlot::base(current_) + code];
    std::uint32_t link = CompactSlot::link(current_);
    if (CompactSlot::check(child) == code) {
      current_ = child;
      return;
    }
    if (link & CompactSlot::kRowFlag) [[likely]] {
      current_ = rows_[std::size_t{link & ~CompactSlot::kRowFlag} * symbols_ + code - 1];
      return;
    }
    while (true) {  // along the links to a fail state with the child, or a row
      const std::uint64_t fail = slots_[link];
      const std::uint64_t next = slots_[CompactSlot::base(fail) + code];
      if (CompactSlot::check(next) == code) {
        current_ = next;
        return;
      }
      link = CompactSlot::link(fail);
      if (link & CompactSlot::kRowFlag) {
        current_ = rows_[std::size_t{link & ~CompactSlot::kRowFlag} * symbols_ + code - 1];
        return;
      }
    }
  }

 private:
  const std::uint64_t* slots_;
  const std::uint64_t* rows_;
  std::size_t symbols_;
  std::uint64_t current_ = slots_[0];
};

template <>
class Steps<WideSlot> {
 public:
  using SlotLayout = WideSlot;

  explicit Steps(const TrieView& trie)
      : slots_(trie.slots.data()), rows_(trie.rows.data()), symbols_(trie.symbolCount) {}

  std::uint32_t output() const { return WideSlot::output(current_); }

  void step(SymbolCode code) {
    if (code == kNoSymbol) {
      current_ = slots_;
      return;
    }
    std::uint32_t link = WideSlot::link(current_);
    const std::uint64_t* candidate = at(WideSlot::base(current_) + code);
    while (WideSlot::check(candidate) != code) {
      if (link & WideSlot::kRowFlag) {
        current_ = rows_ + (std::size_t{link & ~WideSlot::kRowFlag} * symbols_ + code - 1) * 2;
        return;
      }
      const std::uint64_t* fail = at(link);
      candidate = at(WideSlot::base(fail) + code);
      link = WideSlot::link(fail);
    }
    current_ = candidate;
  }

 private:
  const std::uint64_t* at(std::uint32_t state) const { return slots_ + std::size_t{state} * 2; }

  const std::uint64_t* slots_;
  const std::uint64_t* rows_;
  std::size_t symbols_;
  const std::uint64_t* current_ = slots_;
};

/// Calls run(steps) with the steps of the trie's slot layout.
template <class Run>
auto withLayout(const TrieView& trie, Run run) {
  if constexpr (kWideSlots) {
    if (trie.wide) return run(Steps<WideSlot>(trie));
  }
  return run(Steps<CompactSlot>(trie));
}

/// The scores of the W gaps up to the one after the current code, in SSE2
/// registers (or an array, without SSE2) that slide by one gap a code.
template <std::size_t W>
class SlidingScores {
 public:
  static_assert(W == 16 || W == 32);

  /// Takes in the window of the state just reached and moves on by one gap;
  /// returns the score of the gap that leaves, which no later window reaches.
  std::uint8_t slide(const std::uint8_t* window) {
#if defined(__SSE2__)
    if constexpr (W == 16) {
      low_ = _mm_max_epu8(low_, loadBytes(window));
      const auto leaving = static_cast<std::uint8_t>(_mm_cvtsi128_si32(low_));
      low_ = _mm_srli_si128(low_, 1);
      return leaving;
    } else {
      low_ = _mm_max_epu8(low_, loadBytes(window));
      high_ = _mm_max_epu8(high_, loadBytes(window + 16));
      const auto leaving = static_cast<std::uint8_t>(_mm_cvtsi128_si32(low_));
      low_ = _mm_or_si128(_mm_srli_si128(low_, 1), _mm_slli_si128(high_, 15));
      high_ = _mm_srli_si128(high_, 1);
      return leaving;
    }
#else
    for (std::size_t k = 0; k < W; ++k) held_[k] = std::max(held_[k], window[k]);
    const std::uint8_t leaving = held_[0];
    std::memmove(held_, held_ + 1, W - 1);
    held_[W - 1] = 0;
    return leaving;
#endif
  }

  /// Stores the W gaps still held.
  void store(std::uint8_t* to) const {
#if defined(__SSE2__)
    storeBytes(to, low_);
    if constexpr (W == 32) storeBytes(to + 16, high_);
#else
    std::copy_n(held_, W, to);
#endif
  }

  /// Bit k: the low bit of the k-th gap still held.
  std::uint32_t oddGaps() const {
#if defined(__SSE2__)
    auto odd = static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(low_, 7)));
    if constexpr (W == 32)
      odd |= static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(high_, 7))) << 16;
    return odd;
#else
    std::uint32_t odd = 0;
    for (std::size_t k = 0; k < W; ++k) odd |= std::uint32_t{held_[k] & 1u} << k;
    return odd;
#endif
  }

 private:
#if defined(__SSE2__)
  __m128i low_ = _mm_setzero_si128();
  __m128i high_ = _mm_setzero_si128();
#else
  std::uint8_t held_[W] = {};
#endif
};

/// The automaton's pass over a padded word. After each code the state is the
/// longest suffix of what was read that is a path of the trie, and its
/// output holds the scores of every path that ends there: a window ending at
/// the gap after that code. No later window reaches the window's first gap,
/// so that gap is final once the window is in: the gap of code j leaves as
/// gap j + 2 - W of the padded word. Its score is stored at result[j + 1]
/// (so that the gaps start at result[W - 1]), or only its parity kept as
/// bit j + 2 - W of `odd`, for a word short enough for a mask. The last W
/// gaps stay in `scores`. Returns the output of the last state.
template <bool kMask, std::size_t W, class Steps>
[[gnu::always_inline]] inline std::uint32_t pass(const TrieView& trie, Steps steps,
                                                 const SymbolCode* codes, std::size_t m,
                                                 std::uint8_t* result, std::uint32_t& odd,
                                                 SlidingScores<W>& scores) {
  const std::uint8_t* windows = trie.windows.data();
  std::uint32_t output = 0;
  for (std::size_t j = 0; j < m; ++j) {
    steps.step(codes[j]);
    output = steps.output();
    // Every state has a window (the root's is empty), so there is no branch.
    const std::uint8_t leaving = scores.slide(windows + std::size_t{output} * W);
    if constexpr (kMask) {
      // Gaps before the padded word leave first; they score nothing.
      if (j + 2 >= W) odd |= std::uint32_t{leaving & 1u} << (j + 2 - W);
    } else {
      result[j + 1] = leaving;
    }
  }
  return output;
}

/// Calls run(steps, window) with the trie's slot layout and window size.
template <class Run>
auto withWindow(const TrieView& trie, Run run) {
  return withLayout(trie, [&](auto steps) {
    if (trie.window == 16) return run(steps, std::integral_constant<std::size_t, 16>());
    return run(steps, std::integral_constant<std::size_t, 32>());
  });
}

}  // namespace

// On a cache line of its own start: most words' time is this loop's, which
// then runs the same however the code before it grows.
HYPH_FIRST_USE [[gnu::aligned(64)]] std::uint32_t oddGapMask(const TrieView& trie,
                                                            const SymbolCode* codes, std::size_t m) {
  return withWindow(trie, [&](auto steps, auto window) {
    constexpr std::size_t W = window();
    SlidingScores<W> scores;
    std::uint32_t odd = 0;
    pass<true, W>(trie, steps, codes, m, nullptr, odd, scores);
    // Bit k of the registers' mask is gap m + 2 - W + k.
    const std::uint32_t held = scores.oddGaps();
    return m + 2 >= W ? odd | held << (m + 2 - W) : held >> (W - 2 - m);
  });
}

std::size_t automatonLookup(const TrieView& trie, const SymbolCode* codes, std::size_t m,
                            std::uint8_t* result) {
  return withWindow(trie, [&](auto steps, auto window) -> std::size_t {
    constexpr std::size_t W = window();
    // Scores are never negative here, so every gap can start at 0. An
    // output's window may start before the word: those entries land in the
    // first W - 1 bytes.
    SlidingScores<W> scores;
    std::uint32_t odd = 0;
    const std::size_t root = trie.rootScores.size();
    const std::size_t room = W + m + 1 + root;
    result[0] = 0;
    const std::uint32_t output = pass<false, W>(trie, steps, codes, m, result, odd, scores);
    scores.store(result + m + 1);
    std::fill(result + m + 1 + W, result + room, 0);
    std::uint8_t* gaps = result + W - 1;
    std::size_t length = m;
    if (root != 0) {
      const std::uint8_t* own = trie.rootScores.data();
      for (std::size_t i = 0; i <= m; ++i)
        for (std::size_t k = 0; k < root; ++k) gaps[i + k] = std::max(gaps[i + k], own[k]);
      length = m + root;
    }
    // Only the last window can reach past the padded word, by one gap.
    return std::max(length, m + trie.reaches[output]);
  });
}

std::size_t mergedLookup(const TrieView& trie, const SymbolCode* codes, std::size_t m,
                         std::uint8_t* result) {
  // Each step lays the runs of the merged list of the state that counts
  // over the gaps from the first letter of its path on. A run of score d is
  // kept as the furthest gap that runs of d or more reach from its first
  // gap, so that it costs a step however long it is; one sweep per score
  // then gives every gap its score.
  const std::size_t root = trie.rootScores.size();
  const std::size_t gaps = m + trie.reach + root;
  thread_local std::vector<std::uint32_t> ends;  // ends[(d - 1) * gaps + g]
  ends.assign(9 * gaps, 0);
  std::size_t length = m;
  auto lay = [&](std::size_t first, std::size_t count, std::uint32_t score) {
    const auto end = static_cast<std::uint32_t>(first + count);
    for (std::uint32_t d = 1; d <= std::min<std::uint32_t>(score, 9); ++d) {
      std::uint32_t& reach = ends[(d - 1) * gaps + first];
      reach = std::max(reach, end);
    }
    length = std::max<std::size_t>(length, end);
  };
  withLayout(trie, [&](auto steps) {
    for (std::size_t j = 0; j < m; ++j) {
      steps.step(codes[j]);
      const std::uint32_t output = steps.output();
      if (output == 0) continue;
      const std::uint32_t u = output - 1;
      if (trie.depths[u] > j + 1) continue;  // only damaged tables can say so
      const std::size_t start = j + 1 - trie.depths[u];
      for (std::uint32_t r = trie.mergedStarts[u]; r < trie.mergedStarts[u + 1]; ++r) {
        const std::uint32_t* run = trie.mergedRuns.data() + 3 * std::size_t{r};
        lay(start + run[0], run[1], run[2]);
      }
    }
    return 0;
  });
  if (root != 0) {
    for (std::size_t i = 0; i <= m; ++i)
      for (std::size_t k = 0; k < root; ++k)
        if (trie.rootScores[k] != 0) lay(i + k, 1, trie.rootScores[k]);
    length = std::max(length, m + root);
  }
  std::fill(result, result + length, 0);
  for (std::uint32_t d = 1; d <= 9; ++d) {
    const std::uint32_t* reach = ends.data() + (d - 1) * gaps;
    std::uint32_t furthest = 0;
    for (std::size_t g = 0; g < length; ++g) {
      furthest = std::max(furthest, reach[g]);
      if (furthest > g) result[g] = static_cast<std::uint8_t>(d);
    }
  }
  return length;
}

std::size_t walkLookup(FlatView view, const SymbolCode* codes, std::size_t m, std::int64_t* result,
                       std::size_t starts) {
  const FlatTrie& trie = *view.trie;
  // Gaps of the padded word start at 0 (every letter contributes one); gaps
  // past its end exist only where some pattern reaches, and take the largest
  // score that reaches them.
  std::fill(result, result + m, 0);
  std::fill(result + m, result + m + trie.maxScoreLength, std::numeric_limits<std::int64_t>::min());
  std::size_t length = m;
  auto contribute = [&](std::size_t at, std::uint32_t node) {
    const std::uint32_t count = trie.scoreLength(node);
    if (count == 0) return;
    length = std::max(length, at + count);
    for (std::uint32_t k = 0; k < count; ++k)
      result[at + k] = std::max(result[at + k], trie.score(node, k));
  };
  const bool rootScores = trie.scoreLength(view.root) != 0;
  for (std::size_t i = 0; i < m; ++i) {
    if (rootScores) contribute(i, view.root);
    if (i >= starts) continue;
    std::uint32_t node = view.root;
    for (std::size_t j = i; j < m && codes[j] != kNoSymbol; ++j) {
      node = trie.next(node, codes[j] - 1);
      if (node == FlatTrie::kNoChild) break;
      contribute(i, node);
    }
  }
  if (rootScores) contribute(m, view.root);
  return length;
}

}  // namespace detail

Scores lookupPattern(std::u32string_view word, const Patterns& trie) {
  const detail::FlatView flat = detail::flatOf(trie);
  detail::PaddedWord padded(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) padded.letters()[i] = flat.trie->symbolOf(word[i]);
  padded.close(word.size(), flat.trie->symbolOf(U'.'));
  const detail::TrieView automaton = flat.trie->view();
  const detail::Scorer scorer{flat.root == 0 && flat.trie->automaton ? &automaton : nullptr, flat};
  const detail::WordScores scores(scorer, padded);

  // The full list has at least the gaps of the padded word; both guards
  // protect that invariant.
  auto impossible = [word](const char* what) {
    return Error(what + detail::encodeUtf8(word) + ")");
  };
  if (scores.size() == 0) throw impossible("lookupPattern.scores0: Impossible (");
  if (scores.size() == 1) throw impossible("lookupPattern.scores1: Impossible (");
  Scores out(scores.size() - 2);
  for (std::size_t g = 0; g < out.size(); ++g) out[g] = scores[g + 1];
  return out;
}

}  // namespace hyph
