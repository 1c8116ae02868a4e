// Test helpers for the catalogue's suites: gzip, UTF-8 and joined pieces.
#pragma once

#include <zlib.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/utf8.hpp"
#include "hyph/hyphenator.hpp"

namespace hyph::testing {

inline std::string gzip(std::string_view data) {
  z_stream stream{};
  deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 64, '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

inline std::string utf8(std::u32string_view text) { return detail::encodeUtf8(text); }

/// The word's pieces joined with "-".
inline std::string hyphenated(const Hyphenator& h, std::string_view word) {
  std::vector<std::string> pieces;
  for (const auto& piece : hyphenate(h, detail::decodeUtf8(word))) pieces.push_back(utf8(piece));
  return join(pieces, "-");
}

}  // namespace hyph::testing
