// Words in running text as TeX reads them: every letter of every script,
// marks with their letter, one rule for hyphens, and the options that leave
// compounds and code whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/utf8.hpp"
#include "hyph/hyph.hpp"
#include "catalogue_helpers.hpp"
#include "samples.hpp"
#include "text/unicode.hpp"

namespace hyph {
namespace {

using testing::utf8;

std::string withoutSeparators(std::string text) {
  std::erase(text, '-');
  return text;
}

const Hyphenator& of(std::string_view tag) { return languageHyphenator(*findLanguage(tag)); }

std::string text(std::string_view tag, std::string_view words, TextOptions options = {}) {
  options.separator = "-";
  return hyphenateText(of(tag), words, options);
}

/// The word as hyphenate() cuts it, joined by "-".
std::string word(std::string_view tag, std::string_view w) {
  std::string out;
  for (const std::string& piece : hyphenate(of(tag), w)) out += (out.empty() ? "" : "-") + piece;
  return out;
}

TEST(RunningText, LettersMissingFromTheLanguagesFileDoNotEndTheWord) {
  // Each as TeX breaks it, and as the word function does.
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"it", "ver-rà"},        // Italian's file has no accented letters
      {"eu", "hu-rren-go"},    // nor Basque's an "h"
      {"eu", "gehi-tzen"},
      {"ca", "desk-top"},      // nor Catalan's a "k"
      {"ca", "klee-nex"},
      {"as", "বা-ই-না-ৰি"},   // nor Assamese's "ৰ"
      {"ro", "aș-tep-tând"},
      {"ru", "нева-лид-нa"},   // a Latin "a" among Cyrillic letters
  };
  for (const auto& [tag, broken] : cases) {
    std::string whole = broken;
    std::erase(whole, '-');
    EXPECT_EQ(text(tag, whole), broken) << tag;
    EXPECT_EQ(word(tag, whole), broken) << tag;
    EXPECT_EQ(text(tag, "(" + whole + "),"), "(" + broken + "),") << tag;
  }
}

TEST(RunningText, CombiningMarksStayWithTheirLetter) {
  // Bulgarian marks stress with U+0300, which composes with no Cyrillic "А":
  // the mark scores nothing, and no break goes before it.
  EXPECT_EQ(text("bg", "ФОРМА\u0300Та"), "ФОР-МА\u0300Та");
  EXPECT_EQ(text("bg", "форма\u0300та"), "фор-ма\u0300та");
  // Hindi writes ड़ as ड and U+093C NUKTA.
  const std::string nukta = "पढ\u093Cना";
  EXPECT_EQ(withoutSeparators(text("hi", nukta)), nukta);
  EXPECT_EQ(text("hi", nukta).find("-\u093C"), std::string::npos);
  // A mark that composes is looked up composed, as before.
  EXPECT_EQ(text("de", "U\u0308bergang"), "U\u0308ber-gang");
}

TEST(RunningText, OneRuleForAHyphenThatIsALetter) {
  // Afrikaans, Portuguese, Russian and Ukrainian count "-" among their
  // letters: the word is looked up whole, in text as in the word function,
  // and the break after the hyphen is there without a separator.
  for (const auto& [tag, w] : std::vector<std::pair<std::string, std::string>>{
           {"ru", "веб-браузеры"},
           {"ru", "КАКИХ-ЛИБО"},
           {"af", "BASIC-biblioteke"},
           {"af", "webkonsole-boekstawing-API"},
           {"uk", "будь-який"}}) {
    std::string expected = word(tag, w);
    for (std::size_t at; (at = expected.find("--")) != std::string::npos;) expected.erase(at, 1);
    EXPECT_EQ(text(tag, w), expected) << w;
  }
}

TEST(RunningText, CompoundsBreakOnlyAtTheirHyphenWhenAsked) {
  TextOptions hyphensOnly;
  hyphensOnly.compounds = Compounds::HyphensOnly;
  EXPECT_EQ(text("de", "Backslash-Zeichen"), "Back-slash-Zei-chen");  // the default
  EXPECT_EQ(text("de", "Backslash-Zeichen", hyphensOnly), "Backslash-Zeichen");
  EXPECT_EQ(text("en-us", "a non-exclusive (co\u2010operation) documentation", hyphensOnly),
            "a non-exclusive (co\u2010operation) doc-u-men-ta-tion");
  EXPECT_EQ(text("ru", "веб-браузеры", hyphensOnly), "веб-браузеры");
  // A hyphen that joins no two letters makes no compound.
  EXPECT_EQ(text("en-us", "hyphenation- -documentation", hyphensOnly),
            "hy-phen-ation- -doc-u-men-ta-tion");
}

TEST(RunningText, CodeLikeTokensAreLeftWholeWhenAsked) {
  TextOptions code;
  code.skipCode = true;
  const std::string tokens =
      "LC_CTYPE camelCaseDocumentation GThemedIcon HTTPServerDocumentation utf8documentation "
      "-wholename --documentation";
  EXPECT_EQ(text("en-us", tokens, code), tokens);
  EXPECT_NE(text("en-us", tokens), tokens);  // off by default
  // Words, even capitalised or in capitals, and numbers before or after
  // them, are not code.
  EXPECT_EQ(text("en-us", "Documentation DOCUMENTATION 2documentation documentation-2 "
                          "hyphenation-documentation",
                 code),
            "Doc-u-men-ta-tion DOC-U-MEN-TA-TION 2doc-u-men-ta-tion doc-u-men-ta-tion-2 "
            "hy-phen-ation-doc-u-men-ta-tion");
  // Streamed in any cut, the "-" before an option counts the same.
  code.separator = "-";
  const std::string line = "see -wholename and --documentation, a-documentation";
  const std::string whole = hyphenateText(english_US(), line, code);
  EXPECT_EQ(whole, "see -wholename and --documentation, a-doc-u-men-ta-tion");
  for (std::size_t cut = 0; cut <= line.size(); ++cut) {
    TextHyphenator stream(english_US(), code);
    std::string out;
    stream.write(std::string_view(line).substr(0, cut), out);
    stream.write(std::string_view(line).substr(cut), out);
    stream.finish(out);
    EXPECT_EQ(out, whole) << cut;
  }
}

// In every language, a word in plain text breaks where the word function
// breaks it: but after a hyphen, where text inserts nothing, and before a
// combining mark, where it never breaks.
TEST(RunningText, TextBreaksAreTheWordFunctionsInEveryLanguage) {
  for (Language language : enumFrom(firstLanguage)) {
    const Hyphenator& h = languageHyphenator(language);
    TextOptions options;
    options.separator = "\x01";
    for (const std::u32string& w : testing::sampleWords(language)) {
      std::vector<std::size_t> expected;
      for (std::size_t at : breakPoints(h, w))
        if (w[at - 1] != U'-' && !text::isMark(w[at])) expected.push_back(at);
      const std::string out = hyphenateText(h, utf8(w), options);
      std::vector<std::size_t> got;
      std::size_t points = 0;
      detail::decodeUtf8(out, [&](char32_t c, std::size_t, std::size_t) {
        if (c == U'\x01')
          got.push_back(points);
        else
          ++points;
      });
      EXPECT_EQ(got, expected) << language << " " << utf8(w);
    }
  }
}

}  // namespace
}  // namespace hyph
