#include "html.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>

namespace hyph::text {

namespace {

#include "html_entities.inc"

constexpr std::size_t kNamed = std::size(kCodePointBytes) / 3;

char32_t codePoint(std::size_t k) {
  return kCodePointBytes[k] | char32_t{kCodePointBytes[kNamed + k]} << 8 |
         char32_t{kCodePointBytes[2 * kNamed + k]} << 16;
}

/// The length of Names' text, whose starts are 16 bits.
constexpr std::size_t namesLength() {
  std::size_t length = 0;
  const char* at = kNames;
  for (std::size_t k = 0; k < kNamed; ++k) {
    length += static_cast<unsigned char>(*at++);  // shared with the name before
    while (*at++ != ';') ++length;
    ++length;
  }
  return length;
}
static_assert(namesLength() < 0xFFFF);

/// The names in one string, each ended by ';', and where each starts (and
/// last where they end): made once of kNames, whose names give only what
/// they do not share with the one before.
struct Names {
  std::string text;
  std::array<std::uint16_t, kNamed + 1> starts{};

  static const Names& get() {
    static const Names names = [] {
      Names made;
      made.text.reserve(namesLength());  // so that a name's beginning is copied from where it stays
      const char* at = kNames;
      for (std::size_t k = 0; k < kNamed; ++k) {
        const std::size_t shared = static_cast<unsigned char>(*at++);
        const std::size_t previous = k == 0 ? 0 : made.starts[k - 1];
        made.starts[k] = static_cast<std::uint16_t>(made.text.size());
        made.text.append(made.text, previous, shared);
        while (*at != ';') made.text += *at++;
        made.text += *at++;
      }
      made.starts[kNamed] = static_cast<std::uint16_t>(made.text.size());
      return made;
    }();
    return names;
  }
};

bool isAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The longest name of the table, with "&", "#x" and ";": no reference is
// longer.
constexpr std::size_t kLongest = 40;

}  // namespace

Reference referenceAt(std::string_view text, bool final) {
  using Status = Reference::Status;
  std::size_t end = 1;
  const bool numeric = text.size() > 1 && text[1] == '#';
  if (numeric) {
    end = 2;
    if (text.size() > 2 && (text[2] == 'x' || text[2] == 'X')) end = 3;
  }
  const std::size_t nameStart = end;
  while (end < text.size() && end < kLongest && isAlnum(text[end])) ++end;
  if (end == text.size() && !final && end < kLongest) return {Status::Incomplete, 0, 0};
  const std::string_view name = text.substr(nameStart, end - nameStart);
  if (end == text.size() || text[end] != ';' || name.empty()) return {Status::Malformed, end, 0};
  const std::size_t length = end + 1;
  if (!numeric) {
    const Names& names = Names::get();
    auto nameAt = [&](std::size_t k) {
      return std::string_view(names.text)
          .substr(names.starts[k], names.starts[k + 1] - names.starts[k] - 1u);
    };
    std::size_t low = 0, high = kNamed;  // the first name not below `name`, in [low, high]
    while (low < high) {
      const std::size_t middle = low + (high - low) / 2;
      if (nameAt(middle) < name)
        low = middle + 1;
      else
        high = middle;
    }
    if (low == kNamed || nameAt(low) != name) return {Status::Malformed, length, 0};
    return {Status::Character, length, codePoint(low)};
  }
  const bool hex = nameStart == 3;
  char32_t value = 0;
  for (char c : name) {
    const int digit = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : 99;
    if (digit >= (hex ? 16 : 10) || value > 0x10FFFF) return {Status::Malformed, length, 0};
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
    return {Status::Malformed, length, 0};
  return {Status::Character, length, value};
}

Element elementOf(std::string_view name) {
  // By length first: most tags are none of these, and are told at once.
  auto any = [name](std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  switch (name.size()) {
    case 2:
      if (any({"br", "hr"})) return Element::Void;
      if (name == "tt") return Element::Unhyphenated;
      break;
    case 3:
      if (any({"col", "img", "wbr"})) return Element::Void;
      if (any({"pre", "kbd", "var", "svg"})) return Element::Unhyphenated;
      break;
    case 4:
      if (any({"area", "base", "link", "meta"})) return Element::Void;
      if (any({"code", "samp", "math"})) return Element::Unhyphenated;
      break;
    case 5:
      if (any({"embed", "input", "param", "track"})) return Element::Void;
      if (any({"style", "title"})) return Element::Raw;
      break;
    case 6:
      if (any({"source", "keygen"})) return Element::Void;
      if (name == "script") return Element::Raw;
      break;
    case 8:
      if (name == "textarea") return Element::Raw;
      break;
  }
  return Element::Normal;
}

}  // namespace hyph::text
