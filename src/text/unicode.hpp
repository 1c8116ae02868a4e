// The Unicode data that the text layer needs, from utf8proc: letters,
// combining marks, capitals and upper case, white space, and composing a letter with its
// marks.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace hyph::text {

/// A letter of any script (general category L: Lu, Ll, Lt, Lm, Lo).
bool isUnicodeLetter(char32_t c);
/// A combining mark (general category Mn, Mc or Me).
bool isMark(char32_t c);
/// An upper-case or title-case letter.
bool isCapital(char32_t c);
/// A lower-case letter.
bool isLower(char32_t c);
/// The simple upper-case mapping of `c` (itself where it has none).
char32_t upperCase(char32_t c);
/// The simple lower-case mapping of `c` (itself where it has none).
char32_t lowerCase(char32_t c);
/// White space beyond ASCII's (U+00A0, U+2000 to U+200A, U+3000, ...),
/// which ends a URL as ASCII white space does.
bool isWideSpace(char32_t c);
/// The canonical combining class of `c` (0 for all but marks).
std::uint8_t combiningClass(char32_t c);
/// The one character that `letter` followed by one or more `marks` composes
/// to (NFC): "U" with U+0308 gives "Ü"; none where a mark is left over
/// (Cyrillic "А" with U+0300, which Unicode does not compose), and none for
/// no marks.
std::optional<char32_t> composed(char32_t letter, std::u32string_view marks);

}  // namespace hyph::text
