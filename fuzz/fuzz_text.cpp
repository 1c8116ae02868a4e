// UTF-8 words and running text, plain and HTML, whole and in chunks: the
// separators removed always give back the input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hyph/hyph.hpp"

namespace {
std::string withoutSeparators(std::string text, std::string_view separator) {
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, at))
    text.erase(at, separator.size());
  return text;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const hyph::Hyphenator& h = data[0] & 1 ? hyph::german_1996() : hyph::english_US();
  const std::string separator = "\x01\x02";  // bytes the fuzzer may also use; checked below

  std::string joined;
  for (const std::string& piece : hyph::hyphenate(h, input)) joined += piece;
  if (joined != input) std::abort();

  hyph::TextOptions options;
  options.separator = separator;
  options.markup = data[0] & 2 ? hyph::Markup::Html : hyph::Markup::Plain;
  const std::string whole = hyph::hyphenateText(h, input, options);
  if (input.find(separator) == std::string_view::npos &&
      withoutSeparators(whole, separator) != input)
    std::abort();

  hyph::TextHyphenator stream(h, options);
  std::string chunked;
  const std::size_t step = 1 + data[0] / 4;
  for (std::size_t at = 0; at < input.size(); at += step)
    stream.write(input.substr(at, step), chunked);
  stream.finish(chunked);
  if (chunked != whole) std::abort();
  return 0;
}
