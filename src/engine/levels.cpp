#include "levels.hpp"

#include <algorithm>
#include <exception>

#include "small_buffer.hpp"
#include "trie/lookup.hpp"
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
  PaddedWord padded(part.size);
  SymbolCode* codes = padded.letters();
  for (std::size_t k = 0; k < part.size; ++k)
    codes[k] = part.letters[k] <= 0x10FFFF ? tables.alphabet[part.letters[k]] : kNoSymbol;
  padded.close(part.size, tables.boundary);
  const WordScores scores(tables.scorer(), padded);
  for (std::size_t k = 0; k + 1 < part.size; ++k)
    out[k] = k + 2 < scores.size() && scores[k + 2] % 2 != 0;
  if (part.size != 0) out[part.size - 1] = 0;
}

/// No break before the left minimum: libhyphen counts a ligature as the
/// letters it stands for, and leading digits not at all.
void clearLeft(Part part, std::span<const char32_t> letters, std::int64_t minimum, bool utf8,
               std::uint8_t* out) {
  std::int64_t position = 0;
  for (std::size_t k = 0; k < part.size && isDigit(letters[k]); ++k) --position;
  for (std::size_t k = 0; k < part.size; ++k) {
    position += 1 + (utf8 ? ligatureExtra(letters[k]) : 0);
    if (position >= minimum) break;
    out[k] = 0;
  }
}

/// No break after the right minimum, trailing digits not counted. As
/// libhyphen counts from the last byte back and stops at the first, a
/// one-byte first letter keeps its break.
void clearRight(Part part, std::span<const char32_t> letters, std::int64_t minimum,
                std::uint8_t* out) {
  std::int64_t counted = 0;
  for (std::size_t k = part.size; k-- > 1 && isDigit(letters[k]);) --counted;
  for (std::size_t k = part.size; k-- > 0 && counted < minimum;) {
    if (k != 0 || part.widths[0] > 1) out[k] = 0;
    ++counted;
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
  void breaks(Part part, bool wordStart, bool wordEnd, std::uint8_t* out) const {
    score(*levels.compound, part, out);
    std::size_t begin = 0;
    for (std::size_t i = 0; i < part.size; ++i) {
      if (!out[i] && !(begin > 0 && i + 1 == part.size)) continue;
      const Part piece = part.slice(begin, i + 1);
      const std::size_t bytes = piece.bytes();
      if (bytes > 2) {
        SmallBuffer<std::uint8_t, 64> inner(piece.size);
        breaks(piece, begin == 0 && wordStart, !out[i] && wordEnd, inner.data());
        // libhyphen takes the part's breaks up to its last two bytes only:
        // the break before a last letter of one byte stays the join's.
        std::size_t end = 0;
        for (std::size_t k = 0; k < piece.size; ++k) {
          end += piece.widths[k];
          if (end + 1 < bytes) out[begin + k] = inner[k];
        }
      }
      begin = i + 1;
    }
    if (begin != 0) return;
    score(word, part, out);
    const std::span<const char32_t> letters(part.letters, part.size);
    if (!wordStart) clearLeft(part, letters, levels.compoundLeft, levels.utf8, out);
    if (!wordEnd) clearRight(part, letters, levels.compoundRight, out);
  }
};

}  // namespace

void levelBreaks(const WordTables& word, const CompoundLevel& levels,
                 std::span<const char32_t> original, std::span<const char32_t> normalised,
                 std::int64_t left, std::int64_t right, std::span<std::uint8_t> breaks) {
  const std::size_t n = normalised.size();
  SmallBuffer<char32_t, 64> letters(n);     // as patterns see them
  SmallBuffer<char32_t, 64> matched(n);     // as the no-break strings are matched
  SmallBuffer<std::uint8_t, 64> widths(n);
  for (std::size_t k = 0; k < n; ++k) {
    const bool digit = isDigit(original[k]);
    letters[k] = digit ? U'.' : normalised[k];
    matched[k] = digit ? original[k] : normalised[k];
    widths[k] = levels.utf8 ? utf8Width(letters[k]) : 1;
  }
  const Part part{letters.data(), widths.data(), n};
  Levels{word, levels}.breaks(part, true, true, breaks.data());

  // The word's minimums, counting digits as libhyphen does: in the word as
  // given.
  const auto effective = [](std::int64_t caller, std::int64_t own) {
    const std::int64_t larger = std::max(caller, own);
    return larger > 0 ? larger : 2;
  };
  clearLeft(part, original, effective(left, levels.left), levels.utf8, breaks.data());
  clearRight(part, original, effective(right, levels.right), breaks.data());

  const std::u32string_view text(matched.data(), n);
  for (const std::u32string& string : levels.noHyphen) {
    if (string.empty()) continue;
    for (std::size_t at = text.find(string); at != std::u32string_view::npos;
         at = text.find(string, at + 1)) {
      breaks[at + string.size() - 1] = 0;
      if (at > 0) breaks[at - 1] = 0;
    }
  }
}

}  // namespace hyph::detail
