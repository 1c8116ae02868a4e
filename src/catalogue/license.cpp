// The licences of the languages' patterns: the embedded "lic" texts, and the
// short names that they give.
#include <string>
#include <vector>

#include "archive.hpp"
#include "catalogue/compiled_tables.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {

namespace {

std::size_t indentOf(std::string_view line) {
  return std::min(line.find_first_not_of(' '), line.size());
}

/// The value of "key: value" on a line (after a list dash), or nothing.
std::optional<std::string_view> valueOf(std::string_view line, std::string_view key) {
  line.remove_prefix(indentOf(line));
  if (line.starts_with("- ")) line.remove_prefix(2);
  if (!line.starts_with(key) || line.substr(key.size(), 1) != ":") return std::nullopt;
  line.remove_prefix(key.size() + 1);
  line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
  return line;
}

}  // namespace

bool languageBuiltIn(Language language) { return detail::holdsLanguage(language); }

std::string languageLicense(Language language) {
  if (!detail::holdsLanguage(language)) throw Error(detail::notBuiltInMessage(language));
  const std::string name = "hyph-" + std::string(languageAffix(language)) + ".lic.txt.gz";
  return detail::gunzip(name, detail::findEmbeddedFile(name, detail::embeddedFiles()));
}

std::string languageLicenseName(Language language) {
  if (!detail::holdsLanguage(language)) return "not in this build";
  // The texts are YAML: a "licence:" block holds one licence, or a list of
  // them to choose from, each with a name (and a version) or only a text.
  struct Item {
    std::string name;
    bool text = false;
    bool none = false;  // "text: [None]"
  };
  std::vector<Item> items;
  const std::string text = languageLicense(language);
  bool inBlock = false;
  std::size_t blockIndent = 0;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = std::string_view(text).substr(start, end - start);
    start = end + 1;
    if (!inBlock) {
      inBlock = line == "licence:";
      continue;
    }
    if (line.empty()) continue;
    const std::size_t indent = indentOf(line);
    if (indent == 0) break;  // the next top-level key
    if (blockIndent == 0) blockIndent = indent;
    if (items.empty() || (indent == blockIndent && line[indent] == '-')) items.emplace_back();
    Item& item = items.back();
    if (const auto name = valueOf(line, "name")) {
      item.name = *name;
      for (std::string_view suffix : {" licence", " license"})
        if (item.name.ends_with(suffix)) item.name.resize(item.name.size() - suffix.size());
    } else if (const auto version = valueOf(line, "version")) {
      item.name += '-';
      item.name += *version;
    } else if (const auto later = valueOf(line, "or_later"); later && *later == "true") {
      item.name += "+";
    } else if (const auto words = valueOf(line, "text")) {
      item.text = true;
      item.none = *words == "[None]";
    }
  }
  std::string out;
  bool none = false;
  for (const Item& item : items) {
    none = none || item.none;
    const std::string name = !item.name.empty()        ? item.name
                             : item.text && !item.none ? "custom"
                                                       : "";
    if (name.empty()) continue;
    if (!out.empty()) out += " or ";
    out += name;
  }
  return !out.empty() ? out : none ? "none stated" : "unknown";
}

}  // namespace hyph
