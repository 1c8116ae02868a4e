// The Unicode data that the text layer needs, from utf8proc: combining
// marks, capitals, white space, and composing a letter with its marks.
#pragma once

#include <string_view>

namespace hyph::text {

/// A combining mark (general category Mn, Mc or Me).
bool isMark(char32_t c);
/// An upper-case or title-case letter.
bool isCapital(char32_t c);
/// White space beyond ASCII's (U+00A0, U+2000 to U+200A, U+3000, ...),
/// which ends a URL as ASCII white space does.
bool isWideSpace(char32_t c);
/// The letter that `letter` followed by `marks` composes to (NFC), or the
/// letter itself, as far as it composes: "U" with U+0308 gives "Ü".
char32_t composed(char32_t letter, std::u32string_view marks);

}  // namespace hyph::text
