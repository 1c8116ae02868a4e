// A library built with HYPH_LANGUAGES=none, given each language's compiled
// tables at run time (addLanguageTables), as the WebAssembly build is:
//
//   added_tables BLOB_DIR WORK_DIR AFFIX...
//
// For each affix, hyphenates WORK_DIR/AFFIX.words as running text with "|"
// into WORK_DIR/AFFIX.added, after checking what a language without tables
// does. Exits 1 with a message at the first surprise.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "hyph/hyph.hpp"

namespace {

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), {}};
}

void check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

std::string errorOf(auto&& call) {
  try {
    call();
  } catch (const hyph::Error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace

std::span<const std::uint8_t> bytesOf(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

int main(int argc, char** argv) {
  try {
    check(argc >= 3, "usage: added_tables BLOB_DIR WORK_DIR AFFIX...");
    const std::string blobs = argv[1], work = argv[2];
    const std::string page = "<p lang=\"fr\">anticonstitutionnellement</p>";
    hyph::TextOptions html;
    html.markup = hyph::Markup::Html;

    // Before its tables: refused by name, and left as it is in HTML.
    check(!hyph::languageAvailable(hyph::Language::French), "French available without tables");
    const std::string refused =
        errorOf([] { (void)hyph::breakPoints(hyph::french(), std::u32string(U"table")); });
    check(refused ==
              "French is not loaded: this hyph library holds no language's data "
              "(HYPH_LANGUAGES=none), and its tables were not given to addLanguageTables",
          "French without tables: " + refused);
    const std::string damaged =
        errorOf([] { hyph::addLanguageTables(hyph::Language::French, bytesOf("not tables")); });
    check(damaged.starts_with("Damaged hyphenation tables"), "damaged tables: " + damaged);
    // Tables read into a hyphenator of the caller's own leave the language
    // without them.
    const hyph::Hyphenator own =
        hyph::tablesHyphenator(hyph::Language::French, bytesOf(slurp(blobs + "/fr.tables")));
    check(hyph::hyphenateText(own, "anticonstitutionnellement") ==
                  "an-ti-cons-ti-tu-tion-nel-le-ment" &&
              !hyph::languageAvailable(hyph::Language::French),
          "a hyphenator of French's tables, French left without them");
    check(errorOf([] {
            (void)hyph::tablesHyphenator(hyph::Language::French, bytesOf("not tables"));
          }).starts_with("Damaged hyphenation tables"),
          "damaged tables read into a hyphenator");
    const std::string english = slurp(blobs + "/en-us.tables");
    hyph::addLanguageTables(hyph::Language::English_US, bytesOf(english));
    check(hyph::hyphenateText(hyph::english_US(), page, html) == page,
          "text marked as a language without tables was hyphenated");
    // A Hyphenator given as a language's serves the text marked as it,
    // whether or not the language's own tables are loaded.
    hyph::TextOptions given = html;
    given.language = hyph::Language::French;
    check(hyph::hyphenateText(hyph::english_US(), page, given) ==
              "<p lang=\"fr\">" +
                  hyph::hyphenateText(hyph::english_US(), "anticonstitutionnellement") + "</p>",
          "text marked as the given Hyphenator's language, without its tables, was left whole");

    for (int i = 3; i < argc; ++i) {
      const std::string affix = argv[i];
      const hyph::Language language = *hyph::findLanguage(affix);
      hyph::addLanguageTables(language, bytesOf(slurp(blobs + "/" + affix + ".tables")));
      check(hyph::languageAvailable(language) && !hyph::languageBuiltIn(language),
            affix + ": not available once given its tables");
      std::ofstream(work + "/" + affix + ".added", std::ios::binary) << hyph::hyphenateText(
          hyph::languageHyphenator(language), slurp(work + "/" + affix + ".words"), "|");
    }
    check(hyph::hyphenateText(hyph::english_US(), page, html) ==
              "<p lang=\"fr\">an-ti-cons-ti-tu-tion-nel-le-ment</p>",
          "text marked as French not hyphenated once French has its tables");
    check(errorOf([] { (void)hyph::hyphenatorPatterns(hyph::french()); }) ==
              "French's patterns are not in its compiled tables",
          "the patterns of given tables");

    // A compiled block given with the digest that the build wrote for it is
    // used as it is; bytes that lack that digest are checked as any others.
    const std::string block = slurp(blobs + "/fr.compiled");
    const std::string digests = slurp(blobs + "/digests.txt");
    const std::size_t line = digests.find("\nfr ");
    check(line != std::string::npos, "no digest of fr in digests.txt");
    const std::uint64_t digest = std::stoull(digests.substr(line + 4, 16), nullptr, 16);
    check(hyph::tablesDigest(bytesOf(block)) == digest, "fr's digest is not the file's");
    const auto owned = std::make_shared<std::vector<std::uint64_t>>((block.size() + 7) / 8);
    std::memcpy(owned->data(), block.data(), block.size());
    const std::span<const std::uint8_t> aligned(
        reinterpret_cast<const std::uint8_t*>(owned->data()), block.size());
    hyph::addLanguageTables(hyph::Language::French, owned, aligned, digest);
    check(hyph::hyphenateText(hyph::french(), "anticonstitutionnellement") ==
              "an-ti-cons-ti-tu-tion-nel-le-ment",
          "French from its compiled file and digest");
    const std::string shortened = errorOf([&] {
      hyph::addLanguageTables(hyph::Language::French, owned, aligned.first(aligned.size() - 8),
                              digest);
    });
    check(shortened.starts_with("Damaged hyphenation tables"),
          "a shortened block with the whole one's digest: " + shortened);
    for (std::size_t at : {std::size_t{0}, block.size() / 2, block.size() - 1}) {
      std::string copy = block;
      copy[at] = static_cast<char>(copy[at] ^ 1);
      check(hyph::tablesDigest(bytesOf(copy)) != digest, "a changed byte kept the digest");
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "added_tables: %s\n", e.what());
    return 1;
  }
  return 0;
}
