// Properties of all 73 languages at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <clocale>
#include <cwctype>
#include <limits>
#include <optional>
#include <set>
#include <thread>

#include "catalogue/archive.hpp"
#include "catalogue/loader.hpp"
#include "catalogue_helpers.hpp"
#include "engine/trie/patterns_access.hpp"
#include "error_of.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"
#include "samples.hpp"

namespace hyph {
namespace {

using L = Language;
using testing::hyphenated;
using testing::sampleWords;
using testing::utf8;

TEST(EveryLanguage, TablesBuildAndWordsSplitIntoTheirPieces) {
  for (Language language : enumFrom(firstLanguage)) {
    const Hyphenator& h = languageHyphenator(language);
    EXPECT_EQ(hyphenatorLeftMin(h), languageLeftMin(language));
    EXPECT_EQ(hyphenatorRightMin(h), languageRightMin(language));
    ASSERT_NO_THROW(hyphenatorPatterns(h)) << language;
    ASSERT_NO_THROW(hyphenatorExceptions(h)) << language;
    std::size_t broken = 0;
    const auto words = sampleWords(language);
    ASSERT_GE(words.size(), 3u) << language;
    for (const std::u32string& word : words) {
      const auto pieces = hyphenate(h, word);
      std::u32string together;
      for (const auto& piece : pieces) {
        EXPECT_FALSE(piece.empty()) << language << " " << utf8(word);
        together += piece;
      }
      EXPECT_EQ(together, word) << language;
      broken += pieces.size() > 1;

      // The UTF-8 and break-point forms cut at the same places.
      std::vector<std::string> expected;
      std::vector<std::size_t> positions;
      std::size_t at = 0;
      for (const auto& piece : pieces) {
        expected.push_back(utf8(piece));
        if (&piece != &pieces.back()) positions.push_back(at += piece.size());
      }
      EXPECT_EQ(hyphenate(h, utf8(word)), expected) << language;
      EXPECT_EQ(breakPoints(h, word), positions) << language;
    }
    EXPECT_GT(broken, 0u) << language << ": no sample word was hyphenated";
  }
}

// Byte offsets and code point positions agree for words of every length
// around the short-word bound of the UTF-8 path: samples run together, cut
// at each length up to 40 code points.
TEST(EveryLanguage, Utf8BreakPointsAgreeWithCodePointsAtEveryLength) {
  for (Language language : enumFrom(firstLanguage)) {
    const Hyphenator& h = languageHyphenator(language);
    std::u32string run;
    for (const std::u32string& word : sampleWords(language)) run += word;
    for (std::size_t length = 0; length <= 40 && length <= run.size(); ++length) {
      const std::u32string word = run.substr(run.size() - length);
      const std::string bytes = utf8(word);
      std::vector<std::size_t> expected;
      for (std::size_t position : breakPoints(h, std::u32string_view(word)))
        expected.push_back(utf8(word.substr(0, position)).size());
      ASSERT_EQ(breakPoints(h, std::string_view(bytes)), expected) << language << " " << bytes;
    }
  }
}

// The definition of a lookup, walked through the public interface from
// every position of the padded word: an independent check of the automaton

TEST(EveryLanguage, CapitalsMapToTheirOwnLowerCase) {
  locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (!utf8Locale) GTEST_SKIP() << "no C.UTF-8 locale";
  for (Language language : enumFrom(firstLanguage)) {
    const std::u32string text =
        readEmbeddedFile("hyph-" + std::string(languageAffix(language)) + ".chr.txt.gz");
    const CharTable map = parseChars(text);
    for (char32_t c : text) {
      const auto lower = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), utf8Locale));
      if (c == U'\n' || lower == c || map(c) == lower) continue;
      const bool turkishI = language == L::Turkish && (c == U'I' || c == U'\u0130');
      EXPECT_TRUE(turkishI) << language << ": U+" << std::hex << static_cast<std::uint32_t>(c)
                            << " maps to U+" << static_cast<std::uint32_t>(map(c));
    }
    // A capitalised word breaks where its lower-case form does.
    const Hyphenator& h = languageHyphenator(language);
    for (const std::u32string& word : sampleWords(language)) {
      std::u32string upper = word;
      for (char32_t& c : upper)
        c = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8Locale));
      bool roundTrips = true;
      for (std::size_t i = 0; i < upper.size(); ++i)
        roundTrips = roundTrips && map(upper[i]) == word[i];
      if (!roundTrips) continue;  // some capitals are not in the character file
      std::vector<std::size_t> lowerSizes, upperSizes;
      for (const auto& piece : hyphenate(h, word)) lowerSizes.push_back(piece.size());
      for (const auto& piece : hyphenate(h, upper)) upperSizes.push_back(piece.size());
      EXPECT_EQ(lowerSizes, upperSizes) << language << " " << utf8(upper);
    }
  }
  freelocale(utf8Locale);
}

}  // namespace
}  // namespace hyph
