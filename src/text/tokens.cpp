#include "tokens.hpp"

#include <algorithm>

#include "engine/utf8.hpp"
#include "html.hpp"
#include "unicode.hpp"
#include "url.hpp"

namespace hyph::text {

namespace {

constexpr char32_t kSoftHyphen = 0xAD;

/// Length of the UTF-8 sequence that `lead` starts, if it is a lead byte.
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

TokenReader::Status TokenReader::read(Pass& pass, const Context& context, bool option) {
  const std::size_t start = pass.i;
  const std::size_t n = pass.buffer.size();
  // A token that goes on past kMaxToken is not text: it is copied, from
  // there on as it comes.
  const std::size_t limit = std::min(n, start + kMaxToken);
  const unsigned char* p = pass.bytes();
  words_.clear();
  Scan scan{&context};
  std::size_t i = start;  // a copy, which the calls below cannot change
  while (i < limit) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      switch (context.ascii[b]) {
        case kLetter: {
          std::size_t end = i + 1;
          while (end < n && p[end] < 0x80 && context.ascii[p[end]] == kLetter) ++end;
          addLetters(scan, static_cast<char>(b), i, end, end - i, false);
          i = end;
          continue;
        }
        case kSpace:
          break;
        case kMarkup: {
          if (b == '<') break;
          const Reference reference = referenceAt(pass.buffer.substr(i), pass.final);
          if (reference.status == Reference::Status::Incomplete)
            return pass.needMore(start), Status::NeedMore;
          if (reference.status != Reference::Status::Character ||
              !character(scan, reference.codePoint, i, i + reference.length, true))
            endWord(scan);
          i += reference.length;
          continue;
        }
        case kColon:
          scan.colon = true;
          endWord(scan);
          ++i;
          continue;
        case kAt:
          scan.at = true;
          [[fallthrough]];
        default:
          endWord(scan);
          ++i;
          continue;
      }
      break;  // white space or a tag: the token ends
    }
    if (!pass.final && i + sequenceLength(b) > n) return pass.needMore(start), Status::NeedMore;
    const detail::Decoded decoded = detail::decodeOne(p + i, n - i);
    // An undecodable byte is never a letter, whatever its value.
    if (decoded.length == 1 ||
        !character(scan, decoded.codePoint, i, i + decoded.length, false)) {
      if (decoded.length > 1 && isWideSpace(decoded.codePoint)) {
        if (i == start) i += decoded.length;  // a token of its own, without words
        break;
      }
      endWord(scan);
    }
    i += decoded.length;
  }
  pass.i = i;
  if (i - start >= kMaxToken) return Status::TooLong;
  if (i == n && !pass.final) return pass.needMore(start), Status::NeedMore;
  endWord(scan);
  // Only a token with ":" or "@", or one whose first word could be "www",
  // can be a URL or an address, which is copied as it is.
  const std::string_view token = pass.buffer.substr(start, i - start);
  if ((scan.colon || scan.at || scan.first == 'w' || scan.first == 'W') &&
      isUrlOrAddress(token, scan.colon, scan.at))
    words_.clear();
  if (!words_.empty() && (options_.compounds != Compounds::EveryPart || options_.skipCode) &&
      leftWhole(pass.buffer, start, i, option))
    words_.clear();
  return Status::Done;
}

namespace {

bool isHyphenAt(std::string_view text, std::size_t at) {
  return text[at] == '-' || text.substr(at, 3) == "\u2010";
}

/// Whether a token with these words (offsets into `text`) has a hyphen
/// between two letters: two words with only a hyphen between them, or a
/// word with a hyphen inside (where the language counts it as a letter).
bool hasHyphenBetweenLetters(std::string_view text, const std::vector<Word>& words) {
  for (std::size_t k = 0; k < words.size(); ++k) {
    const Word& word = words[k];
    for (std::size_t at = word.start + 1; at + 1 < word.end; ++at)
      if (isHyphenAt(text, at)) return true;
    if (k > 0) {
      const std::size_t gap = word.start - words[k - 1].end;
      if ((gap == 1 || gap == 3) && isHyphenAt(text, words[k - 1].end)) return true;
    }
  }
  return false;
}

/// A word in mixed case: a capital after a small letter (camelCase,
/// GThemedIcon), or two capitals and then two small letters (HTTPServer).
bool mixedCase(std::string_view word) {
  std::size_t capitals = 0, smalls = 0;
  bool capitalsThenSmall = false;
  bool mixed = false;
  detail::decodeUtf8(word, [&](char32_t c, std::size_t, std::size_t) {
    if (mixed) return;
    if (isCapital(c)) {
      mixed = smalls > 0;
      ++capitals;
    } else if (isLower(c)) {
      capitalsThenSmall = capitalsThenSmall || (smalls == 0 && capitals >= 2);
      ++smalls;
      mixed = capitalsThenSmall && smalls >= 2;
    }
  });
  return mixed;
}

bool isDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

/// Whether the options leave the token, bytes [start, end) of `text`, whole.
bool TokenReader::leftWhole(std::string_view text, std::size_t start, std::size_t end,
                            bool option) const {
  if (options_.compounds == Compounds::HyphensOnly && hasHyphenBetweenLetters(text, words_))
    return true;
  if (!options_.skipCode) return false;
  if (option || text.substr(start, end - start).find('_') != std::string_view::npos) return true;
  for (std::size_t k = 0; k < words_.size(); ++k) {
    const Word& word = words_[k];
    if (k > 0 && isDigits(text.substr(words_[k - 1].end, word.start - words_[k - 1].end)))
      return true;
    if (mixedCase(text.substr(word.start, word.end - word.start))) return true;
  }
  return false;
}

/// Takes in a code point of the token (a letter, a mark, a soft hyphen);
/// false for any other, which ends the word.
bool TokenReader::character(Scan& scan, char32_t c, std::size_t from, std::size_t to,
                            bool reference) {
  if (c == kSoftHyphen && scan.inWord) {
    scan.afterSoft = true;  // the word has its breaks if a letter follows
    return true;
  }
  if (scan.context->words.isLetter(c)) {
    addLetters(scan, '\x80', from, to, 1, reference);
    return true;
  }
  if (scan.inWord && !scan.afterSoft && isMark(c)) {
    scan.word.end = to;
    scan.word.special = true;
    return true;
  }
  return false;
}

void TokenReader::addLetters(Scan& scan, char first, std::size_t from, std::size_t to,
                             std::size_t count, bool special) {
  Word& word = scan.word;
  if (!scan.inWord) {
    if (scan.first == 0) scan.first = first;
    word = {from, to, 0, false, false};
    scan.inWord = true;
    scan.afterSoft = false;
  } else if (scan.afterSoft) {
    word.soft = true;
    scan.afterSoft = false;
  }
  word.end = to;
  word.letters += count;
  word.special = word.special || special;
}

void TokenReader::endWord(Scan& scan) {
  if (!scan.inWord) return;
  scan.inWord = false;
  words_.push_back(scan.word);
}

}  // namespace hyph::text
