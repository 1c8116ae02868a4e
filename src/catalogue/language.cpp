// The Language enumeration: integer conversion, ranges and text form.
#include "hyph/language.hpp"

#include <ostream>

#include "engine/show.hpp"
#include "hyph/error.hpp"

namespace hyph {

namespace {
constexpr std::int64_t kLast = languageCount - 1;
}

namespace detail {
void throwOutOfRange(std::int64_t ordinal) {
  throw Error("toEnum{Language}: tag (" + std::to_string(ordinal) +
              ") is outside of enumeration's range (0," + std::to_string(kLast) + ")");
}
}  // namespace detail

Language toEnum(std::int64_t ordinal) {
  if (ordinal < 0 || ordinal > kLast) detail::throwOutOfRange(ordinal);
  return static_cast<Language>(ordinal);
}

Language succ(Language language) {
  if (fromEnum(language) == kLast)
    throw Error("succ{Language}: tried to take `succ' of last tag in enumeration");
  return static_cast<Language>(fromEnum(language) + 1);
}

Language pred(Language language) {
  if (fromEnum(language) == 0)
    throw Error("pred{Language}: tried to take `pred' of first tag in enumeration");
  return static_cast<Language>(fromEnum(language) - 1);
}

LanguageRange enumFrom(Language from) {
  return LanguageRange(fromEnum(from), 1, kLast - fromEnum(from) + 1);
}

LanguageRange enumFromTo(Language from, Language to) {
  const std::int64_t a = fromEnum(from), c = fromEnum(to);
  return LanguageRange(a, 1, c < a ? 0 : c - a + 1);
}

LanguageRange enumFromThen(Language from, Language then) {
  const std::int64_t a = fromEnum(from), b = fromEnum(then), step = b - a;
  if (step == 0) return LanguageRange(a, 0, -1);
  // Upwards bounded by the last language, downwards by the first.
  return LanguageRange(a, step, step > 0 ? (kLast - a) / step + 1 : a / -step + 1);
}

LanguageRange enumFromThenTo(Language from, Language then, Language to) {
  const std::int64_t a = fromEnum(from), b = fromEnum(then), c = fromEnum(to), step = b - a;
  if (a <= b) {
    if (c < b) return LanguageRange(a, step, c >= a ? 1 : 0);
    if (step == 0) return LanguageRange(a, 0, -1);
    return LanguageRange(a, step, (c - a) / step + 1);
  }
  if (c > b) return LanguageRange(a, step, c <= a ? 1 : 0);
  return LanguageRange(a, step, (a - c) / -step + 1);
}

std::string showsPrec(std::int64_t, Language language, std::string_view rest) {
  std::string out(languageName(language));
  out += rest;
  return out;
}

std::string show(Language language) { return std::string(languageName(language)); }

std::string showList(std::span<const Language> languages) {
  return detail::showSequence(languages, [](Language language) { return show(language); });
}

std::ostream& operator<<(std::ostream& out, Language language) {
  return out << languageName(language);
}

}  // namespace hyph
