// UTF-8 encoding and the library's lenient decoding.
//
// Decoding never fails: a byte that does not start a well-formed sequence
// (a stray continuation byte, a truncated or overlong sequence, a surrogate or
// a value past U+10FFFF) becomes the code point of its own value, and
// decoding resumes at the next byte. So 0xE9 alone decodes to U+00E9.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace hyph::detail {

/// Length of the well-formed sequence at the start of `bytes` (1 to 4) and
/// its code point, or length 1 and the byte's own value.
struct Decoded {
  char32_t codePoint;
  std::size_t length;
};

inline Decoded decodeOne(const unsigned char* p, std::size_t available) {
  const unsigned char b0 = p[0];
  if (b0 < 0x80) return {b0, 1};
  auto continuation = [&](std::size_t k) { return k < available && (p[k] & 0xC0) == 0x80; };
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    if (continuation(1)) return {static_cast<char32_t>(((b0 & 0x1F) << 6) | (p[1] & 0x3F)), 2};
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    if (continuation(1) && continuation(2)) {
      const char32_t c = ((b0 & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) return {c, 3};
    }
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    if (continuation(1) && continuation(2) && continuation(3)) {
      const char32_t c =
          ((b0 & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
      if (c >= 0x10000 && c <= 0x10FFFF) return {c, 4};
    }
  }
  return {b0, 1};
}

/// Calls `emit(codePoint, byteOffset, byteLength)` for each code point.
template <class Emit>
void decodeUtf8(std::string_view bytes, Emit emit) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t n = bytes.size();
  std::size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      emit(static_cast<char32_t>(p[i]), i, std::size_t{1});
      ++i;
      continue;
    }
    const Decoded d = decodeOne(p + i, n - i);
    emit(d.codePoint, i, d.length);
    i += d.length;
  }
}

inline std::u32string decodeUtf8(std::string_view bytes) {
  std::u32string out;
  out.reserve(bytes.size());
  decodeUtf8(bytes, [&out](char32_t c, std::size_t, std::size_t) { out += c; });
  return out;
}

/// Appends the UTF-8 form of `c`. Values that are not scalar values (lone
/// surrogates, values past U+10FFFF) are written with the same bit layout.
inline void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

inline std::string encodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) appendUtf8(out, c);
  return out;
}

}  // namespace hyph::detail
