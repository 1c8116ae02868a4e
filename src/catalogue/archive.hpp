// The embedded archive: the gzip-compressed data files compiled into the
// library, and reading one of them back as text.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "hyph/export.hpp"

namespace hyph::detail {

struct EmbeddedFile {
  std::string_view name;      // "hyph-en-us.pat.txt.gz"
  std::string_view contents;  // one gzip member, in place in the library's constant data
};

/// All data files, in ascending byte order of their names. Constant data:
/// available without initialisation.
HYPH_API std::span<const EmbeddedFile> embeddedFiles();

/// The compressed contents of the entry named `name`; throws "Could not find".
HYPH_API std::string_view findEmbeddedFile(std::string_view name,
                                           std::span<const EmbeddedFile> archive);

/// `readEmbeddedFile` on another archive (tests use incomplete or damaged ones).
HYPH_API std::u32string readEmbeddedFile(std::string_view name,
                                         std::span<const EmbeddedFile> archive);

/// Decompresses one gzip member (or, with `members` set to Many, a series of
/// them, as concatenated gzip files are); `name` only labels errors.
enum class Members { One, Many };
HYPH_API std::string gunzip(std::string_view name, std::string_view compressed,
                            Members members = Members::One);

}  // namespace hyph::detail
