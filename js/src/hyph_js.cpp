// The WebAssembly module's interface to JavaScript: a few C functions over
// the library, which hyph.js wraps.
//
// Text crosses in buffers of the module's memory: the caller asks for an
// input buffer of the size it needs (hyph_js_input), writes into it, and
// calls a function, which leaves its result in the output buffer
// (hyph_js_output, hyph_js_output_size) or, for breaks, in hyph_js_breaks.
// A function that fails returns -1 and leaves the error's message (UTF-8)
// in the output buffer. Languages are numbered as hyph::Language.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <exception>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/hyph.hpp"

#define HYPH_JS_EXPORT(name) extern "C" __attribute__((export_name(#name)))

namespace {

// Grown as needed, never initialised: every use writes before it reads.
std::unique_ptr<std::uint64_t[]> input;
std::size_t inputSize = 0;
std::string output;
std::vector<std::uint32_t> breaks;
// The tables being loaded, which the library takes over as they are.
std::shared_ptr<std::uint64_t[]> tables;
// Each language's hyphenator with the page's words over its own, where the
// page gave some.
std::optional<hyph::Hyphenator> withWords[hyph::languageCount];

/// The hyphenator of a language: the page's words over its own, if any.
const hyph::Hyphenator& hyphenatorOf(hyph::Language language) {
  const std::optional<hyph::Hyphenator>& own = withWords[hyph::fromEnum(language)];
  return own ? *own : hyph::languageHyphenator(language);
}

std::uint8_t* inputBytes() { return reinterpret_cast<std::uint8_t*>(input.get()); }

/// Runs `call`, giving its result; a failure's message goes to the output.
template <typename Call>
std::int32_t guarded(Call&& call) {
  try {
    return call();
  } catch (const std::bad_alloc&) {
    output = "out of memory";
  } catch (const std::exception& e) {
    output = e.what();
  }
  return -1;
}

std::string_view inputText(std::uint32_t size) {
  return {reinterpret_cast<const char*>(input.get()), size};
}

}  // namespace

/// An input buffer of at least `size` bytes (on a multiple of 8).
HYPH_JS_EXPORT(hyph_js_input) std::uint8_t* hyph_js_input(std::uint32_t size) {
  if (inputSize < size || !input) {
    inputSize = std::max<std::size_t>(size, 2 * inputSize) + 8;
    input.reset(new std::uint64_t[(inputSize + 7) / 8]);
  }
  return inputBytes();
}

/// A buffer for a language's tables of `size` bytes (on a multiple of 8),
/// which hyph_js_add hands to the library as it is.
HYPH_JS_EXPORT(hyph_js_tables) std::uint8_t* hyph_js_tables(std::uint32_t size) {
  tables.reset(new std::uint64_t[(size + 7) / 8]);
  return reinterpret_cast<std::uint8_t*>(tables.get());
}

HYPH_JS_EXPORT(hyph_js_output) const char* hyph_js_output() { return output.data(); }
HYPH_JS_EXPORT(hyph_js_output_size) std::uint32_t hyph_js_output_size() {
  return static_cast<std::uint32_t>(output.size());
}
HYPH_JS_EXPORT(hyph_js_breaks) const std::uint32_t* hyph_js_breaks() { return breaks.data(); }

/// The language that the name (UTF-8, in the input) stands for, as
/// findLanguage reads it, or -1, with the message of an unknown language.
HYPH_JS_EXPORT(hyph_js_find) std::int32_t hyph_js_find(std::uint32_t size) {
  return guarded([&] {
    const std::string_view name = inputText(size);
    if (const std::optional<hyph::Language> language = hyph::findLanguage(name))
      return static_cast<std::int32_t>(hyph::fromEnum(*language));
    output = hyph::unknownLanguageMessage(name);
    return -1;
  });
}

/// Gives the language the compiled tables of `size` bytes in the tables
/// buffer.
HYPH_JS_EXPORT(hyph_js_add) std::int32_t hyph_js_add(std::int32_t index, std::uint32_t size) {
  return guarded([&] {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(tables.get()),
                                              size);
    hyph::addLanguageTables(hyph::toEnum(index), std::move(tables), bytes);
    return 0;
  });
}

/// Words of the page's own (an exception file's text, in the input) over a
/// loaded language's exceptions, replacing those given before; none clears
/// them.
HYPH_JS_EXPORT(hyph_js_words) std::int32_t hyph_js_words(std::int32_t index, std::uint32_t size) {
  return guarded([&] {
    const hyph::Language language = hyph::toEnum(index);
    std::optional<hyph::Hyphenator>& own = withWords[hyph::fromEnum(language)];
    if (size == 0) {
      own.reset();
    } else {
      own = hyph::withWords(hyph::languageHyphenator(language),
                            hyph::UserFile{"words", inputText(size)});
    }
    return 0;
  });
}

HYPH_JS_EXPORT(hyph_js_available) std::int32_t hyph_js_available(std::int32_t index) {
  return guarded([&] { return std::int32_t{hyph::languageAvailable(hyph::toEnum(index))}; });
}

/// The breaks of a word given as UTF-16 code units in the input, as offsets
/// in code units, into hyph_js_breaks; returns their number.
HYPH_JS_EXPORT(hyph_js_word_breaks)
std::int32_t hyph_js_word_breaks(std::int32_t index, std::uint32_t units) {
  return guarded([&] {
    static std::u32string word;
    static std::vector<std::size_t> found;
    static std::vector<std::uint32_t> unitOf;  // code point -> code unit, with surrogates
    const auto* text = reinterpret_cast<const std::uint16_t*>(input.get());
    word.clear();
    unitOf.clear();
    bool surrogates = false;
    for (std::uint32_t i = 0; i < units; ++i) {
      unitOf.push_back(i);
      char32_t c = text[i];
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < units && text[i + 1] >= 0xDC00 &&
          text[i + 1] < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
        surrogates = true;
      }
      word.push_back(c);
    }
    unitOf.push_back(units);
    hyph::breakPoints(hyphenatorOf(hyph::toEnum(index)), word, found);
    breaks.resize(found.size());
    for (std::size_t k = 0; k < found.size(); ++k)
      breaks[k] = surrogates ? unitOf[found[k]] : static_cast<std::uint32_t>(found[k]);
    return static_cast<std::int32_t>(found.size());
  });
}

enum TextFlags : std::uint32_t {
  kHtml = 1,
  kSkipCapitals = 2,
  kIgnoreLang = 4,
  kHyphensOnly = 8,
  kSkipCode = 16,
};

/// Running text (UTF-8, in the input) followed by the separator, into the
/// output; returns the output's size.
HYPH_JS_EXPORT(hyph_js_text)
std::int32_t hyph_js_text(std::int32_t index, std::uint32_t textSize, std::uint32_t separatorSize,
                          std::uint32_t flags, std::uint32_t minWordLength) {
  return guarded([&] {
    const hyph::Language language = hyph::toEnum(index);
    hyph::TextOptions options;
    options.separator = std::string(inputText(textSize + separatorSize).substr(textSize));
    options.markup = flags & kHtml ? hyph::Markup::Html : hyph::Markup::Plain;
    options.skipCapitals = flags & kSkipCapitals;
    options.followLang = !(flags & kIgnoreLang);
    if (flags & kHyphensOnly) options.compounds = hyph::Compounds::HyphensOnly;
    options.skipCode = flags & kSkipCode;
    options.minWordLength = minWordLength;
    options.language = language;
    output.clear();
    hyph::hyphenateText(hyphenatorOf(language), inputText(textSize), output, options);
    return static_cast<std::int32_t>(output.size());
  });
}
