// The exception dictionary: scoring, parsing, lookup, merge and text form.
#include "hyph/exceptions.hpp"

#include <algorithm>
#include <ostream>
#include <vector>

#include "hyph/error.hpp"
#include "show.hpp"

namespace hyph {

namespace {

std::shared_ptr<const Exceptions::Map> emptyMap() {
  static const auto empty = std::make_shared<const Exceptions::Map>();
  return empty;
}

std::u32string keyOf(std::u32string_view entry) {
  std::u32string key;
  key.reserve(entry.size());
  for (char32_t c : entry)
    if (c != U'-') key += c;
  return key;
}

void addTo(Exceptions::Map& map, std::u32string key, Scores scores) {
  auto [it, inserted] = map.try_emplace(std::move(key), scores);
  if (!inserted) it->second = zipMin(scores, it->second);
}

}  // namespace

std::size_t WordHash::operator()(std::u32string_view word) const noexcept {
  // FNV-1a over the code points.
  std::uint64_t hash = 14695981039346656037ull;
  for (char32_t c : word) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  return static_cast<std::size_t>(hash);
}

Exceptions::Exceptions() : map_(emptyMap()) {}

Exceptions::Exceptions(Map map) : map_(std::make_shared<const Map>(std::move(map))) {}

Exceptions::Exceptions(const std::unordered_map<std::u32string, Scores>& map)
    : Exceptions(Map(map.begin(), map.end())) {}

bool operator==(const Exceptions& a, const Exceptions& b) {
  return a.map_ == b.map_ || *a.map_ == *b.map_;
}

Scores scoreException(std::u32string_view entry) {
  Scores scores;
  scores.reserve(entry.size() + 1);
  std::size_t i = 0;
  while (true) {
    if (i == entry.size()) {
      scores.push_back(0);
      break;
    }
    if (entry[i] == U'-') {
      scores.push_back(1);
      if (i + 1 == entry.size()) break;
      i += 2;  // the character after a hyphen is the letter after the break
    } else {
      scores.push_back(0);
      i += 1;
    }
  }
  return scores;
}

Scores zipMin(const Scores& a, const Scores& b) {
  const std::size_t n = std::min(a.size(), b.size());
  Scores out(n);
  for (std::size_t i = 0; i < n; ++i) out[i] = std::min(a[i], b[i]);
  return out;
}

Exceptions addException(std::u32string_view entry, const Exceptions& dictionary) {
  Exceptions::Map map = dictionary.map();
  addTo(map, keyOf(entry), scoreException(entry));
  return Exceptions(std::move(map));
}

const Scores* lookupException(std::u32string_view word, const Exceptions& dictionary) {
  const auto& map = dictionary.map();
  if (map.empty()) return nullptr;
  auto it = map.find(word);
  return it == map.end() ? nullptr : &it->second;
}

Exceptions parseExceptions(std::u32string_view text) {
  // zipMin is commutative and associative, so adding the lines in file order
  // gives the same dictionary as any other order.
  Exceptions::Map map;
  detail::forEachLine(
      text, [&map](std::u32string_view line) { addTo(map, keyOf(line), scoreException(line)); });
  if (map.empty()) return Exceptions();
  return Exceptions(std::move(map));
}

Exceptions operator|(const Exceptions& a, const Exceptions& b) {
  if (b.map().empty() || a == b) return a;
  if (a.map().empty()) return b;
  Exceptions::Map map = a.map();
  for (const auto& [word, scores] : b.map()) addTo(map, word, scores);
  return Exceptions(std::move(map));
}

Exceptions mconcat(std::span<const Exceptions> dictionaries) {
  Exceptions result;
  for (std::size_t k = dictionaries.size(); k-- > 0;) result = dictionaries[k] | result;
  return result;
}

Exceptions sconcat(const Exceptions& first, std::span<const Exceptions> rest) {
  return rest.empty() ? first : first | mconcat(rest);
}

Exceptions stimes(std::int64_t count, const Exceptions& dictionary) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return dictionary;  // merge is idempotent
}

std::string showWord(std::u32string_view word) {
  static constexpr const char* kControlNames[32] = {
      "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "a",   "b",   "t",   "n",
      "v",   "f",   "r",   "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
      "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
  std::string out = "\"";
  // Set after an escape that a following character could extend: a decimal
  // escape before a digit, "\SO" before "H" (which would read as "\SOH").
  enum class Pending { None, Numeric, ShiftOut } pending = Pending::None;
  for (char32_t c : word) {
    if ((pending == Pending::Numeric && c >= U'0' && c <= U'9') ||
        (pending == Pending::ShiftOut && c == U'H'))
      out += "\\&";
    pending = Pending::None;
    if (c == U'"') {
      out += "\\\"";
    } else if (c == U'\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else if (c == 0x7F) {
      out += "\\DEL";
    } else if (c < 0x20) {
      out += '\\';
      out += kControlNames[c];
      if (c == 0x0E) pending = Pending::ShiftOut;
    } else {
      out += '\\';
      detail::appendInteger(out, static_cast<std::int64_t>(c));
      pending = Pending::Numeric;
    }
  }
  out += '"';
  return out;
}

std::string showsPrec(std::int64_t precedence, const Exceptions& dictionary,
                      std::string_view rest) {
  // Sorted by word, code point by code point, so that the text is the same
  // whatever the hash map's layout.
  std::vector<const Exceptions::Map::value_type*> entries;
  entries.reserve(dictionary.map().size());
  for (const auto& entry : dictionary.map()) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(),
            [](const auto* a, const auto* b) { return a->first < b->first; });

  std::string out;
  const bool parenthesise = precedence > 10;
  if (parenthesise) out += '(';
  out += "Exceptions (fromList [";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i != 0) out += ',';
    out += '(';
    out += showWord(entries[i]->first);
    out += ',';
    detail::appendScores(out, entries[i]->second);
    out += ')';
  }
  out += "])";
  if (parenthesise) out += ')';
  out += rest;
  return out;
}

std::string show(const Exceptions& dictionary) { return showsPrec(0, dictionary); }

std::string showList(std::span<const Exceptions> dictionaries) {
  return detail::showSequence(dictionaries,
                              [](const Exceptions& dictionary) { return show(dictionary); });
}

std::ostream& operator<<(std::ostream& out, const Exceptions& dictionary) {
  return out << show(dictionary);
}

}  // namespace hyph
