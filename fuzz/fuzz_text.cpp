// Running text, plain and HTML, whole and in chunks, and the properties that
// its users count on:
// - the pieces of a word, and the text with its separators removed, give
//   back the input;
// - chunked input gives the output of the whole;
// - hyphenating soft-hyphenated output again changes nothing;
// - the content of `pre` and `code` is never changed, at any depth, under
//   any `lang`;
// - the output grows by at most a separator a letter: its size is bounded
//   by the input's, whatever the input.
// Properties count, never time: a hang is libFuzzer's -timeout to catch.
//
// The first byte chooses: bit 0 the language, bit 1 HTML, the rest the
// chunk size and the depth of the nesting around `pre`.
#include <cstdint>
#include <cstdio>
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

std::string_view current;  // the input being checked, for fail()

/// Reports the property that failed and the input, escaped, then aborts.
[[noreturn]] void fail(const char* property) {
  std::fprintf(stderr, "fuzz_text: property failed: %s\nfuzz_text: input (%zu bytes): \"", property,
               current.size());
  for (unsigned char c : current.substr(0, 4096))
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
      std::fputc(c, stderr);
    else
      std::fprintf(stderr, "\\x%02x", c);
  std::fputs(current.size() > 4096 ? "\"...\n" : "\"\n", stderr);
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
  current = std::string_view(reinterpret_cast<const char*>(data), size);
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
  const std::string whole = hyph::hyphenateText(h, input, options);
  if (whole.size() > input.size() * (1 + separator.size()))
    fail("the output grew by more than a separator a byte");
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
