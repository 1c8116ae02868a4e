// Character maps and the loading of a language.
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
using detail::EmbeddedFile;
using testing::errorOf;
using testing::gzip;
using testing::hyphenated;

TEST(ParseChars, LaterLinesOverrideAndFirstCodePointsMapToThemselves) {
  for (const auto* text : {U"aA\n\nbB", U"aA\n\nbB\n"}) {
    const CharTable map = parseChars(text);
    EXPECT_EQ(map(U'A'), U'a');
    EXPECT_EQ(map(U'B'), U'b');
    EXPECT_EQ(map(U'a'), U'a');
    EXPECT_FALSE(map.hasEntry(U'a'));
    EXPECT_TRUE(map.isLetter(U'a'));
    EXPECT_FALSE(map.isLetter(U'c'));
    EXPECT_EQ(map(U'\n'), U'\n');
  }
  const CharTable crlf = parseChars(U"aA\r\n");
  EXPECT_EQ(crlf(U'A'), U'a');
  EXPECT_EQ(crlf(U'\r'), U'a');
  const CharTable later = parseChars(U"sS\n\u00dfSS\n''\n");
  EXPECT_EQ(later(U'S'), U'\u00df');
  EXPECT_TRUE(later.hasEntry(U'\''));
  EXPECT_EQ(parseChars(U"x\n")(U'x'), U'x');
  const std::u32string outside = {U'a', U'\U0010FFFF', char32_t{0x7FFFFFFF}};
  EXPECT_EQ(parseChars(outside)(char32_t{0x7FFFFFFF}), U'a');
  EXPECT_EQ(parseChars(outside)(U'\U0010FFFF'), U'a');
}

TEST(ParseChars, EmbeddedMapsOfGermanTurkishAndEnglish) {
  const Hyphenator german = loadHyphenator(L::German_1996);
  const auto& de = hyphenatorChars(german);
  EXPECT_EQ(de(U'A'), U'a');
  EXPECT_EQ(de(U'S'), U's');
  EXPECT_EQ(de(U'\u1E9E'), U'\u00df');
  EXPECT_EQ(de(U's'), U's');
  EXPECT_EQ(de(U'\u00df'), U'\u00df');
  const Hyphenator turkish = loadHyphenator(L::Turkish);
  EXPECT_EQ(hyphenatorChars(turkish)(U'I'), U'\u0131');
  EXPECT_EQ(hyphenatorChars(turkish)(U'\u0130'), U'i');
  EXPECT_EQ(hyphenatorChars(turkish)(U'i'), U'i');
  const Hyphenator english = loadHyphenator(L::English_US);
  EXPECT_EQ(hyphenatorChars(english)(U'7'), U'7');
  EXPECT_EQ(hyphenatorChars(english)(U'\u6f22'), U'\u6f22');
  EXPECT_EQ(hyphenatorChars(english)(U'H'), U'h');
}

TEST(LoadHyphenator, MinimumsComeFromTheTable) {
  const std::tuple<Language, int, int> rows[] = {
      {L::English_US, 2, 3}, {L::Sanskrit, 1, 3}, {L::Afrikaans, 1, 2},
      {L::Hindi, 1, 1},      {L::Basque, 2, 2},   {L::English_GB, 2, 3},
      {L::Tamil, 1, 1},      {L::Georgian, 1, 2}, {L::Polish, 2, 2}};
  for (auto [language, left, right] : rows) {
    EXPECT_EQ(hyphenatorLeftMin(loadHyphenator(language)), left) << language;
    EXPECT_EQ(hyphenatorRightMin(languageHyphenator(language)), right) << language;
  }
}

TEST(LoadHyphenator, WorkedExamples) {
  const Hyphenator& english = english_US();
  EXPECT_EQ(hyphenated(english, "Hyphenation"), "Hy-phen-ation");
  EXPECT_EQ(hyphenated(english, "table"), "ta-ble");
  EXPECT_EQ(hyphenated(english, "present"), "present");
  EXPECT_EQ(hyphenated(english, "associate"), "as-so-ciate");
  EXPECT_EQ(lookupPattern(U"hyphenation", hyphenatorPatterns(english)),
            (Scores{0, 0, 3, 0, 0, 2, 5, 4, 2, 0, 2}));
  EXPECT_EQ(lookupPattern(U"ab", hyphenatorPatterns(english)), (Scores{4, 0, 0}));
  EXPECT_EQ(lookupPattern(U"", hyphenatorPatterns(english)), Scores{});
  EXPECT_EQ(hyphenated(german_1996(), "Sanierungen"), "Sa-nie-run-gen");
  EXPECT_EQ(hyphenated(german_1996(), "STRASSE"), "STRAS-SE");
  EXPECT_EQ(hyphenated(russian(), "бизнесмен"), "биз-нес-мен");
  EXPECT_EQ(hyphenated(french(), "hyphénation"), "hy-phé-na-tion");
  EXPECT_EQ(hyphenated(turkish(), "ISPARTA"), "IS-PAR-TA");
  // The capitalised exception is out of the mapping's reach.
  EXPECT_NE(lookupException(U"Warszawa", hyphenatorExceptions(uppersorbian())), nullptr);
  EXPECT_EQ(hyphenated(uppersorbian(), "Warszawa"), "Warsza-wa");
  EXPECT_TRUE(hyphenatorExceptions(chinese()).map().empty());
}

std::vector<EmbeddedFile> archiveWithout(std::string_view name) {
  std::vector<EmbeddedFile> files;
  for (const auto& file : detail::embeddedFiles())
    if (file.name != name) files.push_back(file);
  return files;
}

TEST(LoadHyphenator, MissingTableFailsAtEveryUseAndOnlyItself) {
  static const auto archive = archiveWithout("hyph-en-us.pat.txt.gz");
  const Hyphenator h = detail::loadHyphenator(L::English_US, archive);  // no failure yet
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(errorOf([&] { hyphenatorPatterns(h); }), "Could not find hyph-en-us.pat.txt.gz");
    EXPECT_EQ(errorOf([&] { hyphenate(h, U"hyphenation"); }),
              "Could not find hyph-en-us.pat.txt.gz");
  }
  EXPECT_EQ(hyphenatorChars(h)(U'Q'), U'q');
  EXPECT_EQ(hyphenated(h, "table"), "ta-ble");  // an exception: no patterns needed
  EXPECT_EQ(hyphenated(h, "cat"), "cat");       // too short to be looked up
}

TEST(LoadHyphenator, CorruptTableFailsWithZlibsDescription) {
  static const std::string broken = gzip("aA\n").substr(0, 12);
  static const auto archive = [] {
    auto files = archiveWithout("hyph-cy.chr.txt.gz");
    files.push_back({"hyph-cy.chr.txt.gz", broken});
    return files;
  }();
  const Hyphenator h = detail::loadHyphenator(L::Welsh, archive);
  EXPECT_EQ(errorOf([&] { hyphenate(h, U"cymraeg"); }),
            "Could not decompress hyph-cy.chr.txt.gz: unexpected end of file");
  EXPECT_EQ(errorOf([&] { hyphenatorChars(h)(U'a'); }),
            "Could not decompress hyph-cy.chr.txt.gz: unexpected end of file");
  EXPECT_NO_THROW(hyphenatorPatterns(h));
}

TEST(LoadHyphenator, EveryKindOfDamageFailsCleanlyAndAgain) {
  const std::string_view good = [] {
    for (const auto& file : detail::embeddedFiles())
      if (file.name == "hyph-en-us.pat.txt.gz") return file.contents;
    return std::string_view();
  }();
  auto damaged = [&](auto change) {
    std::string bytes(good);
    change(bytes);
    return bytes;
  };
  const std::pair<std::string, std::string> cases[] = {
      {damaged([](std::string& b) { b.resize(b.size() / 2); }), "unexpected end of file"},
      {damaged([](std::string& b) { b[b.size() - 5] ^= 0x10; }), "incorrect data check"},
      {damaged([](std::string& b) { b[b.size() - 1] ^= 0x01; }), "incorrect length check"},
      {damaged([](std::string& b) { b[1] = 0; }), "incorrect header check"},
      {damaged([](std::string& b) { b[3] = static_cast<char>(0xE0); }), "unknown header flags set"},
      {damaged([](std::string& b) {
         for (std::size_t i = 40; i < b.size() - 8; i += 97) b[i] = static_cast<char>(~b[i]);
       }),
       ""},  // the deflate data itself: zlib says which check failed
      {"", "unexpected end of file"},
  };
  for (const auto& [bytes, why] : cases) {
    std::vector<EmbeddedFile> archive = archiveWithout("hyph-en-us.pat.txt.gz");
    archive.push_back({"hyph-en-us.pat.txt.gz", bytes});
    const Hyphenator h = detail::loadHyphenator(L::English_US, archive);
    const std::string first = errorOf([&] { hyphenate(h, U"hyphenation"); });
    EXPECT_EQ(first.rfind("Could not decompress hyph-en-us.pat.txt.gz: ", 0), 0u) << first;
    if (!why.empty()) {
      EXPECT_EQ(first, "Could not decompress hyph-en-us.pat.txt.gz: " + why);
    }
    for (int again = 0; again < 2; ++again) {
      EXPECT_EQ(errorOf([&] { hyphenatorPatterns(h); }), first);
      EXPECT_EQ(errorOf([&] { breakPoints(h, std::string_view("documentation")); }), first);
    }
    EXPECT_EQ(hyphenated(h, "table"), "ta-ble");  // exceptions and characters still work
    EXPECT_EQ(hyphenated(h, "Cat"), "Cat");
  }
}

}  // namespace
}  // namespace hyph
