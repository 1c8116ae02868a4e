// The embedded archive, and reading its files back.
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

using detail::EmbeddedFile;
using testing::errorOf;
using testing::gzip;

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

}  // namespace
}  // namespace hyph
