// libhyphen dictionaries: small ones of each kind, whose expected breaks are
// libhyphen 2.8.8's own (hnj_hyphen_hyphenate3 on the lower-cased word,
// printed by tools/libhyphen/check --print), and the files it refuses.
#include "hyph/dictionary.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue_helpers.hpp"
#include "error_of.hpp"
#include "hyph/text.hpp"

namespace hyph {
namespace {

using testing::errorOf;
using namespace std::string_literals;

Hyphenator dictionary(const std::string& bytes) { return readDictionary({"test.dic", bytes}); }

std::string broken(const Hyphenator& h, std::string_view word) {
  return join(hyphenate(h, word), "=");
}

/// Each word of `expected` ("word broken=as=libhyphen=breaks") as hyph
/// breaks it, beside what libhyphen gives.
void expectLibhyphen(const Hyphenator& h, const std::vector<std::string>& expected) {
  for (const std::string& line : expected) {
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    EXPECT_EQ(broken(h, word), line.substr(space + 1)) << word;
  }
}

TEST(Dictionary, OneLevelBreaksAsLibhyphenWithItsDefaultCompoundLevel) {
  // Without NEXTLEVEL, libhyphen splits at hyphens and apostrophes first,
  // breaks neither, and keeps 3 letters (or the word's minimums) from them.
  const Hyphenator h = dictionary("UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\n1ba\n1na\nan1\na1b\nxab\n");
  expectLibhyphen(h, {"banana ba=n=a=na", "BANANA BA=N=A=NA", "bana-nana ba=na-na=na",
                      "ba-na ba-na", "l'banana l'ba=n=a=na", "banana’s ba=n=a=na’s",
                      "xabab xa=bab", "ba2na ba2=na", "9banana 9ba=n=a=na",
                      "banana77 ba=n=a=na77", "ananas an=a=n=as"});
  EXPECT_EQ(hyphenatorLeftMin(h), 2);
  EXPECT_EQ(hyphenatorRightMin(h), 2);
}

TEST(Dictionary, EachPositionIsScoredByTheLongestPatternPrefixAlone) {
  // In "xabz" the automaton is in state "xab" after the b: "a1b", which TeX
  // would apply too, is not the state's pattern.
  const Hyphenator h = dictionary("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\na1b\nxab\n");
  expectLibhyphen(h, {"xabz xabz", "yabz ya=bz"});
}

TEST(Dictionary, TwoLevelsBreakCompoundsThenTheirParts) {
  const Hyphenator h = dictionary(
      "ISO8859-1\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nCOMPOUNDLEFTHYPHENMIN 3\n"
      "COMPOUNDRIGHTHYPHENMIN 3\nNOHYPHEN -\nhaus1\n1-1\nNEXTLEVEL\n1ba\n1na\nan1\nu1s\n1t\n");
  expectLibhyphen(h, {"bananahausbanana ba=n=a=n=ahaus=ban=a=na", "hausbanana haus=ban=a=na",
                      "bananahaus ba=n=a=n=ahaus", "haus haus", "banana-banana ba=n=ana-ban=a=na",
                      "bananahausmaus ba=n=a=n=ahaus=maus", "baushaustür bau=shaus=tür",
                      "haustür haus=tür"});
}

TEST(Dictionary, EightBitCharsetsReachHyphAsUnicode) {
  // Each file written in its own charset; words come in UTF-8, any case.
  const Hyphenator greek = dictionary(
      "ISO8859-7\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n\xE1" "1\xEB\n\xE5" "1\xED\n1\xF6\xE1\n");
  expectLibhyphen(greek, {"αλφάβητο α=λφάβητο", "ΑΛΦΑ Α=Λ=ΦΑ", "ελληνικά ελληνικά"});
  const Hyphenator russian =
      dictionary("KOI8-R\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\n\xCF" "1\xD7\n\xC1" "1\xCE\n1\xCB\xC1\n");
  expectLibhyphen(russian, {"слово сло=во", "КАРАНДАШ КАРА=НДАШ", "каникулы ка=никулы"});
  const Hyphenator czech =
      dictionary("ISO8859-2\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\n\xF8" "1e\n1\xE8" "e\ne1\xB9\n");
  expectLibhyphen(czech, {"řeřicha řeřicha", "čeština če=ština", "ŘEČ ŘEČ"});
}

TEST(Dictionary, MinimumsAreTheLargerOfTheCallersAndTheDictionarys) {
  const Hyphenator h = dictionary("UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n1b\n1n\n");
  EXPECT_EQ(broken(h, "banana"), "ba=na=na");
  // A caller's larger minimums apply; smaller ones do not undercut the file's.
  EXPECT_EQ(broken(customHyphenator(h, {.leftMin = 3, .rightMin = 3}), "bananas"), "bana=nas");
  const Hyphenator strict = dictionary("UTF-8\nLEFTHYPHENMIN 3\nRIGHTHYPHENMIN 3\n1b\n1n\n");
  EXPECT_EQ(broken(customHyphenator(strict, {.leftMin = 1, .rightMin = 1}), "bananas"), "bana=nas");
  // Without minimums in the file, libhyphen keeps 2 letters at each end.
  EXPECT_EQ(broken(dictionary("UTF-8\n1b\n1n\n"), "banana"), "ba=na=na");
}

TEST(Dictionary, TheUsersWordsAndTheTextLayerTakeADictionaryAsALanguage) {
  const Hyphenator h = dictionary("UTF-8\n1ba\n1na\n");
  const Hyphenator mine = withWords(h, {"words", "ban-ana\n"});
  EXPECT_EQ(broken(mine, "banana"), "ban=ana");
  EXPECT_EQ(broken(mine, "bananas"), "ba=na=nas");  // the dictionary's, as before
  EXPECT_EQ(hyphenateText(h, "Eine banana, zwei BANANAS.", "-"),
            "Eine ba-na-na, zwei BA-NA-NAS.");
}

// Non-standard rules: Hungarian "nny" breaks as "ny-ny", "ddzs" as
// "dzs-dzs", Catalan "l·l" as "l-l".
const char* const kRewriting =
    "UTF-8\nLEFTHYPHENMIN 2\nRIGHTHYPHENMIN 2\nas5szon2y/sz=,2,1\no1n\nn5nyal/ny=ny,1,3\n"
    "d7dzs2é./dzs=dzs,1,4\nl·9l/=,2,1\nŀ9l/l=,1,1\n1ve\n";

TEST(Dictionary, NonStandardRulesRewriteTheWordAtTheirBreaks) {
  const Hyphenator h = dictionary(kRewriting);
  EXPECT_TRUE(hyphenatorRewrites(h));
  EXPECT_FALSE(hyphenatorRewrites(dictionary("UTF-8\n1ba\n")));
  expectLibhyphen(h, {"asszonnyal asszony=nyal", "briddzsé bridzs=dzsé", "col·lecció col=lecció",
                      "coŀlecció col=lecció", "asszony asz=szony", "briddzsévé briddzsévé"});
  // In capitals, the rewriting is too; with the first letter, its first.
  expectLibhyphen(h, {"ASSZONNYAL ASSZONY=NYAL", "Ddzsé Dzs=dzsé", "BRIDDZSÉ BRIDZS=DZSÉ"});

  // Each break says what it rewrites; splitAt gives the halves.
  const std::vector<Break> found = breaks(h, "asszonnyal");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], (Break{6, 5, 8, "ny", "ny"}));
  EXPECT_TRUE(found[0].rewrites());
  EXPECT_EQ(splitAt("asszonnyal", found[0]), (std::pair<std::string, std::string>{"asszony", "nyal"}));
  EXPECT_EQ(breakPoints(h, "asszonnyal"), std::vector<std::size_t>{6});
  const std::vector<U32Break> wide = breaks(h, U"briddzsé");
  ASSERT_EQ(wide.size(), 1u);
  EXPECT_EQ(wide[0], (U32Break{4, 3, 7, U"dzs", U"dzs"}));
  EXPECT_EQ(splitAt(U"briddzsé", wide[0]), (std::pair<std::u32string, std::u32string>{U"bridzs", U"dzsé"}));
  // A break that only cuts says so.
  const std::vector<Break> plain = breaks(dictionary("UTF-8\n1na\n"), "banana");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0], (Break{2, 2, 2, "", ""}));
  EXPECT_FALSE(plain[0].rewrites());

  // The functions that cut a word cut it as written.
  EXPECT_EQ(iterate(h, "asszonnyal"),
            (std::vector<std::pair<std::string, std::string>>{{"asszony", "nyal"}}));
  EXPECT_EQ(wrap(h, "asszonnyal", 8), (std::pair<std::string, std::string>{"asszony-", "nyal"}));
  EXPECT_EQ(wrap(h, "asszonnyal", 7), std::nullopt);
  EXPECT_EQ(hyphenate(h, U"col·lecció"), (std::vector<std::u32string>{U"col", U"lecció"}));

  // Running text writes the rewriting with a visible separator, and leaves
  // the break out with a soft hyphen, which cannot change the spelling.
  EXPECT_EQ(hyphenateText(h, "Az asszonnyal, a col·lecció.", "-"), "Az asszony-nyal, a col-lecció.");
  EXPECT_EQ(hyphenateText(h, "asszonnyal évé", "\u00AD"), "asszonnyal évé");
}

TEST(Dictionary, MalformedNonStandardRulesAreRefused) {
  auto refusal = [](const std::string& rule) {
    return errorOf([&] { (void)readDictionary({"bad.dic", "UTF-8\n1a\n" + rule + "\n"}); });
  };
  EXPECT_EQ(refusal("as5szon2y/sz="), "bad.dic:3: a non-standard rule needs \"/replacement,start,cut\"");
  EXPECT_EQ(refusal("as5szon2y/sz=,2"), "bad.dic:3: a non-standard rule needs \"/replacement,start,cut\"");
  EXPECT_EQ(refusal("as5szon2y/sz,2,1"),
            "bad.dic:3: a non-standard rule's replacement needs \"=\" where the break goes");
  EXPECT_EQ(refusal("as5szon2y/sz=,0,1"), "bad.dic:3: a non-standard rule's start lies outside its pattern");
  EXPECT_EQ(refusal("as5szon2y/sz=,8,1"), "bad.dic:3: a non-standard rule's start lies outside its pattern");
  EXPECT_EQ(refusal("as5szon2y/sz=,2,7"), "bad.dic:3: a non-standard rule's cut lies outside its pattern");
  EXPECT_EQ(refusal("as5szon2y/sz=,x,1"), "bad.dic:3: a non-standard rule's start needs a number");
  EXPECT_EQ(refusal("1/a=,1,1"), "bad.dic:3: a non-standard rule without letters");
  EXPECT_EQ(errorOf([] { (void)readDictionary({"bad.dic", "UTF-8\na1b/a=b,1,2\nNEXTLEVEL\n1a\n"}); }),
            "bad.dic:2: a non-standard rule in the compound level, which hyph does not read");
}

TEST(Dictionary, CommentsKeywordsAndLineEndsAreReadAsLibhyphenReadsThem) {
  // CR LF line ends, both comment signs, a later duplicate pattern winning,
  // white space after a pattern, a gzip-compressed file.
  const std::string text =
      "UTF-8\r\n% comment\r\n# comment\r\nLEFTHYPHENMIN 1\r\nRIGHTHYPHENMIN 1\r\n1na trailing\r\n"
      "1b\r\n2b\r\n";
  const Hyphenator h = dictionary(text);
  EXPECT_EQ(broken(h, "banana"), "ba=na=na");
  EXPECT_EQ(broken(dictionary(testing::gzip(text)), "banana"), "ba=na=na");
}

TEST(Dictionary, EveryKindOfBadFileIsRefusedAtItsLine) {
  auto refusal = [](const std::string& bytes) {
    return errorOf([&] { (void)readDictionary({"bad.dic", bytes}); });
  };
  EXPECT_EQ(refusal(""), "bad.dic:1: no encoding named: not a hyphenation dictionary");
  EXPECT_EQ(refusal("EBCDIC\n1a\n"), "bad.dic:1: unknown encoding \"EBCDIC\"");
  EXPECT_EQ(refusal(std::string("\x89PNG\r\n\x1A\n", 8)),
            "bad.dic:1: no encoding named: not a hyphenation dictionary");
  EXPECT_EQ(refusal("UTF-8\n1a\nb\xFF" "1c\n"),
            "bad.dic:3: not UTF-8, which the dictionary's first line names");
  EXPECT_EQ(refusal("ISO8859-7\n1a\n\xAE" "1\n"), "bad.dic:3: byte 0xAE is no character of ISO8859-7");
  EXPECT_EQ(refusal("UTF-8\n1a\nb\0" "1\n"s),
            "bad.dic:3: a NUL byte: not a hyphenation dictionary");
  EXPECT_EQ(refusal("UTF-8\nLEFTHYPHENMIN two\n1a\n"), "bad.dic:2: LEFTHYPHENMIN needs a number");
  EXPECT_EQ(refusal("UTF-8\nLEFTHYPHENMIN 12345678901\n1a\n"),
            "bad.dic:2: LEFTHYPHENMIN: a number of more than 9 digits");
  EXPECT_EQ(refusal("UTF-8\n1a\nNEXTLEVEL\n1b\nNEXTLEVEL\n1c\n"),
            "bad.dic:5: a second NEXTLEVEL: a dictionary has two levels");
  EXPECT_EQ(refusal("UTF-8\n% nothing\n"), "bad.dic: no pattern: not a hyphenation dictionary");
  EXPECT_EQ(refusal("UTF-8\n1a\n" + std::string(1 << 20, 'a') + "\n"),
            "bad.dic:3: a line of more than 64 KiB");
  EXPECT_EQ(refusal(std::string((64 << 20) + 1, 'a')), "bad.dic: larger than the limit of 64 MiB");
}

TEST(Dictionary, InstalledDictionariesAreFoundByName) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "hyph-dictionaries-test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  // Names of no real language, so that the system's own dictionaries,
  // searched after these, cannot answer.
  for (const char* name : {"hyph_xq_XQ.dic", "hyph_xr_XA.dic", "hyph_xr_XR.dic",
                           "hyph_xs-Latn_XS.dic", "readme.txt"})
    std::ofstream(dir / name) << "UTF-8\n1a\n";
  ::setenv("HYPH_DICTIONARY_PATH", dir.c_str(), 1);
  EXPECT_EQ(dictionaryDirectories().front(), dir.string());
  const std::string path = (dir / "hyph_").string();
  EXPECT_EQ(findDictionary("xq_XQ"), path + "xq_XQ.dic");
  EXPECT_EQ(findDictionary("XQ-xq"), path + "xq_XQ.dic");
  EXPECT_EQ(findDictionary("xq"), path + "xq_XQ.dic");
  EXPECT_EQ(findDictionary("xr"), path + "xr_XR.dic");  // its own country's, not the first
  EXPECT_EQ(findDictionary("xs-Latn_XS"), path + "xs-Latn_XS.dic");
  EXPECT_EQ(findDictionary("xx"), std::nullopt);
  EXPECT_EQ(findDictionary(""), std::nullopt);
  bool listed = false;
  for (const InstalledDictionary& d : installedDictionaries())
    listed = listed || (d.name == "xr_XA" && d.path == path + "xr_XA.dic");
  EXPECT_TRUE(listed);
  ::unsetenv("HYPH_DICTIONARY_PATH");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace hyph
