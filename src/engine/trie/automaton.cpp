// The Aho-Corasick automaton over a double array: fail states, the outputs
// that a lookup reads at each state, and the rows of resolved steps that
// take most steps without a child in one load.
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

#include "cpu.hpp"
#include "flat_trie.hpp"

namespace hyph::detail {

namespace {

constexpr std::size_t kWindow = TrieView::kLongestWindow;
constexpr std::uint32_t kNoState = TrieView::kNoState;

/// A state's output while the automaton is built: the suffix's window with
/// the state's own scores over it, held in registers where there are SSE2
/// ones, so that it is hashed and compared without a trip through memory.
class Window {
 public:
  static constexpr std::size_t k = kWindow;

  /// `suffix` (k scores) with `length` scores from `own` put over its gaps
  /// from `at` on, at + length <= k. The digits of `[begin, end)`, which
  /// hold `own`, may be read around it.
  Window(const std::uint8_t* suffix, const std::uint8_t* own, std::size_t at, std::size_t length,
         const std::uint8_t* begin, const std::uint8_t* end)
      : bytes_(Bytes32::load(suffix)) {
    static_assert(k == 32);
#if defined(__SSE2__)
    // The k digits that line up with the window, those that are not own
    // scores masked off; a copy where the window would reach past either
    // end of the digits.
    std::uint8_t spare[2 * k];
    const auto offset = static_cast<std::size_t>(own - begin);
    const std::uint8_t* from;
    if (offset >= at && offset - at + k <= static_cast<std::size_t>(end - begin)) {
      from = own - at;
    } else {
      std::fill_n(spare, sizeof spare, 0);
      std::copy_n(own, length, spare + k);
      from = spare + k - at;
    }
    const __m128i first = _mm_set1_epi8(static_cast<char>(at));
    const __m128i last = _mm_set1_epi8(static_cast<char>(at + length));
    const __m128i lowIndex = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i highIndex = _mm_add_epi8(lowIndex, _mm_set1_epi8(16));
    auto inside = [&](__m128i index) {
      return _mm_andnot_si128(_mm_cmplt_epi8(index, first), _mm_cmplt_epi8(index, last));
    };
    bytes_.raise({_mm_and_si128(loadBytes(from), inside(lowIndex)),
                  _mm_and_si128(loadBytes(from + 16), inside(highIndex))});
#else
    (void)begin;
    (void)end;
    for (std::size_t i = 0; i < length; ++i)
      bytes_.bytes[at + i] = std::max(bytes_.bytes[at + i], own[i]);
#endif
  }

  std::size_t hash() const {
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < 4; ++i) h = (h ^ word(i)) * 0x9E3779B97F4A7C15ull;
    // The low bits pick the slot, so the high ones are folded in.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return static_cast<std::size_t>(h ^ (h >> 33));
  }

  bool equals(const std::uint8_t* stored) const { return bytes_.equals(stored); }
  void store(std::uint8_t* to) const { bytes_.store(to); }

 private:
  std::uint64_t word(std::size_t i) const {
#if defined(__SSE2__)
    const __m128i half = i < 2 ? bytes_.low : bytes_.high;
    return static_cast<std::uint64_t>(
        _mm_cvtsi128_si64(i % 2 == 0 ? half : _mm_unpackhi_epi64(half, half)));
#else
    std::uint64_t w;
    std::memcpy(&w, bytes_.bytes + 8 * i, 8);
    return w;
#endif
  }

  Bytes32 bytes_;
};

/// Numbers distinct outputs (a window and whether it reaches its last gap)
/// in the order they are first met: an open-addressing table over the
/// outputs stored so far.
class OutputNumbering {
 public:
  OutputNumbering(std::vector<std::uint8_t>& windows, std::vector<std::uint8_t>& reaches,
                  std::uint32_t limit)
      : windows_(windows), reaches_(reaches), count_(reaches.size()), limit_(limit) {
    slots_.assign(1024, 0);
    hashes_.resize(count_);
  }

  /// The number of the output, stored anew if it is new; nullopt when there
  /// would be more outputs than the limit.
  [[gnu::always_inline]] std::optional<std::uint32_t> number(const Window& window,
                                                             std::uint8_t reaches) {
    if (4 * count_ >= 3 * slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = window.hash();
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const std::uint32_t slot = slots_[at];
      if (slot == 0) {
        if (count_ >= limit_) return std::nullopt;
        windows_.resize(windows_.size() + kWindow);
        window.store(windows_.data() + windows_.size() - kWindow);
        reaches_.push_back(reaches);
        hashes_.push_back(hash);
        slots_[at] = static_cast<std::uint32_t>(count_++) + 1;
        return static_cast<std::uint32_t>(count_ - 1);
      }
      if (reaches_[slot - 1] == reaches &&
          window.equals(windows_.data() + std::size_t{slot - 1} * kWindow))
        return slot - 1;
    }
  }

 private:
  void grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t slot : old) {
      if (slot == 0) continue;
      std::size_t at = hashes_[slot - 1] & mask;
      while (slots_[at] != 0) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<std::uint8_t>& windows_;
  std::vector<std::uint8_t>& reaches_;
  std::vector<std::uint32_t> slots_;  // an output's number plus one, or 0
  std::vector<std::size_t> hashes_;   // by number; the first outputs' are not needed
  std::size_t count_;
  std::uint32_t limit_;
};

/// The most memory that rows take beside the root's. Rows make a step
/// without a child one load instead of a walk along the links: in English
/// (8,400 states) rows for every fail state make a lookup 15% faster than
/// rows for an eighth of them; German (55,000 states) gains 5% more from
/// rows past this size, the size of its slots (440 KB) again.
constexpr std::size_t kRowBudget = std::size_t{64} << 10;

template <class Slot>
class AutomatonBuilder {
 public:
  /// The builder of a trie's automaton, given its nodes' slots breadth
  /// first and the parent of each, which it no longer needs once the fail
  /// states are known: `parents` is emptied.
  AutomatonBuilder(FlatTrie& trie, std::span<const std::uint32_t> order,
                   std::vector<std::uint32_t>& parents)
      : trie_(trie),
        order_(order),
        symbols_(static_cast<std::uint32_t>(trie.letters.size())),
        fail_(trie.slotCount, 0),
        depth_(trie.slotCount, 0) {
    // Breadth first, so that a state's fail state, which is shallower, is
    // done before it.
    for (std::size_t q = 1; q < order.size(); ++q) {
      const std::uint32_t v = order[q];
      const std::uint32_t parent = parents[v];
      depth_[v] = depth_[parent] + 1;
      fail_[v] = parent == 0 ? 0 : step(fail_[parent], check(v));
    }
    parents = std::vector<std::uint32_t>();
  }

  /// The same trie's builder in wider slots, with the fail states and
  /// depths found already.
  template <class Narrower>
  explicit AutomatonBuilder(Narrower&& narrower)
      : trie_(narrower.trie_),
        order_(narrower.order_),
        symbols_(narrower.symbols_),
        fail_(std::move(narrower.fail_)),
        depth_(std::move(narrower.depth_)) {}

  /// Builds the automaton; false, with nothing changed, when its outputs
  /// need wider slots than these.
  bool build() {
    std::vector<std::uint32_t> outputs(trie_.slotCount, 0);
    if (windows(outputs)) {
      trie_.scoring = TrieView::Scoring::Windows;
      trie_.reach = 1;
      narrowWindows();
    } else if (trie_.slotCount >= Slot::kMaxOutputs) {
      return false;  // a merged output names a slot
    } else if (mergedLists(outputs)) {
      trie_.scoring = TrieView::Scoring::Merged;
    } else {
      return true;  // lookups walk
    }
    rowsAndLinks(outputs);
    trie_.automaton = true;
    return true;
  }

 private:
  const std::uint64_t* slot(std::uint32_t v) const {
    return trie_.slots.data() + std::size_t{v} * Slot::kWords;
  }
  std::uint32_t check(std::uint32_t v) const { return Slot::check(slot(v)); }
  /// Whether a state's output takes in its fail state's.
  bool inherits() const { return trie_.matching == FlatTrie::Matching::Every; }

  /// The state after `state` on `code`, fail states followed.
  std::uint32_t step(std::uint32_t state, std::uint32_t code) const {
    while (true) {
      const std::uint32_t child = Slot::base(slot(state)) + code;
      if (check(child) == code) return child;
      if (state == 0) return 0;
      state = fail_[state];
    }
  }

  /// The window outputs; false, with nothing kept, when a pattern is too
  /// long for a window, a score list runs past its letters, or the outputs
  /// are more than the slots can number.
  bool windows(std::vector<std::uint32_t>& outputs) {
    auto& windows = trie_.windows;
    auto& reaches = trie_.reaches;
    auto giveUp = [&] {
      windows = std::vector<std::uint8_t>();
      reaches = std::vector<std::uint8_t>();
      return false;
    };
    windows.assign(kWindow, 0);  // output 0: nothing
    reaches.assign(1, 0);
    OutputNumbering numbering(windows, reaches,
                              std::min<std::uint32_t>(Slot::kMaxOutputs, 1u << 24));
    const std::uint8_t* digits = trie_.digits.data();
    span_ = 0;
    for (std::size_t q = 1; q < order_.size(); ++q) {
      const std::uint32_t v = order_[q];
      const std::size_t depth = depth_[v];
      // The output of v: its own scores, which start at the first letter of
      // its path, over the output of its fail state, whose path ends where
      // v's does. Scores are never negative here, so 0 is the neutral entry;
      // leading ones are left out, so that a long pattern whose scores lie
      // in its last letters fits a window too.
      const std::uint32_t suffix = inherits() ? outputs[fail_[v]] : 0;
      const std::size_t own = trie_.scoreLength(v);
      const std::uint8_t* scores = digits + trie_.scoreStarts[v];
      if (own == 0) {
        outputs[v] = suffix;
        continue;
      }
      // (The last score stays, zero or not: how far a list reaches counts.)
      std::size_t zeros = 0;
      while (zeros + 1 < own && scores[zeros] == 0) ++zeros;
      if (own > depth + 1 || depth + 1 - zeros > kWindow) return giveUp();
      span_ = std::max(span_, depth + 1 - zeros);
      const Window window(windows.data() + std::size_t{suffix} * kWindow, scores + zeros,
                          kWindow - 1 - depth + zeros, own - zeros, digits,
                          digits + trie_.digits.size());
      const auto reach = static_cast<std::uint8_t>(reaches[suffix] | (own == depth + 1));
      const std::optional<std::uint32_t> number = numbering.number(window, reach);
      if (!number) return giveUp();
      outputs[v] = *number;
    }
    windows.shrink_to_fit();
    return true;
  }

  /// Windows of half the gaps where every pattern is short enough for them
  /// (all built-in languages but Ancient Greek): half the memory, and one
  /// register a lookup. The windows were built right-aligned, so a short
  /// trie's windows have nothing in their first half.
  void narrowWindows() {
    constexpr std::size_t kNarrow = kWindow / 2;
    if (span_ > kNarrow) {
      trie_.window = kWindow;
      return;
    }
    auto& windows = trie_.windows;
    const std::size_t count = windows.size() / kWindow;
    for (std::size_t k = 0; k < count; ++k)
      std::copy_n(windows.data() + k * kWindow + kNarrow, kNarrow, windows.data() + k * kNarrow);
    windows.resize(count * kNarrow);
    windows.shrink_to_fit();
    trie_.window = kNarrow;
  }

  /// The merged lists: for each state with scores of its own, its scores
  /// over the list of the nearest such state on its fail chain, which ends
  /// where it does, kept as its length and its runs of equal non-zero
  /// scores. False, with
  /// nothing kept, where they would take more than a few times the
  /// patterns' own scores, which only score lists past their letters
  /// (outside the notation) can make them do.
  bool mergedLists(std::vector<std::uint32_t>& outputs) {
    const std::size_t slots = trie_.slotCount;
    const std::size_t limit = std::max<std::size_t>(std::size_t{64} << 20, 8 * trie_.digits.size());
    std::vector<std::uint32_t> firstRun(slots, 0), runCount(slots, 0), lengths(slots, 0);
    std::vector<std::uint32_t> runs;  // three words a run, in breadth-first order
    std::vector<std::uint32_t> links(slots, kNoState);
    std::vector<std::uint8_t> list;
    std::uint32_t reach = 0;
    for (std::size_t q = 1; q < order_.size(); ++q) {
      const std::uint32_t v = order_[q];
      const std::uint32_t inherited = inherits() ? links[fail_[v]] : kNoState;
      const std::uint32_t own = trie_.scoreLength(v);
      if (own == 0) {
        links[v] = inherited;
        continue;
      }
      links[v] = v;
      const std::uint32_t depth = depth_[v];
      std::size_t length = own;
      std::size_t shift = 0;
      if (inherited != kNoState) {
        shift = depth - depth_[inherited];
        length = std::max<std::size_t>(length, shift + lengths[inherited]);
      }
      if (runs.size() / 3 + length > limit) return false;
      list.assign(length, 0);
      std::copy_n(trie_.digits.data() + trie_.scoreStarts[v], own, list.data());
      if (inherited != kNoState)
        for (std::uint32_t r = firstRun[inherited]; r < firstRun[inherited] + runCount[inherited];
             ++r) {
          const std::uint32_t* run = runs.data() + 3 * std::size_t{r};
          if (run[2] == 0) continue;
          for (std::uint32_t k = run[0]; k < run[0] + run[1]; ++k)
            list[shift + k] = std::max(list[shift + k], static_cast<std::uint8_t>(run[2]));
        }
      // A first run of score 0 says how long the list is: how far it reaches.
      firstRun[v] = static_cast<std::uint32_t>(runs.size() / 3);
      runs.insert(runs.end(), {0, static_cast<std::uint32_t>(length), 0});
      for (std::size_t k = 0; k < length;) {
        std::size_t end = k + 1;
        while (end < length && list[end] == list[k]) ++end;
        if (list[k] != 0)
          runs.insert(runs.end(), {static_cast<std::uint32_t>(k),
                                   static_cast<std::uint32_t>(end - k), list[k]});
        k = end;
      }
      runCount[v] = static_cast<std::uint32_t>(runs.size() / 3) - firstRun[v];
      lengths[v] = static_cast<std::uint32_t>(length);
      reach = std::max<std::uint32_t>(reach, static_cast<std::uint32_t>(length - depth));
    }
    // In slot order, so that a state's runs are [start, next start).
    auto& merged = trie_.mergedRuns;
    auto& mergedStarts = trie_.mergedStarts;
    mergedStarts.assign(slots + 1, 0);
    merged.reserve(runs.size());
    for (std::size_t v = 0; v < slots; ++v) {
      mergedStarts[v] = static_cast<std::uint32_t>(merged.size() / 3);
      if (links[v] == v)
        merged.insert(merged.end(), runs.begin() + 3 * std::size_t{firstRun[v]},
                      runs.begin() + 3 * std::size_t{firstRun[v] + runCount[v]});
    }
    mergedStarts[slots] = static_cast<std::uint32_t>(merged.size() / 3);
    for (std::size_t v = 0; v < slots; ++v) outputs[v] = links[v] == kNoState ? 0 : links[v] + 1;
    trie_.depths.assign(depth_.begin(), depth_.end());
    trie_.reach = std::max<std::uint32_t>(reach, 1);
    return true;
  }

  /// Rows for the fail states nearest the root, where most steps without a
  /// child land, in as many bytes as the slots take, up to kRowBudget (the
  /// root's always); then each slot's link and output, and the rows' copies
  /// of the slots they lead to.
  void rowsAndLinks(const std::vector<std::uint32_t>& outputs) {
    const std::size_t slots = trie_.slotCount;
    std::vector<std::uint8_t> target(slots, 0);
    target[0] = 1;
    for (std::size_t q = 1; q < order_.size(); ++q) target[fail_[order_[q]]] = 1;
    const std::size_t rowBytes = std::size_t{symbols_} * Slot::kWords * 8;
    const std::size_t budget =
        std::max(rowBytes, std::min(trie_.slots.size() * sizeof(std::uint64_t), kRowBudget));
    std::vector<std::uint32_t> rowOf(slots, FlatTrie::kNoRow);
    std::uint32_t rows = 0;
    for (const std::uint32_t v : order_) {
      if (!target[v]) continue;
      if (std::size_t{rows + 1} * rowBytes > budget) break;
      rowOf[v] = rows++;
    }
    for (const std::uint32_t v : order_) {
      const std::uint32_t fail = fail_[v];
      const std::uint32_t link =
          rowOf[fail] != FlatTrie::kNoRow ? Slot::kRowFlag | rowOf[fail] : fail;
      std::uint64_t* at = trie_.slots.data() + std::size_t{v} * Slot::kWords;
      Slot::set(at, Slot::check(at), outputs[v], Slot::base(at), link);
    }
    auto& table = trie_.rows;
    table.assign(std::size_t{rows} * symbols_ * Slot::kWords, 0);
    for (const std::uint32_t v : order_) {
      if (rowOf[v] == FlatTrie::kNoRow) continue;
      std::uint64_t* row = table.data() + std::size_t{rowOf[v]} * symbols_ * Slot::kWords;
      for (std::uint32_t code = 1; code <= symbols_; ++code)
        std::copy_n(slot(step(v, code)), Slot::kWords, row + (code - 1) * Slot::kWords);
    }
  }

  FlatTrie& trie_;
  std::span<const std::uint32_t> order_;
  std::uint32_t symbols_;
  std::vector<std::uint32_t> fail_;
  std::vector<std::uint32_t> depth_;
  std::size_t span_ = 0;  // the most gaps that a state's own scores take, leading zeros aside

  template <class>
  friend class AutomatonBuilder;
};

}  // namespace

void FlatTrie::buildAutomaton(std::span<const std::uint32_t> order,
                              std::vector<std::uint32_t> parents) {
  if (!doubleArray || !narrow) return;
  if constexpr (kWideSlots) {
    if (wide) {
      AutomatonBuilder<WideSlot>(*this, order, parents).build();
      return;
    }
  } else if (wide) {
    refuseWideSlots();
  }
  AutomatonBuilder<CompactSlot> compact(*this, order, parents);
  if (compact.build()) return;
  if constexpr (!kWideSlots) refuseWideSlots();
  // Outputs that one word's slots cannot number: two words a slot.
  std::vector<std::uint64_t> widened(std::size_t{slotCount} * 2);
  for (std::uint32_t v = 0; v < slotCount; ++v)
    WideSlot::set(widened.data() + 2 * std::size_t{v}, CompactSlot::check(&slots[v]), 0,
                  CompactSlot::base(&slots[v]), 0);
  slots = std::move(widened);
  wide = true;
  if constexpr (kWideSlots) AutomatonBuilder<WideSlot>(std::move(compact)).build();
}

}  // namespace hyph::detail
