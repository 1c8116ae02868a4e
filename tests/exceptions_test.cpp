#include "hyph/exceptions.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "hyph/error.hpp"

namespace hyph {
namespace {

TEST(ScoreException, OneEntryPerGap) {
  EXPECT_EQ(scoreException(U"as-so-ciate"), (Scores{0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(scoreException(U"ref-or-ma-tion"), (Scores{0, 0, 0, 1, 0, 1, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(scoreException(U"present"), Scores(8, 0));
  EXPECT_EQ(scoreException(U""), (Scores{0}));
  EXPECT_EQ(scoreException(U"-"), (Scores{1}));
  EXPECT_EQ(scoreException(U"abc-"), (Scores{0, 0, 0, 1}));
  EXPECT_EQ(scoreException(U"-abc"), (Scores{1, 0, 0, 0}));
}

TEST(ScoreException, AdjacentHyphensLengthenTheList) {
  EXPECT_EQ(scoreException(U"a--b"), (Scores{0, 1, 0, 0}));
  EXPECT_EQ(scoreException(U"a---"), (Scores{0, 1, 1}));
  const Exceptions d = parseExceptions(U"a--b\na---\n");
  EXPECT_EQ(*lookupException(U"ab", d), (Scores{0, 1, 0, 0}));
  EXPECT_EQ(*lookupException(U"a", d), (Scores{0, 1, 1}));
}

TEST(ZipMin, PointwiseMinimumAsLongAsTheShorter) {
  EXPECT_EQ(zipMin({0, 1, 1}, {1, 1}), (Scores{0, 1}));
  EXPECT_EQ(zipMin({}, {1, 2}), Scores{});
  EXPECT_EQ(zipMin({3, -1}, {2, 5, 9}), (Scores{2, -1}));
}

TEST(AddException, KeysOnTheWordWithoutHyphens) {
  const Exceptions d = addException(U"as-so-ciate", Exceptions());
  ASSERT_NE(lookupException(U"associate", d), nullptr);
  EXPECT_EQ(*lookupException(U"associate", d), (Scores{0, 0, 1, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(lookupException(U"as-so-ciate", d), nullptr);
}

TEST(AddException, RepeatedWordKeepsOnlyBreaksBothAgreeOn) {
  const Exceptions one = addException(U"tab-le", addException(U"ta-ble", Exceptions()));
  const Exceptions other = addException(U"ta-ble", addException(U"tab-le", Exceptions()));
  EXPECT_EQ(*lookupException(U"table", one), Scores(6, 0));
  EXPECT_EQ(one, other);
  EXPECT_EQ(parseExceptions(U"ta-ble\ntab-le\n"), one);
  EXPECT_EQ(parseExceptions(U"ta-ble") | parseExceptions(U"tab-le"), one);
}

TEST(AddException, LeavesTheArgumentUnchanged) {
  const Exceptions before = parseExceptions(U"ta-ble\n");
  const Exceptions after = addException(U"tab-le", before);
  EXPECT_EQ(*lookupException(U"table", before), (Scores{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(*lookupException(U"table", after), Scores(6, 0));
}

TEST(LookupException, ExactMatchOnly) {
  const Exceptions d = parseExceptions(U"ta-ble\nWar-sza-wa\n");
  EXPECT_EQ(lookupException(U"Table", d), nullptr);
  EXPECT_EQ(lookupException(U"tabl", d), nullptr);
  EXPECT_EQ(lookupException(U"tables", d), nullptr);
  EXPECT_EQ(lookupException(U"warszawa", d), nullptr);
  ASSERT_NE(lookupException(U"Warszawa", d), nullptr);
  EXPECT_EQ(lookupException(U"x", Exceptions()), nullptr);
}

TEST(LookupException, ReturnsTheStoredListWithoutCopying) {
  const Exceptions d = parseExceptions(U"ta-ble\n");
  EXPECT_EQ(lookupException(U"table", d), &d.map().at(U"table"));
}

TEST(ParseExceptions, LinesAreTakenWhole) {
  EXPECT_EQ(parseExceptions(U""), Exceptions());
  EXPECT_EQ(parseExceptions(U"ta-ble"), parseExceptions(U"ta-ble\n"));

  const Exceptions three = parseExceptions(U"a\n\nb\n");
  EXPECT_EQ(three.map().size(), 3u);
  EXPECT_EQ(*lookupException(U"", three), (Scores{0}));

  const Exceptions crlf = parseExceptions(U"ta-ble\r\n");
  EXPECT_EQ(lookupException(U"table", crlf), nullptr);
  ASSERT_NE(lookupException(U"table\r", crlf), nullptr);
  EXPECT_EQ(lookupException(U"table\r", crlf)->size(), 7u);

  const Exceptions blank = parseExceptions(U"new york\n");
  EXPECT_EQ(blank.map().size(), 1u);
  EXPECT_NE(lookupException(U"new york", blank), nullptr);
}

TEST(Merge, UnionWithPointwiseMinimum) {
  const Exceptions merged = parseExceptions(U"ta-ble") | parseExceptions(U"tab-le\ncat\n");
  EXPECT_EQ(show(merged), "Exceptions (fromList [(\"cat\",[0,0,0,0]),(\"table\",[0,0,0,0,0,0])])");
}

TEST(Merge, MonoidLaws) {
  const Exceptions a = parseExceptions(U"ta-ble\ncat\n");
  const Exceptions b = parseExceptions(U"tab-le\ndo-g\n");
  const Exceptions c = parseExceptions(U"c-at\n");
  EXPECT_EQ(a | Exceptions(), a);
  EXPECT_EQ(Exceptions() | a, a);
  EXPECT_EQ(a | a, a);
  EXPECT_EQ(a | b, b | a);
  EXPECT_EQ((a | b) | c, a | (b | c));
  const std::vector<Exceptions> all = {a, b, c};
  EXPECT_EQ(mconcat(all), a | b | c);
  EXPECT_EQ(sconcat(a, std::span<const Exceptions>()), a);
  EXPECT_EQ(sconcat(a, std::span(all).subspan(1)), a | b | c);
  EXPECT_EQ(mconcat(std::span<const Exceptions>()), Exceptions());
  EXPECT_EQ(stimes(3, a), a);
  EXPECT_EQ(stimes(std::numeric_limits<std::int64_t>::max(), a), a);
  EXPECT_THROW(stimes(0, a), Error);
}

TEST(Show, TextForms) {
  EXPECT_EQ(show(parseExceptions(U"ta-ble")), "Exceptions (fromList [(\"table\",[0,0,1,0,0,0])])");
  EXPECT_EQ(showsPrec(11, parseExceptions(U"ta-ble")),
            "(Exceptions (fromList [(\"table\",[0,0,1,0,0,0])]))");
  EXPECT_EQ(show(Exceptions()), "Exceptions (fromList [])");
  EXPECT_EQ(show(parseExceptions(U"ас-бест")),
            "Exceptions (fromList [(\"\\1072\\1089\\1073\\1077\\1089\\1090\",[0,0,1,0,0,0,0])])");
  const std::vector<Exceptions> two = {Exceptions(), Exceptions()};
  EXPECT_EQ(showList(two), "[Exceptions (fromList []),Exceptions (fromList [])]");
  std::ostringstream out;
  out << Exceptions();
  EXPECT_EQ(out.str(), "Exceptions (fromList [])");
}

TEST(Show, EntriesInAscendingCodePointOrder) {
  const Exceptions d = parseExceptions(U"\u00e9\nb\nB\na\n\U0001F600\n");
  EXPECT_EQ(show(d),
            "Exceptions (fromList [(\"B\",[0,0]),(\"a\",[0,0]),(\"b\",[0,0]),(\"\\233\",[0,0]),"
            "(\"\\128512\",[0,0])])");
}

TEST(ShowWord, Escapes) {
  EXPECT_EQ(showWord(U"\u00e91"), "\"\\233\\&1\"");
  EXPECT_EQ(showWord(U"\u00e9a"), "\"\\233a\"");
  EXPECT_EQ(showWord(U"\u00e9\u00e9"), "\"\\233\\233\"");
  EXPECT_EQ(showWord(U"a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(showWord(U"\x7f"), "\"\\DEL\"");
  EXPECT_EQ(showWord(U"\x7f"
                     U"1"),
            "\"\\DEL1\"");
  EXPECT_EQ(showWord(U"\a\b\t\n\v\f\r"), "\"\\a\\b\\t\\n\\v\\f\\r\"");
  EXPECT_EQ(showWord(std::u32string(1, U'\0') + U"\x01\x1b\x1f"), "\"\\NUL\\SOH\\ESC\\US\"");
  EXPECT_EQ(showWord(U"\x0eH"), "\"\\SO\\&H\"");
  EXPECT_EQ(showWord(U"\x0e"
                     U"A"),
            "\"\\SOA\"");
  EXPECT_EQ(showWord(U"\x01"
                     U"2"),
            "\"\\SOH2\"");
  EXPECT_EQ(showWord(U" ~"), "\" ~\"");
}

TEST(Exceptions, ConstructibleFromAPlainMap) {
  const std::unordered_map<std::u32string, Scores> plain = {{U"table", {0, 0, 1, 0, 0, 0}}};
  EXPECT_EQ(Exceptions(plain), parseExceptions(U"ta-ble"));
}

}  // namespace
}  // namespace hyph
