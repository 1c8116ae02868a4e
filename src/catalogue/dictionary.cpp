// Reading libhyphen's dictionaries into the two levels that the engine
// breaks words with, and finding the installed ones.
#include "hyph/dictionary.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
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

/// One level's settings and patterns as the file gives them.
struct Level {
  std::map<std::u32string, std::u32string> patterns;  // letters -> the rule; a later line wins
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
    for (; at < rest.size() && rest[at] >= U'0' && rest[at] <= U'9' && at - first < 9; ++at)
      value = value * 10 + (rest[at] - U'0');
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
  /// character, digits scoring the gaps between the others.
  void rule(std::u32string_view text, std::size_t number, Level& level) {
    std::size_t end = 0;
    while (end < text.size() && text[end] > U' ' && text[end] != 0x7F) ++end;
    const std::u32string_view token = text.substr(0, end);
    if (token.find(U'/') != std::u32string_view::npos)
      refuse(file, number, "a non-standard rule (with '/'), which hyph does not read yet");
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
    if (letters.empty()) return;  // libhyphen never applies a rule without letters
    level.patterns[letters] = std::move(rule);
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
    text += rule;
    text += U'\n';
  }
  return PatternsAccess::parse(text, detail::FlatTrie::Matching::Longest);
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
    defaults.patterns = {{U"-", U"1-1"}, {U"'", U"1'1"}};
    defaults.noHyphen = {U"'", U"-"};
    if (reading.utf8) {
      defaults.patterns.insert({{U"\u2013", U"1\u20131"}, {U"\u2019", U"1\u20191"}});
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
    for (const auto& [word, rule] : l->patterns)
      for (char32_t c : word)
        if (c != U'.' && seen.insert(c).second) letters.push_back(c);
  for (char32_t c : letters) {
    const char32_t upper = hyph::text::upperCase(c);
    if (upper != c && !seen.count(upper)) entries.emplace_back(upper, c);
  }
  const CharTable chars(entries, letters);

  auto levels = std::make_shared<detail::CompoundLevel>();
  levels->compound = tablesOf(chars, levelPatterns(*compound), file.name, nullptr);
  levels->noHyphen = reading.twoLevels ? top.noHyphen : defaults.noHyphen;
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
  const Patterns patterns = levelPatterns(*words);
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
