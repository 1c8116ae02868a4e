// Finding a language by the names people use: an affix, an enumerator name,
// or a BCP 47 language tag; and suggesting languages for a name that is none.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "engine/first_use.hpp"
#include "hyph/language.hpp"

namespace hyph {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool allAlpha(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), isAlpha); }
bool allDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}

/// Lower case, "_" read as "-"; a POSIX locale's codeset and modifier
/// ("de_DE.UTF-8", "ca_ES@valencia") dropped.
std::string normalised(std::string_view name) {
  name = name.substr(0, std::min(name.find('.'), name.find('@')));
  std::string out;
  out.reserve(name.size());
  for (char c : name) out += c == '_' ? '-' : lowerAscii(c);
  return out;
}

/// An enumerator's name as normalised() writes it: "english-us".
std::string normalisedName(Language language) { return normalised(languageName(language)); }

/// The parts of a BCP 47 tag that choose among hyph's languages.
struct Tag {
  std::string_view language;               // "en"
  std::string_view script;                 // "latn", or empty
  std::string_view region;                 // "gb", "419", or empty
  std::vector<std::string_view> variants;  // "1901", "polyton"
  bool hasVariant(std::string_view v) const {
    return std::find(variants.begin(), variants.end(), v) != variants.end();
  }
};

/// Splits a normalised tag; nothing when it is not one (RFC 5646: language,
/// then optional script, region and variants; extensions and private use
/// after a single-letter subtag are not read).
std::optional<Tag> parseTag(std::string_view tag) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = std::min(tag.find('-', start), tag.size());
    parts.push_back(tag.substr(start, end - start));
    if (end == tag.size()) break;
    start = end + 1;
  }
  Tag out;
  std::size_t i = 0;
  if (parts[i].size() < 2 || parts[i].size() > 8 || !allAlpha(parts[i])) return std::nullopt;
  out.language = parts[i++];
  // Extended language subtags ("zh-yue") name the language themselves.
  while (i < parts.size() && parts[i].size() == 3 && allAlpha(parts[i]) && i < 4) ++i;
  if (i < parts.size() && parts[i].size() == 4 && allAlpha(parts[i])) out.script = parts[i++];
  if (i < parts.size() && ((parts[i].size() == 2 && allAlpha(parts[i])) ||
                           (parts[i].size() == 3 && allDigits(parts[i]))))
    out.region = parts[i++];
  for (; i < parts.size(); ++i) {
    const std::string_view part = parts[i];
    if (part.size() == 1) break;  // an extension or private use
    const bool variant =
        (part.size() >= 5 && part.size() <= 8) || (part.size() == 4 && isDigit(part[0]));
    if (!variant) return std::nullopt;
    out.variants.push_back(part);
  }
  for (std::string_view part : parts)
    if (part.empty() || part.size() > 8) return std::nullopt;
  return out;
}

/// The language that a tag's language subtag (with its script, region and
/// variants) selects, by the choices that the affixes alone do not make.
std::optional<Language> chosen(const Tag& tag) {
  using L = Language;
  const std::string_view lang = tag.language, script = tag.script, region = tag.region;
  if (lang == "en") {
    constexpr std::array<std::string_view, 6> british = {"gb", "ie", "au", "nz", "za", "in"};
    return std::find(british.begin(), british.end(), region) != british.end() ? L::English_GB
                                                                              : L::English_US;
  }
  if (lang == "de") {
    if (region == "ch" || region == "li") return L::German_Swiss;
    return tag.hasVariant("1901") ? L::German_1901 : L::German_1996;
  }
  if (lang == "el") return tag.hasVariant("polyton") ? L::Greek_Poly : L::Greek_Mono;
  if (lang == "grc") return L::Greek_Ancient;
  if (lang == "sr") return script == "latn" ? L::Serbocroatian_Latin : L::Serbian_Cyrillic;
  if (lang == "sh" || lang == "bs")
    return script == "cyrl" ? L::Serbocroatian_Cyrillic : L::Serbocroatian_Latin;
  if (lang == "no" || lang == "nb") return L::Norwegian_Bokmal;
  if (lang == "nn") return L::Norwegian_Nynorsk;
  // The patterns of these are in one script: a tag in another has none.
  if (lang == "mn")
    return script.empty() || script == "cyrl" ? std::optional(L::Mongolian) : std::nullopt;
  if (lang == "zh") return script == "latn" ? std::optional(L::Chinese) : std::nullopt;
  if (lang == "ku" || lang == "kmr")
    return script.empty() || script == "latn" ? std::optional(L::Kurmanji) : std::nullopt;
  if (lang == "am" || lang == "ti" || lang == "gez") return L::Ethiopic;
  if (lang == "mul") return script == "ethi" ? std::optional(L::Ethiopic) : std::nullopt;
  if (lang == "la") return L::Latin;
  // Every other language with one entry: the one whose affix starts with it.
  for (Language language : enumFrom(firstLanguage)) {
    const std::string_view affix = languageAffix(language);
    if (affix.substr(0, affix.find('-')) == lang) return language;
  }
  return std::nullopt;
}

/// Edits (insertions, deletions, substitutions and swaps of two neighbours)
/// from one text to the other.
std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
  for (std::size_t i = 0; i <= a.size(); ++i) d[i][0] = i;
  for (std::size_t j = 0; j <= b.size(); ++j) d[0][j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i)
    for (std::size_t j = 1; j <= b.size(); ++j) {
      d[i][j] =
          std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[a.size()][b.size()];
}

}  // namespace

HYPH_FIRST_USE std::optional<Language> findLanguage(std::string_view name) {
  const std::string wanted = normalised(name);
  if (wanted.empty()) return std::nullopt;
  for (Language language : enumFrom(firstLanguage))
    if (languageAffix(language) == wanted || normalisedName(language) == wanted) return language;
  const std::optional<Tag> tag = parseTag(wanted);
  return tag ? chosen(*tag) : std::nullopt;
}

std::vector<Language> languagesLike(std::string_view name) {
  // A name more than twice as long as the longest there is (22 letters)
  // is no slip of the fingers: there are no suggestions to look for, which
  // keeps the cost of any name small.
  constexpr std::size_t kLongestPlausible = 44;
  if (name.size() > kLongestPlausible) return {};
  const std::string wanted = normalised(name);
  if (wanted.size() < 2) return {};
  // How close each language comes: 0 for a name that starts with what was
  // typed, else the edit distance to the nearest of its name, the name's
  // first word and its affix, which counts only for a typing slip in a word
  // long enough to tell (two letters in ten).
  const std::size_t slips = wanted.size() >= 4 ? std::max<std::size_t>(1, wanted.size() / 5) : 0;
  struct Candidate {
    std::size_t distance;
    bool preferred;  // the language that the tag of its affix's language gives
    Language language;
  };
  std::vector<Candidate> close;
  for (Language language : enumFrom(firstLanguage)) {
    const std::string full = normalisedName(language);
    const std::string stem = full.substr(0, full.find('-'));  // "english" of "english-us"
    const std::string_view affix = languageAffix(language);
    std::size_t distance = std::min(
        {editDistance(wanted, full), editDistance(wanted, stem), editDistance(wanted, affix)});
    if (wanted.size() >= 3 && (full.starts_with(wanted) || affix.starts_with(wanted))) distance = 0;
    if (distance > slips) continue;
    const bool preferred = findLanguage(affix.substr(0, affix.find('-'))) == language;
    close.push_back({distance, preferred, language});
  }
  // Closest first, then the preferred, else in the languages' order: an
  // insertion sort, stable, of a few candidates (std::stable_sort would
  // take 4 KB of the WebAssembly module).
  auto before = [](const Candidate& a, const Candidate& b) {
    return a.distance != b.distance ? a.distance < b.distance : a.preferred > b.preferred;
  };
  for (std::size_t i = 1; i < close.size(); ++i)
    for (std::size_t j = i; j > 0 && before(close[j], close[j - 1]); --j)
      std::swap(close[j], close[j - 1]);
  std::vector<Language> out;
  for (std::size_t i = 0; i < close.size() && i < 3; ++i) out.push_back(close[i].language);
  return out;
}

std::string unknownLanguageMessage(std::string_view name) {
  std::string message = "unknown language '" + std::string(name) + "'";
  const std::vector<Language> close = languagesLike(name);
  for (std::size_t i = 0; i < close.size(); ++i) {
    message += i == 0 ? "; did you mean " : ", ";
    message += languageName(close[i]);
  }
  if (!close.empty()) message += '?';
  return message;
}

}  // namespace hyph
