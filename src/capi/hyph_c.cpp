// The C interface: thin wrappers that turn exceptions into status codes.
#include "hyph/hyph.h"

#include <cstring>
#include <new>
#include <string>

#include "hyph/hyph.hpp"

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

const hyph::Hyphenator& unwrap(const hyph_hyphenator* h) {
  return *reinterpret_cast<const hyph::Hyphenator*>(h);
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
    if (!language) return fail(HYPH_UNKNOWN_LANGUAGE, std::string("unknown language ") + name);
    *out = reinterpret_cast<const hyph_hyphenator*>(&hyph::languageHyphenator(*language));
    return HYPH_OK;
  });
}

hyph_status hyph_break_points(const hyph_hyphenator* hyphenator, const char* word, size_t word_size,
                              size_t* breaks, size_t capacity, size_t* count) {
  if (!hyphenator || (!word && word_size) || (!breaks && capacity) || !count)
    return fail(HYPH_INVALID_ARGUMENT, "hyph_break_points: null argument");
  return guarded([&] {
    thread_local std::vector<std::size_t> found;
    hyph::breakPoints(unwrap(hyphenator), std::string_view(word ? word : "", word_size), found);
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
  return guarded([&] {
    hyph::TextOptions options;
    options.separator.assign(separator ? separator : "", separator_size);
    options.markup = (flags & HYPH_TEXT_HTML) ? hyph::Markup::Html : hyph::Markup::Plain;
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
