// What the parts of the text layer share while they read the pending input:
// the pass over it, and the language of the text being read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "words.hpp"

namespace hyph::text {

inline constexpr std::size_t kNoPosition = ~std::size_t{0};

inline bool isSpace(unsigned char b) { return b == ' ' || (b >= '\t' && b <= '\r'); }
inline bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
inline char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

/// One pass over the pending input: its bytes, where the reading stands,
/// and, once a part needs input that has not come yet, where that starts.
struct Pass {
  std::string_view buffer;
  bool final = false;  // the input ends with the buffer
  std::size_t i = 0;
  std::size_t keep = kNoPosition;

  const unsigned char* bytes() const {
    return reinterpret_cast<const unsigned char*>(buffer.data());
  }
  bool stopped() const { return keep != kNoPosition; }
  /// Stops the pass where undecided input starts, to resume there.
  void needMore(std::size_t from) {
    keep = from;
    i = from;
  }
};

/// Classes of ASCII bytes in text, so that a byte takes one branch.
enum : std::uint8_t { kOther, kLetter, kSpace, kMarkup, kColon, kAt };

/// A language in which text is hyphenated: its words' language, and the
/// class of each code point below U+0080 in its text.
struct Context {
  WordLanguage words;
  std::uint8_t ascii[128] = {};

  /// Fills the classes of ASCII, from the letters; "<" and "&" are markup
  /// in HTML.
  void classify(bool html) {
    for (char32_t c = 0; c < 128; ++c)
      ascii[c] = words.isLetter(c)                           ? kLetter
                 : isSpace(static_cast<unsigned char>(c))    ? kSpace
                 : html && (c == U'<' || c == U'&')          ? kMarkup
                 : c == U':'                                 ? kColon
                 : c == U'@'                                 ? kAt
                                                             : kOther;
  }
};

/// Which context an element's text is in: the Hyphenator given, a language
/// of the library's (its index), or none that hyph has.
inline constexpr std::int16_t kOwnContext = 0;
inline constexpr std::int16_t kNoContext = -1;

}  // namespace hyph::text
