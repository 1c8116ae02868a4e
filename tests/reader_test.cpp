#include "hyph/reader.hpp"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "catalogue/archive.hpp"
#include "catalogue_helpers.hpp"
#include "engine/utf8.hpp"
#include "error_of.hpp"
#include "hyph/language.hpp"
#include "hyph/text.hpp"
#include "samples.hpp"

namespace hyph {
namespace {

using testing::errorOf;

std::string embedded(Language language, const char* kind) {
  const std::string name = "hyph-" + std::string(languageAffix(language)) + "." + kind + ".txt.gz";
  return detail::gunzip(name, detail::findEmbeddedFile(name, detail::embeddedFiles()));
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string joined(const Hyphenator& h, std::u32string_view word) {
  std::string out;
  for (const auto& piece : hyphenate(h, word)) out += detail::encodeUtf8(piece) + "|";
  return out;
}

// A language's own files rewritten as TeX writes them (comments, CR LF line
// ends, upper-case ASCII letters, both groups in one file) hyphenate its
// words as the embedded language does.
TEST(ReadPatterns, TexFileOfARealLanguageMatchesTheEmbeddedOne) {
  for (Language language : {Language::English_US, Language::German_1996, Language::Russian}) {
    std::string tex = "% hyph-" + std::string(languageAffix(language)) + ".tex\r\n";
    tex += "\\message{patterns}\r\n\\patterns{ % the patterns\r\n";
    tex += upper(embedded(language, "pat"));
    tex += "}\r\n\\hyphenation{\r\n" + upper(embedded(language, "hyp")) + "}\r\n\\endinput\r\n";
    for (std::size_t at = 0; (at = tex.find('\n', at)) != std::string::npos; at += 2)
      if (tex[at - 1] != '\r') tex.insert(at, "\r");
    const Hyphenator& base = languageHyphenator(language);
    for (const std::string& bytes : {tex, testing::gzip(tex)}) {
      const Hyphenator read = customHyphenator(base, {.patterns = UserFile{"my.tex", bytes}});
      for (const std::u32string& word : testing::sampleWords(language, 300))
        ASSERT_EQ(joined(read, word), joined(base, word)) << language;
      ASSERT_EQ(hyphenatorExceptions(read), hyphenatorExceptions(base)) << language;
    }
  }
}

TEST(ReadPatterns, LettersAreMappedAsTexMapsThemThroughLccode) {
  const Hyphenator& english = english_US();
  const Hyphenator mine = customHyphenator(english, {.patterns = UserFile{"p", "HY3PH\n"},
                                                     .exceptions = UserFile{"e", "Ta-ble\n"},
                                                     .leftMin = 1,
                                                     .rightMin = 1});
  EXPECT_EQ(joined(mine, U"hyphen"), "hy|phen|");
  EXPECT_EQ(joined(mine, U"HYPHEN"), "HY|PHEN|");
  EXPECT_EQ(joined(mine, U"Table"), "Ta|ble|");
  EXPECT_EQ(joined(mine, U"table"), "ta|ble|");
}

TEST(ReadPatterns, PlainFilesWithCrLfAndCommentsReadLikeTheirLfForm) {
  const CharTable& chars = *hyphenatorCharTable(english_US());
  const Patterns lf = readPatterns({"a", "hy3ph\nhe2n\n"}, chars).patterns;
  EXPECT_EQ(readPatterns({"b", "hy3ph\r\nhe2n\r\n"}, chars).patterns, lf);
  EXPECT_EQ(readPatterns({"c", "% mine\nhy3ph he2n  % two\n\n"}, chars).patterns, lf);
  EXPECT_EQ(readPatterns({"d", testing::gzip("hy3ph\r\nhe2n")}, chars).patterns, lf);
  EXPECT_EQ(readPatterns({"e", "hy3ph\n"}, chars).exceptions, std::nullopt);
  EXPECT_EQ(readExceptions({"f", "ta-ble\r\npresent\r\n"}, chars),
            parseExceptions(U"ta-ble\npresent\n"));
  const CharTable crlf = readChars({"g", "aA\r\nbB\r\n"});
  EXPECT_EQ(crlf(U'A'), U'a');
  EXPECT_FALSE(crlf.isLetter(U'\r'));
}

TEST(ReadPatterns, ALeadingByteOrderMarkIsSkipped) {
  // It was read as a letter of the first pattern, which was then lost.
  const CharTable& chars = *hyphenatorCharTable(english_US());
  const std::string mark = "\xEF\xBB\xBF";
  EXPECT_EQ(readPatterns({"a", mark + "hy3ph\nhe2n\n"}, chars).patterns,
            readPatterns({"b", "hy3ph\nhe2n\n"}, chars).patterns);
  EXPECT_EQ(readPatterns({"c", testing::gzip(mark + "hy3ph\nhe2n\n")}, chars).patterns,
            readPatterns({"b", "hy3ph\nhe2n\n"}, chars).patterns);
  EXPECT_EQ(readExceptions({"d", mark + "ta-ble\n"}, chars), parseExceptions(U"ta-ble\n"));
  EXPECT_EQ(readChars({"e", mark + "aA\n"})(U'A'), U'a');
  const Hyphenator marked = customHyphenator(english_US(), {.patterns = {{"f", mark + "hy3ph\nhe2n\n"}}});
  EXPECT_EQ(testing::hyphenated(marked, "hyphen"), "hy-phen");
  // Only at the start: elsewhere it is a letter like any other.
  EXPECT_EQ(readPatterns({"g", "hy3ph\n" + mark + "he2n\n"}, chars).patterns,
            parsePatterns(U"hy3ph\n\uFEFFhe2n\n"));
}

TEST(ReadPatterns, EveryKindOfBadFileIsRefusedAtItsLine) {
  const CharTable& chars = *hyphenatorCharTable(english_US());
  auto patterns = [&](std::string_view bytes) {
    return errorOf([&] { readPatterns({"f.pat", bytes}, chars); });
  };
  EXPECT_EQ(patterns("hy3ph\n\xFF\xFE\n"), "f.pat:2: not UTF-8 text");
  EXPECT_EQ(patterns(std::string("ab\ncd\0ef", 8)), "f.pat:2: a NUL byte: not a text file");
  EXPECT_EQ(patterns("a1b\n\n12\n"), "f.pat:3: two digits in a row in '12'");
  EXPECT_EQ(patterns("1\n"), "f.pat:1: no letters in the pattern '1'");
  EXPECT_EQ(patterns(".1.\n"), "f.pat:1: no letters in the pattern '.1.'");
  EXPECT_EQ(patterns("a9999b\n"), "f.pat:1: two digits in a row in 'a9999b'");
  EXPECT_EQ(patterns("a.b\n"), "f.pat:1: '.' inside the pattern 'a.b'");
  EXPECT_EQ(patterns("\n% only a comment\n"), "f.pat: no patterns");
  EXPECT_EQ(patterns("\\patterns{a1b\n"), "f.pat:1: \\patterns{ is not closed");
  EXPECT_EQ(patterns("\\patterns{a1b}\n\\lccode`\\'=`\\'\n"),
            "f.pat:2: unknown TeX command \\lccode");
  EXPECT_EQ(patterns("\\input hyph-no.tex\n"),
            "f.pat:1: \\input is not supported: give the file that it reads instead");
  EXPECT_EQ(patterns("\\patterns{a1b}\nstray\n"),
            "f.pat:2: text outside \\patterns{...} and \\hyphenation{...}: 'stray'");
  EXPECT_EQ(patterns("\\patterns{a{1}b}"), "f.pat:1: '{' inside \\patterns{...}");
  EXPECT_EQ(patterns("\\hyphenation{ta-ble}"), "f.pat: no patterns");
  EXPECT_EQ(patterns("\x1F\x8B not really gzip"),
            "Could not decompress f.pat: unknown compression method");
  auto exceptions = [&](std::string_view bytes) {
    return errorOf([&] { readExceptions({"f.hyp", bytes}, chars); });
  };
  EXPECT_EQ(exceptions("ta-ble\nta1ble\n"), "f.hyp:2: a digit in the exception word 'ta1ble'");
  EXPECT_EQ(exceptions("a--b\n"), "f.hyp:1: two hyphens in a row in 'a--b'");
  EXPECT_EQ(exceptions("x\n-\n"), "f.hyp:2: no letters in the exception word '-'");
  EXPECT_EQ(exceptions("\\patterns{a1b}"), "f.hyp:1: \\patterns in an exception file");
  EXPECT_EQ(errorOf([&] {
              readChars({"f.chr", "aA\na A\n"});
            }),
            "f.chr:2: white space or a control character in a character line");
  EXPECT_EQ(errorOf([&] {
              readChars({"f.chr", "aA\n1!\n"});
            }),
            "f.chr:2: a digit or '.' cannot be a letter");
}

TEST(ReadPatterns, FilesAreLimitedWhetherPlainOrCompressed) {
  const CharTable& chars = *hyphenatorCharTable(english_US());
  const std::string large(maxUserFileBytes + 1, 'a');
  EXPECT_EQ(errorOf([&] {
              readPatterns({"big.pat", large}, chars);
            }),
            "big.pat: larger than the limit of 64 MiB");
  // A small gzip of zeros that decompresses past the limit is stopped there.
  const std::string bomb = testing::gzip(std::string(maxUserFileBytes + 4096, '\0'));
  EXPECT_LT(bomb.size(), 100'000u);
  EXPECT_EQ(errorOf([&] {
              readPatterns({"bomb.pat.gz", bomb}, chars);
            }),
            "bomb.pat.gz: decompresses to more than the limit of 64 MiB");
}

TEST(CustomHyphenator, FilesAloneMakeAHyphenator) {
  // Without a character file, the files' letters are the letters and map to
  // themselves; without minimums, TeX's 2 and 3.
  const Hyphenator h = customHyphenator({.patterns = UserFile{"p", "1b\n1c\n"}});
  EXPECT_EQ(hyphenatorLeftMin(h), 2);
  EXPECT_EQ(hyphenatorRightMin(h), 3);
  EXPECT_EQ(joined(h, U"abcabc"), "ab|cabc|");
  // "a" is no letter of theirs, but a letter all the same: the word is
  // whole in text as in the word functions, and "a" scores nothing.
  EXPECT_EQ(hyphenateText(h, "abcabc bcbcbc"), "ab-cabc bc-b-cbc");
  const Hyphenator cased = customHyphenator({.chars = UserFile{"c", "aA\nbB\ncC\n"},
                                             .patterns = UserFile{"p", "1B\n"},
                                             .leftMin = 1,
                                             .rightMin = 1});
  EXPECT_EQ(hyphenateText(cased, "ABAB abab"), "A-BA-B a-ba-b");
}

}  // namespace
}  // namespace hyph

namespace hyph {
namespace {

TEST(CustomHyphenator, WordsOfTheUsersOwnOverTheLanguagesExceptions) {
  // English lists "as-so-ciate"; the user's word wins, and so do words the
  // language does not list; every other word breaks as before.
  const Hyphenator base = english_US();
  const Hyphenator own = customHyphenator(
      base, {.words = UserFile{"my.hyp", "% mine\nasso-ciate\nHyphe-nation\nACME-corp\n"}});
  EXPECT_EQ(joined(base, U"associate"), "as|so|ciate|");
  EXPECT_EQ(joined(own, U"associate"), "asso|ciate|");
  EXPECT_EQ(joined(own, U"Associate"), "Asso|ciate|");
  EXPECT_EQ(joined(own, U"hyphenation"), "hyphe|nation|");
  EXPECT_EQ(joined(own, U"acmecorp"), "acme|corp|");
  for (const char32_t* word : {U"table", U"documentation", U"present", U"representation"})
    EXPECT_EQ(joined(own, word), joined(base, word));
  EXPECT_EQ(hyphenateText(own, "An associate of ACMEcorp.", "-"), "An asso-ciate of ACME-corp.");
  // Over replaced exceptions too, and as a file is refused, with its line.
  EXPECT_EQ(joined(customHyphenator(base, {.exceptions = UserFile{"e", "ta-ble\n"},
                                           .words = UserFile{"w", "tab-le\n"},
                                           .leftMin = 1,
                                           .rightMin = 1}),
                   U"table"),
            "tab|le|");
  EXPECT_EQ(errorOf([&] { customHyphenator(base, {.words = UserFile{"my.hyp", "ok\nbad1\n"}}); }),
            "my.hyp:2: a digit in the exception word 'bad1'");
  // withWords gives the same, and so does a language's hyphenator whose
  // exceptions are only in its compiled tables.
  const Hyphenator same = withWords(base, UserFile{"my.hyp", "asso-ciate\nHyphe-nation\n"});
  for (const char32_t* word : {U"associate", U"hyphenation", U"table", U"present"})
    EXPECT_EQ(joined(same, word), joined(own, word));
  EXPECT_EQ(joined(withWords(german_1996(), UserFile{"w", "Sil-bentrennung\n"}), U"Silbentrennung"),
            "Sil|bentrennung|");
}

}  // namespace
}  // namespace hyph
