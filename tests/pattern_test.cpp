#include "hyph/pattern.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <set>
#include <sstream>

#include "engine/trie/patterns_access.hpp"
#include "hyph/error.hpp"

namespace hyph {
namespace {

// The patterns that score "hyphenation" in the US English file.
constexpr std::u32string_view kHyphenationPatterns =
    U"hy3ph\nhe2n\nhen5at\nhena4\n1na\nn2at\n1tio\n2io\no2n\n";

TEST(ScorePattern, OneEntryPerGap) {
  EXPECT_EQ(scorePattern(U"hy3ph"), (Scores{0, 0, 3, 0, 0}));
  EXPECT_EQ(scorePattern(U"1na"), (Scores{1, 0, 0}));
  EXPECT_EQ(scorePattern(U"o2n"), (Scores{0, 2, 0}));
  EXPECT_EQ(scorePattern(U".ach4"), (Scores{0, 0, 0, 0, 4}));
  EXPECT_EQ(scorePattern(U"a1"), (Scores{0, 1}));
  EXPECT_EQ(scorePattern(U"8-7"), (Scores{8, 7}));
  EXPECT_EQ(scorePattern(U""), (Scores{0}));
}

TEST(ScorePattern, SecondOfTwoAdjacentDigitsIsSkipped) {
  EXPECT_EQ(scorePattern(U"a12b"), (Scores{0, 1, 0, 0}));
}

TEST(ScorePattern, OnlyAsciiDigitsAreDigits) {
  // U+0663 ARABIC-INDIC DIGIT THREE is a letter.
  EXPECT_EQ(scorePattern(U"a\u0663b"), (Scores{0, 0, 0, 0}));
}

TEST(InsertPattern, BuildsThePathAndKeepsOtherScores) {
  const Patterns trie = insertPattern(U"a1b", insertPattern(U"a2", Patterns()));
  EXPECT_EQ(show(trie),
            "Patterns [] (fromList [(97,Patterns [0,2] (fromList [(98,Patterns [0,1,0] (fromList "
            "[]))]))])");
}

TEST(InsertPattern, LaterInsertReplacesScores) {
  const Patterns once = insertPattern(U"a1b", Patterns());
  const Patterns twice = insertPattern(U"a3b", once);
  EXPECT_EQ(twice.child(U'a')->child(U'b')->scores(), (Scores{0, 3, 0}));
  EXPECT_EQ(once.child(U'a')->child(U'b')->scores(), (Scores{0, 1, 0}));  // unchanged
}

TEST(InsertPattern, DigitsOnlySetTheRoot) {
  EXPECT_EQ(insertPattern(U"5", Patterns()).scores(), (Scores{5}));
}

TEST(ParsePatterns, EarlierDuplicateWins) {
  const Patterns trie = parsePatterns(U"a1b\na3b\n");
  EXPECT_EQ(trie.child(U'a')->child(U'b')->scores(), (Scores{0, 1, 0}));
}

TEST(ParsePatterns, SameTrieAsInsertingFromTheLastLine) {
  const std::u32string text = U"a1b\nab3c\n2b\na3b\nb1\n\n.x4\n";
  Patterns inserted;
  std::vector<std::u32string> lines = {U"a1b", U"ab3c", U"2b", U"a3b", U"b1", U"", U".x4"};
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) inserted = insertPattern(*it, inserted);
  EXPECT_EQ(parsePatterns(text), inserted);
  EXPECT_EQ(show(parsePatterns(text)), show(inserted));
}

// Line order must not matter beyond "the earliest line wins": the same
// lines sorted, reversed and shuffled (enough of them for the parser to
// give up on the order and index the children) make the same trie, which
// matches inserting them one by one.
TEST(ParsePatterns, AnyOrderOfLinesGivesTheSameTrie) {
  std::mt19937 random(11);
  std::vector<std::u32string> lines;
  std::set<std::u32string> seen;
  while (lines.size() < 12000) {
    std::u32string letters;
    for (int k = 1 + static_cast<int>(random() % 5); k > 0; --k)
      letters += static_cast<char32_t>(U'a' + random() % 26);
    if (!seen.insert(letters).second) continue;
    std::u32string line;
    for (char32_t c : letters) line += {static_cast<char32_t>(U'0' + random() % 6), c};
    lines.push_back(line);
  }
  auto parse = [](const std::vector<std::u32string>& order) {
    std::u32string text;
    for (const auto& line : order) text += line + U"\n";
    return parsePatterns(text);
  };
  Patterns inserted;
  for (const auto& line : lines) inserted = insertPattern(line, inserted);
  const Patterns shuffled = parse(lines);
  EXPECT_EQ(shuffled, inserted);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(parse(lines), shuffled);
  std::reverse(lines.begin(), lines.end());
  EXPECT_EQ(parse(lines), shuffled);
  EXPECT_EQ(lookupPattern(U"thequickbrownfox", shuffled),
            lookupPattern(U"thequickbrownfox", inserted));
}

TEST(ParsePatterns, FinalLineNeedsNoLineFeed) {
  EXPECT_EQ(parsePatterns(U"a1b\nc2"), parsePatterns(U"a1b\nc2\n"));
  EXPECT_EQ(parsePatterns(U""), Patterns());
}

TEST(ParsePatterns, CarriageReturnIsALetter) {
  const Patterns trie = parsePatterns(U"a1b\r\n");
  ASSERT_TRUE(trie.child(U'a')->child(U'b')->child(U'\r'));
  EXPECT_EQ(lookupPattern(U"ab", trie), (Scores{0, 0}));
}

TEST(LookupPattern, WorkedExample) {
  const Patterns trie = parsePatterns(kHyphenationPatterns);
  EXPECT_EQ(lookupPattern(U"hyphenation", trie), (Scores{0, 0, 3, 0, 0, 2, 5, 4, 2, 0, 2}));
}

TEST(LookupPattern, LengthDependsOnHowFarPatternsReach) {
  const Patterns trie = parsePatterns(U"4ab.\n");
  EXPECT_EQ(lookupPattern(U"ab", trie), (Scores{4, 0, 0}));
  EXPECT_EQ(lookupPattern(U"abc", trie), (Scores{0, 0, 0}));
  EXPECT_EQ(lookupPattern(U"", trie), Scores{});
  EXPECT_EQ(lookupPattern(U"", Patterns()), Scores{});
}

TEST(LookupPattern, BlankLineGivesTheRootAScoreAndLengthensResults) {
  const Patterns trie = parsePatterns(std::u32string(kHyphenationPatterns) + U"\n");
  EXPECT_EQ(trie.scores(), (Scores{0}));
  EXPECT_EQ(lookupPattern(U"hyphenation", trie), (Scores{0, 0, 3, 0, 0, 2, 5, 4, 2, 0, 2, 0}));
}

TEST(LookupPattern, RootScoresCountAtEveryStart) {
  const Patterns trie = parsePatterns(U"5\n");
  EXPECT_EQ(lookupPattern(U"ab", trie), (Scores{5, 5, 5}));
}

TEST(LookupPattern, DotInsideTheWordMatchesBoundaryPatterns) {
  const Patterns trie = parsePatterns(U".a1b\n");
  EXPECT_EQ(lookupPattern(U"x.ab", trie), (Scores{0, 0, 0, 1}));
}

TEST(LookupPattern, HyphenAndApostropheAreLetters) {
  const Patterns trie = parsePatterns(U"8-7\n2'2\n");
  EXPECT_EQ(lookupPattern(U"a-b", trie), (Scores{0, 8, 7}));
  EXPECT_EQ(lookupPattern(U"l'a", trie), (Scores{0, 2, 2}));
}

TEST(LookupPattern, NegativeAndLargeScoresFromTheConstructor) {
  const Patterns leaf({-3, 12, -1}, {});
  const Patterns trie({}, {{U'a', Patterns({}, {{U'b', leaf}})}});
  // Inside the padded word every gap starts at 0, so -3 does not show.
  EXPECT_EQ(lookupPattern(U"ab", trie), (Scores{0, 12}));
  // Past the padded word only reaching scores count, even negative ones.
  const Patterns reaching({}, {{U'.', Patterns({0, -4, -7}, {})}});
  EXPECT_EQ(lookupPattern(U"", reaching), (Scores{0, -4}));
}

TEST(Merge, KeepsTheLargerDigitAndUnitesChildren) {
  const Patterns a = parsePatterns(U"a1b\n");
  const Patterns b = parsePatterns(U"a3b\nc1\n");
  const Patterns merged = a | b;
  EXPECT_EQ(merged.child(U'a')->child(U'b')->scores(), (Scores{0, 3, 0}));
  EXPECT_EQ(merged.child(U'c')->scores(), (Scores{0, 1}));
  EXPECT_EQ(merged, b | a);
}

TEST(Merge, PointwiseMaximumKeepsTheLongerTail) {
  const Patterns merged = Patterns({1, 5}, {}) | Patterns({3, 0, 2}, {});
  EXPECT_EQ(merged.scores(), (Scores{3, 5, 2}));
}

TEST(Merge, LatticeLaws) {
  const Patterns a = parsePatterns(U"a1b\nab2c\n.x3\n");
  const Patterns b = parsePatterns(U"a4\nb1c\n");
  const Patterns c = parsePatterns(U"ab5\n");
  EXPECT_EQ(a | a, a);
  EXPECT_EQ(a | Patterns(), a);
  EXPECT_EQ(Patterns() | a, a);
  EXPECT_EQ((a | b) | c, a | (b | c));
  const std::vector<Patterns> all = {a, b, c};
  EXPECT_EQ(mconcat(all), a | (b | c));
  EXPECT_EQ(sconcat(a, std::span(all).subspan(1)), a | (b | c));
  EXPECT_EQ(mconcat(std::span<const Patterns>()), Patterns());
  EXPECT_EQ(stimes(3, a), a);
  EXPECT_EQ(stimes(std::numeric_limits<std::int64_t>::max(), a), a);
  EXPECT_THROW(stimes(0, a), Error);
  EXPECT_THROW(stimes(-5, a), Error);
}

TEST(Merge, ManyAtOnceEqualsTheTrieOfAllTheirLines) {
  // Every letter string of one to three of a, b, c, once, with a digit
  // placed by its number; parts of one line and of several, out of order,
  // with repeats and empty tries, so that the merge meets letters of one
  // part only between letters of many.
  std::vector<std::u32string> lines;
  for (int length = 1; length <= 3; ++length)
    for (int code = 0, count = length == 1 ? 3 : length == 2 ? 9 : 27; code < count; ++code) {
      std::u32string line;
      for (int k = 0, rest = code; k < length; ++k, rest /= 3) line += U'a' + rest % 3;
      line.insert(line.begin() + code % (length + 1), U'1' + code % 5);
      lines.push_back(line);
    }
  std::u32string all;
  std::vector<Patterns> parts;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    all += lines[i] + U"\n";
    if (i % 4 == 3)
      parts.push_back(parsePatterns(lines[i - 1] + U"\n" + lines[i] + U"\n"));
    else if (i % 4 != 2 || i + 1 == lines.size())
      parts.push_back(insertPattern(lines[i], Patterns()));
  }
  std::reverse(parts.begin(), parts.end());
  parts.push_back(parts[3]);
  parts.push_back(Patterns());
  parts.insert(parts.begin(), parts[5]);
  const Patterns merged = mconcat(parts);
  EXPECT_EQ(merged, parsePatterns(all));
  Patterns folded;
  for (const Patterns& part : parts) folded = folded | part;
  EXPECT_EQ(merged, folded);
  for (std::u32string_view word : {U"abcab", U"cccc", U"bacba", U"a"})
    EXPECT_EQ(lookupPattern(word, merged), lookupPattern(word, parsePatterns(all)));
}

TEST(Show, TextForms) {
  EXPECT_EQ(show(Patterns()), "Patterns [] (fromList [])");
  EXPECT_EQ(show(parsePatterns(U"a1b")),
            "Patterns [] (fromList [(97,Patterns [] (fromList [(98,Patterns [0,1,0] (fromList "
            "[]))]))])");
  EXPECT_EQ(showsPrec(11, Patterns()), "(Patterns [] (fromList []))");
  EXPECT_EQ(showsPrec(10, Patterns()), "Patterns [] (fromList [])");
  EXPECT_EQ(showsPrec(11, Patterns(), "!"), "(Patterns [] (fromList []))!");
  EXPECT_EQ(show(Patterns({-1, 2}, {{U'b', Patterns()}, {U'a', Patterns()}})),
            "Patterns [-1,2] (fromList [(97,Patterns [] (fromList [])),(98,Patterns [] "
            "(fromList []))])");
  const std::vector<Patterns> two = {Patterns(), Patterns({1}, {})};
  EXPECT_EQ(showList(two), "[Patterns [] (fromList []),Patterns [1] (fromList [])]");
  EXPECT_EQ(showList(std::span<const Patterns>()), "[]");
  std::ostringstream out;
  out << Patterns();
  EXPECT_EQ(out.str(), "Patterns [] (fromList [])");
}

TEST(Patterns, ConstructorAndAccessors) {
  const Patterns leaf({0, 1}, {});
  const Patterns node({2}, {{U'z', leaf}, {U'a', leaf}});
  ASSERT_EQ(node.children().size(), 2u);
  EXPECT_EQ(node.children()[0].first, U'a');  // ascending keys
  EXPECT_EQ(node.children()[1].first, U'z');
  EXPECT_EQ(node.scores(), (Scores{2}));
  EXPECT_FALSE(node.child(U'q'));
  EXPECT_TRUE(Patterns().empty());
}

TEST(Patterns, MillionLetterPatternNeedsNoDeepStack) {
  std::u32string pattern(1'000'000, U'a');
  pattern += U'1';
  Patterns trie = insertPattern(pattern, Patterns());
  trie = insertPattern(U"a2", trie);
  const Patterns parsed = parsePatterns(pattern);
  EXPECT_EQ(trie | parsed, trie | parsed);
  EXPECT_NE(trie, parsed);
  const std::string text = show(parsed);
  EXPECT_EQ(text.rfind("Patterns [] (fromList [(97,Patterns [] (fromList [(97,", 0), 0u);
  const std::string closing =
      ")])"
      ")])"
      ")])";  // one ")])" per enclosing node
  EXPECT_EQ(text.substr(text.size() - closing.size()), closing);
  // A lookup costs the word's length times the depth it reaches.
  EXPECT_EQ(lookupPattern(U"aaa", trie | parsed), (Scores{0, 2, 2}));
  EXPECT_EQ(lookupPattern(std::u32string(1'000'000, U'b'), trie).size(), 1'000'000u);
}

// A reference lookup written straight from the definition: every pattern of
// the trie tried at every position of the padded word.
Scores referenceLookup(std::u32string_view word, const std::vector<std::u32string>& lines) {
  std::u32string padded(word.size() + 2, U'.');
  word.copy(padded.data() + 1, word.size());
  // Earlier lines win among same letters.
  std::vector<std::pair<std::u32string, Scores>> patterns;
  for (const auto& line : lines) {
    std::u32string letters;
    for (char32_t c : line)
      if (c < U'0' || c > U'9') letters += c;
    bool seen = false;
    for (const auto& p : patterns) seen = seen || p.first == letters;
    if (!seen) patterns.emplace_back(letters, scorePattern(line));
  }
  const std::size_t m = padded.size();
  Scores result(m, 0);
  for (std::size_t i = 0; i <= m; ++i)
    for (const auto& [letters, scores] : patterns) {
      // The root's empty pattern also matches at i == m, after the word's end.
      if (i + letters.size() > m || padded.compare(i, letters.size(), letters) != 0) continue;
      if (result.size() < i + scores.size())
        result.resize(i + scores.size(), std::numeric_limits<std::int64_t>::min());
      for (std::size_t k = 0; k < scores.size(); ++k)
        result[i + k] = std::max(result[i + k], scores[k]);
    }
  return Scores(result.begin() + 1, result.end() - 1);
}

TEST(LookupPattern, AgreesWithTheDefinitionOnRandomTries) {
  std::mt19937 random(7);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  // Most rounds use three letters; some add rare letters, enough for the
  // larger layouts of a trie (over 64 and over 512 symbols).
  constexpr int kRareCounts[] = {0, 0, 0, 0, 70, 600};
  for (int round = 0; round < 400; ++round) {
    const int rare = kRareCounts[pick(6)];
    auto letter = [&] {
      return rare > 0 && pick(4) == 0 ? static_cast<char32_t>(U'\u0400' + pick(rare))
                                      : static_cast<char32_t>(U'a' + pick(3));
    };
    std::vector<std::u32string> lines;
    std::u32string text;
    for (int p = pick(12); p > 0; --p) {
      std::u32string line;
      if (pick(4) == 0) line += U'.';
      for (int k = pick(4) + (pick(8) == 0 ? 0 : 1); k > 0; --k) {
        if (pick(2) == 0) line += static_cast<char32_t>(U'0' + pick(10));
        if (pick(10) == 0) line += static_cast<char32_t>(U'0' + pick(10));  // consumed by the digit
        line += letter();
      }
      if (pick(3) == 0) line += static_cast<char32_t>(U'0' + pick(10));
      if (pick(5) == 0) line += U'.';
      lines.push_back(line);
      text += line + U"\n";
    }
    for (int k = 0; k < rare; ++k) {
      lines.push_back(std::u32string(1, static_cast<char32_t>(U'\u0400' + k)) + U"1");
      text += lines.back() + U"\n";
    }
    const Patterns trie = parsePatterns(text);
    for (int w = 0; w < 10; ++w) {
      std::u32string word;
      for (int k = pick(7); k > 0; --k) word += letter();
      ASSERT_EQ(lookupPattern(word, trie), referenceLookup(word, lines))
          << "word of " << word.size() << " letters, trie " << show(trie);
    }
  }
}

// Tries that the window automaton does not fit (patterns of 32 letters and
// more, score lists past their letters) take the merged lists, which agree
// with the definition too.
TEST(LookupPattern, MergedAutomatonAgreesWithTheDefinition) {
  std::mt19937 random(5);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < 200; ++round) {
    std::vector<std::u32string> lines;
    std::u32string text;
    for (int p = 1 + pick(8); p > 0; --p) {
      std::u32string line;
      const int letters = lines.empty() ? 32 + pick(12) : 1 + pick(4);
      // The long pattern scores its first gap, so that its scores span more
      // than a window.
      if (lines.empty()) line += static_cast<char32_t>(U'1' + pick(9));
      for (int k = 0; k < letters; ++k) {
        if (lines.empty() && k == 0) {
          line += static_cast<char32_t>(U'a' + pick(2));
          continue;
        }
        if (pick(3) == 0) line += static_cast<char32_t>(U'0' + pick(10));
        line += static_cast<char32_t>(U'a' + pick(2));
      }
      for (int k = pick(3) == 0 ? pick(6) : 0; k > 0; --k)  // digits past the letters
        line += static_cast<char32_t>(U'0' + pick(10));
      lines.push_back(line);
      text += line + U"\n";
    }
    const Patterns trie = parsePatterns(text);
    ASSERT_TRUE(detail::flatOf(trie).trie->automaton);
    ASSERT_EQ(detail::flatOf(trie).trie->scoring, detail::TrieView::Scoring::Merged) << show(trie);
    for (int w = 0; w < 10; ++w) {
      std::u32string word;
      for (int k = pick(60); k > 0; --k) word += static_cast<char32_t>(U'a' + pick(2));
      ASSERT_EQ(lookupPattern(word, trie), referenceLookup(word, lines))
          << "word of " << word.size() << " letters, trie " << show(trie);
    }
  }
}

// An alphabet of more symbols than a slot of one word can check takes slots
// of two words, which agree with the definition just as well.
TEST(LookupPattern, LargeAlphabetsTakeWideSlots) {
  std::mt19937 random(11);
  auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  auto letter = [&] { return static_cast<char32_t>(0x4E00 + pick(700)); };
  std::vector<std::u32string> lines;
  std::u32string text;
  for (int p = 0; p < 800; ++p) {
    std::u32string line;
    for (int k = 1 + pick(4); k > 0; --k) {
      if (pick(2) == 0) line += static_cast<char32_t>(U'0' + pick(10));
      line += letter();
    }
    lines.push_back(line);
    text += line + U"\n";
  }
  const Patterns trie = parsePatterns(text);
  ASSERT_TRUE(detail::flatOf(trie).trie->wide);
  ASSERT_TRUE(detail::flatOf(trie).trie->automaton);
  for (int w = 0; w < 100; ++w) {
    std::u32string word;
    for (int k = pick(12); k > 0; --k) word += pick(20) == 0 ? U'x' : letter();
    ASSERT_EQ(lookupPattern(word, trie), referenceLookup(word, lines)) << w;
  }
}

// Patterns whose digits alternate over every gap, each a suffix of the
// next: every position of a long word matches all of them. The merged
// lists score them in one pass, a list a step.
TEST(LookupPattern, NestedAlternatingPatternsScoreAsTheDefinitionSays) {
  std::vector<std::u32string> lines;
  std::u32string text;
  for (int k = 1; k <= 300; ++k) {
    const char32_t a = k % 2 ? U'1' : U'2', b = a == U'1' ? U'2' : U'1';
    std::u32string line;
    for (int i = 0; i < k; ++i) {
      line += i % 2 ? b : a;
      line += U'a';
    }
    line += k % 2 ? b : a;
    lines.push_back(line);
    text += line + U"\n";
  }
  const Patterns trie = parsePatterns(text);
  ASSERT_EQ(detail::flatOf(trie).trie->scoring, detail::TrieView::Scoring::Merged);
  for (std::size_t n : {0, 1, 2, 299, 300, 301, 1000}) {
    const std::u32string word(n, U'a');
    ASSERT_EQ(lookupPattern(word, trie), referenceLookup(word, lines)) << n;
  }
}

}  // namespace
}  // namespace hyph
