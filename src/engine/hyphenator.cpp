// Splitting a word into pieces at the breaks that its scores permit.
#include "hyph/hyphenator.hpp"

#include <algorithm>
#include <limits>

#include "hyph/error.hpp"
#include "hyphenator_access.hpp"
#include "small_buffer.hpp"
#include "utf8.hpp"

namespace hyph {

Hyphenator::Hyphenator(CharMapping chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(std::make_shared<const Tables>(
          Tables{std::move(chars), std::nullopt, std::move(patterns), std::move(exceptions)})),
      leftMin_(leftMin),
      rightMin_(rightMin) {}

Hyphenator::Hyphenator(Deferred<CharMap> chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(std::make_shared<const Tables>(Tables{[chars](char32_t c) { return chars.get()(c); },
                                                    chars, std::move(patterns),
                                                    std::move(exceptions)})),
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

}  // namespace

namespace {

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

  detail::SmallBuffer<char32_t, 64> normalised(word.size());
  std::copy(word.begin(), word.end(), normalised.data());
  HyphenatorAccess::normalise(h, std::span(normalised.data(), word.size()));
  const std::u32string_view key(normalised.data(), word.size());

  Scores fromPatterns;
  const Scores* raw = lookupException(key, hyphenatorExceptions(h));
  if (!raw) {
    fromPatterns = lookupPattern(key, hyphenatorPatterns(h));
    raw = &fromPatterns;
  }

  // The trimmed list is `skipped` zeros followed by the raw list from entry
  // `skipped` on, cut to `count` entries. Its entry k + 1 scores the gap
  // after code point k (entry 0, before the word, never breaks) and equals
  // raw entry k + 1 wherever it is not one of the leading zeros.
  const std::int64_t skipped = std::max<std::int64_t>(left, 0);
  const std::int64_t count = saturatingAdd(saturatingSub(n, minimum), 1);
  const auto rawSize = static_cast<std::int64_t>(raw->size());
  const std::int64_t kept = std::min(count, std::max<std::int64_t>(rawSize - skipped, 0));
  const std::int64_t trimmedSize = saturatingAdd(skipped, kept);
  if (trimmedSize == 0) throw Error("Malformed hyphenation score for " + detail::encodeUtf8(word));

  const std::int64_t last = std::min(n, trimmedSize - 1);
  for (std::int64_t gap = std::max<std::int64_t>(skipped, 1); gap <= last; ++gap)
    if ((*raw)[static_cast<std::size_t>(gap)] % 2 != 0) onBreak(static_cast<std::size_t>(gap));
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
std::vector<Piece> cutAt(Word word, const std::vector<std::size_t>& breaks) {
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
  return cutAt<std::string>(utf8word, breakPoints(h, utf8word));
}

const CharMap* hyphenatorCharMap(const Hyphenator& h) { return HyphenatorAccess::charMap(h); }

}  // namespace hyph
