// The Unicode data of unicode.hpp from tables that the build made of
// utf8proc's (make_unicode_tables.cpp), for builds without utf8proc: a
// fraction of its size, and the same answers (a test compares the two for
// every code point).
#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>

#include "unicode.hpp"

// A test compiles this file beside unicode.cpp, in a namespace of its own.
#ifdef HYPH_UNICODE_TABLES_NAMESPACE
namespace hyph::text::HYPH_UNICODE_TABLES_NAMESPACE {
#else
namespace hyph::text {
#endif

namespace {

/// Letters `from`, `from + stride`, ... (`count` of them) whose case is
/// `distance` away.
struct CaseRun {
  std::uint32_t from;
  std::uint16_t count;
  std::uint8_t stride;
  std::int32_t distance;
};

struct ComposedPair {
  std::uint32_t first, second, composed;
};

#include "unicode_tables.inc"

enum : std::uint8_t { kNone, kCapital, kSmall, kLetter, kMark, kWideSpace };

std::uint8_t classOf(char32_t c) {
  if (c >= 0x110000) return kNone;
  const std::uint32_t block = kClassBlockOf[c / kClassBlock];
  const std::uint32_t at = block * (kClassBlock / 2) + (c % kClassBlock) / 2;
  return static_cast<std::uint8_t>(c % 2 ? kClassBlocks[at] >> 4 : kClassBlocks[at] & 0xF);
}

/// The composing pairs, made once from their columns' steps: in order (of
/// the first, then the second), and by what they compose to, which takes 21
/// bits, above the pair's number in 11.
struct ComposedPairs {
  std::array<ComposedPair, kComposedPairCount> pairs;
  std::array<char32_t, kComposedPairCount> byComposed;

  static const ComposedPairs& get() {
    // Filled when first asked for, not by the compiler, which would make
    // the steps the plain columns again.
    static ComposedPairs made;
    static const bool filled = [] {
      const std::int32_t* step = kComposedPairSteps;
      for (std::uint32_t ComposedPair::*column :
           {&ComposedPair::first, &ComposedPair::second, &ComposedPair::composed}) {
        std::uint32_t value = 0;
        for (ComposedPair& pair : made.pairs)
          pair.*column = value += static_cast<std::uint32_t>(*step++);
      }
      for (std::size_t k = 0; k < kComposedPairCount; ++k)
        made.byComposed[k] = made.pairs[k].composed << 11 | static_cast<char32_t>(k);
      std::sort(made.byComposed.begin(), made.byComposed.end());
      return true;
    }();
    (void)filled;
    return made;
  }
};
static_assert(std::size(kComposedPairSteps) == 3 * kComposedPairCount);
static_assert(kComposedPairCount <= 1 << 11);

/// The pair that composes to `c`, if one does.
const ComposedPair* pairOf(char32_t c) {
  if (c >= 0x110000) return nullptr;
  const ComposedPairs& all = ComposedPairs::get();
  const auto at = std::lower_bound(all.byComposed.begin(), all.byComposed.end(), c << 11);
  return at != all.byComposed.end() && *at >> 11 == c ? &all.pairs[*at & 0x7FF] : nullptr;
}

/// Appends the full canonical decomposition of `c`; false when `out` is full.
/// The table holds those that the pair composing to `c` does not give, but
/// not those of one character that composes with no mark: `c` stands for it.
template <std::size_t N>
bool decompose(char32_t c, char32_t (&out)[N], std::size_t& size) {
  const auto* end = std::end(kDecomposed);
  const auto* at = std::lower_bound(std::begin(kDecomposed), end, static_cast<std::uint32_t>(c));
  if (at == end || *at != c) {
    if (const ComposedPair* pair = pairOf(c))
      return decompose(pair->first, out, size) && decompose(pair->second, out, size);
    if (size == N) return false;
    out[size++] = c;
    return true;
  }
  const std::size_t k = static_cast<std::size_t>(at - std::begin(kDecomposed));
  for (std::size_t p = kDecompositionStarts[k]; p < kDecompositionStarts[k + 1]; ++p) {
    if (size == N) return false;
    out[size++] = kDecompositions[p];
  }
  return true;
}

std::optional<char32_t> pairComposed(char32_t first, char32_t second) {
  const auto& pairs = ComposedPairs::get().pairs;
  const auto at =
      std::lower_bound(pairs.begin(), pairs.end(), ComposedPair{first, second, 0},
                       [](const ComposedPair& a, const ComposedPair& b) {
                         return a.first != b.first ? a.first < b.first : a.second < b.second;
                       });
  if (at == pairs.end() || at->first != first || at->second != second) return std::nullopt;
  return at->composed;
}

}  // namespace

bool isUnicodeLetter(char32_t c) {
  const std::uint8_t k = classOf(c);
  return k == kCapital || k == kSmall || k == kLetter;
}
bool isMark(char32_t c) { return classOf(c) == kMark; }
bool isCapital(char32_t c) { return classOf(c) == kCapital; }
bool isLower(char32_t c) { return classOf(c) == kSmall; }
bool isWideSpace(char32_t c) { return classOf(c) == kWideSpace; }

std::uint8_t combiningClass(char32_t c) {
  if (c >= 0x110000) return 0;
  // The last run that starts at `c` or before it.
  const std::uint32_t key = static_cast<std::uint32_t>(c) << 8 | 0xFF;
  const auto* at = std::upper_bound(std::begin(kCombiningRuns), std::end(kCombiningRuns), key);
  if (at == std::begin(kCombiningRuns)) return 0;
  --at;
  const std::uint32_t first = *at >> 8;
  const std::size_t run = static_cast<std::size_t>(at - std::begin(kCombiningRuns));
  return c - first < kCombiningRunLengths[run] ? static_cast<std::uint8_t>(*at & 0xFF) : 0;
}

namespace {

template <std::size_t N>
char32_t mapped(const CaseRun (&runs)[N], char32_t c) {
  // The last run that starts at `c` or before it.
  const auto* at =
      std::upper_bound(std::begin(runs), std::end(runs), static_cast<std::uint32_t>(c),
                       [](std::uint32_t key, const CaseRun& run) { return key < run.from; });
  if (at == std::begin(runs)) return c;
  --at;
  const std::uint32_t offset = static_cast<std::uint32_t>(c) - at->from;
  if (offset % at->stride != 0 || offset / at->stride >= at->count) return c;
  return static_cast<char32_t>(static_cast<std::uint32_t>(c) +
                               static_cast<std::uint32_t>(at->distance));
}

}  // namespace

char32_t upperCase(char32_t c) { return mapped(kUpperCases, c); }
char32_t lowerCase(char32_t c) { return mapped(kLowerCases, c); }

std::optional<char32_t> composed(char32_t letter, std::u32string_view marks) {
  if (marks.empty()) return std::nullopt;
  // Decomposed, put in canonical order, composed again (NFC): as long as
  // one character is left, that is it.
  char32_t text[64];
  std::size_t size = 0;
  if (!decompose(letter, text, size)) return std::nullopt;
  for (char32_t mark : marks)
    if (!decompose(mark, text, size)) return std::nullopt;
  std::uint8_t classes[64];
  for (std::size_t k = 0; k < size; ++k) classes[k] = combiningClass(text[k]);
  for (std::size_t k = 1; k < size; ++k)  // a stable sort of each run of marks
    for (std::size_t j = k; j > 0 && classes[j] != 0 && classes[j - 1] > classes[j]; --j) {
      std::swap(text[j], text[j - 1]);
      std::swap(classes[j], classes[j - 1]);
    }
  if (size == 0 || classes[0] != 0) return size == 1 ? std::optional<char32_t>(text[0]) : std::nullopt;
  char32_t starter = text[0];
  std::size_t left = 1;  // characters kept
  int last = 0;          // the class of the last one kept after the starter
  for (std::size_t k = 1; k < size; ++k) {
    const int cls = classes[k];
    const bool blocked = left > 1 && (last == 0 || last >= cls);
    if (!blocked) {
      if (const std::optional<char32_t> both = pairComposed(starter, text[k])) {
        starter = *both;
        continue;
      }
    }
    if (cls == 0) return std::nullopt;  // a second starter: more than one character
    last = cls;
    ++left;
  }
  if (left != 1) return std::nullopt;
  return starter;
}

}  // namespace hyph::text (or the test's)
