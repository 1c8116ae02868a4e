// Hyphenating running text, plain or HTML, in one streaming pass.
//
// The input is read in states: text, and in HTML the markup around it
// (markup.cpp). Text is cut at white space into tokens, each read to its end
// before anything of it is written, so that a URL or an address can be told
// from words (tokens.cpp); the words of every other token are written with
// the separator at their breaks (words.cpp). Each part keeps only what it
// must to resume in the next chunk, and a token longer than kMaxToken is
// copied as it arrives, so memory stays bounded. This file holds the pass
// and the output: what has been decided is copied, what has not is kept
// for the next chunk.
#include "hyph/text.hpp"

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "hyph/error.hpp"
#include "markup.hpp"
#include "pass.hpp"
#include "tokens.hpp"
#include "words.hpp"

namespace hyph {

using text::Context;
using text::kMarkup;
using text::kLetter;
using text::kNoContext;
using text::kOwnContext;
using text::MarkupReader;
using text::Pass;
using text::TokenReader;

class TextHyphenator::Impl {
 public:
  Impl(const Hyphenator& hyphenator, TextOptions options)
      : options_(std::move(options)),
        html_(options_.markup == Markup::Html),
        hyphenator_(hyphenator),  // held, so that its tables last as long as this
        markup_(options_.followLang, [this](std::string_view lang) { return contextOf(lang); }),
        tokens_(options_),
        breaker_(options_) {
    // Room for every language's context, so that none moves when another
    // is made; each is made when its language is first met.
    contexts_.reserve(languageCount + 1);
    Context& own = contexts_.emplace_back();
    own.words.hyphenator = &hyphenator_;
    own.words.letters = options_.isLetter ? nullptr : hyphenatorCharTable(hyphenator_);
    own.words.isLetterOf = &options_.isLetter;
    if (!options_.isLetter && !own.words.letters)
      throw Error(
          "hyphenateText: the Hyphenator's mapping is a plain function, so the letters must be "
          "given (TextOptions::isLetter)");
    own.words.readHyphenator();
    own.classify(html_);
    reset();
  }

  void write(std::string_view chunk, std::string& out) {
    pending_.append(chunk);
    process(false, out);
  }

  void finish(std::string& out) {
    process(true, out);
    pending_.clear();
    reset();
  }

 private:
  void reset() {
    markup_.reset();
    skipping_ = false;
    dashes_ = 0;
    boundary_ = true;
  }

  /// The context of a `lang` value, made on first use.
  std::int16_t contextOf(std::string_view lang) {
    const std::optional<Language> language = findLanguage(lang);
    if (!language) return kNoContext;
    // The Hyphenator given serves its own language whether or not the
    // language's shared one is loaded.
    if (language == options_.language) return kOwnContext;
    if (!languageAvailable(*language)) return kNoContext;
    std::int16_t& index = languageContexts_[static_cast<std::size_t>(fromEnum(*language))];
    if (index == kOwnContext) {  // not made yet
      Context& context = contexts_.emplace_back();
      context.words.hyphenator = &languageHyphenator(*language);
      context.words.letters = hyphenatorCharTable(*context.words.hyphenator);
      context.words.readHyphenator();
      context.classify(html_);
      index = static_cast<std::int16_t>(contexts_.size() - 1);
    }
    return index;
  }

  /// One pass over the pending input: as far as it decides, the rest kept.
  void process(bool final, std::string& out) {
    pass_ = Pass{pending_, final};
    out_ = &out;
    copied_ = 0;
    while (pass_.i < pass_.buffer.size() && !pass_.stopped()) {
      if (markup_.state() == MarkupReader::State::Text)
        text();
      else
        markup_.read(pass_);
    }
    const std::size_t decided = pass_.stopped() ? pass_.keep : pass_.buffer.size();
    copyUpTo(decided);
    pending_.erase(0, decided);
  }

  void copyUpTo(std::size_t end) {
    out_->append(pass_.buffer.substr(copied_, end - copied_));
    copied_ = end;
  }

  /// Text, up to the next tag or the end of the input.
  void text() {
    const std::size_t n = pass_.buffer.size();
    const unsigned char* p = pass_.bytes();
    std::size_t& i = pass_.i;
    if (skipping_) {  // the rest of an over-long token, copied as it comes
      while (i < n && !text::isSpace(p[i]) && !(html_ && p[i] == '<')) ++i;
      skipping_ = i == n;
      return;
    }
    const MarkupReader::Frame& frame = markup_.top();
    if (frame.unhyphenated || frame.context == kNoContext) {
      i = html_ ? std::min(pass_.buffer.find('<', i), n) : n;
      if (i < n) openMarkup();
      return;
    }
    // Bytes that are no letter need no token: a token starts at its first
    // letter (or reference, or non-ASCII character), which is where a URL
    // or an address starts too, but for brackets and quotes.
    const Context& context = contexts_[static_cast<std::size_t>(frame.context)];
    const std::uint8_t* classes = context.ascii;
    while (i < n) {
      const unsigned char b = p[i];
      if (b >= 0x80 || classes[b] == kLetter || (classes[b] == kMarkup && b == '&')) {
        if (!token(context) || skipping_) return;
      } else if (classes[b] == kMarkup) {
        openMarkup();
        return;
      } else {
        if (options_.skipCode) noteOptionDash(b);
        ++i;
      }
    }
  }

  /// Reads the token at the pass's position and writes it; false, with
  /// nothing written, when it may go on in the next chunk.
  bool token(const Context& context) {
    const bool option = boundary_ && (dashes_ == 1 || dashes_ == 2);
    switch (tokens_.read(pass_, context, option)) {
      case TokenReader::Status::NeedMore:
        return false;
      case TokenReader::Status::TooLong:
        copyUpTo(pass_.i);
        skipping_ = true;
        return true;
      case TokenReader::Status::Done:
        break;
    }
    // A word without breaks is copied with what surrounds it, later.
    for (const text::Word& word : tokens_.words()) {
      const std::vector<std::size_t>& breaks = breaker_.breaks(context.words, pass_.buffer, word);
      if (breaks.empty()) continue;
      copyUpTo(word.start);
      const std::string_view bytes = pass_.buffer.substr(word.start, word.end - word.start);
      if (const auto& rewritings = breaker_.rewritings(); !rewritings.empty())
        appendRewritten(bytes, rewritings);
      else
        appendJoined(*out_, bytes, breaks, options_.separator);
      copied_ = word.end;
    }
    dashes_ = 0;
    boundary_ = false;
    return true;
  }

  /// A word with the separator at its breaks, each spelt as it says.
  void appendRewritten(std::string_view word, const std::vector<text::Rewriting>& rewritings) {
    std::size_t from = 0;
    for (const text::Rewriting& r : rewritings) {
      out_->append(word.substr(from, r.start - from));
      out_->append(r.before);
      out_->append(options_.separator);
      out_->append(r.after);
      from = r.end;
    }
    out_->append(word.substr(from));
  }

  /// At a "<" of HTML text; the text after the markup starts afresh.
  void openMarkup() {
    markup_.open(pass_);
    dashes_ = 0;
    boundary_ = true;
  }

  /// Counts the "-" before a token, and whether white space stands before
  /// them: "-wholename", "--in-place" are a command's options.
  void noteOptionDash(unsigned char b) {
    if (b == '-') {
      ++dashes_;
    } else {
      dashes_ = 0;
      boundary_ = text::isSpace(b);
    }
  }

  TextOptions options_;
  bool html_;
  Hyphenator hyphenator_;
  // kOwnContext, then those of the languages met, in the order met: a
  // text of a few words makes one, not one for every language.
  std::vector<Context> contexts_;
  std::array<std::int16_t, languageCount> languageContexts_{};  // kOwnContext: none made

  std::string pending_;  // undecided input: a token, a partial sequence, a short lookahead
  MarkupReader markup_;
  bool skipping_ = false;  // inside a token over kMaxToken bytes
  // Before the next token: the "-" right before it, and whether white space
  // (or the start, or markup) stands before them.
  int dashes_ = 0;
  bool boundary_ = true;

  // The pass in progress.
  Pass pass_;
  std::string* out_ = nullptr;
  std::size_t copied_ = 0;

  TokenReader tokens_;
  text::WordBreaker breaker_;
};

TextHyphenator::TextHyphenator(const Hyphenator& hyphenator, TextOptions options)
    : impl_(std::make_unique<Impl>(hyphenator, std::move(options))) {}
TextHyphenator::~TextHyphenator() = default;
TextHyphenator::TextHyphenator(TextHyphenator&&) noexcept = default;
TextHyphenator& TextHyphenator::operator=(TextHyphenator&&) noexcept = default;

void TextHyphenator::write(std::string_view chunk, std::string& out) { impl_->write(chunk, out); }
void TextHyphenator::finish(std::string& out) { impl_->finish(out); }

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
