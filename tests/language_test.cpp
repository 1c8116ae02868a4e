#include <gtest/gtest.h>

#include <cctype>
#include <ranges>
#include <set>
#include <sstream>
#include <vector>

#include "error_of.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {
namespace {

using L = Language;

std::vector<Language> collect(LanguageRange range) {
  std::vector<Language> out;
  for (Language language : range) out.push_back(language);
  return out;
}

std::vector<std::int64_t> ordinals(LanguageRange range) {
  std::vector<std::int64_t> out;
  for (Language language : range) out.push_back(fromEnum(language));
  return out;
}

using testing::errorOf;

TEST(Language, OrderFollowsTheTableNotTheAlphabet) {
  EXPECT_EQ(fromEnum(L::Afrikaans), 0);
  EXPECT_EQ(fromEnum(L::English_US), 13);
  EXPECT_EQ(fromEnum(L::English_GB), 14);
  EXPECT_EQ(fromEnum(L::Welsh), 72);
  EXPECT_LT(L::English_US, L::English_GB);
  EXPECT_EQ(L::English_US <=> L::English_GB, std::strong_ordering::less);
  EXPECT_EQ(std::max(L::English_US, L::English_GB), L::English_GB);
  EXPECT_EQ(firstLanguage, L::Afrikaans);
  EXPECT_EQ(lastLanguage, L::Welsh);
}

TEST(Language, SuccessorAndPredecessor) {
  EXPECT_EQ(succ(L::English_US), L::English_GB);
  EXPECT_EQ(pred(L::English_GB), L::English_US);
  EXPECT_EQ(succ(L::Uppersorbian), L::Welsh);
  EXPECT_EQ(errorOf([] { succ(L::Welsh); }),
            "succ{Language}: tried to take `succ' of last tag in enumeration");
  EXPECT_EQ(errorOf([] { pred(L::Afrikaans); }),
            "pred{Language}: tried to take `pred' of first tag in enumeration");
}

TEST(Language, IntegerConversion) {
  EXPECT_EQ(toEnum(0), L::Afrikaans);
  EXPECT_EQ(toEnum(72), L::Welsh);
  for (Language language : enumFrom(firstLanguage)) EXPECT_EQ(toEnum(fromEnum(language)), language);
  EXPECT_EQ(errorOf([] { toEnum(73); }),
            "toEnum{Language}: tag (73) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { toEnum(-1); }),
            "toEnum{Language}: tag (-1) is outside of enumeration's range (0,72)");
  EXPECT_EQ(errorOf([] { toEnum(std::numeric_limits<std::int64_t>::min()); }),
            "toEnum{Language}: tag (-9223372036854775808) is outside of enumeration's range "
            "(0,72)");
}

TEST(Language, Ranges) {
  EXPECT_EQ(collect(enumFrom(L::Afrikaans)).size(), 73u);
  EXPECT_EQ(ordinals(enumFrom(L::Afrikaans)).back(), 72);
  EXPECT_EQ(collect(enumFrom(L::Welsh)), std::vector{L::Welsh});
  EXPECT_TRUE(collect(enumFromTo(L::Welsh, L::Afrikaans)).empty());
  EXPECT_EQ(collect(enumFromTo(L::Thai, L::Thai)), std::vector{L::Thai});
  EXPECT_EQ(ordinals(enumFromTo(L::Basque, L::Catalan)), (std::vector<std::int64_t>{3, 4, 5, 6}));

  const auto evens = ordinals(enumFromThen(L::Afrikaans, L::Assamese));
  EXPECT_EQ(evens.size(), 37u);
  EXPECT_EQ(evens.front(), 0);
  EXPECT_EQ(evens.back(), 72);
  const auto down = ordinals(enumFromThen(L::Welsh, L::Ukrainian));
  EXPECT_EQ(down.size(), 37u);
  EXPECT_EQ(down.back(), 0);
  EXPECT_EQ(ordinals(enumFromThen(L::Basque, L::Afrikaans)), (std::vector<std::int64_t>{3, 0}));

  EXPECT_EQ(collect(enumFromThenTo(L::Afrikaans, L::Basque, L::Bengali)),
            (std::vector{L::Afrikaans, L::Basque}));
  EXPECT_EQ(collect(enumFromThenTo(L::Catalan, L::Welsh, L::Chinese)), std::vector{L::Catalan});
  EXPECT_TRUE(collect(enumFromThenTo(L::Chinese, L::Welsh, L::Catalan)).empty());
  EXPECT_TRUE(collect(enumFromThenTo(L::Basque, L::Afrikaans, L::Welsh)).empty());
  EXPECT_EQ(collect(enumFromThenTo(L::Welsh, L::Tamil, L::Thai)), std::vector{L::Welsh});
  EXPECT_EQ(collect(enumFromThenTo(L::Welsh, L::Tamil, L::Tamil)),
            (std::vector{L::Welsh, L::Tamil}));
  EXPECT_EQ(ordinals(enumFromThenTo(L::Afrikaans, L::Basque, L::Welsh)).back(), 72);
}

// Clang 14 cannot compile libstdc++ 12's range adaptors at all (any
// `v | std::views::take(n)` fails inside <ranges>), so there the endless
// ranges are checked by hand.
TEST(Language, EndlessRangesAreLazy) {
  std::vector<Language> five;
#if defined(__clang__) && __clang_major__ < 15 && defined(__GLIBCXX__)
  for (auto it = enumFromThen(L::Irish, L::Irish).begin(); five.size() < 5; ++it)
    five.push_back(*it);
#else
  for (Language language : enumFromThen(L::Irish, L::Irish) | std::views::take(5))
    five.push_back(language);
  static_assert(std::ranges::forward_range<LanguageRange>);
  static_assert(std::ranges::view<LanguageRange>);
#endif
  EXPECT_EQ(five, std::vector<Language>(5, L::Irish));
  std::vector<Language> three;
  for (auto it = enumFromThenTo(L::Irish, L::Irish, L::Welsh).begin(); three.size() < 3; ++it)
    three.push_back(*it);
  EXPECT_EQ(three, std::vector<Language>(3, L::Irish));
}

TEST(Language, TextForm) {
  EXPECT_EQ(show(L::Norwegian_Bokmal), "Norwegian_Bokmal");
  EXPECT_EQ(showsPrec(11, L::Serbocroatian_Latin), "Serbocroatian_Latin");
  EXPECT_EQ(showsPrec(0, L::German_1901, "!"), "German_1901!");
  const std::vector<Language> two = {L::English_US, L::German_1996};
  EXPECT_EQ(showList(two), "[English_US,German_1996]");
  EXPECT_EQ(showList(std::span<const Language>()), "[]");
  std::ostringstream out;
  out << L::Uppersorbian;
  EXPECT_EQ(out.str(), "Uppersorbian");
}

TEST(Language, Affixes) {
  EXPECT_EQ(languageAffix(L::German_Swiss), "de-ch-1901");
  EXPECT_EQ(languageAffix(L::Chinese), "zh-latn-pinyin");
  EXPECT_EQ(languageAffix(L::Greek_Ancient), "grc");
  EXPECT_EQ(languageAffix(L::English_US), "en-us");
  std::set<std::string_view> seen;
  for (Language language : enumFrom(firstLanguage)) {
    const std::string_view affix = languageAffix(language);
    EXPECT_TRUE(seen.insert(affix).second) << affix;
    EXPECT_GE(affix.size(), 2u);
    EXPECT_LE(affix.size(), 14u);
    for (char c : affix) EXPECT_TRUE((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-');
  }
  static_assert(languageAffix(L::Welsh) == "cy");
}

// Values of the type that are no language are refused by every function
// that takes one, with the error of toEnum, rather than read out of bounds.
TEST(Language, ValuesPastTheLastAreRefusedEverywhere) {
  for (int ordinal : {73, 100, 255}) {
    const auto bad = static_cast<Language>(ordinal);
    const std::string message = "toEnum{Language}: tag (" + std::to_string(ordinal) +
                                ") is outside of enumeration's range (0,72)";
    EXPECT_EQ(errorOf([&] { (void)fromEnum(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageAffix(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageName(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageLeftMin(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageRightMin(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)show(bad); }), message);
    EXPECT_EQ(errorOf([&] {
                std::ostringstream out;
                out << bad;
              }),
              message);
    EXPECT_EQ(errorOf([&] { (void)succ(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)pred(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)enumFrom(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)enumFromTo(L::Welsh, bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)loadHyphenator(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageHyphenator(bad); }), message);
    EXPECT_EQ(errorOf([&] { (void)languageLicense(bad); }), message);
  }
}

TEST(FindLanguage, EveryAffixAndNameRoundTripsInAnyCase) {
  for (Language language : enumFrom(firstLanguage)) {
    const std::string affix(languageAffix(language));
    const std::string name(languageName(language));
    EXPECT_EQ(findLanguage(affix), language) << affix;
    EXPECT_EQ(findLanguage(name), language) << name;
    std::string upper = affix, underscored = name;
    for (char& c : upper) c = c == '-' ? '_' : static_cast<char>(std::toupper(c));
    for (char& c : underscored) c = static_cast<char>(std::tolower(c));
    EXPECT_EQ(findLanguage(upper), language) << upper;
    EXPECT_EQ(findLanguage(underscored), language) << underscored;
  }
}

TEST(FindLanguage, TagsChooseByLanguageThenScriptThenRegion) {
  const std::pair<const char*, Language> cases[] = {
      {"en", L::English_US},
      {"en-CA", L::English_US},
      {"en-Latn-US", L::English_US},
      {"en_US.UTF-8", L::English_US},
      {"en-GB", L::English_GB},
      {"en-ie", L::English_GB},
      {"en-AU", L::English_GB},
      {"en-NZ", L::English_GB},
      {"en-ZA", L::English_GB},
      {"en-IN", L::English_GB},
      {"de", L::German_1996},
      {"de-DE", L::German_1996},
      {"de-AT", L::German_1996},
      {"de_DE", L::German_1996},
      {"de-CH", L::German_Swiss},
      {"de-LI", L::German_Swiss},
      {"de-1901", L::German_1901},
      {"de-AT-1901", L::German_1901},
      {"de-CH-1901", L::German_Swiss},
      {"el", L::Greek_Mono},
      {"el-GR", L::Greek_Mono},
      {"el-polyton", L::Greek_Poly},
      {"grc", L::Greek_Ancient},
      {"sr", L::Serbian_Cyrillic},
      {"sr-Cyrl", L::Serbian_Cyrillic},
      {"sr-Latn", L::Serbocroatian_Latin},
      {"sr-Latn-RS", L::Serbocroatian_Latin},
      {"sh", L::Serbocroatian_Latin},
      {"sh-Latn", L::Serbocroatian_Latin},
      {"bs", L::Serbocroatian_Latin},
      {"sh-Cyrl", L::Serbocroatian_Cyrillic},
      {"no", L::Norwegian_Bokmal},
      {"nb", L::Norwegian_Bokmal},
      {"nb-NO", L::Norwegian_Bokmal},
      {"nn", L::Norwegian_Nynorsk},
      {"mn", L::Mongolian},
      {"mn-Cyrl-MN", L::Mongolian},
      {"zh-Latn", L::Chinese},
      {"zh-Latn-pinyin", L::Chinese},
      {"ku", L::Kurmanji},
      {"kmr", L::Kurmanji},
      {"am", L::Ethiopic},
      {"ti", L::Ethiopic},
      {"gez", L::Ethiopic},
      {"la", L::Latin},
      {"la-VA", L::Latin},
      {"la-x-classic", L::Latin_Classic},
      {"fr-CA", L::French},
      {"pt-BR", L::Portuguese},
      {"es-419", L::Spanish},
      {"hsb", L::Uppersorbian},
      {"cy-GB", L::Welsh},
      {"it-x-private", L::Italian},
  };
  for (const auto& [tag, language] : cases) EXPECT_EQ(findLanguage(tag), language) << tag;
}

TEST(FindLanguage, NeverGuesses) {
  for (const char* name : {"", "x", "xx", "ja", "zh", "zh-Hans", "mn-Mong", "mul", "klingon",
                           "german", "en-", "-en", "en--us", "en-toolongsubtag", "e n", "C"})
    EXPECT_EQ(findLanguage(name), std::nullopt) << name;
}

TEST(LanguagesLike, SuggestsWhatWasPlausiblyMeant) {
  EXPECT_EQ(languagesLike("germn"),
            (std::vector<Language>{L::German_1996, L::German_1901, L::German_Swiss}));
  EXPECT_EQ(languagesLike("englsh"), (std::vector<Language>{L::English_US, L::English_GB}));
  EXPECT_EQ(languagesLike("english"), (std::vector<Language>{L::English_US, L::English_GB}));
  EXPECT_EQ(languagesLike("norweg"),
            (std::vector<Language>{L::Norwegian_Bokmal, L::Norwegian_Nynorsk}));
  EXPECT_EQ(languagesLike("frnech"), std::vector<Language>{L::French});
  EXPECT_EQ(languagesLike("frenh"), std::vector<Language>{L::French});
  EXPECT_EQ(languagesLike("fernhc"), std::vector<Language>{});  // two slips in six letters
  EXPECT_EQ(languagesLike("xx"), std::vector<Language>{});
  EXPECT_EQ(languagesLike("klingon"), std::vector<Language>{});
  EXPECT_EQ(unknownLanguageMessage("frnech"), "unknown language 'frnech'; did you mean French?");
  EXPECT_EQ(unknownLanguageMessage("klingon"), "unknown language 'klingon'");
  // A name far longer than any has no suggestions, whatever its length
  // (a name of 131,000 letters took 25 s when every language's edit
  // distance was worked out).
  const std::string longName(131'000, 'q');
  EXPECT_EQ(languagesLike(longName), std::vector<Language>{});
  EXPECT_EQ(unknownLanguageMessage(longName), "unknown language '" + longName + "'");
  EXPECT_EQ(findLanguage(longName), std::nullopt);
  EXPECT_EQ(languagesLike("serbocroatian-cyrillic-"),
            std::vector<Language>{L::Serbocroatian_Cyrillic});
}

}  // namespace
}  // namespace hyph

// A library that holds every language keeps its own tables; giving tables
// at run time is for builds without the data (tests/builds/run tries those).
TEST(AddLanguageTables, ABuiltInLanguageKeepsItsOwn) {
  const std::vector<std::uint8_t> bytes(64, 0);
  EXPECT_EQ(hyph::testing::errorOf([&] { hyph::addLanguageTables(hyph::Language::French, bytes); }),
            "French is built into this hyph library; its tables cannot be given");
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage))
    EXPECT_TRUE(hyph::languageAvailable(language));
  EXPECT_EQ(hyph::hyphenate(hyph::french(), "anticonstitutionnellement").size(), 9u);
}
