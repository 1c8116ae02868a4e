// Decompressing gzip data with zlib, in bounded memory for users' files.
#include "gzip.hpp"

#include "hyph/error.hpp"

#if defined(HYPH_NO_ZLIB)

namespace hyph::detail {

std::string gunzip(std::string_view name, std::string_view, Members, std::size_t) {
  throw Error("Could not decompress " + std::string(name) +
              ": this hyph is built without zlib (HYPH_ZLIB=OFF)");
}

}  // namespace hyph::detail

#else

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <new>

namespace hyph::detail {

std::string gunzip(std::string_view name, std::string_view compressed, Members members,
                   std::size_t limit) {
  auto fail = [name](const char* why) {
    return Error("Could not decompress " + std::string(name) + ": " + why);
  };
  auto tooLarge = [name, limit] {
    return Error(std::string(name) + ": decompresses to more than the limit of " +
                 std::to_string(limit >> 20) + " MiB");
  };
  z_stream stream{};
  if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
  struct End {
    z_stream* stream;
    ~End() { inflateEnd(stream); }
  } end{&stream};

  // The output grows with what decompresses, so that nothing is reserved
  // for a size that a damaged or hostile file only claims. The embedded
  // files' trailers are true (they are checked when the library is built),
  // so for those the stated size sizes the buffer and a sound file inflates
  // in one call.
  const bool trusted = limit == kNoLimit;
  std::size_t stated = 0;
  if (compressed.size() >= 18) {
    const auto* tail =
        reinterpret_cast<const unsigned char*>(compressed.data() + compressed.size() - 4);
    stated = tail[0] | (tail[1] << 8) | (tail[2] << 16) | (std::size_t{tail[3]} << 24);
  }
  const std::size_t room = trusted ? kNoLimit : limit + 1;  // enough to tell the limit passed
  std::string out;
  out.resize(trusted ? std::min(stated, compressed.size() * 1032) + 1
                     : std::min({stated + 1, 4 * compressed.size() + 4096, room}));

  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
  std::size_t produced = 0;
  std::size_t remainingIn = compressed.size();
  while (true) {
    if (produced == out.size()) {
      if (produced > limit) throw tooLarge();
      out.resize(std::min(out.size() * 2, room));
    }
    const auto inChunk =
        static_cast<uInt>(std::min<std::size_t>(remainingIn, std::numeric_limits<uInt>::max()));
    const auto outChunk = static_cast<uInt>(
        std::min<std::size_t>(out.size() - produced, std::numeric_limits<uInt>::max()));
    stream.avail_in = inChunk;
    stream.next_out = reinterpret_cast<Bytef*>(out.data() + produced);
    stream.avail_out = outChunk;
    const int status = inflate(&stream, Z_NO_FLUSH);
    remainingIn -= inChunk - stream.avail_in;
    produced += outChunk - stream.avail_out;
    if (status == Z_STREAM_END) {
      if (members == Members::One || remainingIn == 0) break;
      inflateReset(&stream);
      continue;
    }
    if (status == Z_MEM_ERROR) throw std::bad_alloc();
    if (status == Z_NEED_DICT) throw fail("a preset dictionary is needed");
    if (status == Z_DATA_ERROR || status == Z_STREAM_ERROR)
      throw fail(stream.msg ? stream.msg : "invalid compressed data");
    if (status == Z_BUF_ERROR && remainingIn == 0 && stream.avail_in == 0)
      throw fail("unexpected end of file");
  }
  if (remainingIn != 0) throw fail("trailing data after the gzip member");
  if (produced > limit) throw tooLarge();
  out.resize(produced);
  if (!trusted) out.shrink_to_fit();  // the doubling may have overshot
  return out;
}

}  // namespace hyph::detail

#endif
