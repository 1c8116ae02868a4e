// Hyphenating running text, plain or HTML, in one streaming pass.
#include "hyph/text.hpp"

#include "hyph/error.hpp"
#include "utf8.hpp"

namespace hyph {

namespace {

bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiAlnum(char c) { return isAsciiAlpha(c) || (c >= '0' && c <= '9'); }
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool isRawElement(std::string_view name) {
  return name == "script" || name == "style" || name == "pre" || name == "code" ||
         name == "textarea";
}

/// Length of the UTF-8 sequence that `lead` starts, if it is a lead byte.
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

TextHyphenator::TextHyphenator(const Hyphenator& hyphenator, TextOptions options)
    : hyphenator_(hyphenator), options_(std::move(options)) {
  if (!options_.isLetter) {
    letters_ = hyphenatorCharMap(hyphenator_);
    if (!letters_)
      throw Error(
          "hyphenateText: the Hyphenator's mapping is a plain function, so the letters must be "
          "given (TextOptions::isLetter)");
    for (char32_t c = 0; c < 128; ++c) asciiLetters_[c] = letters_->isLetter(c);
  }
}

bool TextHyphenator::letter(char32_t c) const {
  return letters_ ? letters_->isLetter(c) : options_.isLetter(c);
}

void TextHyphenator::emitWord(std::string_view word, std::string& out) {
  breakPoints(hyphenator_, word, breaks_);
  std::size_t start = 0;
  for (std::size_t position : breaks_) {
    out.append(word.substr(start, position - start));
    out += options_.separator;
    start = position;
  }
  out.append(word.substr(start));
}

void TextHyphenator::write(std::string_view chunk, std::string& out) {
  pending_.append(chunk);
  process(false, out);
}

void TextHyphenator::finish(std::string& out) {
  process(true, out);
  pending_.clear();
}

void TextHyphenator::process(bool final, std::string& out) {
  const std::string_view buffer = pending_;
  const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
  const std::size_t n = buffer.size();
  const bool html = options_.markup == Markup::Html;
  std::size_t i = 0;
  std::size_t copied = 0;      // buffer[copied, i) is passed-through text not yet appended
  std::size_t wordStart = n;   // start of the letter run in progress, or n
  std::size_t wordLength = 0;  // its length in code points
  std::size_t keep = n;        // where undecided input starts, when stopping early

  auto copyUpTo = [&](std::size_t end) {
    out.append(buffer.substr(copied, end - copied));
    copied = end;
  };
  auto endWord = [&](std::size_t end) {
    if (wordStart == n) return;
    copyUpTo(wordStart);
    emitWord(buffer.substr(wordStart, end - wordStart), out);
    copied = end;
    wordStart = n;
  };

  while (i < n) {
    if (state_ == State::Text) {
      const char c = buffer[i];
      if (html && (c == '<' || c == '&')) {
        endWord(i);
        longRun_ = false;
        if (c == '<') {
          if (i + 1 >= n && !final) {
            keep = i;
            break;
          }
          const char next = i + 1 < n ? buffer[i + 1] : '\0';
          if (next == '!' && (i + 4 > n) && !final) {
            keep = i;
            break;
          }
          if (buffer.substr(i, 4) == "<!--") {
            state_ = State::Comment;
            dashes_ = 0;
            i += 4;
          } else if (isAsciiAlpha(next) || next == '/' || next == '!' || next == '?') {
            state_ = State::Tag;
            quote_ = 0;
            endTag_ = next == '/';
            nameDone_ = !(isAsciiAlpha(next) || next == '/');
            tagName_.clear();
            tagLast_ = 0;
            i += endTag_ ? 2 : 1;
          } else {
            ++i;  // a lone '<' is text
          }
        } else {
          // A character reference: '&', name or number characters, ';'.
          std::size_t end = i + 1;
          while (end < n && end - i < 40 && (isAsciiAlnum(buffer[end]) || buffer[end] == '#'))
            ++end;
          if (end == n && !final && end - i < 40) {
            keep = i;
            break;
          }
          if (end < n && buffer[end] == ';') ++end;
          i = end;
        }
        continue;
      }
      if (letters_ && bytes[i] < 0x80 && asciiLetters_[bytes[i]]) {
        // A run of ASCII letters, the bulk of most text, in one step.
        std::size_t end = i + 1;
        while (end < n && bytes[end] < 0x80 && asciiLetters_[bytes[end]]) ++end;
        if (!longRun_) {
          if (wordStart == n) {
            wordStart = i;
            wordLength = 0;
          }
          wordLength += end - i;
          if (wordLength > maxTextWordLength) {
            wordStart = n;  // not a word: leave it unhyphenated
            longRun_ = true;
          }
        }
        i = end;
        continue;
      }
      // One code point, unless its sequence may continue in the next chunk.
      std::size_t length = 1;
      bool isLetter;
      if (bytes[i] < 0x80) {
        isLetter = letters_ ? asciiLetters_[bytes[i]] : options_.isLetter(bytes[i]);
      } else {
        if (!final && i + sequenceLength(bytes[i]) > n) {
          keep = wordStart != n ? wordStart : i;
          break;
        }
        const detail::Decoded decoded = detail::decodeOne(bytes + i, n - i);
        length = decoded.length;
        // An undecodable byte is never a letter, whatever its value.
        isLetter = length > 1 && letter(decoded.codePoint);
      }
      if (isLetter) {
        if (longRun_) {
          // Still inside an over-long run: copied as it is.
        } else if (wordStart == n) {
          wordStart = i;
          wordLength = 1;
        } else if (++wordLength > maxTextWordLength) {
          wordStart = n;  // not a word: leave it unhyphenated
          longRun_ = true;
        }
      } else {
        endWord(i);
        longRun_ = false;
      }
      i += length;
      continue;
    }

    if (state_ == State::Tag) {
      const char c = buffer[i++];
      const char before = tagLast_;
      tagLast_ = c;
      if (quote_ != 0) {
        if (c == quote_) quote_ = 0;
      } else if (c == '"' || c == '\'') {
        quote_ = c;
        nameDone_ = true;
      } else if (c == '>') {
        const bool selfClosing = before == '/';
        if (!endTag_ && !selfClosing && isRawElement(tagName_)) {
          state_ = State::Raw;
          rawName_ = tagName_;
          rawMatched_ = 0;
        } else {
          state_ = State::Text;
        }
      } else if (!nameDone_) {
        if (isAsciiAlnum(c) && tagName_.size() < 16)
          tagName_ += asciiLower(c);
        else
          nameDone_ = true;
      }
      continue;
    }

    if (state_ == State::Comment) {
      const char c = buffer[i++];
      if (c == '>' && dashes_ >= 2) state_ = State::Text;
      dashes_ = c == '-' ? dashes_ + 1 : 0;
      continue;
    }

    // State::Raw: look for "</" and the element's name.
    const char c = asciiLower(buffer[i++]);
    const std::size_t target = 2 + rawName_.size();
    const char expected = rawMatched_ == 0   ? '<'
                          : rawMatched_ == 1 ? '/'
                                             : rawName_[rawMatched_ - 2];
    if (c == expected) {
      if (++rawMatched_ == target) {
        state_ = State::Tag;
        quote_ = 0;
        endTag_ = true;
        nameDone_ = false;
        tagName_ = rawName_;
        tagLast_ = 0;
      }
    } else {
      rawMatched_ = c == '<' ? 1 : 0;
    }
  }

  if (keep == n && wordStart != n) {
    if (final) {
      endWord(n);
    } else {
      keep = wordStart;
    }
  }
  copyUpTo(std::min(keep, n));
  pending_.erase(0, std::min(keep, n));
}

void hyphenateText(const Hyphenator& h, std::string_view text, std::string& out,
                   const TextOptions& options) {
  TextHyphenator stream(h, options);
  stream.write(text, out);
  stream.finish(out);
}

std::string hyphenateText(const Hyphenator& h, std::string_view text, const TextOptions& options) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  hyphenateText(h, text, out, options);
  return out;
}

std::string hyphenateText(const Hyphenator& h, std::string_view text, std::string_view separator) {
  TextOptions options;
  options.separator = std::string(separator);
  return hyphenateText(h, text, options);
}

}  // namespace hyph
