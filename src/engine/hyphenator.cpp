// The one road from a word to its breaks, for every Hyphenator and both
// kinds of word (code points, UTF-8 bytes): the word's letters mapped to the
// codes of the patterns' alphabet in one pass, one place that looks for an
// exception, the scores of one lookup, and the breaks that the minimums
// allow. A built-in language's tables are constant data of the library; a
// Hyphenator of the caller's values builds the same form on first use.
//
// One side road, measured: a short word with positive minimums takes the
// automaton's odd gaps as a mask (oddGapsOfShortWord) without a WordScores,
// whose 768 bytes of scratch cost breakPoints a third of its time.
#include "hyph/hyphenator.hpp"

#include <algorithm>
#include <bit>
#include <limits>
#include <span>
#include <tuple>

#include "first_use.hpp"
#include "hyph/error.hpp"
#include "hyphenator_access.hpp"
#include "small_buffer.hpp"
#include "trie/lookup.hpp"
#include "utf8.hpp"

namespace hyph {

using detail::WordTables;

namespace {

std::shared_ptr<HyphenatorAccess::Tables> tablesOf(CharMapping chars,
                                                   std::optional<Deferred<CharTable>> charTable,
                                                   Deferred<Patterns> patterns,
                                                   Deferred<Exceptions> exceptions) {
  auto tables = std::make_shared<HyphenatorAccess::Tables>(HyphenatorAccess::Tables{
      std::move(chars), std::move(charTable), std::move(patterns), std::move(exceptions)});
  // The words' tables live in the same Tables as the mapping they point to.
  const HyphenatorAccess::Tables* self = tables.get();
  tables->words = Deferred<std::shared_ptr<const WordTables>>::lazy([self] {
    std::optional<CharTable> table;
    if (self->charTable) table = self->charTable->get();
    // The exceptions first: patterns that fail to build fail only the words
    // that need them.
    detail::ExceptionsPart exceptions = detail::ExceptionsPart::of(self->exceptions.get());
    return detail::assembleWordTables(std::move(table), table ? nullptr : &self->chars,
                                      detail::TriePart::of(self->patterns), std::move(exceptions));
  });
  return tables;
}

}  // namespace

Hyphenator::Hyphenator(std::shared_ptr<const Tables> tables, std::int64_t leftMin,
                       std::int64_t rightMin)
    : tables_(std::move(tables)), leftMin_(leftMin), rightMin_(rightMin) {}

Hyphenator::Hyphenator(CharMapping chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : Hyphenator(
          tablesOf(std::move(chars), std::nullopt, std::move(patterns), std::move(exceptions)),
          leftMin, rightMin) {}

Hyphenator::Hyphenator(Deferred<CharTable> chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : Hyphenator(tablesOf([chars](char32_t c) { return chars.get()(c); }, chars,
                          std::move(patterns), std::move(exceptions)),
                 leftMin, rightMin) {}

Hyphenator::Hyphenator(CharTable chars, Deferred<Patterns> patterns,
                       Deferred<Exceptions> exceptions, std::int64_t leftMin, std::int64_t rightMin)
    : Hyphenator(Deferred<CharTable>(std::move(chars)), std::move(patterns), std::move(exceptions),
                 leftMin, rightMin) {}

const CharMapping& hyphenatorChars(const Hyphenator& h) {
  return HyphenatorAccess::tables(h)->chars;
}
const Patterns& hyphenatorPatterns(const Hyphenator& h) {
  return HyphenatorAccess::tables(h)->patterns.get();
}
const Exceptions& hyphenatorExceptions(const Hyphenator& h) {
  return HyphenatorAccess::tables(h)->exceptions.get();
}
std::int64_t hyphenatorLeftMin(const Hyphenator& h) { return HyphenatorAccess::leftMin(h); }
std::int64_t hyphenatorRightMin(const Hyphenator& h) { return HyphenatorAccess::rightMin(h); }

namespace {

// The minimums may be any 64-bit integers, so sums and differences with them
// saturate instead of overflowing. That keeps every comparison below exact:
// word lengths are far from both ends of the range. Only minimums that are
// not both positive take this arithmetic.
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

/// A word of code points, as the road reads it: letter i is code point i.
struct CodePointWord {
  std::u32string_view word;

  std::size_t capacity() const { return word.size(); }
  /// Calls letter(code point) for each letter; returns their number.
  template <class Letter>
  std::size_t letters(Letter letter) const {
    for (char32_t c : word) letter(c);
    return word.size();
  }
  std::size_t position(std::size_t letter) const { return letter; }
  std::string text() const { return detail::encodeUtf8(word); }
};

/// A UTF-8 word: letter i is the i-th code point (an undecodable byte one of
/// its own value), at byte offset starts[i].
class Utf8Word {
 public:
  explicit Utf8Word(std::string_view bytes) : bytes_(bytes), starts_(bytes.size() + 1) {}

  std::size_t capacity() const { return bytes_.size(); }
  template <class Letter>
  std::size_t letters(Letter letter) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const std::size_t size = bytes_.size();
    std::size_t n = 0;
    for (std::size_t i = 0; i < size; ++n) {
      starts_[n] = static_cast<std::uint32_t>(i);
      if (p[i] < 0x80) {
        letter(static_cast<char32_t>(p[i++]));
      } else {
        const detail::Decoded d = detail::decodeOne(p + i, size - i);
        letter(d.codePoint);
        i += d.length;
      }
    }
    starts_[n] = static_cast<std::uint32_t>(size);
    return n;
  }
  std::size_t position(std::size_t letter) const { return ascii_ ? letter : starts_[letter]; }
  std::string text() const { return std::string(bytes_); }

  /// The ASCII letters that begin the word, mapped through `codes` (the
  /// fold's first page) in one loop; their number.
  std::size_t asciiPrefix(const detail::SymbolCode* codes, detail::SymbolCode* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    std::size_t n = 0;
    while (n < bytes_.size() && p[n] < 0x80) {
      out[n] = codes[p[n]];
      ++n;
    }
    ascii_ = n == bytes_.size();  // then letter i is byte i
    return n;
  }
  /// The rest of the word after its first `n` bytes, all ASCII, as letters.
  template <class Letter>
  std::size_t lettersAfter(std::size_t n, Letter letter) {
    for (std::size_t k = 0; k < n; ++k) starts_[k] = static_cast<std::uint32_t>(k);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data());
    const std::size_t size = bytes_.size();
    std::size_t count = n;
    for (std::size_t i = n; i < size; ++count) {
      starts_[count] = static_cast<std::uint32_t>(i);
      const detail::Decoded d = detail::decodeOne(p + i, size - i);
      letter(d.codePoint);
      i += d.length;
    }
    starts_[count] = static_cast<std::uint32_t>(size);
    return count;
  }
  bool ascii() const { return ascii_; }
  /// The letters of an all-ASCII word, one a byte.
  void asciiLetters(char32_t* out) const {
    for (std::size_t k = 0; k < bytes_.size(); ++k) out[k] = static_cast<unsigned char>(bytes_[k]);
  }

 private:
  std::string_view bytes_;
  bool ascii_ = false;
  detail::SmallBuffer<std::uint32_t, detail::PaddedWord::kInlineLetters + 1> starts_;
};

/// Calls onBreak for each permitted break, given the raw list as its length
/// and an accessor: the general rule for any minimums. The trimmed list is
/// `skipped` zeros followed by the raw list from entry `skipped` on, cut to
/// `count` entries. Its entry k + 1 scores the gap after letter k (entry 0,
/// before the word, never breaks) and equals raw entry k + 1 wherever it is
/// not one of the leading zeros.
template <class Raw, class Name, class OnBreak>
void breakWithin(std::int64_t rawSize, std::int64_t n, std::int64_t left, std::int64_t right,
                 Raw raw, Name name, OnBreak& onBreak) {
  const std::int64_t minimum = saturatingAdd(left, right);
  const std::int64_t skipped = std::max<std::int64_t>(left, 0);
  const std::int64_t count = saturatingAdd(saturatingSub(n, minimum), 1);
  const std::int64_t kept = std::min(count, std::max<std::int64_t>(rawSize - skipped, 0));
  const std::int64_t trimmedSize = saturatingAdd(skipped, kept);
  if (trimmedSize == 0) throw Error("Malformed hyphenation score for " + name());

  const std::int64_t last = std::min(n, trimmedSize - 1);
  for (std::int64_t gap = std::max<std::int64_t>(skipped, 1); gap <= last; ++gap)
    if (raw(gap)) onBreak(static_cast<std::size_t>(gap));
}

/// What a break rewrites, as offsets into the word, and the case the word
/// has there: a rewriting of letters all in capitals is written in
/// capitals, of letters of which the first is, with its first in capitals.
struct RewriteAt {
  std::size_t start, end;
  const detail::Rewrite* rewrite;
  enum class Case { Small, First, All } letters;

  template <class String>
  std::pair<String, String> texts() const {
    std::u32string before = letters == Case::All ? rewrite->beforeCapitals : rewrite->before;
    const std::u32string& after = letters == Case::All ? rewrite->afterCapitals : rewrite->after;
    if (letters == Case::First && !before.empty()) before[0] = rewrite->beforeCapitals[0];
    if constexpr (std::is_same_v<String, std::string>)
      return {detail::encodeUtf8(before), detail::encodeUtf8(after)};
    else
      return {std::move(before), after};
  }
};

/// Calls onBreak(offset), or onBreak(offset, rewrite) where it takes one.
template <class OnBreak>
[[gnu::always_inline]] inline void emit(OnBreak& onBreak, std::size_t offset,
                                        const RewriteAt* rewrite) {
  if constexpr (std::is_invocable_v<OnBreak&, std::size_t, const RewriteAt*>)
    onBreak(offset, rewrite);
  else
    onBreak(offset);
}

/// The breaks of a word by a compound level (a libhyphen dictionary's), with
/// their rewritings where the word level has non-standard rules, kept as
/// libhyphen writes the word out: a break is left out that falls inside
/// what an earlier break rewrote, or would rewrite what lies before one.
template <class Word, class OnBreak>
[[gnu::noinline]] void levelBreaksOf(const WordTables& t, Word& word,
                                                detail::PaddedWord& padded, std::size_t n,
                                                std::int64_t left, std::int64_t right,
                                                OnBreak& onBreak) {
  detail::SmallBuffer<char32_t, 64> original(n);
  std::size_t k = 0;
  if constexpr (std::is_same_v<Word, Utf8Word>) {
    if (word.ascii())
      word.asciiLetters(original.data());
    else
      word.letters([&](char32_t c) { original[k++] = c; });
  } else {
    word.letters([&](char32_t c) { original[k++] = c; });
  }
  detail::SmallBuffer<std::uint8_t, 64> breaks(n);
  const detail::Whole whole = detail::levelBreaksOfWhole(t, *t.levels, {original.data(), n}, padded,
                                                         left, right, {breaks.data(), n});
  if (whole == detail::Whole::Broken) {
    for (k = 0; k + 1 < n; ++k)
      if (breaks[k]) emit(onBreak, word.position(k + 1), nullptr);
    return;
  }
  // The compound level's joins, found already: not looked up again.
  detail::SmallBuffer<std::uint8_t, 64> joins(whole == detail::Whole::Joins ? n : 0);
  std::copy_n(breaks.data(), joins.size(), joins.data());
  detail::SmallBuffer<char32_t, 64> normalised(n);
  for (k = 0; k < n; ++k) normalised[k] = t.normalise(original[k]);
  const bool rewriting = t.levels->rewriting != nullptr;
  detail::SmallBuffer<detail::LevelRewrite, 64> rewrites(rewriting ? n : 0);
  for (k = 0; k < rewrites.size(); ++k) rewrites[k] = {nullptr, 0, 0};
  detail::levelBreaks(t, *t.levels, {original.data(), n}, {normalised.data(), n}, left, right,
                      {breaks.data(), n}, {rewrites.data(), rewrites.size()},
                      joins.size() != 0 ? joins.data() : nullptr);
  std::size_t lastPosition = 0, lastEnd = 0;
  for (k = 0; k + 1 < n; ++k) {
    if (!breaks[k]) continue;
    const std::size_t position = k + 1;
    const detail::LevelRewrite* r = rewriting && rewrites[k].rewrite ? &rewrites[k] : nullptr;
    const std::size_t start = r ? r->start : position;
    const std::size_t end = r ? std::min<std::size_t>(n, std::size_t{r->start} + r->length) : position;
    if (start > position || end < position || position <= lastEnd || start < lastPosition) continue;
    lastPosition = position;
    lastEnd = end;
    if (!r) {
      emit(onBreak, word.position(position), nullptr);
      continue;
    }
    bool all = start < end, first = false;
    for (std::size_t letter = start; letter < end; ++letter) {
      const bool capital = original[letter] != normalised[letter];
      all = all && capital;
      first = first || (letter == start && capital);
    }
    using Case = RewriteAt::Case;
    const RewriteAt at{word.position(start), word.position(end), r->rewrite,
                       all ? Case::All : first ? Case::First : Case::Small};
    emit(onBreak, word.position(position), &at);
  }
}

/// The one road: calls onBreak(p) for each letter position p (1 to n,
/// ascending) after which a break falls, so that the next piece starts at
/// letter p. Throws the malformed-score error before the first call.
template <class Word, class OnBreak>
void forEachBreak(const Hyphenator& h, Word& word, OnBreak onBreak) {
  const std::int64_t left = hyphenatorLeftMin(h);
  const std::int64_t right = hyphenatorRightMin(h);
  const bool positive = left >= 1 && right >= 1;
  // Fewer code units than the minimums leave fewer letters: nothing to look
  // at, as the rule says.
  if (positive && static_cast<std::int64_t>(word.capacity()) < saturatingAdd(left, right)) return;
  if (word.capacity() == 0) return;
  const WordTables& t = *HyphenatorAccess::words(h);

  // The letters' codes in the patterns' alphabet, their normalised forms'.
  detail::PaddedWord padded(word.capacity());
  detail::SymbolCode* codes = padded.letters();
  std::size_t n = 0;
  auto code = [&](char32_t c) { codes[n++] = t.symbolOf(c); };
  if constexpr (std::is_same_v<Word, Utf8Word>) {
    if (t.chars) {
      n = word.asciiPrefix(t.fold.firstPage(), codes);
      if (!word.ascii()) n = word.lettersAfter(n, code);
    } else {
      word.letters(code);
    }
  } else {
    word.letters(code);
  }
  if (positive ? static_cast<std::int64_t>(n) < left + right
               : static_cast<std::int64_t>(n) < saturatingAdd(left, right))
    return;
  auto breakAt = [&](std::size_t letter) __attribute__((always_inline)) {
    emit(onBreak, word.position(letter), nullptr);
  };
  auto name = [&] { return word.text(); };

  // An exception, where the filter lets the word be one.
  if (!t.exceptions.empty() &&
      (t.filter.empty() || detail::ExceptionFilter::mayHold(t.filter, codes[0], codes[n - 1], n))) {
    detail::SmallBuffer<char32_t, 64> normalised(n);
    std::size_t k = 0;
    word.letters([&](char32_t c) { normalised[k++] = t.normalise(c); });
    if (const auto parities = t.exceptions.find({normalised.data(), n})) {
      return breakWithin(
          static_cast<std::int64_t>(parities->size()), static_cast<std::int64_t>(n), left, right,
          [&](std::int64_t gap) { return (*parities)[static_cast<std::size_t>(gap)] != 0; }, name,
          breakAt);
    }
  }
  if (t.offRoad) [[unlikely]] {
    if constexpr (detail::kCompoundLevels)
      if (t.levels) return levelBreaksOf(t, word, padded, n, left, right, onBreak);
    if (t.patternsError) std::rethrow_exception(t.patternsError);
  }

  // The patterns' scores: gap g of the word is gap g + 1 of the padded word.
  padded.close(n, t.boundary);
  const detail::Scorer scorer = t.scorer();
  if (positive) {
    // The gaps that may break are left to n - right, all inside the word,
    // and the list's length cannot matter.
    const auto first = static_cast<std::size_t>(left) + 1;
    const auto last = static_cast<std::size_t>(static_cast<std::int64_t>(n) - right) + 1;
    std::uint32_t odd = 0;
    if (detail::oddGapsOfShortWord(scorer.automaton, padded, first, last, odd)) {
      for (; odd != 0; odd &= odd - 1) breakAt(static_cast<std::size_t>(std::countr_zero(odd)) - 1);
      return;
    }
    const detail::WordScores scores(scorer, padded, {first, last, true});
    scores.forEachOdd([&](std::size_t gap) { breakAt(gap - 1); });
    return;
  }
  const detail::WordScores scores(scorer, padded);
  breakWithin(
      static_cast<std::int64_t>(scores.size()) - 2, static_cast<std::int64_t>(n), left, right,
      [&](std::int64_t gap) { return scores[static_cast<std::size_t>(gap) + 1] % 2 != 0; }, name,
      breakAt);
}

}  // namespace

HYPH_FIRST_USE void breakPoints(const Hyphenator& h, std::u32string_view word,
                                std::vector<std::size_t>& out) {
  out.clear();
  CodePointWord letters{word};
  forEachBreak(h, letters, [&out](std::size_t position) { out.push_back(position); });
}

std::vector<std::size_t> breakPoints(const Hyphenator& h, std::u32string_view word) {
  std::vector<std::size_t> out;
  breakPoints(h, word, out);
  return out;
}

HYPH_FIRST_USE void breakPoints(const Hyphenator& h, std::string_view utf8word,
                                std::vector<std::size_t>& out) {
  out.clear();
  Utf8Word letters(utf8word);
  forEachBreak(h, letters, [&out](std::size_t offset) { out.push_back(offset); });
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

bool hyphenatorRewrites(const Hyphenator& h) {
  if constexpr (!detail::kCompoundLevels) return false;
  const WordTables& t = *HyphenatorAccess::words(h);
  return t.levels && t.levels->rewriting;
}

namespace {

template <class String, class Word>
std::vector<BasicBreak<String>> breaksOf(const Hyphenator& h, Word& letters) {
  std::vector<BasicBreak<String>> out;
  forEachBreak(h, letters, [&](std::size_t position, const RewriteAt* rewrite) {
    BasicBreak<String> b{position, position, position, {}, {}};
    if (rewrite) {
      b.start = rewrite->start;
      b.end = rewrite->end;
      std::tie(b.before, b.after) = rewrite->template texts<String>();
    }
    out.push_back(std::move(b));
  });
  return out;
}

template <class String, class View>
std::pair<String, String> split(View word, const BasicBreak<String>& b) {
  const std::size_t position = std::min(b.position, word.size());
  const std::size_t start = std::min(b.start, position), end = std::clamp(b.end, position, word.size());
  String first(word.substr(0, start));
  first += b.before;
  String second(b.after);
  second += word.substr(end);
  return {std::move(first), std::move(second)};
}

/// The pieces of a word whose breaks may rewrite it, as written when broken.
template <class String, class View>
std::vector<String> piecesOf(View word, const std::vector<BasicBreak<String>>& breaks) {
  std::vector<String> pieces;
  pieces.reserve(breaks.size() + 1);
  String piece;
  std::size_t from = 0;
  for (const BasicBreak<String>& b : breaks) {
    piece += word.substr(from, b.start - from);
    piece += b.before;
    pieces.push_back(std::move(piece));
    piece = b.after;
    from = b.end;
  }
  piece += word.substr(from);
  pieces.push_back(std::move(piece));
  return pieces;
}

}  // namespace

std::vector<Break> breaks(const Hyphenator& h, std::string_view utf8word) {
  Utf8Word letters(utf8word);
  return breaksOf<std::string>(h, letters);
}

std::vector<U32Break> breaks(const Hyphenator& h, std::u32string_view word) {
  CodePointWord letters{word};
  return breaksOf<std::u32string>(h, letters);
}

std::pair<std::string, std::string> splitAt(std::string_view utf8word, const Break& b) {
  return split(utf8word, b);
}

std::pair<std::u32string, std::u32string> splitAt(std::u32string_view word, const U32Break& b) {
  return split(word, b);
}

HYPH_FIRST_USE std::vector<std::u32string> hyphenate(const Hyphenator& h,
                                                     std::u32string_view word) {
  // A word without breaks needs no tables: whether breaks rewrite is asked
  // only of a word that has some.
  const std::vector<std::size_t> points = breakPoints(h, word);
  if (!points.empty() && hyphenatorRewrites(h)) return piecesOf(word, breaks(h, word));
  return cutAt<std::u32string>(word, points);
}

HYPH_FIRST_USE std::vector<std::string> hyphenate(const Hyphenator& h, std::string_view utf8word) {

  // Ordinary words: the breaks gathered on the stack, then one allocation
  // for exactly as many pieces.
  detail::SmallBuffer<std::size_t, detail::PaddedWord::kInlineLetters> breaks(utf8word.size());
  std::size_t count = 0;
  Utf8Word letters(utf8word);
  forEachBreak(h, letters, [&](std::size_t offset) { breaks[count++] = offset; });
  if (count != 0 && hyphenatorRewrites(h)) return piecesOf(utf8word, hyph::breaks(h, utf8word));
  return cutAt<std::string>(utf8word, std::span<const std::size_t>(breaks.data(), count));
}

const CharTable* hyphenatorCharTable(const Hyphenator& h) { return HyphenatorAccess::charTable(h); }

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
  if (!breaks.empty() && hyphenatorRewrites(h)) {
    const auto all = hyph::breaks(h, word);
    std::vector<std::pair<String, String>> cuts;
    for (std::size_t k = all.size(); k-- > 0;) cuts.push_back(split(word, all[k]));
    return cuts;
  }
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
  if (!breaks.empty() && hyphenatorRewrites(h)) {
    const auto all = hyph::breaks(h, word);
    for (std::size_t k = all.size(); k-- > 0;) {
      auto [head, rest] = split(word, all[k]);
      if (codePoints(View(head)) > width - hyphenWidth) continue;
      head += hyphen;
      return std::pair{std::move(head), std::move(rest)};
    }
    return std::nullopt;
  }
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
