// The pattern trie against itself and against the definition: the parsed
// trie, the same patterns inserted one by one, and a plain Liang lookup
// written from the definition score every word alike; a merge of two parts
// of the patterns scores as the trie of all of them. Input: pattern lines,
// then a 0xFF byte and words.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "engine/utf8.hpp"
#include "hyph/pattern.hpp"

namespace {

using hyph::Scores;

struct Pattern {
  std::u32string letters;
  Scores scores;
};

/// Every pattern tried at every position of the padded word, by the
/// definition; where two lines have the same letters, the first counts.
Scores reference(std::u32string_view word, const std::vector<Pattern>& patterns) {
  std::u32string padded = U"." + std::u32string(word) + U".";
  const std::size_t m = padded.size();
  Scores result(m, 0);
  for (std::size_t i = 0; i <= m; ++i)
    for (const Pattern& p : patterns) {
      if (i + p.letters.size() > m || padded.compare(i, p.letters.size(), p.letters) != 0) continue;
      if (result.size() < i + p.scores.size())
        result.resize(i + p.scores.size(), std::numeric_limits<std::int64_t>::min());
      for (std::size_t k = 0; k < p.scores.size(); ++k)
        result[i + k] = std::max(result[i + k], p.scores[k]);
    }
  return Scores(result.begin() + 1, result.end() - 1);
}

/// The pointwise maximum of the patterns with the same letters, as a merge
/// keeps them.
std::vector<Pattern> merged(std::vector<Pattern> patterns) {
  std::vector<Pattern> out;
  for (Pattern& p : patterns) {
    auto same = std::find_if(out.begin(), out.end(),
                             [&](const Pattern& q) { return q.letters == p.letters; });
    if (same == out.end()) {
      out.push_back(std::move(p));
      continue;
    }
    Scores& into = same->scores;
    if (into.size() < p.scores.size()) into.resize(p.scores.size(), 0);
    for (std::size_t k = 0; k < p.scores.size(); ++k) into[k] = std::max(into[k], p.scores[k]);
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t split = std::min(input.find('\xFF'), input.size());
  const std::u32string text = hyph::detail::decodeUtf8(input.substr(0, split));
  const std::u32string words =
      hyph::detail::decodeUtf8(split < input.size() ? input.substr(split + 1) : "");

  std::vector<std::u32string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(U'\n', start), text.size());
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  if (lines.size() > 64) return 0;  // the reference is quadratic
  std::vector<Pattern> firstWins, halves[2];
  hyph::Patterns inserted;
  for (std::size_t k = lines.size(); k-- > 0;) inserted = hyph::insertPattern(lines[k], inserted);
  for (std::size_t k = 0; k < lines.size(); ++k) {
    Pattern p;
    for (char32_t c : lines[k])
      if (c < U'0' || c > U'9') p.letters += c;
    p.scores = hyph::scorePattern(lines[k]);
    if (std::none_of(firstWins.begin(), firstWins.end(),
                     [&](const Pattern& q) { return q.letters == p.letters; }))
      firstWins.push_back(p);
    halves[k % 2].push_back(p);
  }
  const hyph::Patterns parsed = hyph::parsePatterns(text);
  std::u32string evens, odds;
  for (std::size_t k = 0; k < lines.size(); ++k) (k % 2 ? odds : evens) += lines[k] + U"\n";
  const hyph::Patterns united = hyph::parsePatterns(evens) | hyph::parsePatterns(odds);
  // Within each half the first line wins; between them the maximum.
  auto firstOf = [](const std::vector<Pattern>& half) {
    std::vector<Pattern> out;
    for (const Pattern& p : half)
      if (std::none_of(out.begin(), out.end(),
                       [&](const Pattern& q) { return q.letters == p.letters; }))
        out.push_back(p);
    return out;
  };
  std::vector<Pattern> union_ = firstOf(halves[0]);
  for (const Pattern& p : firstOf(halves[1])) union_.push_back(p);
  union_ = merged(std::move(union_));

  for (std::size_t start = 0; start <= words.size();) {
    const std::size_t end = std::min(words.find(U'\n', start), words.size());
    const std::u32string_view word = std::u32string_view(words).substr(start, end - start);
    start = end + 1;
    if (word.size() > 200) continue;
    const Scores expected = reference(word, firstWins);
    if (hyph::lookupPattern(word, parsed) != expected) std::abort();
    if (hyph::lookupPattern(word, inserted) != expected) std::abort();
    if (hyph::lookupPattern(word, united) != reference(word, union_)) std::abort();
    if (end == words.size()) break;
  }
  if (!(parsed == inserted)) std::abort();
  return 0;
}
