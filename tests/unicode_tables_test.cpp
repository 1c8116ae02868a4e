// The Unicode tables that builds without utf8proc use give what utf8proc
// gives, for every code point: the same classes, combining classes and cases, and the same
// compositions of a letter with its marks.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/unicode.hpp"

namespace hyph::text::from_tables {
bool isUnicodeLetter(char32_t c);
bool isMark(char32_t c);
bool isCapital(char32_t c);
bool isLower(char32_t c);
bool isWideSpace(char32_t c);
std::uint8_t combiningClass(char32_t c);
char32_t upperCase(char32_t c);
char32_t lowerCase(char32_t c);
std::optional<char32_t> composed(char32_t letter, std::u32string_view marks);
}  // namespace hyph::text::from_tables

namespace hyph::text {
namespace {

namespace tables = from_tables;

TEST(UnicodeTables, EveryCodePointHasUtf8procsClass) {
  for (char32_t c = 0; c < 0x110100; ++c) {
    ASSERT_EQ(tables::isUnicodeLetter(c), isUnicodeLetter(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::isMark(c), isMark(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::isCapital(c), isCapital(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::isLower(c), isLower(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::isWideSpace(c), isWideSpace(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::upperCase(c), upperCase(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::lowerCase(c), lowerCase(c)) << std::hex << static_cast<std::uint32_t>(c);
    ASSERT_EQ(tables::combiningClass(c), combiningClass(c))
        << std::hex << static_cast<std::uint32_t>(c);
  }
}

TEST(UnicodeTables, LettersComposeWithTheirMarksAsUtf8procComposesThem) {
  // The letters of the alphabets that compose (below U+3100) with the marks
  // below U+2000 and every ninth beyond; those that compose with one mark
  // with a second and a third too, in either order.
  std::u32string marks;
  for (char32_t c = 0x300; c < 0x110000; ++c)
    if (isMark(c) && (c < 0x2000 || c % 9 == 0)) marks += c;
  std::size_t compared = 0, composedOnes = 0;
  for (char32_t letter = 0; letter < 0x3100; ++letter) {
    if (!isUnicodeLetter(letter)) continue;
    for (char32_t mark : marks) {
      const std::u32string one(1, mark);
      const std::optional<char32_t> expected = composed(letter, one);
      ASSERT_EQ(tables::composed(letter, one), expected) << std::hex << static_cast<std::uint32_t>(letter) << " " << static_cast<std::uint32_t>(mark);
      ++compared;
      if (!expected || *expected == letter) continue;
      ++composedOnes;
      for (char32_t second : {U'\u0300', U'\u0301', U'\u0308', U'\u0323', U'\u0313', U'\u0345'}) {
        for (const std::u32string& two : {std::u32string{mark, second}, std::u32string{second, mark},
                                          std::u32string{mark, second, U'\u0301'}})
          ASSERT_EQ(tables::composed(letter, two), composed(letter, two))
              << std::hex << static_cast<std::uint32_t>(letter) << " "
              << static_cast<std::uint32_t>(mark) << " " << static_cast<std::uint32_t>(second);
      }
    }
  }
  EXPECT_GT(composedOnes, 800u);
  EXPECT_GT(compared, 500'000u);
  // Every other letter with a mark of each kind (or none): presentation
  // forms, compatibility ideographs, the letters that decompose in planes
  // 1 and 2.
  for (char32_t letter = 0x3100; letter < 0x110000; ++letter) {
    if (!isUnicodeLetter(letter)) continue;
    for (const std::u32string marks : {U"", U"\u0301", U"\u05B7", U"\u093C", U"\u3099"})
      ASSERT_EQ(tables::composed(letter, marks), composed(letter, marks))
          << std::hex << static_cast<std::uint32_t>(letter);
  }
  // Exclusions and Hangul, as utf8proc has them.
  for (const auto& [letter, marks] : {std::pair{U'\u0915', std::u32string(U"\u093C")},
                                      {U'\uAC00', U"\u0300"},
                                      {U'\u212B', U"\u0301"},
                                      {U'A', U"\u030A"},
                                      {U'\u0410', U"\u0300"}})
    EXPECT_EQ(tables::composed(letter, marks), composed(letter, marks))
        << std::hex << static_cast<std::uint32_t>(letter);
}

}  // namespace
}  // namespace hyph::text
