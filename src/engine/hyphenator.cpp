// Splitting a word into pieces at the breaks that its scores permit.
#include "hyph/hyphenator.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <span>

#include "hyph/error.hpp"
#include "hyphenator_access.hpp"
#include "word_tables.hpp"
#include "small_buffer.hpp"
#include "trie/lookup.hpp"
#include "trie/patterns_access.hpp"
#include "utf8.hpp"

namespace hyph {

Hyphenator::Hyphenator(CharMapping chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(
          std::make_shared<const Tables>(Tables{std::move(chars), std::nullopt, std::move(patterns),
                                                std::move(exceptions), std::nullopt})),
      leftMin_(leftMin),
      rightMin_(rightMin) {}

Hyphenator::Hyphenator(Deferred<CharTable> chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : tables_(std::make_shared<const Tables>(
          Tables{[chars](char32_t c) { return chars.get()(c); }, chars, patterns, exceptions,
                 Deferred<std::shared_ptr<const detail::WordTables>>::lazy([=] {
                   const CharTable& table = chars.get();
                   const Exceptions& dictionary = exceptions.get();
                   return std::make_shared<const detail::WordTables>(table, dictionary, patterns);
                 })})),
      leftMin_(leftMin),
      rightMin_(rightMin) {}

Hyphenator::Hyphenator(CharTable chars, Deferred<Patterns> patterns, Deferred<Exceptions> exceptions,
                       std::int64_t leftMin, std::int64_t rightMin)
    : Hyphenator(Deferred<CharTable>(std::move(chars)), std::move(patterns), std::move(exceptions),
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

// Breaks a word of padded.size() - 2 code points where its scores permit;
// `word` only names it in the malformed-score error.
template <class OnBreak>
void breakPadded(detail::FlatView view, const detail::PaddedWord& padded, std::int64_t left,
                 std::int64_t right, std::int64_t minimum, std::u32string_view word,
                 OnBreak& onBreak) {
  if (left >= 1 && right >= 1) {
    // The gaps that may break are left to n - right, all inside the word (the
    // caller made sure n >= left + right), and the list's length cannot
    // matter: gap g of the word is gap g + 1 of the padded word.
    const auto n = static_cast<std::int64_t>(padded.size()) - 2;
    const auto first = static_cast<std::size_t>(left) + 1;
    const auto last = static_cast<std::size_t>(n - right) + 1;
    // Most words take the short road, without the scores' buffers.
    std::uint32_t odd = 0;
    if (detail::oddGapsOfShortWord(view, padded, first, last, odd)) {
      for (; odd != 0; odd &= odd - 1) onBreak(static_cast<std::size_t>(std::countr_zero(odd)) - 1);
      return;
    }
    const detail::WordScores scores(view, padded, {first, last, true});
    scores.forEachOdd([&](std::size_t gap) { onBreak(gap - 1); });
    return;
  }
  const detail::WordScores scores(view, padded);
  breakWithin(
      static_cast<std::int64_t>(scores.size()) - 2, left, minimum, word,
      [&scores](std::int64_t gap) { return scores[static_cast<std::size_t>(gap) + 1]; }, onBreak);
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

  const detail::WordTables* lookups = HyphenatorAccess::lookups(h);
  auto breakAsException = [&](const Scores& raw) {
    breakWithin(
        static_cast<std::int64_t>(raw.size()), left, minimum, word,
        [&raw](std::int64_t gap) { return raw[static_cast<std::size_t>(gap)]; }, onBreak);
  };
  detail::PaddedWord padded(word.size());
  if (lookups) {
    // A table: each code point is normalised on the way to its symbol; the
    // normalised word itself is needed only to look up an exception.
    const CharTable& charMap = *lookups->chars;
    if (lookups->exceptions &&
        lookups->filter.mayHold(charMap(word.front()), charMap(word.back()), word.size())) {
      detail::SmallBuffer<char32_t, 64> normalised(word.size());
      for (std::size_t i = 0; i < word.size(); ++i) normalised[i] = charMap(word[i]);
      const std::u32string_view key(normalised.data(), word.size());
      if (const Scores* exception = lookupException(key, *lookups->exceptions))
        return breakAsException(*exception);
    }
    const detail::FlatView view = lookups->scoring();
    const detail::SymbolFold& fold = *lookups->fold;
    detail::SymbolCode* letters = padded.letters();
    // The fold covers Unicode's range; values past it take the long way.
    for (std::size_t i = 0; i < word.size(); ++i) {
      const char32_t c = word[i];
      letters[i] = c <= 0x10FFFF ? fold.symbolOf(c) : view.trie->symbolOf(charMap(c));
    }
    padded.close(word.size(), lookups->boundary);
    breakPadded(view, padded, left, right, minimum, word, onBreak);
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
  const detail::FlatView view = detail::flatOf(hyphenatorPatterns(h));
  for (std::size_t i = 0; i < word.size(); ++i) padded.letters()[i] = view.trie->symbolOf(key[i]);
  padded.close(word.size(), view.trie->symbolOf(U'.'));
  breakPadded(view, padded, left, right, minimum, word, onBreak);
}

// Words up to this many bytes take the direct path below.
constexpr std::size_t kDirectBytes = detail::PaddedWord::kInlineLetters;

// The common case in one pass over the bytes: a mapping that is a table,
// patterns that built, positive minimums, and no exception that could match
// a word of this first and last letter and length. Calls onBreak with byte
// offsets, as forEachBreak would; returns false, having done nothing, where
// the general path is needed.
template <class OnBreak>
bool breakUtf8Directly(const Hyphenator& h, std::string_view bytes, OnBreak& onBreak) {
  const std::int64_t left = hyphenatorLeftMin(h);
  const std::int64_t right = hyphenatorRightMin(h);
  if (left < 1 || right < 1 || bytes.size() > kDirectBytes) return false;
  // Fewer bytes than the minimums leave fewer code points: no break, and
  // nothing to look at (the general path returns before its lookups too).
  const std::int64_t minimum = saturatingAdd(left, right);
  if (static_cast<std::int64_t>(bytes.size()) < minimum) return true;
  const detail::WordTables* lookups = HyphenatorAccess::lookups(h);
  // Without patterns only an exception could be hyphenated: the general
  // path finds out.
  if (!lookups || lookups->patternsError) return false;
  const detail::SymbolFold& fold = *lookups->fold;

  // Symbol codes of the word, and where each code point starts when some
  // are longer than a byte.
  detail::PaddedWord padded(bytes.size());
  detail::SymbolCode* letters = padded.letters();
  std::uint32_t starts[kDirectBytes + 1];
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  const detail::SymbolCode* ascii = fold.ascii();
  // ASCII first: there code points and bytes are one and the same.
  std::size_t n = 0;
  while (n < size && p[n] < 0x80) {
    letters[n] = ascii[p[n]];
    ++n;
  }
  const bool multibyte = n < size;
  if (multibyte) {
    for (std::size_t k = 0; k < n; ++k) starts[k] = static_cast<std::uint32_t>(k);
    for (std::size_t i = n; i < size;) {
      starts[n] = static_cast<std::uint32_t>(i);
      const detail::Decoded d = detail::decodeOne(p + i, size - i);
      letters[n++] = fold.symbolOf(d.codePoint);  // decoding gives nothing past U+10FFFF
      i += d.length;
    }
  }
  // The codes are those of the normalised letters, as the filter's are (n
  // >= 1: there are at least two bytes).
  if (lookups->exceptions && lookups->symbolFilter->mayHold(letters[0], letters[n - 1], n))
    return false;
  if (static_cast<std::int64_t>(n) < minimum) return true;  // no room for a break
  padded.close(n, lookups->boundary);
  auto breakAt = [&](std::size_t gap) { onBreak(multibyte ? starts[gap] : gap); };
  breakPadded(lookups->patterns, padded, left, right, minimum, {}, breakAt);
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

const CharTable* hyphenatorCharTable(const Hyphenator& h) { return HyphenatorAccess::charMap(h); }

namespace {

/// Code points in a UTF-8 text, an undecodable byte counting as one.
std::size_t codePoints(std::string_view utf8) {
  std::size_t count = 0;
  detail::decodeUtf8(utf8, [&count](char32_t, std::size_t, std::size_t) { ++count; });
  return count;
}
std::size_t codePoints(std::u32string_view text) { return text.size(); }

template <class String, class View>
std::vector<std::pair<String, String>> cutsOf(const Hyphenator& h, View word) {
  std::vector<std::size_t> breaks;
  breakPoints(h, word, breaks);
  std::vector<std::pair<String, String>> cuts;
  cuts.reserve(breaks.size());
  for (std::size_t k = breaks.size(); k-- > 0;)
    cuts.emplace_back(String(word.substr(0, breaks[k])), String(word.substr(breaks[k])));
  return cuts;
}

template <class String, class View>
std::optional<std::pair<String, String>> wrapAt(const Hyphenator& h, View word, std::size_t width,
                                                View hyphen) {
  const std::size_t hyphenWidth = codePoints(hyphen);
  if (width < hyphenWidth) return std::nullopt;
  std::vector<std::size_t> breaks;
  breakPoints(h, word, breaks);
  for (std::size_t k = breaks.size(); k-- > 0;) {
    const View first = word.substr(0, breaks[k]);
    if (codePoints(first) <= width - hyphenWidth) {
      String head(first);
      head += hyphen;
      return std::pair{std::move(head), String(word.substr(breaks[k]))};
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> iterate(const Hyphenator& h,
                                                         std::string_view utf8word) {
  return cutsOf<std::string>(h, utf8word);
}

std::vector<std::pair<std::u32string, std::u32string>> iterate(const Hyphenator& h,
                                                               std::u32string_view word) {
  return cutsOf<std::u32string>(h, word);
}

std::optional<std::pair<std::string, std::string>> wrap(const Hyphenator& h,
                                                        std::string_view utf8word,
                                                        std::size_t width,
                                                        std::string_view hyphen) {
  return wrapAt<std::string>(h, utf8word, width, hyphen);
}

std::optional<std::pair<std::u32string, std::u32string>> wrap(const Hyphenator& h,
                                                              std::u32string_view word,
                                                              std::size_t width,
                                                              std::u32string_view hyphen) {
  return wrapAt<std::u32string>(h, word, width, hyphen);
}

namespace {

template <class String, class View>
String joinPieces(std::span<const String> pieces, View separator) {
  String out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i != 0) out += separator;
    out += pieces[i];
  }
  return out;
}

}  // namespace

std::string join(std::span<const std::string> pieces, std::string_view separator) {
  return joinPieces(pieces, separator);
}

std::u32string join(std::span<const std::u32string> pieces, std::u32string_view separator) {
  return joinPieces(pieces, separator);
}

}  // namespace hyph
