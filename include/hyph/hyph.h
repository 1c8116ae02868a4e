/* The C interface of hyph, for C99 programs and foreign-function interfaces.
 *
 *   const hyph_hyphenator* english;
 *   size_t breaks[16], count;
 *   if (hyph_language("en-us", &english) == HYPH_OK &&
 *       hyph_break_points(english, "hyphenation", 11, breaks, 16, &count) == HYPH_OK)
 *     ...  // count == 2, breaks == {2, 6}: "hy-phen-ation"
 *
 * No C++ exception crosses this interface: every function returns a status,
 * and after a failure hyph_last_error() describes it. All functions may be
 * called from any thread; the hyphenators are shared and never freed.
 */
#ifndef HYPH_HYPH_H
#define HYPH_HYPH_H

#include <stddef.h>

#include "hyph/export.hpp"

#ifdef __cplusplus
extern "C" {
#endif

/** A hyphenator: a language's shared one (`const`, valid for the rest of
 *  the process, never freed) or one made with hyph_create or
 *  hyph_with_minimums (the caller's, freed with hyph_free). */
typedef struct hyph_hyphenator hyph_hyphenator;

typedef enum hyph_status {
  HYPH_OK = 0,
  /** An argument is null where it may not be, or has bits or values that
   *  mean nothing (unknown flags). */
  HYPH_INVALID_ARGUMENT = 1,
  /** The same status under the name hyph 1.0.0 also gave it; kept so that
   *  programs written for 1.0.0 still compile. New code says
   *  HYPH_INVALID_ARGUMENT. */
  HYPH_EINVAL = HYPH_INVALID_ARGUMENT,
  /** No language has that name or affix. */
  HYPH_UNKNOWN_LANGUAGE = 2,
  /** The caller's buffer is too small; the size needed was reported. */
  HYPH_BUFFER_TOO_SMALL = 3,
  /** The library failed (a table could not be built, a file was refused);
   *  see hyph_last_error(). */
  HYPH_FAILED = 4,
  /** Out of memory. */
  HYPH_OUT_OF_MEMORY = 5
} hyph_status;

/** Flags of hyph_hyphenate_text, or-ed; any other bit is
 *  HYPH_INVALID_ARGUMENT. HYPH_TEXT_HYPHENS_ONLY breaks words joined by a
 *  hyphen only at the hyphen ("Backslash-Zeichen"; without it every part is
 *  broken too); HYPH_TEXT_SKIP_CODE leaves code-like tokens whole (LC_CTYPE,
 *  camelCase, utf8proc, --option). */
enum {
  HYPH_TEXT_PLAIN = 0,
  HYPH_TEXT_HTML = 1,
  HYPH_TEXT_HYPHENS_ONLY = 2,
  HYPH_TEXT_SKIP_CODE = 4
};

/** A piece of a word: `size` bytes from `data`, which points into the word. */
typedef struct hyph_piece {
  const char* data; /**< Its first byte, in the word. */
  size_t size;      /**< Its bytes. */
} hyph_piece;

/** A break of a word and what it does to the spelling (see hyph_breaks):
 *  bytes [start, end) of the word are written as `before_size` bytes, the
 *  break, then `after_size` bytes. A break that only cuts has start and end
 *  at its position and both sizes 0. */
typedef struct hyph_break {
  size_t position;    /**< The byte offset at which the next piece starts. */
  size_t start;       /**< The first byte that the break rewrites. */
  size_t end;         /**< Past the last byte that it rewrites. */
  size_t before_size; /**< The bytes that [start, position) is written as. */
  size_t after_size;  /**< The bytes that [position, end) is written as. */
} hyph_break;

/** The library's version, "major.minor.patch". */
HYPH_API const char* hyph_version(void);

/** The number of languages (73) and the enumerator name and affix of the
 *  language with ordinal `index` (NULL when out of range). */
HYPH_API size_t hyph_language_count(void);
HYPH_API const char* hyph_language_name(size_t index);
HYPH_API const char* hyph_language_affix(size_t index);

/** The shared hyphenator of a language, by any name that findLanguage
 *  takes: an affix ("en-us", "de-1996"), an enumerator name in any case
 *  ("English_US") or a BCP 47 tag ("de", "pt-BR", "en_GB"). */
HYPH_API hyph_status hyph_language(const char* name, const hyph_hyphenator** out);

/** A hyphenator of the caller's own: `base` (a language's, or NULL) with
 *  the tables that the given texts make instead of its own. Each text is
 *  the contents of a character, pattern or exception file, in the formats
 *  that the command reads (plain or TeX, UTF-8 or gzip; see hyph(1)),
 *  `size` bytes long; NULL keeps the base's table. Without a base, the
 *  letters of the texts map to themselves unless a character text is given,
 *  and the minimums are 2 and 3. A refused text gives HYPH_FAILED with
 *  "chars:LINE: ...", "patterns:LINE: ..." or "exceptions:LINE: ..." as
 *  the last error. Free the result with hyph_free. */
HYPH_API hyph_status hyph_create(const hyph_hyphenator* base, const char* chars, size_t chars_size,
                                 const char* patterns, size_t patterns_size, const char* exceptions,
                                 size_t exceptions_size, hyph_hyphenator** out);

/** `base` with words of the caller's own over its exceptions: `words` is
 *  the contents of an exception file ("Sil-ben-tren-nung" a line), `size`
 *  bytes long. A word it lists breaks where it says, whatever the base's
 *  own exceptions say; every other word as before. A refused text gives
 *  HYPH_FAILED with "words:LINE: ..." as the last error. Free the result
 *  with hyph_free. */
HYPH_API hyph_status hyph_with_words(const hyph_hyphenator* base, const char* words, size_t size,
                                     hyph_hyphenator** out);

/** A hyphenator of a libhyphen dictionary (hyph_*.dic, as LibreOffice and
 *  pyphen read them; plain or gzip): its `size` bytes, in any encoding that
 *  its first line names. It breaks words as libhyphen 2.8.8 does, its
 *  non-standard breaks included (see hyph_breaks). A refused file gives
 *  HYPH_FAILED with "dictionary:LINE: ..." as the last error. Free the
 *  result with hyph_free. */
HYPH_API hyph_status hyph_read_dictionary(const char* bytes, size_t size, hyph_hyphenator** out);

/** A copy of `hyphenator` with other minimums (0 or more); free it with
 *  hyph_free. */
HYPH_API hyph_status hyph_with_minimums(const hyph_hyphenator* hyphenator, long long left_min,
                                        long long right_min, hyph_hyphenator** out);

/** The least number of code points before the first and after the last
 *  break. */
HYPH_API long long hyph_left_min(const hyph_hyphenator* hyphenator);
HYPH_API long long hyph_right_min(const hyph_hyphenator* hyphenator);

/** Frees a hyphenator of hyph_create or hyph_with_minimums (NULL: nothing);
 *  never one of hyph_language. */
HYPH_API void hyph_free(hyph_hyphenator* hyphenator);

/** The byte offsets in the UTF-8 `word` at which its pieces start: a break
 *  falls before each. Writes at most `capacity` offsets to `breaks` and the
 *  number of breaks to `*count`; returns HYPH_BUFFER_TOO_SMALL (with
 *  `*count` the number needed) when they do not fit. A word has at most as
 *  many breaks as bytes. */
HYPH_API hyph_status hyph_break_points(const hyph_hyphenator* hyphenator, const char* word,
                                       size_t word_size, size_t* breaks, size_t capacity,
                                       size_t* count);

/** Every break of the UTF-8 `word`, as hyph_break_points finds them, with
 *  what each does to the spelling: a non-standard break of a dictionary
 *  rewrites the letters around it (Hungarian "asszonnyal" breaks as
 *  "asszony-nyal", rewriting "nny" as "ny" and "ny"). hyph_split gives the
 *  two halves at one. Writes at most `capacity` to `breaks` and their
 *  number to `*count`; HYPH_BUFFER_TOO_SMALL (with `*count` the number
 *  needed) when they do not fit. */
HYPH_API hyph_status hyph_breaks(const hyph_hyphenator* hyphenator, const char* word,
                                 size_t word_size, hyph_break* breaks, size_t capacity,
                                 size_t* count);

/** The two halves of the UTF-8 `word` broken at its break at byte
 *  `position`, spelt as the break says, with no hyphen: the first half's
 *  `*first_size` bytes, then the second's `*second_size`, written to `out`
 *  (not NUL-terminated). HYPH_BUFFER_TOO_SMALL, with the sizes, when they
 *  do not fit in `capacity`; HYPH_INVALID_ARGUMENT when the word has no
 *  break there. */
HYPH_API hyph_status hyph_split(const hyph_hyphenator* hyphenator, const char* word,
                                size_t word_size, size_t position, char* out, size_t capacity,
                                size_t* first_size, size_t* second_size);

/** The pieces of the UTF-8 `word` between which a hyphen may go, in order;
 *  they point into `word` and together are the whole of it (the word cut
 *  at its breaks as it is written: where a break rewrites the word,
 *  hyph_breaks and hyph_split say how). Writes at most
 *  `capacity` to `pieces` and their number to `*count`; returns
 *  HYPH_BUFFER_TOO_SMALL (with `*count` the number needed) when they do not
 *  fit. A word of n bytes has at most n + 1 pieces. */
HYPH_API hyph_status hyph_pieces(const hyph_hyphenator* hyphenator, const char* word,
                                 size_t word_size, hyph_piece* pieces, size_t capacity,
                                 size_t* count);

/** Where to cut the UTF-8 `word` so that its first part, with a hyphen of
 *  `hyphen_width` code points after it, takes at most `width` code points:
 *  the byte offset of the latest such break in `*cut`, or 0 when there is
 *  none (the word then stays whole). The first part is counted as written
 *  when broken there (hyph_split gives it). */
HYPH_API hyph_status hyph_wrap(const hyph_hyphenator* hyphenator, const char* word,
                               size_t word_size, size_t width, size_t hyphen_width, size_t* cut);

/** The UTF-8 `text` with `separator` inserted at every break of every word
 *  (flags: HYPH_TEXT_PLAIN or HYPH_TEXT_HTML, with the others above). In HTML, text that a `lang`
 *  attribute marks as the hyphenator's own language (a language's, or one
 *  that hyph_create or hyph_with_minimums made from it) is hyphenated with
 *  this hyphenator and its own tables; text marked as another language
 *  that hyph has, with that language's shared hyphenator; text in a
 *  language that hyph does not have is left as it is. Writes at most `capacity`
 *  bytes to `out` (not NUL-terminated) and the size of the whole result to
 *  `*size`; returns HYPH_BUFFER_TOO_SMALL when it does not fit, so that a
 *  call with capacity 0 asks for the size. */
HYPH_API hyph_status hyph_hyphenate_text(const hyph_hyphenator* hyphenator, const char* text,
                                         size_t text_size, const char* separator,
                                         size_t separator_size, int flags, char* out,
                                         size_t capacity, size_t* size);

/** The message of the last failure in the calling thread ("" if none). */
HYPH_API const char* hyph_last_error(void);

#ifdef __cplusplus
}
#endif

#endif
