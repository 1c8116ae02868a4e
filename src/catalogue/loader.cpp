// Making a Hyphenator from a language's embedded files, and the shared
// Hyphenator of each language.
#include "catalogue/loader.hpp"

#include <array>
#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/show.hpp"

namespace hyph {

CharMap parseChars(std::u32string_view text) {
  std::vector<CharMap::Entry> entries;
  std::vector<char32_t> letters;
  detail::forEachLine(text, [&](std::u32string_view line) {
    if (line.empty()) return;
    letters.push_back(line.front());
    for (char32_t variant : line.substr(1)) entries.emplace_back(variant, line.front());
  });
  return CharMap(entries, letters);
}

namespace detail {

namespace {
std::atomic<int> creations[languageCount];
std::atomic<int> builds[languageCount][3];

void countBuild(Language language, Table table) {
  builds[fromEnum(language)][static_cast<int>(table)].fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

int sharedCreations(Language language) { return creations[fromEnum(language)].load(); }
int tableBuilds(Language language, Table table) {
  return builds[fromEnum(language)][static_cast<int>(table)].load();
}

Hyphenator loadHyphenator(Language language, std::span<const EmbeddedFile> archive) {
  const std::string base = "hyph-" + std::string(languageAffix(language));
  auto read = [archive](std::string name) {
    return [archive, name = std::move(name)] { return readEmbeddedFile(name, archive); };
  };
  auto chars = Deferred<CharMap>::lazy([language, text = read(base + ".chr.txt.gz")] {
    countBuild(language, Table::Chars);
    return parseChars(text());
  });
  // The largest table: parsed straight from the inflated bytes, decoding as it goes.
  auto patterns = Deferred<Patterns>::lazy([language, archive, name = base + ".pat.txt.gz"] {
    countBuild(language, Table::Patterns);
    return parsePatterns(std::string_view(gunzip(name, findEmbeddedFile(name, archive))));
  });
  auto exceptions = Deferred<Exceptions>::lazy([language, text = read(base + ".hyp.txt.gz")] {
    countBuild(language, Table::Exceptions);
    return parseExceptions(text());
  });
  return Hyphenator(std::move(chars), std::move(patterns), std::move(exceptions),
                    languageLeftMin(language), languageRightMin(language));
}

namespace {

// One function-local static per language: each is created on its first use,
// under the language's own once-only guard, and deliberately never destroyed
// so that no use during static destruction can find it gone.
template <Language L>
const Hyphenator& shared() {
  static const Hyphenator* const hyphenator = [] {
    creations[fromEnum(L)].fetch_add(1, std::memory_order_relaxed);
    return new Hyphenator(hyph::loadHyphenator(L));
  }();
  return *hyphenator;
}

template <std::size_t... I>
constexpr auto sharedTable(std::index_sequence<I...>) {
  return std::array<const Hyphenator& (*)(), sizeof...(I)>{&shared<static_cast<Language>(I)>...};
}

constexpr auto kShared = sharedTable(std::make_index_sequence<languageCount>());

}  // namespace
}  // namespace detail

Hyphenator loadHyphenator(Language language) {
  return detail::loadHyphenator(language, detail::embeddedFiles());
}

const Hyphenator& languageHyphenator(Language language) {
  return detail::kShared[static_cast<std::size_t>(fromEnum(language))]();
}

const Hyphenator& afrikaans() { return detail::shared<Language::Afrikaans>(); }
const Hyphenator& armenian() { return detail::shared<Language::Armenian>(); }
const Hyphenator& assamese() { return detail::shared<Language::Assamese>(); }
const Hyphenator& basque() { return detail::shared<Language::Basque>(); }
const Hyphenator& bengali() { return detail::shared<Language::Bengali>(); }
const Hyphenator& bulgarian() { return detail::shared<Language::Bulgarian>(); }
const Hyphenator& catalan() { return detail::shared<Language::Catalan>(); }
const Hyphenator& chinese() { return detail::shared<Language::Chinese>(); }
const Hyphenator& coptic() { return detail::shared<Language::Coptic>(); }
const Hyphenator& croatian() { return detail::shared<Language::Croatian>(); }
const Hyphenator& czech() { return detail::shared<Language::Czech>(); }
const Hyphenator& danish() { return detail::shared<Language::Danish>(); }
const Hyphenator& dutch() { return detail::shared<Language::Dutch>(); }
const Hyphenator& english_US() { return detail::shared<Language::English_US>(); }
const Hyphenator& english_GB() { return detail::shared<Language::English_GB>(); }
const Hyphenator& esperanto() { return detail::shared<Language::Esperanto>(); }
const Hyphenator& estonian() { return detail::shared<Language::Estonian>(); }
const Hyphenator& ethiopic() { return detail::shared<Language::Ethiopic>(); }
const Hyphenator& finnish() { return detail::shared<Language::Finnish>(); }
const Hyphenator& french() { return detail::shared<Language::French>(); }
const Hyphenator& friulan() { return detail::shared<Language::Friulan>(); }
const Hyphenator& galician() { return detail::shared<Language::Galician>(); }
const Hyphenator& georgian() { return detail::shared<Language::Georgian>(); }
const Hyphenator& german_1901() { return detail::shared<Language::German_1901>(); }
const Hyphenator& german_1996() { return detail::shared<Language::German_1996>(); }
const Hyphenator& german_Swiss() { return detail::shared<Language::German_Swiss>(); }
const Hyphenator& greek_Ancient() { return detail::shared<Language::Greek_Ancient>(); }
const Hyphenator& greek_Mono() { return detail::shared<Language::Greek_Mono>(); }
const Hyphenator& greek_Poly() { return detail::shared<Language::Greek_Poly>(); }
const Hyphenator& gujarati() { return detail::shared<Language::Gujarati>(); }
const Hyphenator& hindi() { return detail::shared<Language::Hindi>(); }
const Hyphenator& hungarian() { return detail::shared<Language::Hungarian>(); }
const Hyphenator& icelandic() { return detail::shared<Language::Icelandic>(); }
const Hyphenator& indonesian() { return detail::shared<Language::Indonesian>(); }
const Hyphenator& interlingua() { return detail::shared<Language::Interlingua>(); }
const Hyphenator& irish() { return detail::shared<Language::Irish>(); }
const Hyphenator& italian() { return detail::shared<Language::Italian>(); }
const Hyphenator& kannada() { return detail::shared<Language::Kannada>(); }
const Hyphenator& kurmanji() { return detail::shared<Language::Kurmanji>(); }
const Hyphenator& latin() { return detail::shared<Language::Latin>(); }
const Hyphenator& latin_Classic() { return detail::shared<Language::Latin_Classic>(); }
const Hyphenator& latvian() { return detail::shared<Language::Latvian>(); }
const Hyphenator& lithuanian() { return detail::shared<Language::Lithuanian>(); }
const Hyphenator& malayalam() { return detail::shared<Language::Malayalam>(); }
const Hyphenator& marathi() { return detail::shared<Language::Marathi>(); }
const Hyphenator& mongolian() { return detail::shared<Language::Mongolian>(); }
const Hyphenator& norwegian_Bokmal() { return detail::shared<Language::Norwegian_Bokmal>(); }
const Hyphenator& norwegian_Nynorsk() { return detail::shared<Language::Norwegian_Nynorsk>(); }
const Hyphenator& occitan() { return detail::shared<Language::Occitan>(); }
const Hyphenator& oriya() { return detail::shared<Language::Oriya>(); }
const Hyphenator& panjabi() { return detail::shared<Language::Panjabi>(); }
const Hyphenator& piedmontese() { return detail::shared<Language::Piedmontese>(); }
const Hyphenator& polish() { return detail::shared<Language::Polish>(); }
const Hyphenator& portuguese() { return detail::shared<Language::Portuguese>(); }
const Hyphenator& romanian() { return detail::shared<Language::Romanian>(); }
const Hyphenator& romansh() { return detail::shared<Language::Romansh>(); }
const Hyphenator& russian() { return detail::shared<Language::Russian>(); }
const Hyphenator& sanskrit() { return detail::shared<Language::Sanskrit>(); }
const Hyphenator& serbian_Cyrillic() { return detail::shared<Language::Serbian_Cyrillic>(); }
const Hyphenator& serbocroatian_Cyrillic() {
  return detail::shared<Language::Serbocroatian_Cyrillic>();
}
const Hyphenator& serbocroatian_Latin() { return detail::shared<Language::Serbocroatian_Latin>(); }
const Hyphenator& slovak() { return detail::shared<Language::Slovak>(); }
const Hyphenator& slovenian() { return detail::shared<Language::Slovenian>(); }
const Hyphenator& spanish() { return detail::shared<Language::Spanish>(); }
const Hyphenator& swedish() { return detail::shared<Language::Swedish>(); }
const Hyphenator& tamil() { return detail::shared<Language::Tamil>(); }
const Hyphenator& telugu() { return detail::shared<Language::Telugu>(); }
const Hyphenator& thai() { return detail::shared<Language::Thai>(); }
const Hyphenator& turkish() { return detail::shared<Language::Turkish>(); }
const Hyphenator& turkmen() { return detail::shared<Language::Turkmen>(); }
const Hyphenator& ukrainian() { return detail::shared<Language::Ukrainian>(); }
const Hyphenator& uppersorbian() { return detail::shared<Language::Uppersorbian>(); }
const Hyphenator& welsh() { return detail::shared<Language::Welsh>(); }

}  // namespace hyph
