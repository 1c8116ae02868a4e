// Running text, plain and HTML, whole and in chunks, and the properties that
// its users count on:
// - the pieces of a word, and the text with its separators removed, give
//   back the input;
// - chunked input gives the output of the whole;
// - hyphenating soft-hyphenated output again changes nothing;
// - the content of `pre` and `code` is never changed, at any depth, under
//   any `lang`;
// - the time taken stays under kMicrosecondsPerByte a byte of input (plus
//   kFixedMilliseconds), whatever the input.
//
// The first byte chooses: bit 0 the language, bit 1 HTML, the rest the
// chunk size and the depth of the nesting around `pre`.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "hyph/hyph.hpp"

namespace {

// Generous for a build with AddressSanitizer and coverage: hyph takes well
// under a microsecond a byte in a release build.
constexpr double kMicrosecondsPerByte = 50;
constexpr double kFixedMilliseconds = 20;

std::string withoutSeparators(std::string text, std::string_view separator) {
  for (std::size_t at = text.find(separator); at != std::string::npos;
       at = text.find(separator, at))
    text.erase(at, separator.size());
  return text;
}

[[noreturn]] void fail(const char* property) {
  std::fprintf(stderr, "fuzz_text: %s\n", property);
  std::abort();
}

/// Text that HTML reads as characters only: no markup, no references.
std::string asCharacters(std::string_view input) {
  std::string text;
  for (char c : input)
    if (c != '<' && c != '&') text += c;
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  const hyph::Hyphenator& h = data[0] & 1 ? hyph::german_1996() : hyph::english_US();
  const bool html = data[0] & 2;
  const std::string separator = "\x01\x02";  // bytes the fuzzer may also use; checked below

  std::string joined;
  for (const std::string& piece : hyph::hyphenate(h, input)) joined += piece;
  if (joined != input) fail("the pieces of a word are not the word");

  hyph::TextOptions options;
  options.separator = separator;
  options.markup = html ? hyph::Markup::Html : hyph::Markup::Plain;
  const auto start = std::chrono::steady_clock::now();
  const std::string whole = hyph::hyphenateText(h, input, options);
  const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  if (took.count() > kFixedMilliseconds + kMicrosecondsPerByte * 1e-3 * static_cast<double>(size))
    fail("too slow for the input's length");
  if (input.find(separator) == std::string_view::npos &&
      withoutSeparators(whole, separator) != input)
    fail("the separators removed do not give back the input");

  hyph::TextHyphenator stream(h, options);
  std::string chunked;
  const std::size_t step = 1 + data[0] / 4;
  for (std::size_t at = 0; at < input.size(); at += step)
    stream.write(input.substr(at, step), chunked);
  stream.finish(chunked);
  if (chunked != whole) fail("chunks do not give the output of the whole");

  // Soft hyphens mark words as hyphenated already: a second run keeps them.
  hyph::TextOptions soft = options;
  soft.separator = "\u00AD";
  const std::string once = hyph::hyphenateText(h, input, soft);
  if (hyph::hyphenateText(h, once, soft) != once) fail("a second run changed the output");

  if (html) {
    // pre and code keep their text, however deep and under whatever lang.
    const std::size_t depth = data[0] % 8 == 6 ? 300 : data[0] / 32;
    std::string open, close;
    for (std::size_t i = 0; i < depth; ++i) {
      open += i % 3 == 0 ? "<div lang=\"de\">" : i % 3 == 1 ? "<p>" : "<span lang=en>";
      close.insert(0, i % 3 == 0 ? "</div>" : i % 3 == 1 ? "</p>" : "</span>");
    }
    const std::string text = asCharacters(input);
    for (const char* element : {"pre", "code"}) {
      const std::string page = open + "<" + element + ">" + text + "</" + element + ">" + close;
      const std::string out = hyph::hyphenateText(h, page, options);
      if (out != page) fail("the text of pre or code was changed");
    }
  }
  return 0;
}
