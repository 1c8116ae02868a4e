// The Aho-Corasick automaton over a parsed trie: fail states, and the
// outputs that a lookup reads at each state.
#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>

#include "automaton.hpp"
#include "cpu.hpp"

namespace hyph::detail {

namespace {

/// A state's output while the automaton is built: the suffix's window with
/// the state's own scores over it, held in registers where there are SSE2
/// ones, so that it is hashed and compared without a trip through memory.
class Window {
 public:
  static constexpr std::size_t k = FlatTrie::kWindow;

  /// `suffix` (k scores) with `length` scores from `own` put over its gaps
  /// from `at` on, at + length <= k. The digits of `[begin, end)`, which
  /// hold `own`, may be read around it.
  Window(const std::uint8_t* suffix, const std::uint8_t* own, std::size_t at, std::size_t length,
         const std::uint8_t* begin, const std::uint8_t* end)
      : bytes_(Bytes32::load(suffix)) {
#if defined(__SSE2__)
    static_assert(k == 32);
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

/// Numbers distinct outputs (a window and whether it reaches its last gap):
/// an open-addressing table over the outputs stored so far.
class OutputNumbering {
 public:
  OutputNumbering(std::vector<std::uint8_t>& windows, std::vector<std::uint8_t>& reaches)
      : windows_(windows), reaches_(reaches), count_(reaches.size()) {
    slots_.assign(1024, 0);
    hashes_.resize(count_);
  }

  /// The number of the output, stored anew if it is new; nullopt when there
  /// are more outputs than a 16-bit number can name.
  [[gnu::always_inline]] std::optional<std::uint16_t> number(const Window& window,
                                                             std::uint8_t reaches) {
    constexpr std::size_t k = FlatTrie::kWindow;
    if (4 * count_ >= 3 * slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = window.hash();
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const std::uint32_t slot = slots_[at];
      if (slot == 0) {
        if (count_ > std::numeric_limits<std::uint16_t>::max()) return std::nullopt;
        windows_.resize(windows_.size() + k);
        window.store(windows_.data() + windows_.size() - k);
        reaches_.push_back(reaches);
        hashes_.push_back(hash);
        slots_[at] = static_cast<std::uint32_t>(count_++) + 1;
        return static_cast<std::uint16_t>(count_ - 1);
      }
      if (reaches_[slot - 1] == reaches &&
          window.equals(windows_.data() + std::size_t{slot - 1} * k))
        return static_cast<std::uint16_t>(slot - 1);
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
};
// The dense automaton's construction, for buildAutomaton; false when the
// trie does not fit it.
[[gnu::always_inline]] inline bool buildAutomatonOf(FlatTrie& trie) {
  constexpr std::size_t kWindow = FlatTrie::kWindow;
  const std::size_t count = trie.nodeCount();
  const std::size_t words = trie.recordWords;
  std::uint64_t* cells = trie.cells.data();
  auto giveUp = [&] {  // the sparse automaton instead
    for (std::size_t v = 0; v < count; ++v) cells[v * words] &= FlatTrie::kFirstChildMask;
    // Assigning {} would keep the capacity: these give the memory back.
    trie.outputs = std::vector<std::uint16_t>();
    trie.windows = std::vector<std::uint8_t>();
    trie.reaches = std::vector<std::uint8_t>();
    return false;
  };
  auto advance = [&trie](std::uint32_t state, std::uint32_t symbol) {
    return failStep(trie, state, symbol);
  };
  std::vector<std::uint8_t> depths(count, 0);
  auto& outputs = trie.outputs;
  auto& windows = trie.windows;
  auto& reaches = trie.reaches;
  outputs.assign(count, 0);
  windows.assign(kWindow, 0);  // output 0: nothing
  reaches.assign(1, 0);
  OutputNumbering numbering(windows, reaches);
  for (std::uint32_t v = 0; v < count; ++v) {
    // Nodes are numbered breadth first, so everything on v's fail chain is
    // already built.
    const std::uint64_t* record = cells + std::size_t{v} * words;
    const auto first = FlatTrie::firstChildOf(record[0]);
    const std::uint32_t fail = trie.linkOf(v);
    const std::size_t depth = depths[v];
    std::uint32_t child = first;
    for (std::uint32_t w = 0; w + 1 < words; ++w) {
      for (std::uint64_t bits = record[w + 1]; bits != 0; bits &= bits - 1, ++child) {
        if (depth + 1 >= kWindow) return giveUp();
        const std::uint32_t symbol = w * 64 + static_cast<std::uint32_t>(std::countr_zero(bits));
        depths[child] = static_cast<std::uint8_t>(depth + 1);
        const std::uint32_t childFail = v == 0 ? 0 : advance(fail, symbol);
        cells[std::size_t{child} * words] |= std::uint64_t{childFail} << FlatTrie::kLinkShift;
      }
    }
    if (v == 0) continue;  // the root's scores count separately
    // The output of v: its own scores, which start at the first letter of
    // its path, over the output of its fail node, whose path ends where v's
    // does. Scores are never negative here, so 0 is the neutral entry.
    const std::uint16_t suffix = outputs[fail];
    const std::size_t ownLength = trie.scoreLength(v);
    if (ownLength == 0) {
      outputs[v] = suffix;
      continue;
    }
    if (ownLength > depth + 1) return giveUp();
    const std::uint8_t* digits = trie.digits.data();
    const Window window(windows.data() + std::size_t{suffix} * kWindow,
                        digits + trie.scoreStarts[v], kWindow - 1 - depth, ownLength, digits,
                        digits + trie.digits.size());
    const auto reach = static_cast<std::uint8_t>(reaches[suffix] | (ownLength == depth + 1));
    const std::optional<std::uint16_t> number = numbering.number(window, reach);
    if (!number) return giveUp();
    outputs[v] = *number;
  }
  windows.shrink_to_fit();  // grown while building
  resolveFailStates(trie, depths);
  if (words == 2 && trie.letters.size() <= FlatTrie::kPackedSymbols) {
    for (std::size_t v = 0; v < count; ++v)
      cells[v * 2 + 1] |= std::uint64_t{outputs[v]} << FlatTrie::kPackedSymbols;
    outputs = std::vector<std::uint16_t>();
    trie.packedOutputs = true;
  }
  trie.automaton = true;
  return true;
}

#ifdef HYPH_POPCOUNT_DISPATCH
HYPH_WITH_POPCOUNT bool buildAutomatonPopcount(FlatTrie& trie) { return buildAutomatonOf(trie); }
#endif

/// The sparse automaton, for a trie the dense one does not fit.
void buildSparseAutomaton(FlatTrie& trie) {
  const std::size_t count = trie.nodeCount();
  const std::size_t words = trie.recordWords;
  std::uint64_t* cells = trie.cells.data();
  trie.depths.assign(count, 0);
  std::vector<std::uint32_t> fails(count, 0);
  for (std::uint32_t v = 0; v < count; ++v) {
    // Breadth first: everything on v's fail chain is done.
    const std::uint64_t* record = cells + std::size_t{v} * words;
    std::uint32_t child = FlatTrie::firstChildOf(record[0]);
    for (std::uint32_t w = 0; w + 1 < words; ++w)
      for (std::uint64_t bits = record[w + 1]; bits != 0; bits &= bits - 1, ++child) {
        const std::uint32_t symbol = w * 64 + static_cast<std::uint32_t>(std::countr_zero(bits));
        trie.depths[child] = trie.depths[v] + 1;
        fails[child] = v == 0 ? 0 : failStep(trie, fails[v], symbol);
        cells[std::size_t{child} * words] |= std::uint64_t{fails[child]} << FlatTrie::kLinkShift;
      }
  }
  trie.outputLinks.assign(count, FlatTrie::kNoState);
  trie.runStarts.assign(count + 1, 0);
  for (std::uint32_t v = 0; v < count; ++v) {
    if (v != 0) {
      const std::uint32_t fail = fails[v];
      trie.outputLinks[v] =
          fail != 0 && trie.scoreLength(fail) != 0 ? fail : trie.outputLinks[fail];
    }
    trie.runStarts[v] = static_cast<std::uint32_t>(trie.runs.size());
    const std::uint32_t length = trie.scoreLength(v);
    for (std::uint32_t k = 0; k < length;) {
      const std::uint8_t value = static_cast<std::uint8_t>(trie.score(v, k));
      std::uint32_t end = k + 1;
      while (end < length && trie.score(v, end) == value) ++end;
      if (value != 0) trie.runs.push_back({k, end - k, value});
      k = end;
    }
  }
  trie.runStarts[count] = static_cast<std::uint32_t>(trie.runs.size());
  for (std::size_t v = 0; v < count; ++v)
    cells[v * words] = (cells[v * words] & FlatTrie::kFirstChildMask) |
                       (std::uint64_t{FlatTrie::kFailLink | fails[v]} << FlatTrie::kLinkShift);
  trie.runs.shrink_to_fit();
  trie.sparse = true;
}

}  // namespace

void FlatTrie::buildAutomaton() {
  if (!recordWords || !narrow) return;
  hardwarePopcount = cpuHasPopcount();
#ifdef HYPH_POPCOUNT_DISPATCH
  if (hardwarePopcount ? buildAutomatonPopcount(*this) : buildAutomatonOf(*this)) return;
#else
  if (buildAutomatonOf(*this)) return;
#endif
  buildSparseAutomaton(*this);
}

}  // namespace hyph::detail
