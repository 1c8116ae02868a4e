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

CharTable parseChars(std::u32string_view text) {
  std::vector<CharTable::Entry> entries;
  std::vector<char32_t> letters;
  detail::forEachLine(text, [&](std::u32string_view line) {
    if (line.empty()) return;
    letters.push_back(line.front());
    for (char32_t variant : line.substr(1)) entries.emplace_back(variant, line.front());
  });
  return CharTable(entries, letters);
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
  auto chars = Deferred<CharTable>::lazy([language, text = read(base + ".chr.txt.gz")] {
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

#define HYPH_SHARED_HYPHENATOR(name, function, affix, left, right) \
  const Hyphenator& function() { return detail::shared<Language::name>(); }
HYPH_LANGUAGES(HYPH_SHARED_HYPHENATOR)
#undef HYPH_SHARED_HYPHENATOR

}  // namespace hyph
