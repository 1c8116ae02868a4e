#include "hyph/hyphenator.hpp"
#include "hyph/language.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "hyph/error.hpp"

namespace hyph {
namespace {

using Pieces = std::vector<std::u32string>;
constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
constexpr auto kMin = std::numeric_limits<std::int64_t>::min();

char32_t identity(char32_t c) { return c; }
char32_t asciiLower(char32_t c) { return c >= U'A' && c <= U'Z' ? c + 32 : c; }

const Patterns& englishSample() {
  static const Patterns trie =
      parsePatterns(U"hy3ph\nhe2n\nhen5at\nhena4\n1na\nn2at\n1tio\n2io\no2n\n1b\nre1s\n");
  return trie;
}

Hyphenator sample(std::int64_t left = 2, std::int64_t right = 3) {
  return Hyphenator(asciiLower, englishSample(), parseExceptions(U"ta-ble\npresent\n"), left,
                    right);
}

// A mapping and tables that fail the test when consulted.
Hyphenator untouchable(std::int64_t left, std::int64_t right) {
  auto chars = [](char32_t c) -> char32_t {
    ADD_FAILURE() << "mapping consulted";
    return c;
  };
  auto patterns = Deferred<Patterns>::lazy([]() -> Patterns { throw Error("patterns consulted"); });
  auto exceptions =
      Deferred<Exceptions>::lazy([]() -> Exceptions { throw Error("exceptions consulted"); });
  return Hyphenator(chars, patterns, exceptions, left, right);
}

TEST(Hyphenate, WorkedExample) {
  EXPECT_EQ(hyphenate(sample(), U"hyphenation"), (Pieces{U"hy", U"phen", U"ation"}));
  EXPECT_EQ(hyphenate(sample(), U"Hyphenation"), (Pieces{U"Hy", U"phen", U"ation"}));
  EXPECT_EQ(hyphenate(sample(), U"HYPHENATION"), (Pieces{U"HY", U"PHEN", U"ATION"}));
}

TEST(Hyphenate, ExceptionsReplaceThePatterns) {
  EXPECT_EQ(hyphenate(sample(), U"table"), (Pieces{U"ta", U"ble"}));
  EXPECT_EQ(hyphenate(sample(), U"present"), (Pieces{U"present"}));
  EXPECT_EQ(hyphenate(sample(), U"presents"), (Pieces{U"pre", U"sents"}));
}

TEST(Hyphenate, EmptyWordIsOneEmptyPieceWhateverTheMinimums) {
  for (std::int64_t left : {kMin, std::int64_t{-3}, std::int64_t{0}, std::int64_t{2}, kMax})
    for (std::int64_t right : {kMin, std::int64_t{0}, std::int64_t{3}, kMax})
      EXPECT_EQ(hyphenate(untouchable(left, right), U""), (Pieces{U""}));
}

TEST(Hyphenate, ShortWordsAreNotLookedUp) {
  EXPECT_EQ(hyphenate(untouchable(2, 3), U"abcd"), (Pieces{U"abcd"}));
  EXPECT_EQ(hyphenate(untouchable(kMax, kMax), U"hyphenation"), (Pieces{U"hyphenation"}));
  EXPECT_EQ(hyphenate(untouchable(kMax, 1), U"hyphenation"), (Pieces{U"hyphenation"}));
}

TEST(Hyphenate, WordOfExactlyTheMinimumsHasOneCandidateGap) {
  // Patterns that would break after every letter.
  const Hyphenator everywhere(identity, parsePatterns(U"1a\n1b\n1c\n1d\n1e\n"), Exceptions(), 2, 3);
  EXPECT_EQ(hyphenate(everywhere, U"abcde"), (Pieces{U"ab", U"cde"}));
  EXPECT_EQ(hyphenate(everywhere, U"abcdea"), (Pieces{U"ab", U"c", U"dea"}));
}

TEST(Hyphenate, ShortRawListLeavesTheRestInTheLastPiece) {
  const Patterns trie({}, {{U'a', Patterns({0, 1}, {})}});
  const Hyphenator h(identity, trie, parseExceptions(U"abc-de\nab-c-d-e\n"), 1, 0);
  // "abcxa" scores gaps 0..4 from the patterns (no pattern reaches the end).
  EXPECT_EQ(hyphenate(h, U"xaxax"), (Pieces{U"xa", U"xa", U"x"}));
  // An exception list shorter than the word.
  const Hyphenator shortList(identity, Patterns(), Exceptions(Exceptions::Map{{U"abcde", {0, 1}}}),
                             0, 0);
  EXPECT_EQ(hyphenate(shortList, U"abcde"), (Pieces{U"a", U"bcde"}));
}

TEST(Hyphenate, EmptyLastPieceOnlyForABreakAfterTheLastCodePoint) {
  const Hyphenator h(identity, parsePatterns(U"b1.\n"), Exceptions(), 1, 0);
  EXPECT_EQ(hyphenate(h, U"ab"), (Pieces{U"ab", U""}));
  const Hyphenator withRight(identity, parsePatterns(U"b1.\n"), Exceptions(), 1, 1);
  EXPECT_EQ(hyphenate(withRight, U"ab"), (Pieces{U"ab"}));
}

TEST(Hyphenate, NonPositiveMinimums) {
  const Hyphenator h(identity, parsePatterns(U"1a\n1b\n1c\n"), Exceptions(), 0, 0);
  // Gap 0 never breaks; the others may.
  EXPECT_EQ(hyphenate(h, U"abc"), (Pieces{U"a", U"b", U"c"}));
  // A score for the gap after the last letter needs a pattern that reaches
  // past the end marker ("c1."); "c1" alone would not lengthen the list.
  const Hyphenator negative(identity, parsePatterns(U"1b\n1c\nc1.\n"), Exceptions(), -2, -1);
  EXPECT_EQ(hyphenate(negative, U"abc"), (Pieces{U"a", U"b", U"c", U""}));
  const Hyphenator shortReach(identity, parsePatterns(U"1b\n1c\nc1\n"), Exceptions(), -2, -1);
  EXPECT_EQ(hyphenate(shortReach, U"abc"), (Pieces{U"a", U"b", U"c"}));
}

TEST(Hyphenate, ExtremeMinimumsDoNotOverflow) {
  const Hyphenator h(identity, parsePatterns(U"1a\n1b\n1c\n1d\n"), Exceptions(), kMax, kMin);
  // kMax + kMin = -1: the word is looked up, but the left minimum allows no break.
  EXPECT_EQ(hyphenate(h, U"abcd"), (Pieces{U"abcd"}));
  const Hyphenator wide(identity, parsePatterns(U"1a\n1b\n1c\n1d\n"), Exceptions(), kMin, kMin);
  EXPECT_EQ(hyphenate(wide, U"abcd"), (Pieces{U"a", U"b", U"c", U"d"}));
  const Hyphenator leftOnly(identity, parsePatterns(U"1a\n1b\n1c\n1d\n"), Exceptions(), kMin, kMax);
  EXPECT_EQ(hyphenate(leftOnly, U"abcd"), (Pieces{U"a", U"b", U"c", U"d"}));
}

TEST(Hyphenate, MalformedScoreError) {
  const Hyphenator h(identity, Patterns(), Exceptions(Exceptions::Map{{U"Ab\u00e9", {}}}), 0, 0);
  try {
    hyphenate(h, U"Ab\u00e9");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Malformed hyphenation score for Ab\xc3\xa9");
  }
  // A left minimum above zero always leaves a non-empty trimmed list.
  const Hyphenator positive(identity, Patterns(), Exceptions(Exceptions::Map{{U"ab", {}}}), 1, 0);
  EXPECT_EQ(hyphenate(positive, U"ab"), (Pieces{U"ab"}));
}

TEST(Hyphenate, TableErrorsPassThrough) {
  const Hyphenator h(identity, Deferred<Patterns>::lazy([]() -> Patterns { throw Error("boom"); }),
                     Exceptions(), 1, 1);
  EXPECT_THROW(hyphenate(h, U"abc"), Error);
  EXPECT_EQ(hyphenate(h, U"a"), (Pieces{U"a"}));
}

TEST(Hyphenator, AccessorsAndSharedCopies) {
  const Hyphenator h = sample(2, 3);
  const Hyphenator copy = h;  // NOLINT: copies share the tables
  EXPECT_EQ(hyphenatorLeftMin(copy), 2);
  EXPECT_EQ(hyphenatorRightMin(copy), 3);
  EXPECT_EQ(hyphenatorChars(copy)(U'Q'), U'q');
  EXPECT_EQ(&hyphenatorPatterns(h), &hyphenatorPatterns(copy));
  EXPECT_EQ(&hyphenatorExceptions(h), &hyphenatorExceptions(copy));
}

TEST(Hyphenate, MillionCodePointWord) {
  const std::u32string word(1'000'000, U'n');
  const Pieces pieces = hyphenate(sample(), word + U"ation");
  std::u32string joined;
  for (const auto& piece : pieces) joined += piece;
  EXPECT_EQ(joined, word + U"ation");
}

// For random tries, exception lists and minimums: the pieces concatenate to
// the word, and no piece but the last is empty.
TEST(Hyphenate, PiecesAlwaysConcatenateToTheWord) {
  std::mt19937 random(11);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 400; ++round) {
    std::u32string patternText;
    for (int p = pick(10); p > 0; --p) {
      if (pick(4) == 0) patternText += U'.';
      for (int k = pick(4); k >= 0; --k) {
        if (pick(2) == 0) patternText += static_cast<char32_t>(U'0' + pick(10));
        patternText += static_cast<char32_t>(U'a' + pick(3));
      }
      if (pick(2) == 0) patternText += static_cast<char32_t>(U'0' + pick(10));
      if (pick(4) == 0) patternText += U'.';
      patternText += U'\n';
    }
    std::u32string exceptionText;
    for (int e = pick(3); e > 0; --e) {
      for (int k = pick(6); k > 0; --k) exceptionText += pick(3) == 0 ? U'-' : U'a' + pick(3);
      exceptionText += U'\n';
    }
    const std::int64_t left = pick(6) - 2;
    const std::int64_t right = pick(6) - 2;
    const Hyphenator h(asciiLower, parsePatterns(patternText), parseExceptions(exceptionText), left,
                       right);
    for (int w = 0; w < 20; ++w) {
      std::u32string word;
      for (int k = pick(9); k > 0; --k)
        word += static_cast<char32_t>(U'a' + pick(3) - (pick(3) == 0 ? 32 : 0));
      Pieces pieces;
      try {
        pieces = hyphenate(h, word);
      } catch (const Error&) {
        ASSERT_LE(left, 0) << "only a non-positive left minimum can meet an empty list";
        continue;
      }
      ASSERT_FALSE(pieces.empty());
      std::u32string joined;
      for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i + 1 < pieces.size()) {
          ASSERT_FALSE(pieces[i].empty());
        }
        joined += pieces[i];
      }
      ASSERT_EQ(joined, word);
      if (left > 0 && right > 0) {
        ASSERT_FALSE(pieces.back().empty() && !word.empty());
      }
    }
  }
}

TEST(Iterate, CutsInTwoTheLongestFirstPartFirst) {
  using Cuts = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(iterate(dutch(), "Amsterdam"), (Cuts{{"Amster", "dam"}, {"Am", "sterdam"}}));
  EXPECT_EQ(iterate(english_US(), "cat"), Cuts{});
  EXPECT_EQ(iterate(german_1996(), U"Stra\u00dfe"),
            (std::vector<std::pair<std::u32string, std::u32string>>{{U"Stra", U"\u00dfe"}}));
}

TEST(Wrap, TheLongestFirstPartThatFits) {
  using Cut = std::optional<std::pair<std::string, std::string>>;
  EXPECT_EQ(wrap(dutch(), "autobandventieldopje", 11), (Cut{{"autoband-", "ventieldopje"}}));
  EXPECT_EQ(wrap(english_US(), "hyphenation", 8), (Cut{{"hyphen-", "ation"}}));
  EXPECT_EQ(wrap(english_US(), "hyphenation", 3), (Cut{{"hy-", "phenation"}}));
  EXPECT_EQ(wrap(english_US(), "hyphenation", 2), std::nullopt);
  EXPECT_EQ(wrap(english_US(), "hyphenation", 0), std::nullopt);
  EXPECT_EQ(wrap(english_US(), "cat", 80), std::nullopt);
  // Widths count code points, the hyphen's too.
  EXPECT_EQ(wrap(german_1996(), "Stra\u00dfenbahn", 9, "\u2010"),
            (Cut{{"Stra\u00dfen\u2010", "bahn"}}));
}

}  // namespace
}  // namespace hyph
