// Splitting a word into pieces at the breaks that its scores permit.
#include "hyph/hyphenator.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <span>

#include "flat_trie.hpp"
#include "hyph/error.hpp"
#include "hyphenator_access.hpp"
#include "small_buffer.hpp"
#include "utf8.hpp"

namespace hyph {

Hyphenator::Hyphenator(CharMapping chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(
          std::make_shared<const Tables>(Tables{std::move(chars), std::nullopt, std::move(patterns),
                                                std::move(exceptions), std::nullopt})),
      leftMin_(leftMin),
      rightMin_(rightMin) {}

Hyphenator::Hyphenator(Deferred<CharMap> chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(std::make_shared<const Tables>(
          Tables{[chars](char32_t c) { return chars.get()(c); }, chars, patterns, exceptions,
                 Deferred<std::shared_ptr<const detail::Lookups>>::lazy([=] {
                   const CharMap& table = chars.get();
                   const Exceptions& dictionary = exceptions.get();
                   return std::make_shared<const detail::Lookups>(table, dictionary, patterns);
                 })})),
      leftMin_(leftMin),
      rightMin_(rightMin) {}

Hyphenator::Hyphenator(CharMap chars, Deferred<Patterns> patterns, Deferred<Exceptions> exceptions,
                       std::int64_t leftMin, std::int64_t rightMin)
    : Hyphenator(Deferred<CharMap>(std::move(chars)), std::move(patterns), std::move(exceptions),
                 leftMin, rightMin) {}

const CharMapping& hyphenatorChars(const Hyphenator& h) { return h.tables_->chars; }
const Patterns& hyphenatorPatterns(const Hyphenator& h) { return h.tables_->patterns.get(); }
const Exceptions& hyphenatorExceptions(const Hyphenator& h) { return h.tables_->exceptions.get(); }
std::int64_t hyphenatorLeftMin(const Hyphenator& h) { return h.leftMin_; }
std::int64_t hyphenatorRightMin(const Hyphenator& h) { return h.rightMin_; }

namespace {

// The minimums may be any 64-bit integers, so sums and differences with them
// saturate instead of overflowing. That keeps every comparison below exact:
// word lengths are far from both ends of the range.
constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

constexpr std::int64_t saturatingAdd(std::int64_t a, std::int64_t b) {
  if (b > 0 && a > kMax - b) return kMax;
  if (b < 0 && a < kMin - b) return kMin;
  return a + b;
}

constexpr std::int64_t saturatingSub(std::int64_t a, std::int64_t b) {
  if (b < 0 && a > kMax + b) return kMax;
  if (b > 0 && a < kMin + b) return kMin;
  return a - b;
}

// Calls onBreak for each permitted break, given the raw list as its length
// and an accessor. The trimmed list is `skipped` zeros followed by the raw
// list from entry `skipped` on, cut to `count` entries. Its entry k + 1
// scores the gap after code point k (entry 0, before the word, never breaks)
// and equals raw entry k + 1 wherever it is not one of the leading zeros.
template <class Raw, class OnBreak>
void breakWithin(std::int64_t rawSize, std::int64_t left, std::int64_t minimum,
                 std::u32string_view word, Raw raw, OnBreak& onBreak) {
  const auto n = static_cast<std::int64_t>(word.size());
  const std::int64_t skipped = std::max<std::int64_t>(left, 0);
  const std::int64_t count = saturatingAdd(saturatingSub(n, minimum), 1);
  const std::int64_t kept = std::min(count, std::max<std::int64_t>(rawSize - skipped, 0));
  const std::int64_t trimmedSize = saturatingAdd(skipped, kept);
  if (trimmedSize == 0) throw Error("Malformed hyphenation score for " + detail::encodeUtf8(word));

  const std::int64_t last = std::min(n, trimmedSize - 1);
  for (std::int64_t gap = std::max<std::int64_t>(skipped, 1); gap <= last; ++gap)
    if (raw(gap) % 2 != 0) onBreak(static_cast<std::size_t>(gap));
}

// Scores `normalised` against the patterns (through `fold` when given, which
// normalises and finds the symbol in one step) and breaks `word` accordingly.
template <class OnBreak>
void scoreAndBreak(detail::FlatView view, std::u32string_view normalised,
                   const detail::SymbolFold* fold, const CharMap* charMap, std::int64_t left,
                   std::int64_t right, std::int64_t minimum, std::u32string_view word,
                   OnBreak& onBreak) {
  const detail::FlatTrie& trie = *view.trie;
  const std::size_t m = normalised.size() + 2;
  detail::SmallBuffer<std::uint32_t, 66> padded(m);
  padded[0] = padded[m - 1] = trie.symbolOf(U'.');
  if (fold) {
    // The fold covers Unicode's range; values past it take the long way.
    for (std::size_t i = 0; i < normalised.size(); ++i) {
      const char32_t c = normalised[i];
      padded[i + 1] = c <= 0x10FFFF ? fold->symbolOf(c) : trie.symbolOf((*charMap)(c));
    }
  } else {
    for (std::size_t i = 0; i < normalised.size(); ++i)
      padded[i + 1] = trie.symbolOf(normalised[i]);
  }
  if (trie.automaton && view.root == 0) {
    // The common case: digits only, scored in one pass into bytes.
    detail::SmallBuffer<std::uint8_t, 128> result(detail::digitsRoom(trie, m));
    const std::size_t length = detail::scoreDigits(trie, padded.data(), m, result.data());
    const std::uint8_t* raw = result.data() + detail::FlatTrie::kWindow;
    breakWithin(
        static_cast<std::int64_t>(length) - 2, left, minimum, word,
        [raw](std::int64_t gap) { return raw[gap]; }, onBreak);
    return;
  }
  detail::SmallBuffer<std::int64_t, 96> result(m + trie.maxScoreLength);
  // With both minimums positive the length of the list cannot matter (it is
  // at least n), and the last gap that can break is n - right, which no walk
  // starting after it reaches: those walks are skipped.
  const auto n = static_cast<std::int64_t>(normalised.size());
  const std::size_t starts =
      left >= 1 && right >= 1 ? static_cast<std::size_t>(std::max<std::int64_t>(n - right + 2, 0))
                              : m;
  const std::size_t length =
      detail::scorePadded(view, padded.data(), m, result.data(), std::min(starts, m));
  // The raw list is the full list without its first and last entry.
  const std::int64_t* raw = result.data() + 1;
  breakWithin(
      static_cast<std::int64_t>(length) - 2, left, minimum, word,
      [raw](std::int64_t gap) { return raw[gap]; }, onBreak);
}

// Calls onBreak(p) for each position p (1 to n, ascending) after which a
// break falls: after code point p - 1, so that the next piece starts at p.
// Throws the malformed-score error before the first call.
template <class OnBreak>
void forEachBreak(const Hyphenator& h, std::u32string_view word, OnBreak onBreak) {
  if (word.empty()) return;
  const auto n = static_cast<std::int64_t>(word.size());
  const std::int64_t left = hyphenatorLeftMin(h);
  const std::int64_t right = hyphenatorRightMin(h);
  const std::int64_t minimum = saturatingAdd(left, right);
  if (n < minimum) return;

  const detail::Lookups* lookups = HyphenatorAccess::lookups(h);
  auto breakAsException = [&](const Scores& raw) {
    breakWithin(
        static_cast<std::int64_t>(raw.size()), left, minimum, word,
        [&raw](std::int64_t gap) { return raw[static_cast<std::size_t>(gap)]; }, onBreak);
  };
  if (lookups) {
    // A table: each code point is normalised on the way to its symbol; the
    // normalised word itself is needed only to look up an exception.
    const CharMap& charMap = *lookups->chars;
    if (lookups->exceptions &&
        lookups->filter.mayHold(charMap(word.front()), charMap(word.back()), word.size())) {
      detail::SmallBuffer<char32_t, 64> normalised(word.size());
      for (std::size_t i = 0; i < word.size(); ++i) normalised[i] = charMap(word[i]);
      const std::u32string_view key(normalised.data(), word.size());
      if (const Scores* exception = lookupException(key, *lookups->exceptions))
        return breakAsException(*exception);
    }
    scoreAndBreak(lookups->scoring(), word, &*lookups->fold, &charMap, left, right, minimum, word,
                  onBreak);
    return;
  }
  // A mapping that is a plain function: the word it gives is looked up and
  // scored.
  const Exceptions& exceptions = hyphenatorExceptions(h);
  const CharMapping& chars = hyphenatorChars(h);
  detail::SmallBuffer<char32_t, 64> normalised(word.size());
  for (std::size_t i = 0; i < word.size(); ++i) normalised[i] = chars(word[i]);
  const std::u32string_view key(normalised.data(), word.size());
  if (const Scores* exception = lookupException(key, exceptions))
    return breakAsException(*exception);
  scoreAndBreak(detail::flatOf(hyphenatorPatterns(h)), key, nullptr, nullptr, left, right, minimum,
                word, onBreak);
}

// Words up to this many bytes take the direct path below.
constexpr std::size_t kDirectBytes = 128;

// The common case in one pass over the bytes: a mapping that is a table,
// patterns with an automaton, positive minimums, and no exception that could
// match a word of this first and last letter and length. Calls onBreak with byte
// offsets, as forEachBreak would; returns false, having done nothing, where
// the general path is needed.
template <class OnBreak>
bool breakUtf8Directly(const Hyphenator& h, std::string_view bytes, OnBreak& onBreak) {
  const std::int64_t left = hyphenatorLeftMin(h);
  const std::int64_t right = hyphenatorRightMin(h);
  if (left < 1 || right < 1 || bytes.size() > kDirectBytes) return false;
  // Fewer bytes than the minimums leave fewer code points: no break, and
  // nothing to look at (the general path returns before its lookups too).
  if (static_cast<std::int64_t>(bytes.size()) < saturatingAdd(left, right)) return true;
  const detail::Lookups* lookups = HyphenatorAccess::lookups(h);
  // Without patterns only an exception could be hyphenated: the general
  // path finds out.
  if (!lookups || lookups->patternsError) return false;
  const detail::FlatView view = lookups->patterns;
  const detail::FlatTrie& trie = *view.trie;
  if (!trie.automaton || view.root != 0) return false;
  std::uint8_t result[detail::FlatTrie::kWindow + kDirectBytes + 3 + 32];
  if (detail::digitsRoom(trie, bytes.size() + 2) > sizeof result) return false;
  const detail::SymbolFold* fold = &*lookups->fold;

  // Symbols of the padded word, and where each code point starts when some
  // are longer than a byte.
  std::uint32_t padded[kDirectBytes + 2];
  std::uint32_t starts[kDirectBytes + 1];
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const std::uint32_t* ascii = fold->ascii();
  // ASCII first: there code points and bytes are one and the same.
  std::size_t n = 0;
  while (n < size && p[n] < 0x80) {
    padded[n + 1] = ascii[p[n]];
    ++n;
  }
  const bool multibyte = n < size;
  if (multibyte) {
    for (std::size_t k = 0; k < n; ++k) starts[k] = static_cast<std::uint32_t>(k);
    for (std::size_t i = n; i < size;) {
      starts[n] = static_cast<std::uint32_t>(i);
      const detail::Decoded d = detail::decodeOne(p + i, size - i);
      padded[++n] = fold->symbolOf(d.codePoint);  // decoding gives nothing past U+10FFFF
      i += d.length;
    }
  }
  // The symbols are those of the normalised letters, as the filter's are
  // (n >= 1: there are at least two bytes).
  if (lookups->exceptions && lookups->symbolFilter->mayHold(padded[1], padded[n], n)) return false;
  const auto words = static_cast<std::int64_t>(n);
  if (words < saturatingAdd(left, right)) return true;  // no room for a break

  const std::size_t m = n + 2;
  padded[0] = padded[m - 1] = lookups->dot;
  // With both minimums positive, the gaps that may break are left to
  // n - right, all inside the word: entry g + 1 of the list scores gap g.
  const auto first = static_cast<std::size_t>(left);
  const auto last = static_cast<std::size_t>(words - right);
  auto breakAt = [&](std::size_t gap) { onBreak(multibyte ? starts[gap] : gap); };
  if (m <= detail::kShortWord && trie.scoreLength(0) == 0) {
    std::uint32_t odd = detail::oddGaps(trie, padded, m) >> 1;
    odd &= (~std::uint32_t{0} << first) & (~std::uint32_t{0} >> (31 - last));
    for (; odd != 0; odd &= odd - 1) breakAt(static_cast<std::size_t>(std::countr_zero(odd)));
    return true;
  }
  detail::scoreDigits(trie, padded, m, result);
  const std::uint8_t* gaps = result + detail::FlatTrie::kWindow;
  for (std::size_t gap = first; gap <= last; ++gap)
    if (gaps[gap] & 1) breakAt(gap);
  return true;
}

// Decodes UTF-8 into `codePoints`, recording where each code point starts
// (with the total length after the last), without allocating for short words.
struct DecodedWord {
  explicit DecodedWord(std::string_view bytes)
      : codePoints(bytes.size()), starts(bytes.size() + 1) {
    std::size_t count = 0;
    detail::decodeUtf8(bytes, [&](char32_t c, std::size_t offset, std::size_t) {
      codePoints[count] = c;
      starts[count++] = offset;
    });
    starts[count] = bytes.size();
    size = count;
  }
  std::u32string_view view() const { return {codePoints.data(), size}; }

  detail::SmallBuffer<char32_t, 64> codePoints;
  detail::SmallBuffer<std::size_t, 65> starts;
  std::size_t size = 0;
};

}  // namespace

void breakPoints(const Hyphenator& h, std::u32string_view word, std::vector<std::size_t>& out) {
  out.clear();
  forEachBreak(h, word, [&out](std::size_t position) { out.push_back(position); });
}

std::vector<std::size_t> breakPoints(const Hyphenator& h, std::u32string_view word) {
  std::vector<std::size_t> out;
  breakPoints(h, word, out);
  return out;
}

void breakPoints(const Hyphenator& h, std::string_view utf8word, std::vector<std::size_t>& out) {
  out.clear();
  auto record = [&out](std::size_t offset) { out.push_back(offset); };
  if (breakUtf8Directly(h, utf8word, record)) return;
  const DecodedWord decoded(utf8word);
  forEachBreak(h, decoded.view(),
               [&](std::size_t position) { out.push_back(decoded.starts[position]); });
}

std::vector<std::size_t> breakPoints(const Hyphenator& h, std::string_view utf8word) {
  std::vector<std::size_t> out;
  breakPoints(h, utf8word, out);
  return out;
}

namespace {

template <class Piece, class Word>
std::vector<Piece> cutAt(Word word, std::span<const std::size_t> breaks) {
  std::vector<Piece> pieces;
  pieces.reserve(breaks.size() + 1);
  std::size_t start = 0;
  for (std::size_t position : breaks) {
    pieces.emplace_back(word.substr(start, position - start));
    start = position;
  }
  pieces.emplace_back(word.substr(start));
  return pieces;
}

}  // namespace

std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word) {
  return cutAt<std::u32string>(word, breakPoints(h, word));
}

std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view utf8word) {
  // Ordinary words: the breaks gathered on the stack, then one allocation
  // for exactly as many pieces.
  std::size_t breaks[kDirectBytes];
  std::size_t count = 0;
  auto record = [&](std::size_t offset) { breaks[count++] = offset; };
  if (!breakUtf8Directly(h, utf8word, record))
    return cutAt<std::string>(utf8word, breakPoints(h, utf8word));
  return cutAt<std::string>(utf8word, std::span<const std::size_t>(breaks, count));
}

const CharMap* hyphenatorCharMap(const Hyphenator& h) { return HyphenatorAccess::charMap(h); }

}  // namespace hyph
