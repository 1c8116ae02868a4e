#include <gtest/gtest.h>
#include <zlib.h>

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
#include "engine/trie/patterns_access.hpp"
#include "engine/utf8.hpp"
#include "error_of.hpp"
#include "samples.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {
namespace {

using L = Language;
using detail::EmbeddedFile;

using testing::errorOf;

std::string gzip(std::string_view data) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, data.size()) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

std::string utf8(std::u32string_view text) { return detail::encodeUtf8(text); }

std::string joined(const std::vector<std::u32string>& pieces, std::string_view separator = "-") {
  std::string out;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    if (i != 0) out += separator;
    out += utf8(pieces[i]);
  }
  return out;
}

std::string hyphenated(const Hyphenator& h, std::string_view word) {
  return joined(hyphenate(h, detail::decodeUtf8(word)));
}

// --- The embedded archive ---------------------------------------------------

TEST(Archive, HoldsFourFilesPerLanguageInNameOrder) {
  const auto files = detail::embeddedFiles();
  ASSERT_EQ(files.size(), 292u);
  EXPECT_TRUE(std::is_sorted(files.begin(), files.end(),
                             [](const auto& a, const auto& b) { return a.name < b.name; }));
  std::set<std::string_view> names;
  for (const auto& file : files) names.insert(file.name);
  for (Language language : enumFrom(firstLanguage))
    for (const char* kind : {"chr", "hyp", "lic", "pat"})
      EXPECT_TRUE(
          names.count("hyph-" + std::string(languageAffix(language)) + "." + kind + ".txt.gz"))
          << language << " " << kind;
  EXPECT_EQ(files[0].name, "hyph-af.chr.txt.gz");
  auto position = [&](std::string_view name) {
    return std::find_if(files.begin(), files.end(), [&](auto& f) { return f.name == name; }) -
           files.begin();
  };
  EXPECT_LT(position("hyph-la-x-classic.pat.txt.gz"), position("hyph-la.chr.txt.gz"));
}

TEST(Archive, EntriesAreSingleGzipMembersNamedAfterTheirFile) {
  for (const auto& file : detail::embeddedFiles()) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(file.contents.data());
    ASSERT_GE(file.contents.size(), 18u);
    EXPECT_EQ(bytes[0], 0x1f);
    EXPECT_EQ(bytes[1], 0x8b);
    EXPECT_EQ(bytes[2], 8);     // deflate
    EXPECT_EQ(bytes[3], 0x08);  // FNAME only
    const std::string stored(reinterpret_cast<const char*>(bytes + 10));
    EXPECT_EQ(stored + ".gz", file.name);
    EXPECT_NO_THROW(detail::gunzip(file.name, file.contents)) << file.name;
  }
}

TEST(Archive, TextFilesFollowTheirFormat) {
  std::vector<std::string> withExceptions;
  for (const auto& file : detail::embeddedFiles()) {
    const std::string text = detail::gunzip(file.name, file.contents);
    if (file.name.find(".lic.") != std::string_view::npos) continue;
    if (text.empty()) {
      EXPECT_NE(file.name.find(".hyp."), std::string_view::npos) << file.name;
      continue;
    }
    if (file.name.find(".hyp.") != std::string_view::npos) withExceptions.emplace_back(file.name);
    EXPECT_EQ(text.back(), '\n') << file.name;
    EXPECT_EQ(text.find("\n\n"), std::string::npos) << file.name;
    EXPECT_EQ(text.find('\r'), std::string::npos) << file.name;
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF") << file.name;
    EXPECT_EQ(detail::encodeUtf8(detail::decodeUtf8(text)), text) << file.name << " is not UTF-8";
  }
  const std::vector<std::string> expected = {
      "hyph-af.hyp.txt.gz",      "hyph-ca.hyp.txt.gz",      "hyph-cs.hyp.txt.gz",
      "hyph-en-gb.hyp.txt.gz",   "hyph-en-us.hyp.txt.gz",   "hyph-ga.hyp.txt.gz",
      "hyph-hsb.hyp.txt.gz",     "hyph-ia.hyp.txt.gz",      "hyph-id.hyp.txt.gz",
      "hyph-nb.hyp.txt.gz",      "hyph-nl.hyp.txt.gz",      "hyph-nn.hyp.txt.gz",
      "hyph-pl.hyp.txt.gz",      "hyph-pt.hyp.txt.gz",      "hyph-ru.hyp.txt.gz",
      "hyph-sh-cyrl.hyp.txt.gz", "hyph-sh-latn.hyp.txt.gz", "hyph-sk.hyp.txt.gz",
      "hyph-sr-cyrl.hyp.txt.gz"};
  EXPECT_EQ(withExceptions, expected);
  EXPECT_EQ(readEmbeddedFile("hyph-hsb.hyp.txt.gz").substr(0, 11), U"War-sza-wa\n");
  EXPECT_EQ(readEmbeddedFile("hyph-de-1996.hyp.txt.gz"), U"");
}

TEST(ReadEmbeddedFile, NamesMatchExactly) {
  EXPECT_FALSE(readEmbeddedFile("hyph-en-us.pat.txt.gz").empty());
  for (const char* absent : {"hyph-EN-US.pat.txt.gz", "hyph-en-us.pat.txt", "en-us.pat.txt.gz", ""})
    EXPECT_EQ(errorOf([&] { readEmbeddedFile(absent); }), std::string("Could not find ") + absent);
}

TEST(ReadEmbeddedFile, UndecodableBytesBecomeTheirOwnCodePoint) {
  const std::string compressed = gzip(
      "\xE9"
      "a\xC3\xA9\x80\xF0\x9F\x98\x80\xE2\x82");
  const EmbeddedFile archive[] = {{"x.gz", compressed}};
  EXPECT_EQ(detail::readEmbeddedFile("x.gz", archive),
            U"\u00e9a\u00e9\u0080\U0001F600\u00e2\u0082");
  const std::string bom = gzip("\xEF\xBB\xBFx");
  const EmbeddedFile withBom[] = {{"x.gz", bom}};
  EXPECT_EQ(detail::readEmbeddedFile("x.gz", withBom), U"\uFEFFx");
}

TEST(ReadEmbeddedFile, CorruptEntriesCarryZlibsDescription) {
  const std::string good = gzip("aA\nbB\n");
  auto damaged = [&](auto change) {
    std::string bytes = good;
    change(bytes);
    return bytes;
  };
  const std::pair<std::string, std::string> cases[] = {
      {damaged([](std::string& b) { b.resize(b.size() - 6); }), "unexpected end of file"},
      {damaged([](std::string& b) { b[b.size() - 8] ^= 1; }), "incorrect data check"},
      {damaged([](std::string& b) { b[b.size() - 4] ^= 1; }), "incorrect length check"},
      {damaged([](std::string& b) { b[0] = 'x'; }), "incorrect header check"},
      {damaged([](std::string& b) { b[10] = static_cast<char>(0xFF); }), "invalid block type"},
      {"", "unexpected end of file"},
      {damaged([](std::string& b) { b += b; }), "trailing data after the gzip member"},
  };
  for (const auto& [bytes, why] : cases) {
    const EmbeddedFile archive[] = {{"hyph-xx.chr.txt.gz", bytes}};
    EXPECT_EQ(errorOf([&] { detail::readEmbeddedFile("hyph-xx.chr.txt.gz", archive); }),
              "Could not decompress hyph-xx.chr.txt.gz: " + why);
  }
}

// --- Character maps ---------------------------------------------------------

TEST(ParseChars, LaterLinesOverrideAndFirstCodePointsMapToThemselves) {
  for (const auto* text : {U"aA\n\nbB", U"aA\n\nbB\n"}) {
    const CharMap map = parseChars(text);
    EXPECT_EQ(map(U'A'), U'a');
    EXPECT_EQ(map(U'B'), U'b');
    EXPECT_EQ(map(U'a'), U'a');
    EXPECT_FALSE(map.hasEntry(U'a'));
    EXPECT_TRUE(map.isLetter(U'a'));
    EXPECT_FALSE(map.isLetter(U'c'));
    EXPECT_EQ(map(U'\n'), U'\n');
  }
  const CharMap crlf = parseChars(U"aA\r\n");
  EXPECT_EQ(crlf(U'A'), U'a');
  EXPECT_EQ(crlf(U'\r'), U'a');
  const CharMap later = parseChars(U"sS\n\u00dfSS\n''\n");
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

// --- Loading a language -----------------------------------------------------

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

// --- Shared hyphenators -----------------------------------------------------

TEST(LanguageHyphenator, IsTheNamedConstant) {
  EXPECT_EQ(&languageHyphenator(L::Welsh), &welsh());
  EXPECT_EQ(&languageHyphenator(L::German_1996), &languageHyphenator(L::German_1996));
  EXPECT_EQ(&hyphenatorPatterns(german_1996()), &hyphenatorPatterns(german_1996()));
  const Hyphenator* named[] = {
#define HYPH_ADDRESS(name, function, affix, left, right) &function(),
      HYPH_LANGUAGES(HYPH_ADDRESS)
#undef HYPH_ADDRESS
  };
  ASSERT_EQ(std::size(named), 73u);
  for (Language language : enumFrom(firstLanguage))
    EXPECT_EQ(&languageHyphenator(language), named[fromEnum(language)]) << language;
}

TEST(LanguageHyphenator, FreshLoadHasItsOwnTablesAndTheSameResults) {
  const Hyphenator fresh = loadHyphenator(L::English_US);
  EXPECT_NE(&hyphenatorPatterns(fresh), &hyphenatorPatterns(english_US()));
  for (const char* word : {"hyphenation", "Computer", "table", "associates", "reformation"})
    EXPECT_EQ(hyphenated(fresh, word), hyphenated(english_US(), word));
}

TEST(LanguageHyphenator, ConcurrentFirstUseSharesOneHyphenatorAndTables) {
  std::atomic<bool> go = false;
  std::vector<std::thread> threads;
  std::vector<const Hyphenator*> hyphenators(16);
  std::vector<const Patterns*> tables(16);
  std::vector<std::string> results(16);
  for (int t = 0; t < 16; ++t)
    threads.emplace_back([&, t] {
      while (!go) std::this_thread::yield();
      hyphenators[t] = &french();
      results[t] = hyphenated(*hyphenators[t], "anticonstitutionnellement");
      tables[t] = &hyphenatorPatterns(*hyphenators[t]);
    });
  go = true;
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 16; ++t) {
    EXPECT_EQ(hyphenators[t], hyphenators[0]);
    EXPECT_EQ(tables[t], tables[0]);
    EXPECT_EQ(results[t], results[0]);
  }
}

// --- Every language ---------------------------------------------------------

using testing::sampleWords;

TEST(EveryLanguage, TablesBuildAndWordsSplitIntoTheirPieces) {
  for (Language language : enumFrom(firstLanguage)) {
    const Hyphenator& h = languageHyphenator(language);
    EXPECT_EQ(hyphenatorLeftMin(h), languageLeftMin(language));
    EXPECT_EQ(hyphenatorRightMin(h), languageRightMin(language));
    ASSERT_NO_THROW(hyphenatorPatterns(h)) << language;
    ASSERT_NO_THROW(hyphenatorExceptions(h)) << language;
    std::size_t broken = 0;
    const auto words = sampleWords(language);
    ASSERT_GE(words.size(), 3u) << language;
    for (const std::u32string& word : words) {
      const auto pieces = hyphenate(h, word);
      std::u32string together;
      for (const auto& piece : pieces) {
        EXPECT_FALSE(piece.empty()) << language << " " << utf8(word);
        together += piece;
      }
      EXPECT_EQ(together, word) << language;
      broken += pieces.size() > 1;

      // The UTF-8 and break-point forms cut at the same places.
      std::vector<std::string> expected;
      std::vector<std::size_t> positions;
      std::size_t at = 0;
      for (const auto& piece : pieces) {
        expected.push_back(utf8(piece));
        if (&piece != &pieces.back()) positions.push_back(at += piece.size());
      }
      EXPECT_EQ(hyphenate(h, utf8(word)), expected) << language;
      EXPECT_EQ(breakPoints(h, word), positions) << language;
    }
    EXPECT_GT(broken, 0u) << language << ": no sample word was hyphenated";
  }
}

// Byte offsets and code point positions agree for words of every length
// around the short-word bound of the UTF-8 path: samples run together, cut
// at each length up to 40 code points.
TEST(EveryLanguage, Utf8BreakPointsAgreeWithCodePointsAtEveryLength) {
  for (Language language : enumFrom(firstLanguage)) {
    const Hyphenator& h = languageHyphenator(language);
    std::u32string run;
    for (const std::u32string& word : sampleWords(language)) run += word;
    for (std::size_t length = 0; length <= 40 && length <= run.size(); ++length) {
      const std::u32string word = run.substr(run.size() - length);
      const std::string bytes = utf8(word);
      std::vector<std::size_t> expected;
      for (std::size_t position : breakPoints(h, std::u32string_view(word)))
        expected.push_back(utf8(word.substr(0, position)).size());
      ASSERT_EQ(breakPoints(h, std::string_view(bytes)), expected) << language << " " << bytes;
    }
  }
}

// The definition of a lookup, walked through the public interface from
// every position of the padded word: an independent check of the automaton
// that lookupPattern uses.
Scores walkedLookup(std::u32string_view word, const Patterns& trie) {
  std::u32string padded = U".";
  padded += word;
  padded += U'.';
  const std::size_t m = padded.size();
  std::vector<std::int64_t> result(m, 0);
  auto contribute = [&](std::size_t at, const Scores& scores) {
    if (result.size() < at + scores.size())
      result.resize(at + scores.size(), std::numeric_limits<std::int64_t>::min());
    for (std::size_t k = 0; k < scores.size(); ++k)
      result[at + k] = std::max(result[at + k], scores[k]);
  };
  for (std::size_t i = 0; i < m; ++i) {
    contribute(i, trie.scores());
    std::optional<Patterns> node = trie;
    for (std::size_t j = i; j < m && (node = node->child(padded[j])); ++j)
      contribute(i, node->scores());
  }
  contribute(m, trie.scores());
  return Scores(result.begin() + 1, result.end() - 1);
}

TEST(EveryLanguage, LookupAgreesWithAWalkFromEveryPosition) {
  for (Language language : enumFrom(firstLanguage)) {
    const Patterns& trie = hyphenatorPatterns(languageHyphenator(language));
    for (const std::u32string& word : sampleWords(language)) {
      std::u32string normalised = word;
      for (char32_t& c : normalised) c = hyphenatorChars(languageHyphenator(language))(c);
      ASSERT_EQ(lookupPattern(normalised, trie), walkedLookup(normalised, trie)) << language;
      ASSERT_EQ(lookupPattern(U"." + normalised, trie), walkedLookup(U"." + normalised, trie));
    }
  }
}

// The largest tries give rows to the fail states most states fail to, not to
// those nearest the root; classical Latin, with more than 48 symbols, keeps
// its output numbers apart from its records. Many words of their own
// letters take the rows, the links that go the long way, and deep states.
TEST(LargeTries, LookupAgreesWithAWalkOverManyWords) {
  for (Language language :
       {Language::German_1996, Language::Norwegian_Bokmal, Language::Latin_Classic}) {
    const Patterns& trie = hyphenatorPatterns(languageHyphenator(language));
    EXPECT_FALSE(detail::flatOf(trie).trie->resolved.empty()) << language;
    for (const std::u32string& word : sampleWords(language, 2000)) {
      ASSERT_EQ(lookupPattern(word, trie), walkedLookup(word, trie)) << language;
      ASSERT_EQ(lookupPattern(U"." + word + U".", trie), walkedLookup(U"." + word + U".", trie));
    }
  }
}

TEST(EveryLanguage, CapitalsMapToTheirOwnLowerCase) {
  locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  if (!utf8Locale) GTEST_SKIP() << "no C.UTF-8 locale";
  for (Language language : enumFrom(firstLanguage)) {
    const std::u32string text =
        readEmbeddedFile("hyph-" + std::string(languageAffix(language)) + ".chr.txt.gz");
    const CharMap map = parseChars(text);
    for (char32_t c : text) {
      const auto lower = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), utf8Locale));
      if (c == U'\n' || lower == c || map(c) == lower) continue;
      const bool turkishI = language == L::Turkish && (c == U'I' || c == U'\u0130');
      EXPECT_TRUE(turkishI) << language << ": U+" << std::hex << static_cast<std::uint32_t>(c)
                            << " maps to U+" << static_cast<std::uint32_t>(map(c));
    }
    // A capitalised word breaks where its lower-case form does.
    const Hyphenator& h = languageHyphenator(language);
    for (const std::u32string& word : sampleWords(language)) {
      std::u32string upper = word;
      for (char32_t& c : upper)
        c = static_cast<char32_t>(towupper_l(static_cast<wint_t>(c), utf8Locale));
      bool roundTrips = true;
      for (std::size_t i = 0; i < upper.size(); ++i)
        roundTrips = roundTrips && map(upper[i]) == word[i];
      if (!roundTrips) continue;  // some capitals are not in the character file
      std::vector<std::size_t> lowerSizes, upperSizes;
      for (const auto& piece : hyphenate(h, word)) lowerSizes.push_back(piece.size());
      for (const auto& piece : hyphenate(h, upper)) upperSizes.push_back(piece.size());
      EXPECT_EQ(lowerSizes, upperSizes) << language << " " << utf8(upper);
    }
  }
  freelocale(utf8Locale);
}

}  // namespace
}  // namespace hyph
