#include "hyph/text.hpp"

#include <gtest/gtest.h>

#include <random>

#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {
namespace {

std::string withoutSeparators(std::string text, std::string_view separator) {
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, at))
    text.erase(at, separator.size());
  return text;
}

// Feeds `text` to a TextHyphenator in pieces cut at the given offsets.
std::string streamed(const Hyphenator& h, std::string_view text, const TextOptions& options,
                     std::vector<std::size_t> cuts) {
  TextHyphenator stream(h, options);
  std::string out;
  std::size_t start = 0;
  cuts.push_back(text.size());
  for (std::size_t cut : cuts) {
    stream.write(text.substr(start, cut - start), out);
    start = cut;
  }
  stream.finish(out);
  return out;
}

TEST(Utf8Words, PiecesAreByteSlicesOfTheInput) {
  EXPECT_EQ(hyphenate(english_US(), std::string_view("Hyphenation")),
            (std::vector<std::string>{"Hy", "phen", "ation"}));
  EXPECT_EQ(hyphenate(german_1996(), std::string_view("Stra\u00dfenbahn")),
            (std::vector<std::string>{"Stra", "\u00dfen", "bahn"}));
  EXPECT_EQ(breakPoints(german_1996(), std::string_view("Stra\u00dfenbahn")),
            (std::vector<std::size_t>{4, 8}));
  EXPECT_EQ(breakPoints(german_1996(), std::u32string_view(U"Stra\u00dfenbahn")),
            (std::vector<std::size_t>{4, 7}));
  EXPECT_EQ(hyphenate(english_US(), std::string_view("")), std::vector<std::string>{""});
}

TEST(Utf8Words, InvalidBytesSurviveByteForByte) {
  const std::string words[] = {"hyphen\xE9tion",         "\x80\x80hyphenation",  "hyphenation\xC3",
                               "hyph\xF0\x9F\x98nation", "\xFF\xFE\xFD\xFC\xFB", "a\xED\xA0\x80z",
                               "\xC0\xAFhyphenation\xC0"};
  for (const std::string& word : words) {
    std::string together;
    for (const std::string& piece : hyphenate(english_US(), word)) together += piece;
    EXPECT_EQ(together, word);
    EXPECT_EQ(withoutSeparators(hyphenateText(english_US(), word, "|"), "|"), word);
  }
  // An undecodable byte counts as one code point of its own value: 0xE9 is é.
  EXPECT_EQ(hyphenate(french(), std::string_view("hyph\xE9nation")),
            (std::vector<std::string>{"hy", "ph\xE9", "na", "tion"}));
}

TEST(Utf8Words, ReusedBufferKeepsItsCapacity) {
  std::vector<std::size_t> breaks;
  breakPoints(english_US(), std::string_view("documentation"), breaks);
  EXPECT_EQ(breaks, (std::vector<std::size_t>{3, 4, 7, 9}));
  const auto* storage = breaks.data();
  breakPoints(english_US(), std::string_view("hyphenation"), breaks);
  EXPECT_EQ(breaks, (std::vector<std::size_t>{2, 6}));
  EXPECT_EQ(breaks.data(), storage);
  breakPoints(english_US(), std::string_view("cat"), breaks);
  EXPECT_TRUE(breaks.empty());
}

TEST(HyphenateText, InsertsTheSeparatorInEveryWord) {
  EXPECT_EQ(hyphenateText(english_US(), "Hyphenation, at last! Documentation."),
            "Hy-phen-ation, at last! Doc-u-men-ta-tion.");
  EXPECT_EQ(hyphenateText(english_US(), "hyphenation", "\u00AD"), "hy\u00ADphen\u00ADation");
  EXPECT_EQ(hyphenateText(english_US(), ""), "");
  EXPECT_EQ(hyphenateText(english_US(), "  \n\t"), "  \n\t");
  // Digits and foreign scripts split words.
  EXPECT_EQ(hyphenateText(english_US(), "42hyphenation\u0436hyphenation"),
            "42hy-phen-ation\u0436hy-phen-ation");
  EXPECT_EQ(hyphenateText(russian(), "hyphenation бизнесмен"), "hyphenation биз-нес-мен");
}

TEST(HyphenateText, MarkupAndPunctuationRoundTrip) {
  const std::string texts[] = {
      "Hyphenation (documentation) \u2014 \"association\"; 3.14159 hyphenation's",
      "<p>Hyphenation</p> &amp; \xE9\xE9 \x80 tr\xC3\xA8s \xF0\x9F\x98\x80 \r\n end",
      "mixed \u0433\u0438\u043f\u0435\u0440 and \u4e2d\u6587 and ελληνικά documentation"};
  for (const std::string& text : texts)
    for (Language language : {Language::English_US, Language::Russian, Language::Greek_Mono}) {
      const std::string out = hyphenateText(languageHyphenator(language), text, "\u00AD");
      EXPECT_EQ(withoutSeparators(out, "\u00AD"), text) << language;
    }
}

TEST(HyphenateText, HtmlLeavesMarkupAndRawElementsAlone) {
  TextOptions html;
  html.markup = Markup::Html;
  const std::string page =
      "<!DOCTYPE html><p class=\"hyphenation\" title='documentation>x'>Hyphenation"
      "&hyphenation;&#173;documentation</p><!-- hyphenation --><pre>hyphenation</pre>"
      "<CODE>hyphenation <b>documentation</b></code><script>var hyphenation;</script>"
      "<style>.documentation{}</style><textarea>hyphenation</textarea><br/>documentation"
      " a < b hyphenation";
  EXPECT_EQ(hyphenateText(english_US(), page, html),
            "<!DOCTYPE html><p class=\"hyphenation\" title='documentation>x'>Hy-phen-ation"
            "&hyphenation;&#173;doc-u-men-ta-tion</p><!-- hyphenation --><pre>hyphenation</pre>"
            "<CODE>hyphenation <b>documentation</b></code><script>var hyphenation;</script>"
            "<style>.documentation{}</style><textarea>hyphenation</textarea><br/>doc-u-men-ta-tion"
            " a < b hy-phen-ation");
  // Without markup the same text is all words and punctuation.
  EXPECT_NE(hyphenateText(english_US(), page).find("class=\"hy-phen-ation\""), std::string::npos);
}

TEST(HyphenateText, StreamingEqualsWholeTextForEveryCut) {
  TextOptions html;
  html.markup = Markup::Html;
  html.separator = "\u00AD";
  const std::string text =
      "<p title=\"a>b\">Stra\u00dfenbahn &amp; \xE9 hyphenation</p><!-- x --><pre>documentation"
      "</pre>documentation \xF0\x9F\x98\x80 association<script>hyphenation</script>end";
  const std::string whole = hyphenateText(german_1996(), text, html);
  for (std::size_t cut = 0; cut <= text.size(); ++cut)
    ASSERT_EQ(streamed(german_1996(), text, html, {cut}), whole) << "cut at " << cut;
  std::mt19937 random(3);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0; at < text.size(); at += 1 + random() % 7) cuts.push_back(at);
    ASSERT_EQ(streamed(german_1996(), text, html, cuts), whole);
  }
  const TextOptions plain;
  const std::string plainWhole = hyphenateText(german_1996(), text, plain);
  for (std::size_t cut = 0; cut <= text.size(); ++cut)
    ASSERT_EQ(streamed(german_1996(), text, plain, {cut}), plainWhole) << "cut at " << cut;
}

TEST(HyphenateText, OverlongRunsAreCopiedUnhyphenated) {
  std::string run;
  while (run.size() <= maxTextWordLength) run += "hyphenation";
  const std::string text = "hyphenation " + run + " hyphenation";
  EXPECT_EQ(hyphenateText(english_US(), text), "hy-phen-ation " + run + " hy-phen-ation");
  std::vector<std::size_t> cuts;
  for (std::size_t at = 5; at < text.size(); at += 100) cuts.push_back(at);
  EXPECT_EQ(streamed(english_US(), text, {}, cuts), hyphenateText(english_US(), text));
  const std::string exact(maxTextWordLength, 'a');
  EXPECT_EQ(withoutSeparators(hyphenateText(english_US(), exact), "-"), exact);
}

TEST(HyphenateText, AssembledHyphenatorsNeedALetterPredicate) {
  const Hyphenator custom([](char32_t c) { return c; }, parsePatterns(U"1b\n"), Exceptions(), 1, 1);
  try {
    hyphenateText(custom, "abab");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("isLetter"), std::string::npos);
  }
  TextOptions options;
  options.isLetter = [](char32_t c) { return c == U'a' || c == U'b'; };
  EXPECT_EQ(hyphenateText(custom, "abab cab", options), "a-ba-b ca-b");
  // A Hyphenator built on a character table knows its letters.
  const CharMap::Entry entries[] = {{U'A', U'a'}, {U'B', U'b'}};
  const Hyphenator table(CharMap(entries, {}), parsePatterns(U"1b\n"), Exceptions(), 1, 1);
  EXPECT_EQ(hyphenateText(table, "ABAB cab"), "A-BA-B ca-b");
}

}  // namespace
}  // namespace hyph
