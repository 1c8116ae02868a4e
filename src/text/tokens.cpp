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

TokenReader::Status TokenReader::read(Pass& pass, const Context& context) {
  const std::size_t start = pass.i;
  const std::size_t n = pass.buffer.size();
  // A token that goes on past kMaxToken is not text: it is copied, from
  // there on as it comes.
  const std::size_t limit = std::min(n, start + kMaxToken);
  const unsigned char* p = pass.bytes();
  words_.clear();
  Scan scan{&context};
  std::size_t& i = pass.i;
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
  if (i - start >= kMaxToken) return Status::TooLong;
  if (i == n && !pass.final) return pass.needMore(start), Status::NeedMore;
  endWord(scan);
  // Only a token with ":" or "@", or one whose first word could be "www",
  // can be a URL or an address, which is copied as it is.
  if ((scan.colon || scan.at || scan.first == 'w' || scan.first == 'W') &&
      isUrlOrAddress(pass.buffer.substr(start, i - start), scan.colon, scan.at))
    words_.clear();
  return Status::Done;
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
