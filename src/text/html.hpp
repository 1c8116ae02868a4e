// What the text layer knows of HTML: character references and the elements
// whose content is not hyphenated.
#pragma once

#include <cstddef>
#include <string_view>

namespace hyph::text {

/// A character reference at the start of a text: "&amp;", "&#173;", "&#xAD;".
struct Reference {
  enum class Status {
    Character,  // a reference to codePoint
    Malformed,  // an unknown name, no ";", a number out of range: copied as written
    Incomplete  // the text ends before the reference can be told
  };
  Status status;
  std::size_t length;  // its bytes; for a malformed one, "&" and the name after it
  char32_t codePoint;
};

/// The reference that starts `text` (whose first byte is "&"). `final`:
/// the text is all there is, so nothing is Incomplete.
Reference referenceAt(std::string_view text, bool final);

enum class Element {
  Normal,
  Void,          // never has content or an end tag: br, img, meta, ...
  Raw,           // content is not markup, up to its end tag: script, style, textarea, title
  Unhyphenated,  // content is copied unhyphenated: pre, code, kbd, samp, tt, var, math, svg
};

/// The kind of the element of a lower-case tag name.
Element elementOf(std::string_view name);

}  // namespace hyph::text
