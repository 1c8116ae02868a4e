// Decompressing and decoding an archive entry made of arbitrary bytes: a
// clean error or a text, never a crash or a hang.
#include <cstdint>
#include <string_view>

#include "catalogue/archive.hpp"
#include "hyph/error.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const hyph::detail::EmbeddedFile archive[] = {
      {"hyph-xx.pat.txt.gz", std::string_view(reinterpret_cast<const char*>(data), size)}};
  try {
    (void)hyph::detail::readEmbeddedFile("hyph-xx.pat.txt.gz", archive);
  } catch (const hyph::Error&) {
  }
  return 0;
}
