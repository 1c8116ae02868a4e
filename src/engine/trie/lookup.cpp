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

constexpr std::size_t kWindow = FlatTrie::kWindow;

/// How a trie's records are read: several bitmap words; one; one with the
/// output number in it; or that with resolved rows for the busiest fail
/// states.
enum class Layout { Words, OneWord, Packed, Resolved };

/// The state after `state` on `code`, failure links followed.
template <Layout kLayout>
[[gnu::always_inline]] inline std::uint32_t step(const FlatTrie& trie, std::uint32_t state,
                                                 SymbolCode code) {
  constexpr bool kOneWord = kLayout != Layout::Words;
  if (code == kNoSymbol) return 0;
  const std::uint32_t symbol = code - 1;
  const std::uint64_t* cells = trie.cells.data();
  const std::size_t words = kOneWord ? 2 : trie.recordWords;
  const std::uint32_t word = kOneWord ? 0 : symbol >> 6;
  const std::uint64_t bit = std::uint64_t{1} << (symbol & 63);
  auto childOf = [&](const std::uint64_t* record, std::uint64_t bits) {
    auto rank = static_cast<std::uint32_t>(std::popcount(bits & (bit - 1)));
    if constexpr (!kOneWord)
      for (std::uint32_t k = 0; k < word; ++k)
        rank += static_cast<std::uint32_t>(std::popcount(record[1 + k]));
    return FlatTrie::firstChildOf(record[0]) + rank;
  };
  if constexpr (kLayout == Layout::Resolved) {
    // The child, if there is one, and the fail state's resolved answer,
    // picked without a branch: which of the two it is cannot be predicted.
    const std::uint64_t* record = cells + std::size_t{state} * 2;
    const std::uint64_t bits = record[1];
    const std::uint32_t link = FlatTrie::linkOf(record[0]);
    const std::uint32_t row = link & FlatTrie::kFailLink ? 0 : link;
    const std::uint32_t resolved = trie.resolved[std::size_t{row} + symbol];
    const std::uint32_t child = childOf(record, bits);
    const std::uint32_t has = 0u - static_cast<std::uint32_t>((bits >> symbol) & 1);
    const std::uint32_t next = (child & has) | (resolved & ~has);
    if (next != FlatTrie::kUnresolved) return next;
    state = link & ~FlatTrie::kFailLink;  // a deep fail state: the long way from there
  }
  while (true) {
    const std::uint64_t* record = cells + std::size_t{state} * words;
    const std::uint64_t bits = record[1 + word];
    if (bits & bit) return childOf(record, bits);
    const std::uint32_t link = FlatTrie::linkOf(record[0]);
    if (!(link & FlatTrie::kFailLink))
      return trie.resolved[std::size_t{link} + symbol];  // never kUnresolved
    if (state == 0) return 0;
    state = link & ~FlatTrie::kFailLink;
  }
}

/// The output number of `state`.
template <Layout kLayout>
[[gnu::always_inline]] inline std::uint32_t outputOf(const FlatTrie& trie, std::uint32_t state) {
  if constexpr (kLayout == Layout::Words || kLayout == Layout::OneWord)
    return trie.outputs[state];
  else
    return static_cast<std::uint32_t>(trie.cells[std::size_t{state} * 2 + 1] >>
                                      FlatTrie::kPackedSymbols);
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
/// gaps stay there, needs no `result`. Returns the last state.
template <Layout kLayout, bool kStore>
[[gnu::always_inline]] inline std::uint32_t pass(const FlatTrie& trie, const SymbolCode* codes,
                                                 std::size_t m, std::uint8_t* result,
                                                 SlidingScores& scores) {
  const std::uint8_t* windows = trie.windows.data();
  std::uint32_t state = 0;
  for (std::size_t j = 0; j < m; ++j) {
    state = step<kLayout>(trie, state, codes[j]);
    // Every state has a window (the root's is empty), so there is no branch.
    const std::uint8_t leaving =
        scores.slide(windows + std::size_t{outputOf<kLayout>(trie, state)} * kWindow);
    if constexpr (kStore) result[j + 1] = leaving;
  }
  return state;
}

/// The automaton's lookup of a padded word. With a mask, a word of at most
/// kShortWord codes whose root has no scores: returns bit g for each odd gap
/// g. Otherwise writes the full list's gaps from result[kWindow - 1] (room:
/// kWindow + m + 1 + trie.maxScoreLength) and returns its length.
template <Layout kLayout>
[[gnu::always_inline]] inline std::size_t runAutomaton(const FlatTrie& trie,
                                                       const SymbolCode* codes, std::size_t m,
                                                       std::uint8_t* result, bool mask) {
  SlidingScores scores;
  if (mask) {
    pass<kLayout, false>(trie, codes, m, result, scores);
    // Bit k of the registers' mask is gap m + 2 - kWindow + k.
    return scores.oddGaps() >> (kWindow - 2 - m);
  }
  // Scores are never negative here, so every gap can start at 0. An
  // output's window may start before the word: those entries land in the
  // first kWindow - 1 bytes.
  const std::size_t room = kWindow + m + 1 + trie.maxScoreLength;
  result[0] = 0;
  const std::uint32_t state = pass<kLayout, true>(trie, codes, m, result, scores);
  scores.store(result + m + 1);
  std::fill(result + m + 1 + kWindow, result + room, 0);
  std::uint8_t* gaps = result + kWindow - 1;
  std::size_t length = m;
  if (const std::uint32_t rootLength = trie.scoreLength(0); rootLength != 0) {
    const std::uint8_t* root = trie.digits.data() + trie.scoreStarts[0];
    for (std::size_t i = 0; i <= m; ++i)
      for (std::size_t k = 0; k < rootLength; ++k) gaps[i + k] = std::max(gaps[i + k], root[k]);
    length = m + rootLength;
  }
  // Only the last window can reach past the padded word, by one gap.
  return std::max(length, m + trie.reaches[outputOf<kLayout>(trie, state)]);
}

#ifdef HYPH_POPCOUNT_DISPATCH
template <Layout kLayout>
HYPH_WITH_POPCOUNT std::size_t runAutomatonWithPopcount(const FlatTrie& trie,
                                                        const SymbolCode* codes, std::size_t m,
                                                        std::uint8_t* result, bool mask) {
  return runAutomaton<kLayout>(trie, codes, m, result, mask);
}
#endif

}  // namespace

std::size_t automatonLookup(const FlatTrie& trie, const SymbolCode* codes, std::size_t m,
                            std::uint8_t* result, bool mask) {
  auto run = [&](auto layout) {
#ifdef HYPH_POPCOUNT_DISPATCH
    if (trie.hardwarePopcount)
      return runAutomatonWithPopcount<layout()>(trie, codes, m, result, mask);
#endif
    return runAutomaton<layout()>(trie, codes, m, result, mask);
  };
  if (trie.recordWords != 2) return run(std::integral_constant<Layout, Layout::Words>());
  if (!trie.packedOutputs) return run(std::integral_constant<Layout, Layout::OneWord>());
  if (trie.resolved.empty()) return run(std::integral_constant<Layout, Layout::Packed>());
  return run(std::integral_constant<Layout, Layout::Resolved>());
}

namespace {

/// The sparse automaton's pass: every run of every match is an event
/// (first gap, gap after the last, digit), and one sweep over the gaps keeps,
/// for each digit, how far the runs of that digit or more reach.
template <Layout kLayout>
std::size_t runSparse(const FlatTrie& trie, const SymbolCode* codes, std::size_t m,
                      std::uint8_t* result) {
  // Gaps fit 32 bits: a word of more code points could not be held. The
  // buffers are kept from word to word, so that a long word does not pay
  // for fresh pages each time.
  struct Event {
    std::uint32_t start, end;
    std::uint8_t value;
  };
  thread_local std::vector<Event> events, sorted;
  thread_local std::vector<std::uint32_t> firsts;
  events.clear();
  std::size_t length = m;
  auto match = [&](std::uint32_t state, std::size_t start) {
    length = std::max(length, start + trie.scoreLength(state));
    for (std::uint32_t r = trie.runStarts[state]; r < trie.runStarts[state + 1]; ++r) {
      const FlatTrie::Run& run = trie.runs[r];
      events.push_back({static_cast<std::uint32_t>(start + run.offset),
                        static_cast<std::uint32_t>(start + run.offset + run.length), run.value});
    }
  };
  std::uint32_t state = 0;
  for (std::size_t j = 0; j < m; ++j) {
    state = step<kLayout>(trie, state, codes[j]);
    std::uint32_t u = state != 0 && trie.scoreLength(state) != 0 ? state : trie.outputLinks[state];
    for (; u != FlatTrie::kNoState; u = trie.outputLinks[u]) match(u, j + 1 - trie.depths[u]);
  }
  if (trie.scoreLength(0) != 0)
    for (std::size_t i = 0; i <= m; ++i) match(0, i);
  // The events by their first gap, then the sweep.
  firsts.assign(length + 1, 0);
  for (const Event& event : events) ++firsts[event.start + 1];
  for (std::size_t g = 0; g < length; ++g) firsts[g + 1] += firsts[g];
  sorted.resize(events.size());
  for (const Event& event : events) sorted[firsts[event.start]++] = event;
  // firsts[g] now holds where the events of gap g end, the next gap's start.
  std::uint32_t reach[10] = {};  // reach[d]: the gap after the furthest run of d or more
  for (std::size_t g = 0, e = 0; g < length; ++g) {
    for (; e < firsts[g]; ++e)
      for (std::uint8_t d = 1; d <= std::min<std::uint8_t>(sorted[e].value, 9); ++d)
        reach[d] = std::max(reach[d], sorted[e].end);
    std::uint8_t digit = 9;
    while (digit > 0 && reach[digit] <= g) --digit;
    result[g] = digit;
  }
  return length;
}

}  // namespace

std::size_t sparseLookup(const FlatTrie& trie, const SymbolCode* codes, std::size_t m,
                         std::uint8_t* result) {
  return trie.recordWords == 2 ? runSparse<Layout::OneWord>(trie, codes, m, result)
                               : runSparse<Layout::Words>(trie, codes, m, result);
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
  const detail::FlatView view = detail::flatOf(trie);
  detail::PaddedWord padded(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) padded.letters()[i] = view.trie->symbolOf(word[i]);
  padded.close(word.size(), view.trie->symbolOf(U'.'));
  const detail::WordScores scores(view, padded);

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
