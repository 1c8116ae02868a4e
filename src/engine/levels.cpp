#include "levels.hpp"

#include <algorithm>
#include <exception>

#include "small_buffer.hpp"
#include "trie/lookup.hpp"
#include "trie/patterns_access.hpp"
#include "word_tables.hpp"

namespace hyph::detail {

namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

std::uint8_t utf8Width(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

/// The letters a ligature stands for beyond one, which libhyphen counts
/// towards the left minimum of a UTF-8 dictionary.
std::int64_t ligatureExtra(char32_t c) {
  switch (c) {
    case 0xFB00: case 0xFB01: case 0xFB02: case 0xFB05: case 0xFB06: return 1;
    case 0xFB03: case 0xFB04: return 2;
    default: return 0;
  }
}

/// A word or a part of one: its letters as patterns see them (digits read
/// as the boundary, as libhyphen reads them) and the bytes each takes in the
/// dictionary's encoding.
struct Part {
  const char32_t* letters;
  const std::uint8_t* widths;
  std::size_t size;

  Part slice(std::size_t begin, std::size_t end) const {
    return {letters + begin, widths + begin, end - begin};
  }
  std::size_t bytes() const {
    std::size_t total = 0;
    for (std::size_t k = 0; k < size; ++k) total += widths[k];
    return total;
  }
};

/// Which letters of `part` the patterns of `tables` may break after:
/// out[k] for a break after letter k, never after the last.
void score(const WordTables& tables, Part part, std::uint8_t* out) {
  if (tables.patternsError) std::rethrow_exception(tables.patternsError);
  std::fill_n(out, part.size, 0);
  if (part.size < 2) return;
  PaddedWord padded(part.size);
  SymbolCode* codes = padded.letters();
  bool known = false;
  for (std::size_t k = 0; k < part.size; ++k) {
    codes[k] = part.letters[k] <= 0x10FFFF ? tables.alphabet[part.letters[k]] : kNoSymbol;
    known = known || (codes[k] != kNoSymbol && codes[k] != tables.boundary);
  }
  // A pattern has a letter other than "." to score a gap inside the word
  // (a word's digits are read as "."): without one, nothing scores.
  if (!known) return;
  padded.close(part.size, tables.boundary);
  // The gaps after letters 0 to n - 2 are padded gaps 2 to n.
  const WordScores scores(tables.scorer(), padded, {2, part.size, true});
  scores.forEachOdd([&](std::size_t gap) { out[gap - 2] = 1; });
}

/// The same for a word level with non-standard rules, as libhyphen finds
/// them: the automaton's state at each letter is the longest run of letters
/// ending there that some pattern starts with, and only that state's
/// pattern scores; a rule whose odd score wins a gap (beats what is there)
/// marks its rewriting for the letters it starts at, which is taken where
/// the gap's last odd winner has a rewriting too.
void scoreRewriting(const RewritingLevel& level, Part part, std::uint8_t* out,
                    LevelRewrite* rewrites) {
  const FlatTrie& trie = *PatternsAccess::flatTrie(level.patterns);
  const std::size_t n = part.size, m = n + 2;
  SmallBuffer<SymbolCode, 64> codes(m);
  auto codeOf = [&](char32_t c) { return c <= 0x10FFFF ? trie.symbolOf(c) : kNoSymbol; };
  codes[0] = codes[m - 1] = codeOf(U'.');
  for (std::size_t k = 0; k < n; ++k) codes[k + 1] = codeOf(part.letters[k]);

  // By gap g, before padded letter g: its score, and the rewriting of the
  // rule that last raised it to an odd score (null for a standard one).
  SmallBuffer<std::uint8_t, 64> scores(m + 1);
  SmallBuffer<const Rewrite*, 64> winner(m + 1);
  // By the gap before a rewriting's first letter: the gap its rule won, and
  // how many letters the last rule that matched there rewrites.
  SmallBuffer<std::int64_t, 64> wonAt(m + 1);
  SmallBuffer<std::uint32_t, 64> lengthAt(m + 1);
  for (std::size_t g = 0; g <= m; ++g) {
    scores[g] = 0;
    winner[g] = nullptr;
    wonAt[g] = -1;
    lengthAt[g] = 0;
  }
  // The walks from each start that are still in the trie: the node they
  // reached, or kNoChild.
  SmallBuffer<std::uint32_t, 64> nodes(m);
  std::size_t firstLive = 0;
  for (std::size_t e = 0; e < m; ++e) {
    nodes[e] = 0;
    for (std::size_t s = firstLive; s <= e; ++s) {
      if (nodes[s] == FlatTrie::kNoChild) continue;
      nodes[s] = codes[e] == kNoSymbol ? FlatTrie::kNoChild : trie.next(nodes[s], codes[e] - 1);
    }
    while (firstLive <= e && nodes[firstLive] == FlatTrie::kNoChild) ++firstLive;
    if (firstLive > e) continue;
    const std::uint32_t v = nodes[firstLive];
    const std::uint32_t length = trie.scoreLength(v);
    if (length == 0) continue;
    const auto rule = level.rules.find(v);
    const Rewrite* rewrite = rule == level.rules.end() ? nullptr : &rule->second;
    const std::size_t start = firstLive, first = start + (rewrite ? rewrite->start : 0);
    if (rewrite) lengthAt[first] = rewrite->length;
    for (std::uint32_t k = 0; k < length && start + k <= m; ++k) {
      const auto score = static_cast<std::uint8_t>(trie.score(v, k));
      const std::size_t g = start + k;
      if (scores[g] >= score) continue;
      scores[g] = score;
      if (score % 2 == 0) continue;
      winner[g] = rewrite;
      if (rewrite && k >= rewrite->start && k <= rewrite->start + rewrite->length)
        wonAt[first] = static_cast<std::int64_t>(g);
    }
  }
  for (std::size_t k = 0; k + 1 < n; ++k) out[k] = scores[k + 2] % 2;
  if (n != 0) out[n - 1] = 0;
  for (std::size_t k = 0; k < n; ++k) rewrites[k] = {nullptr, 0, 0};
  // From the first letter on, each rewriting that a rule won, the letters
  // it rewrites passed over.
  for (std::size_t g = 1; g <= n;) {
    if (wonAt[g] < 0 || !winner[wonAt[g]]) {
      ++g;
      continue;
    }
    const auto at = static_cast<std::size_t>(wonAt[g]);
    if (at >= 2 && at - 2 < n)
      rewrites[at - 2] = {winner[at], static_cast<std::uint32_t>(g - 1), lengthAt[g]};
    g += std::max<std::uint32_t>(lengthAt[g], 1);
  }
}

/// Letters in a rewriting's text.
std::int64_t lengthOf(const std::u32string& text) { return static_cast<std::int64_t>(text.size()); }

/// No break before the left minimum: libhyphen counts a ligature as the
/// letters it stands for, and leading digits not at all.
void clearLeft(Part part, std::span<const char32_t> letters, std::int64_t minimum, bool utf8,
               std::uint8_t* out, LevelRewrite* rewrites) {
  std::int64_t position = 0;
  for (std::size_t k = 0; k < part.size && isDigit(letters[k]); ++k) --position;
  for (std::size_t k = 0; k < part.size; ++k) {
    position += 1 + (utf8 ? ligatureExtra(letters[k]) : 0);
    if (position >= minimum) break;
    // A rewriting break stays where what it leaves before it is long enough.
    if (rewrites && rewrites[k].rewrite) {
      if (rewrites[k].start + lengthOf(rewrites[k].rewrite->before) >= minimum) continue;
      rewrites[k] = {nullptr, 0, 0};
    }
    out[k] = 0;
  }
}

/// No break after the right minimum, trailing digits not counted. As
/// libhyphen counts from the last byte back and stops at the first, a
/// one-byte first letter keeps its break.
void clearRight(Part part, std::span<const char32_t> letters, std::int64_t minimum,
                std::uint8_t* out, LevelRewrite* rewrites) {
  std::int64_t counted = 0;
  for (std::size_t k = part.size; k-- > 1 && isDigit(letters[k]);) --counted;
  for (std::size_t k = part.size; k-- > 0 && counted < minimum; ++counted) {
    if (k == 0 && part.widths[0] == 1) continue;
    if (rewrites && rewrites[k].rewrite) {
      const LevelRewrite& r = rewrites[k];
      const auto after = static_cast<std::int64_t>(part.size - std::min<std::size_t>(part.size, r.start + r.length));
      if (after + lengthOf(r.rewrite->after) >= minimum) continue;
      rewrites[k] = {nullptr, 0, 0};
    }
    out[k] = 0;
  }
}

struct Levels {
  const WordTables& word;
  const CompoundLevel& levels;

  /// The breaks of `part`, found as libhyphen's recursion finds them: the
  /// compound level's breaks cut it into parts, each of three bytes or more
  /// broken in turn (itself cut again where the compound level, seeing it
  /// alone, finds joins in it), and a part without joins broken by the word
  /// level, the join minimums kept on the sides that are joins.
  /// `joins`, where given, are the compound level's breaks of `part`.
  void breaks(Part part, bool wordStart, bool wordEnd, std::uint8_t* out, LevelRewrite* rewrites,
              const std::uint8_t* joins = nullptr) const {
    if (joins)
      std::copy_n(joins, part.size, out);
    else if (levels.compound)
      score(*levels.compound, part, out);
    else
      std::fill_n(out, part.size, 0);
    std::size_t begin = 0;
    for (std::size_t i = 0; i < part.size; ++i) {
      if (!out[i] && !(begin > 0 && i + 1 == part.size)) continue;
      const Part piece = part.slice(begin, i + 1);
      const std::size_t bytes = piece.bytes();
      if (bytes > 2) {
        SmallBuffer<std::uint8_t, 64> inner(piece.size);
        SmallBuffer<LevelRewrite, 64> innerRewrites(rewrites ? piece.size : 0);
        breaks(piece, begin == 0 && wordStart, !out[i] && wordEnd, inner.data(),
               rewrites ? innerRewrites.data() : nullptr);
        // libhyphen takes the part's breaks up to its last two bytes only:
        // the break before a last letter of one byte stays the join's.
        std::size_t end = 0;
        for (std::size_t k = 0; k < piece.size; ++k) {
          end += piece.widths[k];
          if (end + 1 >= bytes) continue;
          out[begin + k] = inner[k];
          if (!rewrites) continue;
          rewrites[begin + k] = innerRewrites[k];
          rewrites[begin + k].start += static_cast<std::uint32_t>(begin);
        }
      }
      begin = i + 1;
    }
    if (begin != 0) return;
    if (levels.rewriting && rewrites)
      scoreRewriting(*levels.rewriting, part, out, rewrites);
    else
      score(word, part, out);
    const std::span<const char32_t> letters(part.letters, part.size);
    if (!wordStart) clearLeft(part, letters, levels.compoundLeft, levels.utf8, out, rewrites);
    if (!wordEnd) clearRight(part, letters, levels.compoundRight, out, rewrites);
  }
};

}  // namespace

namespace {

/// The word's own minimums, then the no-break strings, over its breaks.
void finish(const WordTables& word, const CompoundLevel& levels, Part part,
            std::span<const char32_t> original, std::int64_t left, std::int64_t right,
            std::uint8_t* breaks, LevelRewrite* rewriting, bool plain = false) {
  // libhyphen counts digits in the word as given.
  const auto effective = [](std::int64_t caller, std::int64_t own) {
    const std::int64_t larger = std::max(caller, own);
    return larger > 0 ? larger : 2;
  };
  clearLeft(part, original, effective(left, levels.left), levels.utf8, breaks, rewriting);
  clearRight(part, original, effective(right, levels.right), breaks, rewriting);
  if (plain || levels.noHyphen.empty()) return;
  const std::size_t n = part.size;
  // Matched in the word as normalised, digits aside; strings that no
  // normalising makes are matched in the word as given.
  SmallBuffer<char32_t, 64> matched(levels.noHyphenAsGiven ? 0 : n);
  for (std::size_t k = 0; k < matched.size(); ++k)
    matched[k] = isDigit(original[k]) ? original[k] : word.normalise(original[k]);
  const std::u32string_view text =
      levels.noHyphenAsGiven ? std::u32string_view(original.data(), n)
                             : std::u32string_view(matched.data(), n);
  for (const std::u32string& string : levels.noHyphen) {
    if (string.empty() || text.find(string.front()) == std::u32string_view::npos) continue;
    for (std::size_t at = text.find(string); at != std::u32string_view::npos;
         at = text.find(string, at + 1)) {
      breaks[at + string.size() - 1] = 0;
      if (at > 0) breaks[at - 1] = 0;
    }
  }
}

}  // namespace

Whole levelBreaksOfWhole(const WordTables& word, const CompoundLevel& levels,
                         std::span<const char32_t> original, PaddedWord& padded, std::int64_t left,
                         std::int64_t right, std::span<std::uint8_t> breaks) {
  if (levels.rewriting) return Whole::Other;
  const std::size_t n = original.size();
  bool plain = true;  // ASCII, and none of it special
  for (std::size_t k = 0; k < n && plain; ++k)
    plain = original[k] < 128 && !levels.asciiSpecial[original[k]];
  if (const WordTables* compound = levels.compound.get(); compound && !plain) {
    // The compound level first: it must find no part.
    if (compound->patternsError || !compound->chars) return Whole::Other;
    PaddedWord parts(n);
    SymbolCode* codes = parts.letters();
    bool known = false;
    for (std::size_t k = 0; k < n; ++k) {
      codes[k] = isDigit(original[k]) ? compound->boundary : compound->fold(original[k]);
      known = known || (codes[k] != kNoSymbol && codes[k] != compound->boundary);
    }
    if (known && n >= 2) {
      parts.close(n, compound->boundary);
      const WordScores scores(compound->scorer(), parts, {2, n, true});
      bool joins = false;
      scores.forEachOdd([&](std::size_t gap) {
        if (!joins) std::fill_n(breaks.data(), n, 0);
        joins = true;
        breaks[gap - 2] = 1;
      });
      if (joins) return Whole::Joins;
    }
  }
  if (word.patternsError) std::rethrow_exception(word.patternsError);
  SymbolCode* codes = padded.letters();
  for (std::size_t k = 0; k < n; ++k)
    if (isDigit(original[k])) codes[k] = word.boundary;
  padded.close(n, word.boundary);
  std::fill_n(breaks.data(), n, 0);
  if (n >= 2) {
    const WordScores scores(word.scorer(), padded, {2, n, true});
    scores.forEachOdd([&](std::size_t gap) { breaks[gap - 2] = 1; });
  }
  // The widths matter only to the right minimum's first letter.
  const std::uint8_t first = levels.utf8 && n != 0 ? utf8Width(word.normalise(original[0])) : 1;
  finish(word, levels, Part{original.data(), &first, n}, original, left, right, breaks.data(),
         nullptr, plain);
  return Whole::Broken;
}

void levelBreaks(const WordTables& word, const CompoundLevel& levels,
                 std::span<const char32_t> original, std::span<const char32_t> normalised,
                 std::int64_t left, std::int64_t right, std::span<std::uint8_t> breaks,
                 std::span<LevelRewrite> rewrites, const std::uint8_t* joins) {
  const std::size_t n = normalised.size();
  SmallBuffer<char32_t, 64> letters(n);  // as patterns see them
  SmallBuffer<std::uint8_t, 64> widths(n);
  for (std::size_t k = 0; k < n; ++k) {
    letters[k] = isDigit(original[k]) ? U'.' : normalised[k];
    widths[k] = levels.utf8 ? utf8Width(letters[k]) : 1;
  }
  // Without a rewriting level there is nothing to say of a break but where.
  LevelRewrite* rewriting = levels.rewriting && !rewrites.empty() ? rewrites.data() : nullptr;
  const Part part{letters.data(), widths.data(), n};
  Levels{word, levels}.breaks(part, true, true, breaks.data(), rewriting, joins);

  finish(word, levels, part, original, left, right, breaks.data(), rewriting);
  if (rewriting)
    for (std::size_t k = 0; k < n; ++k)
      if (!breaks[k]) rewriting[k] = {nullptr, 0, 0};
}

}  // namespace hyph::detail
