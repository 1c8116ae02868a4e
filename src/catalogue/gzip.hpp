// Decompressing gzip data: the embedded files, and users' files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace hyph::detail {

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
