#include "unicode.hpp"

#include <utf8proc.h>

#include <iterator>
#include <string>

namespace hyph::text {

namespace {

utf8proc_category_t categoryOf(char32_t c) {
  return c > 0x10FFFF ? UTF8PROC_CATEGORY_CN
                      : static_cast<utf8proc_category_t>(
                            utf8proc_category(static_cast<utf8proc_int32_t>(c)));
}

}  // namespace

bool isUnicodeLetter(char32_t c) {
  const utf8proc_category_t category = categoryOf(c);
  return category >= UTF8PROC_CATEGORY_LU && category <= UTF8PROC_CATEGORY_LO;
}

bool isMark(char32_t c) {
  const utf8proc_category_t category = categoryOf(c);
  return category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_MC ||
         category == UTF8PROC_CATEGORY_ME;
}

bool isCapital(char32_t c) {
  const utf8proc_category_t category = categoryOf(c);
  return category == UTF8PROC_CATEGORY_LU || category == UTF8PROC_CATEGORY_LT;
}

bool isLower(char32_t c) { return categoryOf(c) == UTF8PROC_CATEGORY_LL; }

char32_t upperCase(char32_t c) {
  if (c >= 0x110000) return c;
  return static_cast<char32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
}

char32_t lowerCase(char32_t c) {
  if (c >= 0x110000) return c;
  return static_cast<char32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
}

bool isWideSpace(char32_t c) {
  const utf8proc_category_t category = categoryOf(c);
  return category == UTF8PROC_CATEGORY_ZS || category == UTF8PROC_CATEGORY_ZL ||
         category == UTF8PROC_CATEGORY_ZP;
}

std::uint8_t combiningClass(char32_t c) {
  if (c >= 0x110000) return 0;
  return static_cast<std::uint8_t>(
      utf8proc_get_property(static_cast<utf8proc_int32_t>(c))->combining_class);
}

std::optional<char32_t> composed(char32_t letter, std::u32string_view marks) {
  if (marks.empty()) return std::nullopt;
  // Decomposed and put in canonical order first, as composing needs.
  std::string utf8;
  for (char32_t c : std::u32string(1, letter) + std::u32string(marks)) {
    utf8proc_uint8_t bytes[4];
    const utf8proc_ssize_t size = utf8proc_encode_char(static_cast<utf8proc_int32_t>(c), bytes);
    utf8.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
  }
  utf8proc_int32_t buffer[64];
  const utf8proc_ssize_t length =
      utf8proc_decompose(reinterpret_cast<const utf8proc_uint8_t*>(utf8.data()),
                         static_cast<utf8proc_ssize_t>(utf8.size()), buffer,
                         static_cast<utf8proc_ssize_t>(std::size(buffer)),
                         static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_STABLE));
  if (length <= 0 || length > static_cast<utf8proc_ssize_t>(std::size(buffer)))
    return std::nullopt;
  const utf8proc_ssize_t result = utf8proc_normalize_utf32(
      buffer, length, static_cast<utf8proc_option_t>(UTF8PROC_COMPOSE | UTF8PROC_STABLE));
  if (result != 1) return std::nullopt;
  return static_cast<char32_t>(buffer[0]);
}

}  // namespace hyph::text
