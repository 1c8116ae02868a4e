// Reading libhyphen's dictionaries into the two levels that the engine
// breaks words with, and finding the installed ones.
#include "hyph/dictionary.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <unordered_set>

#include "engine/hyphenator_access.hpp"
#include "engine/levels.hpp"
#include "engine/trie/patterns_access.hpp"
#include "engine/utf8.hpp"
#include "gzip.hpp"
#include "hyph/error.hpp"
#include "text/unicode.hpp"

namespace hyph {

namespace {

struct Charset {
  std::string_view name;
  std::array<std::uint16_t, 128> upperHalf;  // bytes 0x80 to 0xFF; 0 for none
};

constexpr Charset kCharsets[] = {
#include "charsets.inc"
};

constexpr std::size_t kMaxLine = std::size_t{64} << 10;

[[noreturn]] void refuse(std::string_view file, std::size_t line, const std::string& what) {
  throw Error(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

/// A pattern as the file gives it, with its rewriting if it is a
/// non-standard rule.
struct Rule {
  std::u32string text;  // letters and digits
  std::optional<detail::Rewrite> rewrite;
  std::size_t line = 0;
};

/// One level's settings and patterns as the file gives them.
struct Level {
  std::map<std::u32string, Rule> patterns;  // by letters; a later line wins
  std::vector<std::u32string> noHyphen;
  std::optional<std::int64_t> left, right, compoundLeft, compoundRight;
};

struct Reading {
  std::string_view file;
  bool utf8 = false;
  const Charset* charset = nullptr;
  Level levels[2];
  bool twoLevels = false;

  /// A line's code points; refuses what is no character of the charset.
  std::u32string decode(std::string_view line, std::size_t number) const {
    std::u32string out;
    out.reserve(line.size());
    const auto* p = reinterpret_cast<const unsigned char*>(line.data());
    for (std::size_t i = 0; i < line.size();) {
      if (p[i] == 0) refuse(file, number, "a NUL byte: not a hyphenation dictionary");
      if (p[i] < 0x80) {
        out += static_cast<char32_t>(p[i++]);
      } else if (utf8) {
        const detail::Decoded d = detail::decodeOne(p + i, line.size() - i);
        if (d.length == 1) refuse(file, number, "not UTF-8, which the dictionary's first line names");
        out += d.codePoint;
        i += d.length;
      } else {
        const char32_t c = charset->upperHalf[p[i] - 0x80];
        if (c == 0) {
          static constexpr char kHex[] = "0123456789ABCDEF";
          refuse(file, number,
                 std::string("byte 0x") + kHex[p[i] >> 4] + kHex[p[i] & 15] + " is no character of " +
                     std::string(charset->name));
        }
        out += c;
        ++i;
      }
    }
    return out;
  }

  /// A keyword's number: optional white space, an optional sign, digits.
  std::int64_t number(std::u32string_view rest, std::size_t line, std::string_view keyword) const {
    std::size_t at = 0;
    while (at < rest.size() && (rest[at] == U' ' || rest[at] == U'\t')) ++at;
    const bool negative = at < rest.size() && rest[at] == U'-';
    if (at < rest.size() && (rest[at] == U'-' || rest[at] == U'+')) ++at;
    std::int64_t value = 0;
    const std::size_t first = at;
    for (; at < rest.size() && rest[at] >= U'0' && rest[at] <= U'9'; ++at) {
      if (at - first == 9) refuse(file, line, std::string(keyword) + ": a number of more than 9 digits");
      value = value * 10 + (rest[at] - U'0');
    }
    if (at == first) refuse(file, line, std::string(keyword) + " needs a number");
    return negative ? -value : value;
  }

  void line(std::u32string_view text, std::size_t number, Level& level) {
    auto keyword = [&](std::u32string_view name) {
      if (!text.starts_with(name)) return false;
      text.remove_prefix(name.size());
      return true;
    };
    // The longer keywords first: each is a prefix test, as libhyphen's.
    if (keyword(U"LEFTHYPHENMIN")) {
      level.left = this->number(text, number, "LEFTHYPHENMIN");
    } else if (keyword(U"RIGHTHYPHENMIN")) {
      level.right = this->number(text, number, "RIGHTHYPHENMIN");
    } else if (keyword(U"COMPOUNDLEFTHYPHENMIN")) {
      level.compoundLeft = this->number(text, number, "COMPOUNDLEFTHYPHENMIN");
    } else if (keyword(U"COMPOUNDRIGHTHYPHENMIN")) {
      level.compoundRight = this->number(text, number, "COMPOUNDRIGHTHYPHENMIN");
    } else if (keyword(U"NOHYPHEN")) {
      while (!text.empty() && (text.front() == U' ' || text.front() == U'\t')) text.remove_prefix(1);
      while (!text.empty() && (text.back() == U' ' || text.back() == U'\t')) text.remove_suffix(1);
      for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(U',', start), text.size());
        if (end > start) level.noHyphen.emplace_back(text.substr(start, end - start));
        start = end + 1;
      }
    } else {
      rule(text, number, level);
    }
  }

  /// A pattern: the characters up to the first white space or control
  /// character, digits scoring the gaps between the others; a non-standard
  /// rule adds "/replacement,start,cut" (the replacement with "=" where the
  /// break goes, rewriting `cut` letters from letter `start`, counted from
  /// 1 after any leading ".").
  void rule(std::u32string_view text, std::size_t number, Level& level) {
    std::size_t end = 0;
    while (end < text.size() && text[end] > U' ' && text[end] != 0x7F) ++end;
    std::u32string_view token = text.substr(0, end);
    std::optional<detail::Rewrite> rewrite;
    const std::size_t slash = token.find(U'/');
    std::u32string_view replacement;
    if (slash != std::u32string_view::npos) {
      replacement = token.substr(slash + 1);
      token = token.substr(0, slash);
      rewrite.emplace();
    }
    std::u32string letters, rule;
    char32_t digit = 0;
    for (char32_t c : token) {
      if (c >= U'0' && c <= U'9') {
        digit = c;  // of two digits in a row, the last counts, as with libhyphen
        continue;
      }
      if (digit > U'0') rule += digit;
      digit = 0;
      rule += c;
      letters += c;
    }
    if (digit > U'0') rule += digit;
    if (letters.empty()) {
      if (rewrite) refuse(file, number, "a non-standard rule without letters");
      return;  // libhyphen never applies a rule without letters
    }
    if (rewrite) {
      // "replacement,start,cut": two numbers, within the letters.
      const std::size_t comma = replacement.find(U',');
      const std::size_t second = comma == std::u32string_view::npos
                                     ? std::u32string_view::npos
                                     : replacement.find(U',', comma + 1);
      if (second == std::u32string_view::npos)
        refuse(file, number, "a non-standard rule needs \"/replacement,start,cut\"");
      const std::u32string_view text = replacement.substr(0, comma);
      const std::size_t equals = text.find(U'=');
      if (equals == std::u32string_view::npos)
        refuse(file, number, "a non-standard rule's replacement needs \"=\" where the break goes");
      const std::int64_t start = this->number(replacement.substr(comma + 1, second - comma - 1),
                                              number, "a non-standard rule's start");
      const std::int64_t cut = this->number(replacement.substr(second + 1), number,
                                            "a non-standard rule's cut");
      const bool dotted = letters.front() == U'.';
      const auto available = static_cast<std::int64_t>(letters.size() - (dotted ? 1 : 0));
      if (start < 1 || start > available)
        refuse(file, number, "a non-standard rule's start lies outside its pattern");
      if (cut < 1 || start - 1 + cut > available)
        refuse(file, number, "a non-standard rule's cut lies outside its pattern");
      rewrite->before = std::u32string(text.substr(0, equals));
      rewrite->after = std::u32string(text.substr(equals + 1));
      for (char32_t c : rewrite->before) rewrite->beforeCapitals += hyph::text::upperCase(c);
      for (char32_t c : rewrite->after) rewrite->afterCapitals += hyph::text::upperCase(c);
      rewrite->start = static_cast<std::uint32_t>(start - 1 + (dotted ? 1 : 0));
      rewrite->length = static_cast<std::uint32_t>(cut);
    }
    level.patterns[letters] = Rule{std::move(rule), std::move(rewrite), number};
  }
};

/// A file's text, decompressed when it is gzip, within the size limit.
std::string_view textOf(const UserFile& file, std::string& inflated) {
  const auto* head = reinterpret_cast<const unsigned char*>(file.bytes.data());
  if (file.bytes.size() >= 2 && head[0] == 0x1F && head[1] == 0x8B) {
    inflated = detail::gunzip(file.name, file.bytes, detail::Members::Many, maxUserFileBytes);
    return inflated;
  }
  if (file.bytes.size() > maxUserFileBytes)
    throw Error(std::string(file.name) + ": larger than the limit of " +
                std::to_string(maxUserFileBytes >> 20) + " MiB");
  return file.bytes;
}

Patterns levelPatterns(const Level& level) {
  std::u32string text;
  for (const auto& [letters, rule] : level.patterns) {
    text += rule.text;
    text += U'\n';
  }
  return PatternsAccess::parse(text, detail::FlatTrie::Matching::Longest);
}

/// The non-standard rules of a level, by the node where each ends in its
/// patterns; none when it has no such rule.
std::shared_ptr<const detail::RewritingLevel> rewritingOf(const Level& level, const Patterns& patterns) {
  auto rewriting = std::make_shared<detail::RewritingLevel>();
  rewriting->patterns = patterns;
  const detail::FlatTrie* trie = PatternsAccess::flatTrie(patterns);
  for (const auto& [letters, rule] : level.patterns) {
    if (!rule.rewrite) continue;
    std::uint32_t node = 0;
    for (char32_t c : letters) node = trie->next(node, trie->symbolOf(c) - 1);
    rewriting->rules.emplace(node, *rule.rewrite);
  }
  if (rewriting->rules.empty()) return nullptr;
  return rewriting;
}

std::shared_ptr<const detail::WordTables> tablesOf(const CharTable& chars, const Patterns& patterns,
                                                   std::string_view file,
                                                   std::shared_ptr<const detail::CompoundLevel> levels) {
  detail::TriePart trie = detail::TriePart::of(Deferred<Patterns>(patterns));
  if (trie.error) std::rethrow_exception(trie.error);
  // An empty level scores nothing, looked up either way.
  if (!trie.automaton && !patterns.empty())
    throw Error(std::string(file) + ": patterns that the automaton cannot hold");
  return detail::assembleWordTables(chars, nullptr, std::move(trie),
                                    detail::ExceptionsPart::of(Exceptions()), std::move(levels));
}

}  // namespace

Hyphenator readDictionary(const UserFile& file) {
  std::string inflated;
  std::string_view text = textOf(file, inflated);
  Reading reading;
  reading.file = file.name;

  std::size_t number = 0;
  bool first = true;
  Level* level = &reading.levels[0];
  while (!text.empty() || first) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    if (line.size() > kMaxLine)
      refuse(file.name, number, "a line of more than " + std::to_string(kMaxLine >> 10) + " KiB");
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (first) {
      first = false;
      if (line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
      while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
      if (line.empty()) refuse(file.name, 1, "no encoding named: not a hyphenation dictionary");
      if (line == "UTF-8") {
        reading.utf8 = true;
        continue;
      }
      for (const Charset& charset : kCharsets)
        if (line == charset.name) reading.charset = &charset;
      if (!reading.charset) {
        const bool printable = line.size() <= 40 && std::all_of(line.begin(), line.end(), [](char c) {
                                 return c > ' ' && c < 0x7F;
                               });
        refuse(file.name, 1,
               printable ? "unknown encoding \"" + std::string(line) + "\""
                         : std::string("no encoding named: not a hyphenation dictionary"));
      }
      continue;
    }
    if (line.empty() || line.front() == '%' || line.front() == '#') continue;
    const std::u32string decoded = reading.decode(line, number);
    if (std::u32string_view(decoded).starts_with(U"NEXTLEVEL")) {
      if (reading.twoLevels) refuse(file.name, number, "a second NEXTLEVEL: a dictionary has two levels");
      reading.twoLevels = true;
      level = &reading.levels[1];
      continue;
    }
    reading.line(decoded, number, *level);
  }

  Level& top = reading.levels[0];
  Level defaults;
  Level* compound = &top;
  Level* words = &reading.levels[1];
  if (!reading.twoLevels) {
    // One level in the file: it is the word level, under libhyphen's
    // default compound level, which joins at hyphens and apostrophes.
    auto add = [&defaults](std::u32string letter) {
      defaults.patterns[letter] = Rule{U"1" + letter + U"1", std::nullopt, 0};
    };
    add(U"-");
    add(U"'");
    defaults.noHyphen = {U"'", U"-"};
    if (reading.utf8) {
      add(U"\u2013");
      add(U"\u2019");
      defaults.noHyphen = {U"'", U"\u2013", U"\u2019", U"-"};
    }
    defaults.noHyphen.insert(defaults.noHyphen.end(), top.noHyphen.begin(), top.noHyphen.end());
    compound = &defaults;
    words = &top;
  }
  if (reading.levels[0].patterns.empty() && reading.levels[1].patterns.empty())
    throw Error(std::string(file.name) + ": no pattern: not a hyphenation dictionary");

  // Case aside: each letter of the patterns is also matched in upper case.
  std::vector<CharTable::Entry> entries;
  std::vector<char32_t> letters;
  std::unordered_set<char32_t> seen;
  for (const Level* l : {compound, words})
    for (const auto& [word, rule] : l->patterns) {
      for (char32_t c : word)
        if (c != U'.' && seen.insert(c).second) letters.push_back(c);
      if (rule.rewrite && l == compound)
        refuse(file.name, rule.line, "a non-standard rule in the compound level, which hyph does not read");
    }
  // Where two letters have one upper case (Greek σ and ς), it maps to the
  // one it lower-cases to; later entries replace earlier ones.
  for (char32_t c : letters) {
    const char32_t upper = hyph::text::upperCase(c);
    if (upper != c && !seen.count(upper) && hyph::text::lowerCase(upper) != c)
      entries.emplace_back(upper, c);
  }
  for (char32_t c : letters) {
    const char32_t upper = hyph::text::upperCase(c);
    if (upper != c && !seen.count(upper) && hyph::text::lowerCase(upper) == c)
      entries.emplace_back(upper, c);
  }
  const CharTable chars(entries, letters);

  auto levels = std::make_shared<detail::CompoundLevel>();
  levels->compound = tablesOf(chars, levelPatterns(*compound), file.name, nullptr);
  levels->noHyphen = reading.twoLevels ? top.noHyphen : defaults.noHyphen;
  levels->noHyphenAsGiven = true;
  for (const std::u32string& string : levels->noHyphen)
    for (char32_t c : string)
      if (c >= U'0' && c <= U'9' ? false
                                 : chars(c) != c || std::any_of(entries.begin(), entries.end(),
                                                                [c](const CharTable::Entry& e) {
                                                                  return e.second == c;
                                                                }))
        levels->noHyphenAsGiven = false;
  levels->left = top.left.value_or(0);
  levels->right = top.right.value_or(0);
  if (reading.twoLevels) {
    levels->compoundLeft = top.compoundLeft.value_or(0);
    levels->compoundRight = top.compoundRight.value_or(0);
  } else {
    // libhyphen's defaults for its own compound level: the word's, else 3.
    auto fallback = [](std::int64_t compound, std::int64_t word) {
      return compound != 0 ? compound : word != 0 ? word : 3;
    };
    levels->compoundLeft = fallback(top.compoundLeft.value_or(0), levels->left);
    levels->compoundRight = fallback(top.compoundRight.value_or(0), levels->right);
  }
  levels->utf8 = reading.utf8;
  for (char32_t c = 0; c < 128; ++c) {
    const detail::SymbolCode code = levels->compound->fold(c);
    bool special = !levels->noHyphenAsGiven || (code != detail::kNoSymbol && code != levels->compound->boundary);
    for (const std::u32string& string : levels->noHyphen)
      special = special || (!string.empty() && string.front() == c);
    levels->asciiSpecial[c] = special;
  }
  const Patterns patterns = levelPatterns(*words);
  levels->rewriting = rewritingOf(*words, patterns);
  const std::int64_t left = levels->left > 0 ? levels->left : 2;
  const std::int64_t right = levels->right > 0 ? levels->right : 2;
  auto tables = tablesOf(chars, patterns, file.name, std::move(levels));
  return HyphenatorAccess::ofWordTables(std::move(tables), Deferred<Patterns>(patterns),
                                        Deferred<Exceptions>(Exceptions()), left, right);
}

std::vector<std::string> dictionaryDirectories() {
  std::vector<std::string> directories;
  if (const char* path = std::getenv("HYPH_DICTIONARY_PATH")) {
    const std::string_view list(path);
    for (std::size_t start = 0; start <= list.size();) {
      const std::size_t end = std::min(list.find(':', start), list.size());
      if (end > start) directories.emplace_back(list.substr(start, end - start));
      start = end + 1;
    }
  }
  for (const char* d : {"/usr/local/share/hyphen", "/usr/share/hyphen", "/usr/share/myspell/dicts"})
    directories.emplace_back(d);
  return directories;
}

std::vector<InstalledDictionary> installedDictionaries() {
  std::map<std::string, std::string> found;
  for (const std::string& directory : dictionaryDirectories()) {
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error), end;
    std::vector<std::pair<std::string, std::string>> here;
    for (; !error && it != end; it.increment(error)) {
      const std::string name = it->path().filename().string();
      if (name.size() <= 9 || !name.starts_with("hyph_") || !name.ends_with(".dic")) continue;
      std::error_code ignored;
      if (!std::filesystem::is_regular_file(it->path(), ignored)) continue;
      here.emplace_back(name.substr(5, name.size() - 9), it->path().string());
    }
    for (auto& [name, path] : here) found.emplace(std::move(name), std::move(path));
  }
  std::vector<InstalledDictionary> out;
  for (auto& [name, path] : found) out.push_back({name, path});
  return out;
}

std::optional<std::string> findDictionary(std::string_view name) {
  auto canonical = [](std::string_view s) {
    std::string out;
    for (char c : s) out += c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
  };
  const std::string wanted = canonical(name);
  if (wanted.empty()) return std::nullopt;
  const std::vector<InstalledDictionary> installed = installedDictionaries();
  for (const InstalledDictionary& d : installed)
    if (canonical(d.name) == wanted) return d.path;
  // A language alone: its own country's first (hu_HU), else the first.
  const std::string own = wanted + "_" + wanted;
  for (const InstalledDictionary& d : installed)
    if (canonical(d.name) == own) return d.path;
  for (const InstalledDictionary& d : installed)
    if (canonical(d.name).starts_with(wanted + "_")) return d.path;
  return std::nullopt;
}

}  // namespace hyph
