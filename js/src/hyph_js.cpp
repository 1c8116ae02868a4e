// The WebAssembly module's interface to JavaScript: a few C functions over
// the library, which hyph.js wraps.
//
// Text crosses in buffers of the module's memory: the caller asks for an
// input buffer of the size it needs (hyph_js_input), writes into it, and
// calls a function, which leaves its result in the output buffer
// (hyph_js_output, hyph_js_output_size) or, for breaks, in hyph_js_breaks.
// A function that fails returns -1 and leaves the error's message (UTF-8)
// in the output buffer. Languages are numbered as hyph::Language, and the
// dictionaries that the page reads (a build with HYPH_JS_DICTIONARIES) on
// from there, in the order read.
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

/// A libhyphen dictionary read by the page.
struct Dictionary {
  hyph::Hyphenator hyphenator;
  /// The language its name names, if any: text marked as that language
  /// uses the dictionary.
  std::optional<hyph::Language> language;
};
std::vector<Dictionary> dictionaries;

// Each language's and dictionary's hyphenator with the page's words over its
// own, where the page gave some.
std::vector<std::optional<hyph::Hyphenator>> withWords(hyph::languageCount);

/// A text hyphenator of a language and options, kept for the next
/// hyph_js_text with the same ones: making one takes longer than
/// hyphenating a short text, and most of a page's text nodes are short.
struct TextCall {
  std::int32_t index;
  std::uint32_t flags, minWordLength;
  std::string separator;
  hyph::TextHyphenator hyphenator;
};
// The last few, the latest last. They are dropped whenever a language, a
// dictionary or words are loaded: a text hyphenator keeps the languages of
// the text it has met.
std::vector<TextCall> textCalls;
constexpr std::size_t kTextCalls = 4;
// A text hyphenator keeps the room that its longest text took: one that
// has read a text longer than this is not kept.
constexpr std::uint32_t kKeptTextSize = 1 << 16;

/// The dictionary numbered `index`, or nothing for a language.
const Dictionary* dictionaryOf(std::int32_t index) {
  if (index < static_cast<std::int32_t>(hyph::languageCount)) return nullptr;
  return &dictionaries.at(static_cast<std::size_t>(index) - hyph::languageCount);
}

/// The hyphenator of a language or dictionary, without the page's words.
const hyph::Hyphenator& ownHyphenator(std::int32_t index) {
  if (const Dictionary* dictionary = dictionaryOf(index)) return dictionary->hyphenator;
  return hyph::languageHyphenator(hyph::toEnum(index));
}

/// The hyphenator of a language or dictionary: the page's words over its
/// own, if any.
const hyph::Hyphenator& hyphenatorOf(std::int32_t index) {
  const std::optional<hyph::Hyphenator>& own = withWords.at(static_cast<std::size_t>(index));
  return own ? *own : ownHyphenator(index);
}

/// The language of a language or dictionary, for text marked with it.
std::optional<hyph::Language> languageOf(std::int32_t index) {
  if (const Dictionary* dictionary = dictionaryOf(index)) return dictionary->language;
  return hyph::toEnum(index);
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

/// Gives the language the tables of `size` bytes in the tables buffer.
/// With `digested`, they are the package's own file, whose digest is
/// `digestHigh` and `digestLow`: a compiled block that still has it is not
/// checked again.
HYPH_JS_EXPORT(hyph_js_add)
std::int32_t hyph_js_add(std::int32_t index, std::uint32_t size, std::int32_t digested,
                         std::uint32_t digestHigh, std::uint32_t digestLow) {
  return guarded([&] {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(tables.get()),
                                              size);
    textCalls.clear();
    if (digested) {
      hyph::addLanguageTables(hyph::toEnum(index), std::move(tables), bytes,
                              std::uint64_t{digestHigh} << 32 | digestLow);
    } else {
      hyph::addLanguageTables(hyph::toEnum(index), std::move(tables), bytes);
    }
    return 0;
  });
}

#ifdef HYPH_JS_DICTIONARIES
/// Reads a libhyphen dictionary, its file's name (for messages) and then its
/// bytes in the input; `language` is the language its name names, or -1.
/// Returns its number.
HYPH_JS_EXPORT(hyph_js_dictionary)
std::int32_t hyph_js_dictionary(std::uint32_t nameSize, std::uint32_t size, std::int32_t language) {
  return guarded([&] {
    textCalls.clear();
    const std::string_view input = inputText(nameSize + size);
    Dictionary dictionary{hyph::readDictionary(hyph::UserFile{
                              std::string(input.substr(0, nameSize)), input.substr(nameSize)}),
                          language < 0 ? std::nullopt : std::optional(hyph::toEnum(language))};
    withWords.emplace_back();
    dictionaries.push_back(std::move(dictionary));
    return static_cast<std::int32_t>(withWords.size() - 1);
  });
}

/// Whether a break of the language or dictionary may change a word's
/// spelling, which hyph_js_word_breaks cannot say: hyph_js_word_pieces
/// gives its words' pieces. (Only a dictionary's breaks may.)
HYPH_JS_EXPORT(hyph_js_rewrites) std::int32_t hyph_js_rewrites(std::int32_t index) {
  return guarded([&] { return std::int32_t{hyph::hyphenatorRewrites(hyphenatorOf(index))}; });
}

/// The pieces of a word given as UTF-8 in the input, as written when broken
/// (a break may change the spelling): one after another in the output, the
/// byte offset of each one's end in hyph_js_breaks; returns their number.
HYPH_JS_EXPORT(hyph_js_word_pieces)
std::int32_t hyph_js_word_pieces(std::int32_t index, std::uint32_t size) {
  return guarded([&] {
    const std::vector<std::string> pieces = hyph::hyphenate(hyphenatorOf(index), inputText(size));
    output.clear();
    breaks.clear();
    for (const std::string& piece : pieces) {
      output += piece;
      breaks.push_back(static_cast<std::uint32_t>(output.size()));
    }
    return static_cast<std::int32_t>(pieces.size());
  });
}
#endif

/// Words of the page's own (an exception file's text, in the input) over a
/// loaded language's or dictionary's exceptions, replacing those given
/// before; none clears them.
HYPH_JS_EXPORT(hyph_js_words) std::int32_t hyph_js_words(std::int32_t index, std::uint32_t size) {
  return guarded([&] {
    std::optional<hyph::Hyphenator>& own = withWords.at(static_cast<std::size_t>(index));
    textCalls.clear();
    if (size == 0) {
      own.reset();
    } else {
      own = hyph::withWords(ownHyphenator(index), hyph::UserFile{"words", inputText(size)});
    }
    return 0;
  });
}

HYPH_JS_EXPORT(hyph_js_available) std::int32_t hyph_js_available(std::int32_t index) {
  return guarded([&] {
    return std::int32_t{dictionaryOf(index) || hyph::languageAvailable(hyph::toEnum(index))};
  });
}

/// A loaded language's or dictionary's minimums: the left one, and the
/// right one times 65536.
HYPH_JS_EXPORT(hyph_js_minimums) std::int32_t hyph_js_minimums(std::int32_t index) {
  return guarded([&] {
    const hyph::Hyphenator& h = ownHyphenator(index);
    const auto clamp = [](std::int64_t n) { return std::clamp<std::int64_t>(n, 0, 0x7fff); };
    return static_cast<std::int32_t>(clamp(hyph::hyphenatorLeftMin(h)) |
                                     clamp(hyph::hyphenatorRightMin(h)) << 16);
  });
}

namespace {

/// The breaks of a word of `units` UTF-16 code units in the input, as
/// offsets in code units, into `breaks`; returns their number.
std::int32_t wordBreaks(const hyph::Hyphenator& hyphenator, std::uint32_t units) {
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
  hyph::breakPoints(hyphenator, word, found);
  breaks.resize(found.size());
  for (std::size_t k = 0; k < found.size(); ++k)
    breaks[k] = surrogates ? unitOf[found[k]] : static_cast<std::uint32_t>(found[k]);
  return static_cast<std::int32_t>(found.size());
}

}  // namespace

/// The breaks of a word given as UTF-16 code units in the input, as offsets
/// in code units, into hyph_js_breaks; returns their number.
HYPH_JS_EXPORT(hyph_js_word_breaks)
std::int32_t hyph_js_word_breaks(std::int32_t index, std::uint32_t units) {
  return guarded([&] { return wordBreaks(hyphenatorOf(index), units); });
}

/// Reads the tables of `size` bytes in the tables buffer (a language's, the
/// language numbered `index`) and breaks the word in the input as
/// hyph_js_word_breaks does, keeping nothing of either: what a language's
/// first load runs, run while its file is on its way, so that the engine
/// has compiled that code before the file arrives. Returns the number of
/// breaks.
HYPH_JS_EXPORT(hyph_js_warm)
std::int32_t hyph_js_warm(std::int32_t index, std::uint32_t size, std::uint32_t units) {
  return guarded([&] {
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(tables.get()),
                                              size);
    return wordBreaks(hyph::tablesHyphenator(hyph::toEnum(index), bytes), units);
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
    const std::string_view separator = inputText(textSize + separatorSize).substr(textSize);
    auto call = std::find_if(textCalls.begin(), textCalls.end(), [&](const TextCall& c) {
      return c.index == index && c.flags == flags && c.minWordLength == minWordLength &&
             c.separator == separator;
    });
    if (call == textCalls.end()) {
      hyph::TextOptions options;
      options.separator = std::string(separator);
      options.markup = flags & kHtml ? hyph::Markup::Html : hyph::Markup::Plain;
      options.skipCapitals = flags & kSkipCapitals;
      options.followLang = !(flags & kIgnoreLang);
      if (flags & kHyphensOnly) options.compounds = hyph::Compounds::HyphensOnly;
      options.skipCode = flags & kSkipCode;
      options.minWordLength = minWordLength;
      options.language = languageOf(index);
      if (textCalls.size() == kTextCalls) textCalls.erase(textCalls.begin());
      textCalls.push_back({index, flags, minWordLength, std::string(separator),
                           hyph::TextHyphenator(hyphenatorOf(index), std::move(options))});
      call = textCalls.end() - 1;
    }
    output.clear();
    try {
      call->hyphenator.write(inputText(textSize), output);
      call->hyphenator.finish(output);
    } catch (...) {
      textCalls.erase(call);  // in a state of its own: made again next time
      throw;
    }
    if (textSize > kKeptTextSize) textCalls.erase(call);
    return static_cast<std::int32_t>(output.size());
  });
}
