// The embedded archive: the gzip-compressed data files compiled into the
// library, and reading one of them back as text.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "catalogue/gzip.hpp"
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

}  // namespace hyph::detail
