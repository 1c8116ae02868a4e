// The C interface: thin wrappers that turn exceptions into status codes.
#include "hyph/hyph.h"

#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>

#include "hyph/hyph.hpp"

/// A hyphenator as the C interface hands it out: the library's, and the
/// language it is of, if any, so that text marked as that language uses it.
struct hyph_hyphenator {
  hyph::Hyphenator hyphenator;
  std::optional<hyph::Language> language;
};

namespace {

thread_local std::string lastError;

hyph_status fail(hyph_status status, std::string message) {
  try {
    lastError = std::move(message);
  } catch (...) {
  }
  return status;
}

// Runs `body`, turning any exception into a status and a message.
template <class Body>
hyph_status guarded(Body body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return fail(HYPH_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& e) {
    return fail(HYPH_FAILED, e.what());
  } catch (...) {
    return fail(HYPH_FAILED, "unknown failure");
  }
}

const hyph::Hyphenator& unwrap(const hyph_hyphenator* h) { return h->hyphenator; }

/// The shared hyph_hyphenator of a language: made once, never freed.
const hyph_hyphenator* sharedOf(hyph::Language language) {
  static std::once_flag once[hyph::languageCount];
  static const hyph_hyphenator* shared[hyph::languageCount];
  const auto i = static_cast<std::size_t>(hyph::fromEnum(language));
  std::call_once(once[i], [&] {
    shared[i] = new hyph_hyphenator{hyph::languageHyphenator(language), language};
  });
  return shared[i];
}

/// The break points of a UTF-8 word, in a buffer of the calling thread's.
const std::vector<std::size_t>& breaksOf(const hyph_hyphenator* h, std::string_view word) {
  thread_local std::vector<std::size_t> found;
  hyph::breakPoints(unwrap(h), word, found);
  return found;
}

hyph_hyphenator* wrap(hyph::Hyphenator h, std::optional<hyph::Language> language) {
  return new hyph_hyphenator{std::move(h), language};
}

}  // namespace

extern "C" {

const char* hyph_version(void) { return hyph::version.data(); }

size_t hyph_language_count(void) { return static_cast<size_t>(hyph::languageCount); }

const char* hyph_language_name(size_t index) {
  if (index >= hyph_language_count()) return nullptr;
  return hyph::languageName(static_cast<hyph::Language>(index)).data();
}

const char* hyph_language_affix(size_t index) {
  if (index >= hyph_language_count()) return nullptr;
  return hyph::languageAffix(static_cast<hyph::Language>(index)).data();
}

hyph_status hyph_language(const char* name, const hyph_hyphenator** out) {
  if (!name || !out) return fail(HYPH_INVALID_ARGUMENT, "hyph_language: null argument");
  return guarded([&] {
    const std::optional<hyph::Language> language = hyph::findLanguage(name);
    if (!language) return fail(HYPH_UNKNOWN_LANGUAGE, hyph::unknownLanguageMessage(name));
    *out = sharedOf(*language);
    return HYPH_OK;
  });
}

hyph_status hyph_create(const hyph_hyphenator* base, const char* chars, size_t chars_size,
                        const char* patterns, size_t patterns_size, const char* exceptions,
                        size_t exceptions_size, hyph_hyphenator** out) {
  if (!out) return fail(HYPH_INVALID_ARGUMENT, "hyph_create: null argument");
  return guarded([&] {
    hyph::CustomTables custom;
    if (chars) custom.chars = hyph::UserFile{"chars", {chars, chars_size}};
    if (patterns) custom.patterns = hyph::UserFile{"patterns", {patterns, patterns_size}};
    if (exceptions) custom.exceptions = hyph::UserFile{"exceptions", {exceptions, exceptions_size}};
    *out = base ? wrap(hyph::customHyphenator(unwrap(base), custom), base->language)
                : wrap(hyph::customHyphenator(custom), std::nullopt);
    return HYPH_OK;
  });
}

hyph_status hyph_with_words(const hyph_hyphenator* base, const char* words, size_t size,
                            hyph_hyphenator** out) {
  if (!base || (!words && size) || !out)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_with_words: null argument");
  return guarded([&] {
    *out = wrap(hyph::customHyphenator(
                    unwrap(base), {.words = hyph::UserFile{"words", {words ? words : "", size}}}),
                base->language);
    return HYPH_OK;
  });
}

hyph_status hyph_read_dictionary(const char* bytes, size_t size, hyph_hyphenator** out) {
  if ((!bytes && size) || !out) return fail(HYPH_INVALID_ARGUMENT, "hyph_read_dictionary: null argument");
  return guarded([&] {
    *out = wrap(hyph::readDictionary({"dictionary", {bytes ? bytes : "", size}}), std::nullopt);
    return HYPH_OK;
  });
}

hyph_status hyph_with_minimums(const hyph_hyphenator* hyphenator, long long left_min,
                               long long right_min, hyph_hyphenator** out) {
  if (!hyphenator || !out) return fail(HYPH_INVALID_ARGUMENT, "hyph_with_minimums: null argument");
  if (left_min < 0 || right_min < 0)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_with_minimums: negative minimum");
  return guarded([&] {
    *out = wrap(
        hyph::customHyphenator(unwrap(hyphenator), {.leftMin = left_min, .rightMin = right_min}),
        hyphenator->language);
    return HYPH_OK;
  });
}

long long hyph_left_min(const hyph_hyphenator* hyphenator) {
  return hyphenator ? hyph::hyphenatorLeftMin(unwrap(hyphenator)) : 0;
}

long long hyph_right_min(const hyph_hyphenator* hyphenator) {
  return hyphenator ? hyph::hyphenatorRightMin(unwrap(hyphenator)) : 0;
}

void hyph_free(hyph_hyphenator* hyphenator) { delete hyphenator; }

hyph_status hyph_pieces(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                        hyph_piece* pieces, size_t capacity, size_t* count) {
  if (!hyphenator || (!word && word_size) || (!pieces && capacity) || !count)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_pieces: null argument");
  return guarded([&] {
    const std::string_view bytes(word ? word : "", word_size);
    const std::vector<std::size_t>& found = breaksOf(hyphenator, bytes);
    *count = found.size() + 1;
    if (*count > capacity) return fail(HYPH_BUFFER_TOO_SMALL, "hyph_pieces: buffer too small");
    std::size_t start = 0;
    for (std::size_t i = 0; i <= found.size(); ++i) {
      const std::size_t end = i < found.size() ? found[i] : bytes.size();
      pieces[i] = {bytes.data() + start, end - start};
      start = end;
    }
    return HYPH_OK;
  });
}

hyph_status hyph_breaks(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                        hyph_break* breaks, size_t capacity, size_t* count) {
  if (!hyphenator || (!word && word_size) || (!breaks && capacity) || !count)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_breaks: null argument");
  return guarded([&] {
    const std::vector<hyph::Break> found =
        hyph::breaks(unwrap(hyphenator), std::string_view(word ? word : "", word_size));
    *count = found.size();
    if (found.size() > capacity) return fail(HYPH_BUFFER_TOO_SMALL, "hyph_breaks: buffer too small");
    for (std::size_t i = 0; i < found.size(); ++i)
      breaks[i] = {found[i].position, found[i].start, found[i].end, found[i].before.size(),
                   found[i].after.size()};
    return HYPH_OK;
  });
}

hyph_status hyph_split(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                       size_t position, char* out, size_t capacity, size_t* first_size,
                       size_t* second_size) {
  if (!hyphenator || (!word && word_size) || (!out && capacity) || !first_size || !second_size)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_split: null argument");
  return guarded([&] {
    const std::string_view bytes(word ? word : "", word_size);
    for (const hyph::Break& b : hyph::breaks(unwrap(hyphenator), bytes)) {
      if (b.position != position) continue;
      const auto [first, second] = hyph::splitAt(bytes, b);
      *first_size = first.size();
      *second_size = second.size();
      if (first.size() + second.size() > capacity)
        return fail(HYPH_BUFFER_TOO_SMALL, "hyph_split: buffer too small");
      if (!first.empty()) std::memcpy(out, first.data(), first.size());
      if (!second.empty()) std::memcpy(out + first.size(), second.data(), second.size());
      return HYPH_OK;
    }
    return fail(HYPH_INVALID_ARGUMENT, "hyph_split: the word has no break at " + std::to_string(position));
  });
}

hyph_status hyph_wrap(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                      size_t width, size_t hyphen_width, size_t* cut) {
  if (!hyphenator || (!word && word_size) || !cut)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_wrap: null argument");
  return guarded([&] {
    const std::string_view bytes(word ? word : "", word_size);
    if (hyph::hyphenatorRewrites(unwrap(hyphenator))) {
      // The first part as written when broken, which is not a prefix of the word.
      *cut = 0;
      const std::vector<hyph::Break> found = hyph::breaks(unwrap(hyphenator), bytes);
      for (std::size_t k = found.size(); k-- > 0;) {
        const std::string first = hyph::splitAt(bytes, found[k]).first;
        std::size_t letters = 0;
        for (unsigned char c : first) letters += (c & 0xC0) != 0x80;
        if (hyphen_width <= width && letters <= width - hyphen_width) {
          *cut = found[k].position;
          break;
        }
      }
      return HYPH_OK;
    }
    const auto wrapped =
        hyph::wrap(unwrap(hyphenator), bytes, width, std::string(hyphen_width, '-'));
    *cut = wrapped ? wrapped->first.size() - hyphen_width : 0;
    return HYPH_OK;
  });
}

hyph_status hyph_break_points(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                              size_t* breaks, size_t capacity, size_t* count) {
  if (!hyphenator || (!word && word_size) || (!breaks && capacity) || !count)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_break_points: null argument");
  return guarded([&] {
    const std::vector<std::size_t>& found =
        breaksOf(hyphenator, std::string_view(word ? word : "", word_size));
    *count = found.size();
    if (found.size() > capacity)
      return fail(HYPH_BUFFER_TOO_SMALL, "hyph_break_points: buffer too small");
    std::copy(found.begin(), found.end(), breaks);
    return HYPH_OK;
  });
}

hyph_status hyph_hyphenate_text(const hyph_hyphenator* hyphenator, const char* text,
                                size_t text_size, const char* separator, size_t separator_size,
                                int flags, char* out, size_t capacity, size_t* size) {
  if (!hyphenator || (!text && text_size) || (!separator && separator_size) || (!out && capacity) ||
      !size)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_hyphenate_text: null argument");
  if (flags & ~(HYPH_TEXT_HTML | HYPH_TEXT_HYPHENS_ONLY | HYPH_TEXT_SKIP_CODE))
    return fail(HYPH_INVALID_ARGUMENT, "hyph_hyphenate_text: unknown flags");
  return guarded([&] {
    hyph::TextOptions options;
    options.separator.assign(separator ? separator : "", separator_size);
    options.markup = (flags & HYPH_TEXT_HTML) ? hyph::Markup::Html : hyph::Markup::Plain;
    if (flags & HYPH_TEXT_HYPHENS_ONLY) options.compounds = hyph::Compounds::HyphensOnly;
    options.skipCode = (flags & HYPH_TEXT_SKIP_CODE) != 0;
    options.language = hyphenator->language;  // its own language's text uses its own tables
    const std::string result = hyph::hyphenateText(
        unwrap(hyphenator), std::string_view(text ? text : "", text_size), options);
    *size = result.size();
    if (result.size() > capacity)
      return fail(HYPH_BUFFER_TOO_SMALL, "hyph_hyphenate_text: buffer too small");
    if (!result.empty()) std::memcpy(out, result.data(), result.size());
    return HYPH_OK;
  });
}

const char* hyph_last_error(void) { return lastError.c_str(); }

}  // extern "C"
