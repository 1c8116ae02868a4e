#include "hyph/text.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "hyph/error.hpp"
#include "hyph/language.hpp"
#include "text/html.hpp"

namespace hyph {
namespace {

std::string withoutSeparators(std::string text, std::string_view separator) {
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, at))
    text.erase(at, separator.size());
  return text;
}

std::string sample(const std::string& name) {
  std::ifstream in(std::filesystem::path(HYPH_SAMPLES_DIR) / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TextOptions htmlOptions(std::string separator = "-") {
  TextOptions options;
  options.markup = Markup::Html;
  options.separator = std::move(separator);
  return options;
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
  const CharTable::Entry entries[] = {{U'A', U'a'}, {U'B', U'b'}};
  const Hyphenator table(CharTable(entries, {}), parsePatterns(U"1b\n"), Exceptions(), 1, 1);
  EXPECT_EQ(hyphenateText(table, "ABAB cab"), "A-BA-B ca-b");
}

// A second run over soft-hyphenated output changes nothing, and the soft
// hyphens removed give the input back: for every sample, plain and HTML.
TEST(HyphenateText, SoftHyphenatedTextIsLeftAsItIs) {
  const std::pair<const char*, Language> samples[] = {
      {"en.txt", Language::English_US}, {"de.txt", Language::German_1996},
      {"fr.txt", Language::French},     {"ru.txt", Language::Russian},
      {"el.txt", Language::Greek_Mono}, {"page.html", Language::English_US}};
  for (const auto& [name, language] : samples) {
    const std::string text = sample(name);
    ASSERT_FALSE(text.empty()) << name;
    for (const bool html : {false, true}) {
      TextOptions options = html ? htmlOptions("\u00AD") : TextOptions{"\u00AD"};
      const Hyphenator& h = languageHyphenator(language);
      const std::string once = hyphenateText(h, text, options);
      EXPECT_NE(once, text) << name;
      EXPECT_EQ(hyphenateText(h, once, options), once) << name << (html ? " as HTML" : "");
      if (!html) {
        EXPECT_EQ(withoutSeparators(once, "\u00AD"), text) << name;
      }
    }
  }
  // The GPL's words that a second run used to break again.
  const std::string shy = "\u00AD";
  EXPECT_EQ(hyphenateText(english_US(), "know" + shy + "ingly pro" + shy + "hibit", shy),
            "know" + shy + "ingly pro" + shy + "hibit");
  // In HTML, a soft hyphen written as a reference joins the same way.
  EXPECT_EQ(hyphenateText(english_US(), "hyphen&shy;ation hyphen&#173;ation hyphen&#xAD;ation",
                          htmlOptions()),
            "hyphen&shy;ation hyphen&#173;ation hyphen&#xAD;ation");
  // A hyphen-minus is no such mark: the words around it are words.
  EXPECT_EQ(hyphenateText(english_US(), "co-operation"), "co-op-er-a-tion");
  // A soft hyphen that joins nothing marks nothing.
  EXPECT_EQ(hyphenateText(english_US(), "\u00ADhyphenation hyphenation\u00AD"),
            "\u00ADhy-phen-ation hy-phen-ation\u00AD");
}

TEST(HyphenateText, UrlsAndAddressesAreLeftWhole) {
  const std::string whole[] = {
      "https://example.org/internationalization",  "(http://example.org/representation)",
      "ftp+ssh://documentation.example.org",       "www.hyphenation.org/documentation",
      "<WWW.Example.org/Documentation>",           "documentation@example.org",
      "mailto:representation.office@example.org,",
  };
  for (const std::string& text : whole) {
    EXPECT_EQ(hyphenateText(english_US(), text), text);
    EXPECT_EQ(hyphenateText(english_US(), text, htmlOptions()), text);
    EXPECT_EQ(hyphenateText(english_US(), "hyphenation " + text + " hyphenation"),
              "hy-phen-ation " + text + " hy-phen-ation");
  }
  // Look-alikes are words.
  EXPECT_EQ(hyphenateText(english_US(), "documentation: hyphenation@ wwwdocumentation"),
            "doc-u-men-ta-tion: hy-phen-ation@ www-doc-u-men-ta-tion");
  EXPECT_EQ(hyphenateText(english_US(), "<a href=\"x\">https://example.org/documentation</a>",
                          htmlOptions()),
            "<a href=\"x\">https://example.org/documentation</a>");
}

TEST(HyphenateText, ShortWordsAndCapitalsAsTheOptionsSay) {
  TextOptions options;
  EXPECT_EQ(hyphenateText(english_US(), "NASA DOCUMENTATION table", options),
            "NASA DOC-U-MEN-TA-TION ta-ble");
  options.skipCapitals = true;
  EXPECT_EQ(hyphenateText(english_US(), "NASA DOCUMENTATION Documentation table", options),
            "NASA DOCUMENTATION Doc-u-men-ta-tion ta-ble");
  options.minWordLength = 6;
  EXPECT_EQ(hyphenateText(english_US(), "table tables hyphenation", options),
            "table ta-bles hy-phen-ation");
  options.markup = Markup::Html;
  EXPECT_EQ(hyphenateText(german_1996(), "&Uuml;BERG&Auml;NGE &Uuml;berg&auml;nge", options),
            "&Uuml;BERG&Auml;NGE &Uuml;ber-g&auml;n-ge");
}

TEST(HyphenateText, HtmlReferencesInsideWordsAreReadAndKept) {
  const TextOptions html = htmlOptions("&shy;");
  EXPECT_EQ(hyphenateText(german_1996(), "Stra&szlig;enbahn", html), "Stra&shy;&szlig;en&shy;bahn");
  EXPECT_EQ(hyphenateText(german_1996(), "&Uuml;berg&auml;nge", html),
            "&Uuml;ber&shy;g&auml;n&shy;ge");
  EXPECT_EQ(hyphenateText(german_1996(), "&#220;berg&#xE4;nge", html),
            "&#220;ber&shy;g&#xE4;n&shy;ge");
  // Unknown and malformed references are copied and end the word.
  EXPECT_EQ(hyphenateText(german_1996(), "Stra&szlg;enbahn Stra&szlig enbahn &#xD800;bahn", html),
            "Stra&szlg;en&shy;bahn Stra&szlig en&shy;bahn &#xD800;bahn");
  EXPECT_EQ(hyphenateText(english_US(), "hyphenation&amp;documentation", htmlOptions()),
            "hy-phen-ation&amp;doc-u-men-ta-tion");
  // Names from the whole table (its first, last and between) read as the
  // letters they stand for: the word breaks as it does written out.
  for (const auto& [name, letter] : {std::pair{"AElig", "\u00C6"},
                                     {"Aacute", "\u00C1"},
                                     {"auml", "\u00E4"},
                                     {"szlig", "\u00DF"},
                                     {"Ycirc", "\u0176"},
                                     {"zeta", "\u03B6"},
                                     {"zacute", "\u017A"},
                                     {"Zopf", "\u2124"}}) {
    const std::string written =
        hyphenateText(german_1996(), std::string("Stra") + letter + "enbahn", "-");
    std::string expected = written;
    expected.replace(expected.find(letter), std::string(letter).size(),
                     std::string("&") + name + ";");
    EXPECT_EQ(hyphenateText(german_1996(), std::string("Stra&") + name + ";enbahn", htmlOptions()),
              expected)
        << name;
  }
}

TEST(HtmlReferences, NamesAcrossTheTableGiveTheirCodePoints) {
  // The first and last names, names that share all but their last
  // characters with the one before, digits after the shared part, and code
  // points of all three bytes.
  for (const auto& [name, code] : {std::pair{"&AElig;", 0xC6},
                                   {"&Afr;", 0x1D504},
                                   {"&frac12;", 0xBD},
                                   {"&frac34;", 0xBE},
                                   {"&amp;", 0x26},
                                   {"&lt;", 0x3C},
                                   {"&shy;", 0xAD},
                                   {"&xopf;", 0x1D569},
                                   {"&zwj;", 0x200D},
                                   {"&zwnj;", 0x200C}}) {
    const text::Reference reference = text::referenceAt(name, true);
    EXPECT_EQ(reference.status, text::Reference::Status::Character) << name;
    EXPECT_EQ(reference.codePoint, static_cast<char32_t>(code)) << name;
    EXPECT_EQ(reference.length, std::string_view(name).size()) << name;
  }
  for (const char* unknown : {"&AEli;", "&AEligg;", "&frac1;", "&zwnjj;", "&Amp;x"})
    EXPECT_EQ(text::referenceAt(unknown, true).status, text::Reference::Status::Malformed)
        << unknown;
}

TEST(HyphenateText, LangAttributesChooseTheLanguage) {
  const std::string page =
      "<html lang=en><p lang=\"de\">Silbentrennungsalgorithmus</p>"
      "<p xml:lang='fr' lang=\"de\">anticonstitutionnellement</p>"
      "<div lang=\"de\"><p><span lang=\"en-GB\">hyphenation</span> Silbentrennung<br>"
      "<img src=x>Silbentrennung</p></div>"
      "<p lang=\"tlh\">Silbentrennung</p><p lang=\"\">hyphenation</p>hyphenation</html>";
  EXPECT_EQ(hyphenateText(english_US(), page, htmlOptions()),
            "<html lang=en><p lang=\"de\">Sil-ben-tren-nungs-al-go-rith-mus</p>"
            "<p xml:lang='fr' lang=\"de\">an-ti-cons-ti-tu-tion-nel-le-ment</p>"
            "<div lang=\"de\"><p><span lang=\"en-GB\">hy-phen-a-tion</span> Sil-ben-tren-nung<br>"
            "<img src=x>Sil-ben-tren-nung</p></div>"
            "<p lang=\"tlh\">Silbentrennung</p><p lang=\"\">hyphenation</p>hy-phen-ation</html>");
  TextOptions ignoring = htmlOptions();
  ignoring.followLang = false;
  EXPECT_EQ(hyphenateText(english_US(), "<p lang=de>Silbentrennungsalgorithmus</p>", ignoring),
            "<p lang=de>Sil-ben-tren-nungsal-go-rith-mus</p>");
  // Text marked as the given Hyphenator's language uses it, custom tables and all.
  const Hyphenator mine(*hyphenatorCharTable(english_US()), parsePatterns(U"1b\n"), Exceptions(), 1,
                        1);
  TextOptions own = htmlOptions();
  own.language = Language::English_US;
  EXPECT_EQ(hyphenateText(mine, "<p lang=en>abab</p><p lang=de>abab</p>", own),
            "<p lang=en>a-ba-b</p><p lang=de>ab-ab</p>");
}

TEST(HyphenateText, UnhyphenatedElements) {
  const std::string page =
      "<title>representation</title><textarea>representation</textarea><kbd>representation</kbd>"
      "<samp>representation</samp><tt>representation</tt><var>representation</var>"
      "<math><mi>representation</mi></math><svg><text>representation</text></svg>"
      "<pre><b>representation</b></pre><pre>x</pre>representation";
  const std::string out = hyphenateText(english_US(), page, htmlOptions());
  EXPECT_EQ(out, page.substr(0, page.size() - 14) + "rep-re-sen-ta-tion");
  // A raw element ends only at its own end tag.
  EXPECT_EQ(
      hyphenateText(english_US(), "<script>a</scriptx>representation</script>x", htmlOptions()),
      "<script>a</scriptx>representation</script>x");
}

TEST(HyphenateText, DeepNestingKeepsPreCodeAndLang) {
  // Every open element counts, however deep: raw-text elements and lang
  // attributes inside ten thousand others, then the way back out.
  const std::string word = "Wahrscheinlichkeit";
  const std::string german = hyphenateText(german_1996(), word, "-");
  const std::string english = hyphenateText(english_US(), word, "-");
  ASSERT_NE(german, english);
  std::string open, close;
  for (int i = 0; i < 10000; ++i) {
    open += i % 2 ? "<div>" : "<span>";
    close = (i % 2 ? "</div>" : "</span>") + close;
  }
  const std::string page = open + "<pre>" + word + "</pre><code>" + word +
                           "</code><p lang=\"de\">" + word + "</p>" + word + close + word;
  const std::string out = hyphenateText(english_US(), page, htmlOptions());
  EXPECT_EQ(out, open + "<pre>" + word + "</pre><code>" + word + "</code><p lang=\"de\">" + german +
                     "</p>" + english + close + english);
}

TEST(HyphenateText, NoSeparatorRightAfterAHyphenLetter) {
  // Russian counts "-" among its letters, and its patterns break after it;
  // the line may break there already, so text gets no second hyphen there.
  const std::u32string word =
      U"\u0432\u0435\u0431-\u0431\u0440\u0430\u0443\u0437\u0435\u0440\u044b";
  ASSERT_EQ(breakPoints(russian(), word).front(), 4u);  // the word's own breaks stay exact
  EXPECT_EQ(hyphenateText(russian(),
                          "\u0432\u0435\u0431-\u0431\u0440\u0430\u0443\u0437\u0435\u0440\u044b"),
            "\u0432\u0435\u0431-\u0431\u0440\u0430-\u0443-\u0437\u0435-\u0440\u044b");
  EXPECT_EQ(hyphenateText(russian(),
                          "\u0432\u0435\u0431&#45;\u0431\u0440\u0430\u0443\u0437\u0435\u0440\u044b",
                          htmlOptions()),
            "\u0432\u0435\u0431&#45;\u0431\u0440\u0430-\u0443-\u0437\u0435-\u0440\u044b");
}

TEST(HyphenateText, DecomposedLettersAreHyphenatedAsComposed) {
  const std::string nfd = "U\u0308berga\u0308nge";  // U and a with a combining diaeresis
  EXPECT_EQ(hyphenateText(german_1996(), nfd), "U\u0308ber-ga\u0308n-ge");
  EXPECT_EQ(hyphenateText(german_1996(), "\u00dcberg\u00e4nge"), "\u00dcber-g\u00e4n-ge");
  EXPECT_EQ(hyphenateText(french(), "h\u00e9t\u00e9rog\u00e9n\u00e9it\u00e9"),
            "h\u00e9-t\u00e9-ro-g\u00e9-n\u00e9it\u00e9");
  EXPECT_EQ(hyphenateText(french(), "he\u0301te\u0301roge\u0301ne\u0301ite\u0301"),
            "he\u0301-te\u0301-ro-ge\u0301-ne\u0301ite\u0301");
  // A letter with two marks: Greek alpha with psili and oxia is U+1F04.
  const std::string poly = "\u1F04\u03BD\u03B8\u03C1\u03C9\u03C0\u03BF\u03C2";
  const std::string twoMarks = "\u03B1\u0313\u0301\u03BD\u03B8\u03C1\u03C9\u03C0\u03BF\u03C2";
  const std::string composed = hyphenateText(greek_Poly(), poly, "|");
  ASSERT_NE(composed, poly);
  std::string expected = composed;
  expected.replace(0, std::string("\u1F04").size(), "\u03B1\u0313\u0301");
  EXPECT_EQ(hyphenateText(greek_Poly(), twoMarks, "|"), expected);
  // Marks never split from their letter, and the bytes stay as they came.
  for (const std::string& word : {nfd, twoMarks})
    EXPECT_EQ(withoutSeparators(hyphenateText(german_1996(), word, "|"), "|"), word);
}

TEST(HyphenateText, StreamingEqualsWholeTextForEveryCutOfTheNewInputs) {
  const std::string text =
      "<p lang=de>Stra&szlig;enbahn U\u0308berga\u0308nge</p> https://example.org/documentation "
      "know\u00ADingly <pre>x</pre><p lang=fr>anticonstitutionnellement</p>&Uuml;bergang";
  for (const TextOptions& options : {htmlOptions("\u00AD"), TextOptions{"|"}}) {
    const std::string whole = hyphenateText(english_US(), text, options);
    for (std::size_t cut = 0; cut <= text.size(); ++cut)
      ASSERT_EQ(streamed(english_US(), text, options, {cut}), whole) << "cut at " << cut;
    for (std::size_t a = 0; a < text.size(); a += 7)
      for (std::size_t b = a; b < text.size(); b += 11)
        ASSERT_EQ(streamed(english_US(), text, options, {a, b}), whole) << a << " " << b;
  }
}

TEST(HyphenateText, MalformedHtmlIsCopiedInBoundedMemory) {
  for (const std::string piece : {"<", "&", "\xC3", "<a ", "<!--", "<a title=\"", "&#x"}) {
    std::string text;
    while (text.size() < 1'000'000) text += piece;
    TextHyphenator stream(english_US(), htmlOptions());
    std::string out, all;
    for (std::size_t at = 0; at < text.size(); at += 65536) {
      stream.write(std::string_view(text).substr(at, 65536), out);
      all += out;
      EXPECT_LT(text.size() - at - std::min<std::size_t>(65536, text.size() - at) + all.size(),
                text.size() + 1)
          << piece;
      out.clear();
    }
    stream.finish(out);
    all += out;
    EXPECT_EQ(all, text) << piece;
  }
}
}  // namespace
}  // namespace hyph
