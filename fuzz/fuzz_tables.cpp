// Tables from outside the library (a language's file, loaded at run time),
// compiled or packed, are checked before they are read: any block of bytes
// is either refused with hyph::Error, or gives tables whose lookups, of any
// word, stay inside them. Words come from a fixed list in several scripts and
// from the input itself.
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/hyphenator_access.hpp"
#include "engine/tables_format.hpp"
#include "engine/utf8.hpp"
#include "hyph/error.hpp"
#include "hyph/text.hpp"

namespace {

const char* const kWords[] = {
    "hyphenation", "Silbentrennung", "représentation",    "бизнесмен", "υπολογιστής", "ab", "",
    "a-b",         "\xE2\x80\x8B",   "zz\xF0\x9F\x98\x80"};

template <typename T>
hyph::Deferred<T> refused() {
  return hyph::Deferred<T>::lazy([]() -> T { throw hyph::Error("not kept"); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A block starts on a multiple of 8 bytes, as a loaded file does.
  std::vector<std::uint64_t> aligned((size + 7) / 8);
  if (size > 0) std::memcpy(aligned.data(), data, size);
  const std::span<const std::uint8_t> block(reinterpret_cast<const std::uint8_t*>(aligned.data()),
                                            size);
  std::shared_ptr<const hyph::detail::WordTables> words;
  try {
    words = std::make_shared<const hyph::detail::WordTables>(
        hyph::detail::isPackedBlock(block)
            ? hyph::detail::unpackWordTables(block)
            : hyph::detail::viewWordTables(block, hyph::detail::Trust::Checked));
  } catch (const hyph::Error&) {
    return 0;
  }
  const hyph::Hyphenator h = hyph::HyphenatorAccess::ofWordTables(
      words, refused<hyph::Patterns>(), refused<hyph::Exceptions>(), 1, 1);
  try {
    for (const char* word : kWords) (void)hyph::breakPoints(h, std::string_view(word));
    const std::u32string text =
        hyph::detail::decodeUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    for (std::size_t at = 0; at < text.size() && at < 4096; at += 5)
      (void)hyph::breakPoints(h, std::u32string_view(text).substr(at, 1 + at % 23));
    (void)hyph::hyphenateText(h, "Hyphenation of running text, in <b>HTML</b> too.");
  } catch (const hyph::Error&) {
    // Tables whose patterns could not be compiled fail the words that need them.
  }
  return 0;
}
