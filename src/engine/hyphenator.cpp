// Splitting a word into pieces at the breaks that its scores permit.
#include "hyph/hyphenator.hpp"

#include <limits>

#include "hyph/error.hpp"
#include "hyphenator_access.hpp"
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

std::vector<std::u32string> hyphenate(const Hyphenator& h, std::u32string_view word) {
  if (word.empty()) return {std::u32string()};
  const auto n = static_cast<std::int64_t>(word.size());
  const std::int64_t left = hyphenatorLeftMin(h);
  const std::int64_t right = hyphenatorRightMin(h);
  const std::int64_t minimum = saturatingAdd(left, right);
  if (n < minimum) return {std::u32string(word)};

  std::u32string normalised(word);
  HyphenatorAccess::normalise(h, normalised);

  Scores fromPatterns;
  const Scores* raw = lookupException(normalised, hyphenatorExceptions(h));
  if (!raw) {
    fromPatterns = lookupPattern(normalised, hyphenatorPatterns(h));
    raw = &fromPatterns;
  }

  // The trimmed list is `skipped` zeros followed by the raw list from entry
  // `skipped` on, cut to `count` entries; entry k + 1 of it scores the gap
  // after code point k, and equals raw entry k + 1 wherever that is not one
  // of the leading zeros.
  const std::int64_t skipped = std::max<std::int64_t>(left, 0);
  const std::int64_t count = saturatingAdd(saturatingSub(n, minimum), 1);
  const auto rawSize = static_cast<std::int64_t>(raw->size());
  const std::int64_t kept = std::min(count, std::max<std::int64_t>(rawSize - skipped, 0));
  const std::int64_t trimmedSize = saturatingAdd(skipped, kept);
  if (trimmedSize == 0) throw Error("Malformed hyphenation score for " + detail::encodeUtf8(word));

  std::vector<std::u32string> pieces;
  std::u32string piece;
  const std::int64_t entries = trimmedSize - 1;  // after gap 0 is dropped
  for (std::int64_t k = 0; k < n; ++k) {
    if (k >= entries) {
      piece.append(word.substr(static_cast<std::size_t>(k)));
      pieces.push_back(std::move(piece));
      return pieces;
    }
    piece += word[static_cast<std::size_t>(k)];
    const std::int64_t gap = k + 1;
    if (gap >= skipped && (*raw)[static_cast<std::size_t>(gap)] % 2 != 0) {
      pieces.push_back(std::move(piece));
      piece.clear();
    }
  }
  pieces.push_back(std::move(piece));
  return pieces;
}

}  // namespace hyph
