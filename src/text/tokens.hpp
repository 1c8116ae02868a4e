// Deciding a token of running text: a run without white space, read to its
// end before anything of it is written, since only then is it known whether
// it is a URL or an address (copied whole) or text whose words are written
// hyphenated.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "pass.hpp"
#include "words.hpp"

namespace hyph::text {

/// A token longer than this is no text: it is copied as it comes.
inline constexpr std::size_t kMaxToken = std::size_t{64} << 10;

/// Reads tokens and finds their words; keeps its scratch from token to token.
class TokenReader {
 public:
  /// The options say which tokens to leave whole (compounds, code).
  explicit TokenReader(const TextOptions& options) : options_(options) {}

  enum class Status {
    NeedMore,  // it may go on in the next chunk: the pass stopped at its start
    TooLong,   // kMaxToken bytes and more: the pass stands where it was cut
    Done,      // the pass stands at its end; words() are its words to hyphenate
  };

  /// Reads the token that starts at pass.i (a letter, a reference or a
  /// non-ASCII character) in `context`'s letters. `option`: one or two "-"
  /// stand before it, and white space (or nothing) before them, as before a
  /// command's option.
  Status read(Pass& pass, const Context& context, bool option);

  /// The words of the token read last, in order, to hyphenate; none for a
  /// URL or an address, or a token that the options leave whole.
  const std::vector<Word>& words() const { return words_; }

 private:
  /// Where the reading of a token stands: its word in progress, and what
  /// tells a URL or an address.
  struct Scan {
    const Context* context;
    bool inWord = false;
    bool afterSoft = false;  // a soft hyphen ended the word so far
    bool colon = false, at = false;
    char first = 0;  // the first byte of its first word
    Word word{};
  };

  bool character(Scan& scan, char32_t c, std::size_t from, std::size_t to, bool reference);
  void addLetters(Scan& scan, char first, std::size_t from, std::size_t to, std::size_t count,
                  bool special);
  void endWord(Scan& scan);

  bool leftWhole(std::string_view text, std::size_t start, std::size_t end, bool option) const;

  const TextOptions& options_;
  std::vector<Word> words_;
};

}  // namespace hyph::text
