// Reading a user's pattern, exception and character files as TeX reads
// them, and making a Hyphenator of them.
//
//   const hyph::UserFile patterns{"my.pat", bytes};
//   const hyph::Hyphenator h = hyph::customHyphenator(hyph::english_US(), {.patterns = patterns});
//
// The library opens no file: the caller reads it and hands over its bytes,
// with the name by which messages call it. A file is read in either of two
// formats, told apart by its content:
//
// - plain, as the TeX hyphenation collection ships its txt/ files: patterns
//   ("hy3ph") or exception words ("ta-ble") separated by white space, one a
//   line as a rule; a "%" starts a comment that runs to the end of the line.
// - TeX, as hyph-*.tex files are: "%" comments, `\patterns{...}` and
//   `\hyphenation{...}` groups (one file may give both), `\message{...}`,
//   `\begingroup`, `\endgroup` and `\endinput`.
//
// Either may be compressed with gzip (told by its first two bytes), may start
// with a UTF-8 byte-order mark, which is skipped, and its lines may end in
// CR LF. As TeX maps letters through \lccode, the letters of
// patterns and exception words are mapped through the character map in use,
// so that "HY3PH" and "Ta-ble" mean what they say. Anything else is refused
// with hyph::Error "FILE:LINE: what is wrong" before any table is built: a
// file that is not UTF-8 text or holds a NUL byte, a pattern without letters
// ("12"), two digits in a row ("a12b"), a "." inside a pattern, a digit in
// an exception word, an unknown TeX command, an unclosed group, and a file
// of more than maxUserFileBytes once decompressed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "hyph/char_table.hpp"
#include "hyph/exceptions.hpp"
#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"
#include "hyph/pattern.hpp"

namespace hyph {

/// The largest file the reader takes, decompressed: 64 MiB, over a hundred
/// times the largest pattern file of the collection.
inline constexpr std::size_t maxUserFileBytes = std::size_t{64} << 20;

/// A file given by a user: the name that messages call it by, and its bytes.
struct UserFile {
  std::string_view name;   ///< What messages call it: its path, say.
  std::string_view bytes;  ///< Its contents.
};

/// The character map of a character file (plain format only): on each line
/// a letter followed by the code points that map to it ("aA", "ßSS"), as the
/// language files have them. Empty lines and "%" comment lines are skipped;
/// a line may not hold white space, a digit or ".".
HYPH_API CharTable readChars(const UserFile& file);

/// What a pattern file gives: its patterns, and the exception words of the
/// `\hyphenation` groups of a TeX file (nullopt when it has none).
struct PatternFile {
  Patterns patterns;                     ///< Its patterns.
  std::optional<Exceptions> exceptions;  ///< Its `\hyphenation` words, if it has any.
};

/// The patterns (and any exceptions) of a pattern file, letters mapped
/// through `chars`. A file without a single pattern is refused.
HYPH_API PatternFile readPatterns(const UserFile& file, const CharTable& chars);

/// The exception words of an exception file, letters mapped through `chars`.
HYPH_API Exceptions readExceptions(const UserFile& file, const CharTable& chars);

/// Tables that replace those of a Hyphenator, each read from its file.
struct CustomTables {
  std::optional<UserFile> chars = std::nullopt;         ///< A character file.
  std::optional<UserFile> patterns = std::nullopt;      ///< A pattern file, plain or TeX.
  std::optional<UserFile> exceptions = std::nullopt;    ///< An exception file.
  /// Words of the user's own, in an exception file's form
  /// ("Sil-ben-tren-nung"), over the exceptions in use (the language's, or
  /// those of the files above): a word listed here breaks where it says,
  /// whatever the language's own list says of it; every other word as
  /// before, at the same cost.
  std::optional<UserFile> words = std::nullopt;
  std::optional<std::int64_t> leftMin = std::nullopt;   ///< The left minimum.
  std::optional<std::int64_t> rightMin = std::nullopt;  ///< The right minimum.
};

/// `base` with the tables and minimums that `custom` gives instead of its
/// own: a given character file maps the letters of the given pattern and
/// exception files (else the base's map does), and a TeX pattern file's
/// `\hyphenation` words replace the base's exceptions (merged with those of
/// an exception file, when both are given). All files are read and every
/// table built before it returns; throws hyph::Error for a file it refuses.
HYPH_API Hyphenator customHyphenator(const Hyphenator& base, const CustomTables& custom);

/// `base` with words of the user's own over its exceptions: what
/// customHyphenator(base, {.words = words}) gives, for a caller that needs
/// nothing else of the readers (the WebAssembly build keeps the pattern
/// readers out this way). `base` must have a character table, as every
/// loaded language has; throws hyph::Error otherwise, and for a refused
/// file.
HYPH_API Hyphenator withWords(const Hyphenator& base, const UserFile& words);

/// A Hyphenator of files alone. Without a character file, the letters of the
/// patterns and exceptions map to themselves (so case is not folded);
/// without minimums, TeX's defaults 2 and 3 apply; without a pattern file,
/// there are no patterns.
HYPH_API Hyphenator customHyphenator(const CustomTables& custom);

}  // namespace hyph
