// Reading a user's pattern, exception and character files, plain or TeX,
// with every mistake refused at its line.
#include "hyph/reader.hpp"

#include <string>
#include <unordered_set>
#include <vector>

#include "archive.hpp"
#include "engine/hyphenator_access.hpp"
#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace hyph {

namespace {

[[noreturn]] void refuse(std::string_view file, std::size_t line, const std::string& what) {
  throw Error(std::string(file) + ":" + std::to_string(line) + ": " + what);
}

/// A file's text: decompressed when it is gzip, and checked to be UTF-8
/// without NUL bytes, within the size limit.
class FileText {
 public:
  explicit FileText(const UserFile& file) : text_(file.bytes) {
    const auto* head = reinterpret_cast<const unsigned char*>(file.bytes.data());
    if (file.bytes.size() >= 2 && head[0] == 0x1F && head[1] == 0x8B) {
      inflated_ = detail::gunzip(file.name, file.bytes, detail::Members::Many, maxUserFileBytes);
      text_ = inflated_;
    } else if (file.bytes.size() > maxUserFileBytes) {
      throw Error(std::string(file.name) + ": larger than the limit of " +
                  std::to_string(maxUserFileBytes >> 20) + " MiB");
    }
    // A byte-order mark, which editors on Windows write, is no letter of the
    // first entry.
    if (text_.starts_with("\xEF\xBB\xBF")) text_.remove_prefix(3);
    const auto* p = reinterpret_cast<const unsigned char*>(text_.data());
    std::size_t line = 1;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      if (p[i] == '\n') {
        ++line;
      } else if (p[i] == 0) {
        refuse(file.name, line, "a NUL byte: not a text file");
      } else if (p[i] >= 0x80) {
        const detail::Decoded d = detail::decodeOne(p + i, text_.size() - i);
        if (d.length == 1) refuse(file.name, line, "not UTF-8 text");
        i += d.length - 1;
      }
    }
  }
  std::string_view text() const { return text_; }

 private:
  std::string inflated_;
  std::string_view text_;
};

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}
bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isControl(char32_t c) { return c < 0x20 || c == 0x7F; }

enum class Group { Patterns, Exceptions };

/// Calls onWord(word, line, group) for each pattern or exception word of a
/// text, in whichever format it is written; a plain text's words all belong
/// to `plain`.
template <class OnWord>
void scanWords(std::string_view text, std::string_view file, Group plain, OnWord onWord) {
  // A backslash outside a comment makes it TeX.
  bool tex = false;
  for (std::size_t at = 0; at < text.size() && !tex; ++at) {
    if (text[at] == '%')
      at = std::min(text.find('\n', at), text.size());
    else
      tex = text[at] == '\\';
  }
  std::size_t i = 0;
  std::size_t line = 1;
  const std::size_t n = text.size();
  // Skips white space and comments, counting lines.
  auto skipBlank = [&] {
    while (i < n) {
      if (text[i] == '%') {
        i = std::min(text.find('\n', i), n);
      } else if (isSpace(text[i])) {
        line += text[i] == '\n';
        ++i;
      } else {
        break;
      }
    }
  };
  auto word = [&] {
    const std::size_t start = i;
    while (i < n && !isSpace(text[i]) && text[i] != '%' &&
           (!tex || (text[i] != '{' && text[i] != '}' && text[i] != '\\')))
      ++i;
    return text.substr(start, i - start);
  };
  if (!tex) {
    while (true) {
      skipBlank();
      if (i == n) return;
      onWord(word(), line, plain);
    }
    return;
  }
  while (true) {
    skipBlank();
    if (i == n) return;
    if (text[i] == '{' || text[i] == '}')
      refuse(file, line,
             std::string("'") + text[i] + "' outside \\patterns{...} and \\hyphenation{...}");
    if (text[i] != '\\')
      refuse(file, line,
             "text outside \\patterns{...} and \\hyphenation{...}: '" + std::string(word()) + "'");
    const std::size_t nameStart = ++i;
    while (i < n && isAsciiLetter(text[i])) ++i;
    if (i == nameStart && i < n) ++i;  // a command of one other character
    const std::string command(text.substr(nameStart, i - nameStart));
    if (command == "endinput") return;
    if (command == "begingroup" || command == "endgroup" || command == "relax") continue;
    if (command == "input")
      refuse(file, line, "\\input is not supported: give the file that it reads instead");
    if (command != "patterns" && command != "hyphenation" && command != "message")
      refuse(file, line, "unknown TeX command \\" + command);
    const std::size_t opened = line;
    skipBlank();
    if (i == n || text[i] != '{') refuse(file, line, "'{' expected after \\" + command);
    ++i;
    if (command == "message") {
      // Skipped, with any groups inside.
      for (int depth = 1; depth > 0; ++i) {
        if (i == n) refuse(file, opened, "\\message{ is not closed");
        line += text[i] == '\n';
        depth += text[i] == '{' ? 1 : text[i] == '}' ? -1 : 0;
      }
      continue;
    }
    const Group group = command == "patterns" ? Group::Patterns : Group::Exceptions;
    while (true) {
      skipBlank();
      if (i == n) refuse(file, opened, "\\" + command + "{ is not closed");
      if (text[i] == '}') break;
      if (text[i] == '{' || text[i] == '\\')
        refuse(file, line,
               std::string(text[i] == '{' ? "'{'" : "a TeX command") + " inside \\" + command +
                   "{...}");
      onWord(word(), line, group);
    }
    ++i;
  }
}

/// Checks a pattern and writes it, its letters mapped, to `out` as a line.
template <class Map>
void addPattern(std::string_view pattern, std::string_view file, std::size_t line, const Map& map,
                std::string& out) {
  const std::u32string codes = detail::decodeUtf8(pattern);
  auto quoted = [pattern] { return "'" + std::string(pattern) + "'"; };
  std::size_t letters = 0, dots = 0;
  bool afterDigit = false;
  for (std::size_t k = 0; k < codes.size(); ++k) {
    const char32_t c = codes[k];
    const bool digit = c >= U'0' && c <= U'9';
    if (digit && afterDigit) refuse(file, line, "two digits in a row in " + quoted());
    afterDigit = digit;
    if (digit) {
      out += static_cast<char>(c);
      continue;
    }
    if (isControl(c)) refuse(file, line, "a control character in " + quoted());
    if (c == U'.') {
      // Only the first and the last letter may be the word's boundary.
      const bool last = codes.find_first_not_of(U"0123456789", k + 1) == std::u32string::npos;
      if (letters != 0 && !last) refuse(file, line, "'.' inside the pattern " + quoted());
      ++dots;
    }
    ++letters;
    detail::appendUtf8(out, c == U'.' ? c : map(c));
  }
  if (letters == dots) refuse(file, line, "no letters in the pattern " + quoted());
  out += '\n';
}

/// Checks an exception word and writes it, its letters mapped, to `out`.
template <class Map>
void addException(std::string_view word, std::string_view file, std::size_t line, const Map& map,
                  std::u32string& out) {
  auto quoted = [word] { return "'" + std::string(word) + "'"; };
  bool letters = false;
  char32_t previous = 0;
  for (char32_t c : detail::decodeUtf8(word)) {
    if (c >= U'0' && c <= U'9') refuse(file, line, "a digit in the exception word " + quoted());
    if (c == U'.') refuse(file, line, "'.' in the exception word " + quoted());
    if (isControl(c)) refuse(file, line, "a control character in " + quoted());
    if (c == U'-' && previous == U'-') refuse(file, line, "two hyphens in a row in " + quoted());
    letters = letters || c != U'-';
    out += c == U'-' ? c : map(c);
    previous = c;
  }
  if (!letters) refuse(file, line, "no letters in the exception word " + quoted());
  out += U'\n';
}

struct ReadTables {
  std::string patterns;  // normalised pattern lines, UTF-8
  std::u32string exceptions;
  bool anyPattern = false;
  bool anyException = false;
};

template <class Map>
ReadTables readWords(const UserFile& file, Group plain, const Map& map) {
  const FileText text(file);
  ReadTables out;
  scanWords(text.text(), file.name, plain,
            [&](std::string_view word, std::size_t line, Group group) {
              if (group == Group::Patterns) {
                if (plain == Group::Exceptions)
                  refuse(file.name, line, "\\patterns in an exception file");
                addPattern(word, file.name, line, map, out.patterns);
                out.anyPattern = true;
              } else {
                addException(word, file.name, line, map, out.exceptions);
                out.anyException = true;
              }
            });
  return out;
}

template <class Map>
PatternFile patternsOf(const UserFile& file, const Map& map) {
  const ReadTables tables = readWords(file, Group::Patterns, map);
  if (!tables.anyPattern) throw Error(std::string(file.name) + ": no patterns");
  PatternFile out{parsePatterns(std::string_view(tables.patterns)), std::nullopt};
  if (tables.anyException) out.exceptions = parseExceptions(tables.exceptions);
  return out;
}

template <class Map>
Exceptions exceptionsOf(const UserFile& file, const Map& map) {
  return parseExceptions(readWords(file, Group::Exceptions, map).exceptions);
}

/// What a Hyphenator is made of, but for its mapping.
struct Tables {
  Deferred<Patterns> patterns;
  Deferred<Exceptions> exceptions;
  std::int64_t leftMin;
  std::int64_t rightMin;
};

/// `base` with every word of `words` in it, with the breaks `words` gives it.
Exceptions overriding(const Exceptions& base, const Exceptions& words) {
  if (base.map().empty()) return words;
  Exceptions::Map merged = base.map();
  for (const auto& [word, scores] : words.map()) merged.insert_or_assign(word, scores);
  return Exceptions(std::move(merged));
}

/// The tables and minimums of `custom` over `base`, letters mapped through
/// `map`.
template <class Map>
Tables over(Tables base, const CustomTables& custom, const Map& map) {
  std::optional<Exceptions> fromPatterns;
  if (custom.patterns) {
    PatternFile file = patternsOf(*custom.patterns, map);
    base.patterns = std::move(file.patterns);
    fromPatterns = std::move(file.exceptions);
  }
  if (custom.exceptions) {
    Exceptions listed = exceptionsOf(*custom.exceptions, map);
    base.exceptions = fromPatterns ? *fromPatterns | listed : std::move(listed);
  } else if (fromPatterns) {
    base.exceptions = std::move(*fromPatterns);
  }
  if (custom.words)
    base.exceptions = overriding(base.exceptions.get(), exceptionsOf(*custom.words, map));
  base.leftMin = custom.leftMin.value_or(base.leftMin);
  base.rightMin = custom.rightMin.value_or(base.rightMin);
  return base;
}

template <class Mapping>
Hyphenator make(Mapping mapping, Tables tables) {
  return Hyphenator(std::move(mapping), std::move(tables.patterns), std::move(tables.exceptions),
                    tables.leftMin, tables.rightMin);
}

}  // namespace

CharTable readChars(const UserFile& file) {
  const FileText text(file);
  std::u32string lines;
  std::size_t number = 0;
  for (std::string_view rest = text.text(); !rest.empty();) {
    const std::size_t end = std::min(rest.find('\n'), rest.size());
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.empty() || line.front() == '%') continue;
    for (char32_t c : detail::decodeUtf8(line)) {
      if (c == U' ' || c == U'\t' || c == U'\f' || c == U'\v' || c == U'\r' || isControl(c))
        refuse(file.name, number, "white space or a control character in a character line");
      if ((c >= U'0' && c <= U'9') || c == U'.')
        refuse(file.name, number, "a digit or '.' cannot be a letter");
      lines += c;
    }
    lines += U'\n';
  }
  return parseChars(lines);
}

PatternFile readPatterns(const UserFile& file, const CharTable& chars) {
  return patternsOf(file, chars);
}

Exceptions readExceptions(const UserFile& file, const CharTable& chars) {
  return exceptionsOf(file, chars);
}

namespace {

/// The patterns of `base`'s words: a built-in language's compiled trie, or
/// the trie of its patterns, which its words are built from on first use
/// anyway. (Never from its patterns here: a Hyphenator of words over a
/// language's tables would then carry the pattern compiler.)
detail::TriePart basePatterns(const std::shared_ptr<const HyphenatorAccess::Tables>& base) {
  return detail::TriePart::of(base->words.get());
}

detail::ExceptionsPart baseExceptions(const std::shared_ptr<const HyphenatorAccess::Tables>& base) {
  if (base->words.ready()) return detail::ExceptionsPart::of(base->words.get());
  return detail::ExceptionsPart::of(base->exceptions.get());
}

/// The exception words of `base` as a dictionary: from its compiled tables
/// where it has them (a language given its tables at run time has nothing
/// else), else its own.
Exceptions baseDictionary(const std::shared_ptr<const HyphenatorAccess::Tables>& base) {
  if (!base->words.ready()) return base->exceptions.get();
  const detail::ExceptionTableView table = base->words.get()->exceptions;
  Exceptions::Map map;
  for (std::size_t i = 0; i < table.size(); ++i) {
    const auto parities = *table.find(table.key(i));
    map.emplace(std::u32string(table.key(i)), Scores(parities.begin(), parities.end()));
  }
  return Exceptions(std::move(map));
}

/// A Hyphenator of `chars`, `patterns` and `exceptions` (the base's where
/// none are given), whose words' trie, and a dictionary's levels that go
/// with it, are `trieOf(its tables)` (built with its words on first use).
template <class TrieOf>
Hyphenator overBaseWith(const std::shared_ptr<const HyphenatorAccess::Tables>& base,
                        CharTable chars, Deferred<Patterns> patterns,
                        std::optional<Exceptions> exceptions, std::int64_t left, std::int64_t right,
                        TrieOf trieOf) {
  auto tables = std::make_shared<HyphenatorAccess::Tables>(HyphenatorAccess::Tables{
      [chars](char32_t c) { return chars(c); }, Deferred<CharTable>(chars), std::move(patterns),
      exceptions ? Deferred<Exceptions>(*exceptions) : base->exceptions});
  const HyphenatorAccess::Tables* self = tables.get();
  const bool ownExceptions = exceptions.has_value();
  tables->words = Deferred<std::shared_ptr<const detail::WordTables>>::lazy(
      [self, base, chars, ownExceptions, trieOf] {
        detail::ExceptionsPart words = ownExceptions
                                           ? detail::ExceptionsPart::of(self->exceptions.get())
                                           : baseExceptions(base);
        auto [trie, levels] = trieOf(*self);
        return detail::assembleWordTables(chars, nullptr, std::move(trie), std::move(words),
                                          std::move(levels));
      });
  return HyphenatorAccess::make(std::move(tables), left, right);
}

/// A Hyphenator of `chars` and, where given, exceptions over `base`'s
/// patterns (and a dictionary's levels, which go with them). Its trie is
/// the base's words' own: never compiled from patterns, so that words over
/// a language's tables do not bring in the pattern compiler.
Hyphenator overBasePatterns(const std::shared_ptr<const HyphenatorAccess::Tables>& base,
                            CharTable chars, std::optional<Exceptions> exceptions,
                            std::int64_t left, std::int64_t right) {
  return overBaseWith(base, std::move(chars), base->patterns, std::move(exceptions), left, right,
                      [base](const HyphenatorAccess::Tables&) {
                        return std::pair(basePatterns(base), base->words.get()->levels);
                      });
}

/// A Hyphenator of `chars` and the given tables over `base`'s: the base's
/// own (for a built-in language, its compiled tables) where none is given.
Hyphenator overBase(const std::shared_ptr<const HyphenatorAccess::Tables>& base, CharTable chars,
                    std::optional<Patterns> patterns, std::optional<Exceptions> exceptions,
                    std::int64_t left, std::int64_t right) {
  if (!patterns)
    return overBasePatterns(base, std::move(chars), std::move(exceptions), left, right);
  return overBaseWith(base, std::move(chars), Deferred<Patterns>(std::move(*patterns)),
                      std::move(exceptions), left, right, [](const HyphenatorAccess::Tables& self) {
                        return std::pair(detail::TriePart::of(self.patterns),
                                         std::shared_ptr<const detail::CompoundLevel>());
                      });
}

}  // namespace

Hyphenator customHyphenator(const Hyphenator& base, const CustomTables& custom) {
  const std::shared_ptr<const HyphenatorAccess::Tables>& own = HyphenatorAccess::tables(base);
  const std::int64_t left = custom.leftMin.value_or(hyphenatorLeftMin(base));
  const std::int64_t right = custom.rightMin.value_or(hyphenatorRightMin(base));
  if (!custom.chars && !custom.patterns && !custom.exceptions && !custom.words)
    return HyphenatorAccess::make(own, left, right);  // the very tables, other minimums
  const CharTable* baseTable = hyphenatorCharTable(base);
  if (!custom.chars && !baseTable) {
    // A mapping that is a function: the tables are read through it.
    const CharMapping& mapping = hyphenatorChars(base);
    Tables tables{hyphenatorPatterns(base), hyphenatorExceptions(base), left, right};
    return make(mapping, over(std::move(tables), custom, mapping));
  }

  // Every file is read now, so that a refused one fails here; the base's
  // tables that the files replace are never built, and those kept are the
  // base's own: for a built-in language, its compiled tables.
  CharTable chars = custom.chars ? readChars(*custom.chars) : *baseTable;
  std::optional<Patterns> patterns;
  std::optional<Exceptions> exceptions;
  if (custom.patterns) {
    PatternFile file = patternsOf(*custom.patterns, chars);
    patterns = std::move(file.patterns);
    exceptions = std::move(file.exceptions);
  }
  if (custom.exceptions) {
    Exceptions listed = exceptionsOf(*custom.exceptions, chars);
    exceptions = exceptions ? *exceptions | listed : std::move(listed);
  }
  if (custom.words) {
    const Exceptions words = exceptionsOf(*custom.words, chars);
    exceptions = overriding(exceptions ? *exceptions : baseDictionary(own), words);
  }
  return overBase(own, std::move(chars), std::move(patterns), std::move(exceptions), left, right);
}

Hyphenator withWords(const Hyphenator& base, const UserFile& words) {
  const CharTable* table = hyphenatorCharTable(base);
  if (!table) throw Error(std::string(words.name) + ": words need a Hyphenator with a character table");
  const std::shared_ptr<const HyphenatorAccess::Tables>& own = HyphenatorAccess::tables(base);
  Exceptions exceptions = overriding(baseDictionary(own), exceptionsOf(words, *table));
  return overBasePatterns(own, *table, std::move(exceptions), hyphenatorLeftMin(base),
                          hyphenatorRightMin(base));
}

Hyphenator customHyphenator(const CustomTables& custom) {
  const Tables none{Patterns(), Exceptions(), 2, 3};
  if (custom.chars) {
    CharTable chars = readChars(*custom.chars);
    Tables tables = over(none, custom, chars);
    return make(std::move(chars), std::move(tables));
  }
  // Without a character file, the letters are those of the files, each
  // mapping to itself.
  std::unordered_set<char32_t> seen;
  Tables tables = over(none, custom, [&seen](char32_t c) {
    seen.insert(c);
    return c;
  });
  const std::vector<char32_t> letters(seen.begin(), seen.end());
  return make(CharTable({}, letters), std::move(tables));
}

}  // namespace hyph
