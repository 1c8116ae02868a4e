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
std::span<const EmbeddedFile> embeddedFiles();

/// The compressed contents of the entry named `name`; throws "Could not find".
std::string_view findEmbeddedFile(std::string_view name, std::span<const EmbeddedFile> archive);

/// `readEmbeddedFile` on another archive (tests use incomplete or damaged ones).
std::u32string readEmbeddedFile(std::string_view name, std::span<const EmbeddedFile> archive);

/// Decompresses one gzip member (or, with `members` set to Many, a series of
/// them, as concatenated gzip files are); `name` labels errors. Output past
/// `limit` bytes is refused with an error that names the file and the
/// limit; without a limit (the embedded files, whose sizes are known) the
/// trailer's stated size sizes the output at once.
enum class Members { One, Many };
inline constexpr std::size_t kNoLimit = ~std::size_t{0};
std::string gunzip(std::string_view name, std::string_view compressed,
                   Members members = Members::One, std::size_t limit = kNoLimit);

}  // namespace hyph::detail
