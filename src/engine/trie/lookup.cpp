// Scoring a padded word: through the automaton of a parsed trie, one pass
// over the word, or by a walk from every position for any other trie.
#include "lookup.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "cpu.hpp"
#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "patterns_access.hpp"

namespace hyph {
namespace detail {
namespace {

constexpr std::size_t kWindow = TrieView::kWindow;

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
  if (trie.wide) return run(Steps<WideSlot>(trie));
  return run(Steps<CompactSlot>(trie));
}

/// The scores of the kWindow gaps up to the one after the current code, in
/// two registers (or an array, without SSE2) that slide by one gap a code.
class SlidingScores {
 public:
  static_assert(kWindow == 32);

  /// Takes in the window of the state just reached and moves on by one gap;
  /// returns the score of the gap that leaves, which no later window reaches.
  std::uint8_t slide(const std::uint8_t* window) {
    held_.raise(Bytes32::load(window));
#if defined(__SSE2__)
    const auto leaving = static_cast<std::uint8_t>(_mm_cvtsi128_si32(held_.low));
    held_.low = _mm_or_si128(_mm_srli_si128(held_.low, 1), _mm_slli_si128(held_.high, 15));
    held_.high = _mm_srli_si128(held_.high, 1);
#else
    const std::uint8_t leaving = held_.bytes[0];
    std::memmove(held_.bytes, held_.bytes + 1, kWindow - 1);
    held_.bytes[kWindow - 1] = 0;
#endif
    return leaving;
  }

  /// Stores the kWindow gaps still held.
  void store(std::uint8_t* to) const { held_.store(to); }

  /// Bit k: the low bit of the k-th gap still held.
  std::uint32_t oddGaps() const {
#if defined(__SSE2__)
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(held_.low, 7))) |
           static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(held_.high, 7))) << 16;
#else
    std::uint32_t odd = 0;
    for (std::size_t k = 0; k < kWindow; ++k) odd |= std::uint32_t{held_.bytes[k] & 1u} << k;
    return odd;
#endif
  }

 private:
  Bytes32 held_;
};

/// The automaton's pass over a padded word. After each code the state is the
/// longest suffix of what was read that is a path of the trie, and its
/// output holds the scores of every path that ends there: a window ending at
/// the gap after that code. No later window reaches the window's first gap,
/// so that gap is final once the window is in, and is stored: the gap of
/// code j leaves at result[j + 1] (gap j + 2 - kWindow of the padded word).
/// The last kWindow gaps stay in `scores`, and a short word, all of whose
/// gaps stay there, needs no `result`. Returns the output of the last state.
template <bool kStore, class Steps>
[[gnu::always_inline]] inline std::uint32_t pass(const TrieView& trie, Steps steps,
                                                 const SymbolCode* codes, std::size_t m,
                                                 std::uint8_t* result, SlidingScores& scores) {
  const std::uint8_t* windows = trie.windows.data();
  std::uint32_t output = 0;
  for (std::size_t j = 0; j < m; ++j) {
    steps.step(codes[j]);
    output = steps.output();
    // Every state has a window (the root's is empty), so there is no branch.
    const std::uint8_t leaving = scores.slide(windows + std::size_t{output} * kWindow);
    if constexpr (kStore) result[j + 1] = leaving;
  }
  return output;
}

}  // namespace

std::uint32_t oddGapMask(const TrieView& trie, const SymbolCode* codes, std::size_t m) {
  // Bit k of the registers' mask is gap m + 2 - kWindow + k.
  SlidingScores scores;
  if (trie.wide) {
    pass<false>(trie, Steps<WideSlot>(trie), codes, m, nullptr, scores);
  } else {
    pass<false>(trie, Steps<CompactSlot>(trie), codes, m, nullptr, scores);
  }
  return scores.oddGaps() >> (kWindow - 2 - m);
}

std::size_t automatonLookup(const TrieView& trie, const SymbolCode* codes, std::size_t m,
                            std::uint8_t* result) {
  return withLayout(trie, [&](auto steps) -> std::size_t {
    // Scores are never negative here, so every gap can start at 0. An
    // output's window may start before the word: those entries land in the
    // first kWindow - 1 bytes.
    SlidingScores scores;
    const std::size_t root = trie.rootScores.size();
    const std::size_t room = kWindow + m + 1 + root;
    result[0] = 0;
    const std::uint32_t output = pass<true>(trie, steps, codes, m, result, scores);
    scores.store(result + m + 1);
    std::fill(result + m + 1 + kWindow, result + room, 0);
    std::uint8_t* gaps = result + kWindow - 1;
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
