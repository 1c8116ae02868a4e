// Hyphenating running text, plain or HTML, in one streaming pass.
//
// The input is read in states: text, a tag, a comment, and the raw content
// of elements such as script. Text is cut at white space into tokens, each
// held until it has ended so that a URL or an address can be told from
// words; the letter runs of every other token are its words. Each state
// keeps only what it must to resume in the next chunk, and a token longer
// than kMaxToken is copied as it arrives, so memory stays bounded.
//
// A token is read to its end before anything of it is written: only then is
// it known whether it is a URL or an address (url.cpp), copied whole, or text
// whose words are written hyphenated (words.cpp). The states are the sections
// of one class (text, tokens, markup): they share the pending input, the
// position in it and the stack of open elements. Character references and
// element names are in html.cpp, the Unicode data in unicode.cpp.
#include "hyph/text.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "engine/utf8.hpp"
#include "html.hpp"
#include "hyph/error.hpp"
#include "unicode.hpp"
#include "url.hpp"
#include "words.hpp"

namespace hyph {

namespace {

constexpr std::size_t kMaxToken = std::size_t{64} << 10;
constexpr char32_t kSoftHyphen = 0xAD;
constexpr std::size_t kNoPosition = ~std::size_t{0};

bool isSpace(unsigned char b) { return b == ' ' || (b >= '\t' && b <= '\r'); }
bool isAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

/// Length of the UTF-8 sequence that `lead` starts, if it is a lead byte.
std::size_t sequenceLength(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 1;
}

}  // namespace

class TextHyphenator::Impl {
 public:
  Impl(const Hyphenator& hyphenator, TextOptions options)
      : options_(std::move(options)),
        html_(options_.markup == Markup::Html),
        hyphenator_(hyphenator),  // held, so that its tables last as long as this
        writer_(options_) {
    Context& own = contexts_[kOwn];
    own.words.hyphenator = &hyphenator_;
    own.words.letters = options_.isLetter ? nullptr : hyphenatorCharTable(hyphenator_);
    own.words.isLetterOf = &options_.isLetter;
    if (!options_.isLetter && !own.words.letters)
      throw Error(
          "hyphenateText: the Hyphenator's mapping is a plain function, so the letters must be "
          "given (TextOptions::isLetter)");
    own.made = true;
    fillAscii(own);
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
  /// A language in which text is hyphenated: its words' language, and the
  /// class of each code point below U+0080 in its text.
  struct Context {
    bool made = false;
    text::WordLanguage words;
    std::uint8_t ascii[128] = {};
  };
  // Classes of ASCII bytes in text, so that a byte takes one branch.
  enum : std::uint8_t { kOther, kLetter, kSpace, kMarkup, kColon, kAt };
  static constexpr std::int16_t kOwn = 0;    // the Hyphenator given
  static constexpr std::int16_t kNone = -1;  // a language hyph does not have

  /// An open element: its name (cut short, which is enough to match its end
  /// tag), its text's language, and whether its text is hyphenated. Every
  /// open element is kept, however deep, in these 16 bytes.
  struct Frame {
    std::array<char, 13> name{};
    bool unhyphenated = false;
    std::int16_t context = kOwn;
  };
  static_assert(sizeof(Frame) == 16);

  enum class State { Text, Tag, Comment, Raw };

  /// A text of at most N bytes, for the names and values read from tags: a
  /// longer one is cut short, which no name or value that counts is.
  template <std::size_t N>
  struct ShortText {
    char bytes[N];
    std::size_t size = 0;
    void add(char c) {
      if (size < N) bytes[size++] = c;
    }
    std::string_view view() const { return {bytes, size}; }
  };

  /// What is read of a tag so far.
  struct Tag {
    enum class Part { Name, Space, AttributeName, AfterName, BeforeValue, Value };
    Part part = Part::Name;
    char quote = 0;
    bool end = false;
    bool bang = false;        // "<!DOCTYPE ...>", "<?xml ...?>": nothing to read
    char last = 0;            // the last byte outside quotes, to tell "/>"
    ShortText<15> name;       // lower case
    ShortText<15> attribute;  // the attribute being read, lower case
    ShortText<64> value;      // its value
    ShortText<64> lang, xmlLang;
    bool hasLang = false, hasXmlLang = false;
  };

  void reset() {
    state_ = State::Text;
    frames_.assign(1, Frame{});
    framesChanged();
    skipping_ = false;
  }

  void fillAscii(Context& context) const {
    for (char32_t c = 0; c < 128; ++c)
      context.ascii[c] = isLetter(context, c)                     ? kLetter
                         : isSpace(static_cast<unsigned char>(c)) ? kSpace
                         : html_ && (c == U'<' || c == U'&')      ? kMarkup
                         : c == U':'                              ? kColon
                         : c == U'@'                              ? kAt
                                                                  : kOther;
  }

  static bool isLetter(const Context& context, char32_t c) { return context.words.isLetter(c); }

  const Frame& top() const { return frames_.back(); }

  /// The context of the innermost open element's text (nullptr: none).
  void framesChanged() {
    const std::int16_t context = frames_.back().context;
    current_ = context == kNone ? nullptr : &contexts_[static_cast<std::size_t>(context)];
  }

  /// The context of a `lang` value, made on first use.
  std::int16_t contextOf(std::string_view lang) {
    const std::optional<Language> language = findLanguage(lang);
    if (!language || !languageAvailable(*language)) return kNone;
    if (language == options_.language) return kOwn;
    const auto index = static_cast<std::int16_t>(fromEnum(*language) + 1);
    Context& context = contexts_[static_cast<std::size_t>(index)];
    if (!context.made) {
      context.words.hyphenator = &languageHyphenator(*language);
      context.words.letters = hyphenatorCharTable(*context.words.hyphenator);
      fillAscii(context);
      context.made = true;
    }
    return index;
  }

  // --- One pass over the pending input --------------------------------------

  void process(bool final, std::string& out) {
    buffer_ = pending_;
    final_ = final;
    out_ = &out;
    i_ = 0;
    copied_ = 0;
    keep_ = kNoPosition;
    while (i_ < buffer_.size() && keep_ == kNoPosition) {
      switch (state_) {
        case State::Text:
          text();
          break;
        case State::Tag:
          tag();
          break;
        case State::Comment:
          comment();
          break;
        case State::Raw:
          raw();
          break;
      }
    }
    const std::size_t decided = keep_ == kNoPosition ? buffer_.size() : keep_;
    copyUpTo(decided);
    pending_.erase(0, decided);
  }

  /// Stops the pass where undecided input starts, to resume there.
  void needMore(std::size_t from) {
    keep_ = from;
    i_ = from;
  }

  void copyUpTo(std::size_t end) {
    out_->append(buffer_.substr(copied_, end - copied_));
    copied_ = end;
  }

  const unsigned char* bytes() const {
    return reinterpret_cast<const unsigned char*>(buffer_.data());
  }

  // --- Text -----------------------------------------------------------------

  void text() {
    const std::size_t n = buffer_.size();
    const unsigned char* p = bytes();
    if (skipping_) {  // the rest of an over-long token, copied as it comes
      while (i_ < n && !isSpace(p[i_]) && !(html_ && p[i_] == '<')) ++i_;
      skipping_ = i_ == n;
      return;
    }
    if (top().unhyphenated || top().context == kNone) {
      i_ = html_ ? std::min(buffer_.find('<', i_), n) : n;
      if (i_ < n) tagOpen();
      return;
    }
    // Bytes that are no letter need no token: a token starts at its first
    // letter (or reference, or non-ASCII character), which is where a URL
    // or an address starts too, but for brackets and quotes.
    const std::uint8_t* classes = current_->ascii;
    while (i_ < n) {
      const unsigned char b = p[i_];
      if (b >= 0x80 || classes[b] == kLetter || (classes[b] == kMarkup && b == '&')) {
        if (!token() || skipping_) return;
      } else if (classes[b] == kMarkup) {
        tagOpen();
        return;
      } else {
        ++i_;
      }
    }
  }

  /// Where the reading of a token stands: its word in progress, and what
  /// tells a URL or an address. The words are gathered in words_.
  struct Scan {
    const Context* context;
    bool inWord = false;
    bool afterSoft = false;  // a soft hyphen ended the word so far
    bool colon = false, at = false;
    char first = 0;  // the first byte of its first word
    text::Word word{};
  };

  /// Reads the token at i_ to its end, then writes it: whole if it is a URL
  /// or an address, else with its words hyphenated. False, with nothing
  /// written, when it may go on in the next chunk.
  bool token() {
    const std::size_t start = i_;
    const std::size_t n = buffer_.size();
    // A token that goes on past kMaxToken is not text: it is copied, from
    // there on as it comes.
    const std::size_t limit = std::min(n, start + kMaxToken);
    const unsigned char* p = bytes();
    words_.clear();
    Scan scan{current_};
    const Context& context = *current_;
    while (i_ < limit) {
      const unsigned char b = p[i_];
      if (b < 0x80) {
        switch (context.ascii[b]) {
          case kLetter: {
            std::size_t end = i_ + 1;
            while (end < n && p[end] < 0x80 && context.ascii[p[end]] == kLetter) ++end;
            addLetters(scan, i_, end, end - i_, false);
            i_ = end;
            continue;
          }
          case kSpace:
            break;
          case kMarkup: {
            if (b == '<') break;
            const text::Reference reference = text::referenceAt(buffer_.substr(i_), final_);
            if (reference.status == text::Reference::Status::Incomplete)
              return needMore(start), false;
            if (reference.status != text::Reference::Status::Character ||
                !character(scan, reference.codePoint, i_, i_ + reference.length, true))
              endWord(scan);
            i_ += reference.length;
            continue;
          }
          case kColon:
            scan.colon = true;
            endWord(scan);
            ++i_;
            continue;
          case kAt:
            scan.at = true;
            [[fallthrough]];
          default:
            endWord(scan);
            ++i_;
            continue;
        }
        break;  // white space or a tag: the token ends
      }
      if (!final_ && i_ + sequenceLength(b) > n) return needMore(start), false;
      const detail::Decoded decoded = detail::decodeOne(p + i_, n - i_);
      // An undecodable byte is never a letter, whatever its value.
      if (decoded.length == 1 ||
          !character(scan, decoded.codePoint, i_, i_ + decoded.length, false)) {
        if (decoded.length > 1 && text::isWideSpace(decoded.codePoint)) {
          if (i_ == start) i_ += decoded.length;  // a token of its own, without words
          break;
        }
        endWord(scan);
      }
      i_ += decoded.length;
    }
    if (i_ - start >= kMaxToken) {
      copyUpTo(i_);
      skipping_ = true;
      return true;
    }
    if (i_ == n && !final_) return needMore(start), false;
    endWord(scan);
    // Only a token with ":" or "@", or one whose first word could be "www",
    // can be a URL or an address, which is copied as it is.
    if ((scan.colon || scan.at || scan.first == 'w' || scan.first == 'W') &&
        text::isUrlOrAddress(buffer_.substr(start, i_ - start), scan.colon, scan.at))
      return true;
    for (const text::Word& word : words_) {
      copyUpTo(word.start);
      writer_.write(current_->words, buffer_, word, *out_);
      copied_ = word.end;
    }
    return true;
  }

  /// Takes in a code point of the token (a letter, a mark, a soft hyphen);
  /// false for any other, which ends the word.
  bool character(Scan& scan, char32_t c, std::size_t from, std::size_t to, bool reference) {
    if (c == kSoftHyphen && scan.inWord) {
      scan.afterSoft = true;  // the word has its breaks if a letter follows
      return true;
    }
    if (isLetter(*scan.context, c)) {
      addLetters(scan, from, to, 1, reference);
      return true;
    }
    if (scan.inWord && !scan.afterSoft && text::isMark(c)) {
      scan.word.end = to;
      scan.word.special = true;
      return true;
    }
    return false;
  }

  void addLetters(Scan& scan, std::size_t from, std::size_t to, std::size_t count, bool special) {
    text::Word& word = scan.word;
    if (!scan.inWord) {
      if (scan.first == 0) scan.first = buffer_[from];
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

  void endWord(Scan& scan) {
    if (!scan.inWord) return;
    scan.inWord = false;
    words_.push_back(scan.word);
  }

  // --- Markup -----------------------------------------------------------------

  /// At a "<" of text: a tag, a comment, or a lone "<".
  void tagOpen() {
    const std::string_view rest = buffer_.substr(i_);
    if (rest.size() < 2 && !final_) return needMore(i_);
    const char next = rest.size() > 1 ? rest[1] : '\0';
    if (next == '!' && rest.size() < 4 && !final_ && std::string_view("<!--").starts_with(rest))
      return needMore(i_);
    if (rest.starts_with("<!--")) {
      state_ = State::Comment;
      dashes_ = 0;
      i_ += 4;
      return;
    }
    const bool end = next == '/';
    if (!(isAsciiAlpha(next) || end || next == '!' || next == '?')) {
      ++i_;  // a lone "<" is text
      return;
    }
    tag_ = Tag{};
    tag_.end = end;
    tag_.bang = next == '!' || next == '?';
    tag_.part = tag_.bang ? Tag::Part::Space : Tag::Part::Name;
    state_ = State::Tag;
    i_ += end ? 2 : 1;
  }

  /// Reads the tag up to its end, or to the end of the input.
  void tag() {
    while (i_ < buffer_.size() && state_ == State::Tag) tagByte(buffer_[i_++]);
  }

  void tagByte(char c) {
    const bool space = isSpace(static_cast<unsigned char>(c));
    using Part = Tag::Part;
    if (tag_.part == Part::Value && tag_.quote != 0) {
      if (c == tag_.quote) {
        endValue();
        tag_.part = Part::Space;
      } else {
        tag_.value.add(c);
      }
      return;
    }
    if (c == '>') {
      if (tag_.part == Part::Value) endValue();
      return endTag();
    }
    if (!space) tag_.last = c;
    switch (tag_.part) {
      case Part::Name:
        if (space || c == '/') {
          tag_.part = Part::Space;
        } else {
          tag_.name.add(asciiLower(c));
        }
        break;
      case Part::Space:
      case Part::AfterName:
        if (c == '=' && tag_.part == Part::AfterName) {
          tag_.part = Part::BeforeValue;
        } else if (c == '"' || c == '\'') {
          tag_.attribute.size = 0;
          tag_.quote = c;
          tag_.part = Part::Value;
        } else if (!space && c != '/') {
          tag_.attribute.size = 0;
          tag_.attribute.add(asciiLower(c));
          tag_.part = Part::AttributeName;
        }
        break;
      case Part::AttributeName:
        if (c == '=') {
          tag_.part = Part::BeforeValue;
        } else if (space || c == '/') {
          tag_.part = Part::AfterName;
        } else {
          tag_.attribute.add(asciiLower(c));
        }
        break;
      case Part::BeforeValue:
        tag_.value.size = 0;
        if (c == '"' || c == '\'') {
          tag_.quote = c;
          tag_.part = Part::Value;
        } else if (!space) {
          tag_.quote = 0;
          tag_.value.add(c);
          tag_.part = Part::Value;
        }
        break;
      case Part::Value:  // unquoted
        if (space) {
          endValue();
          tag_.part = Part::Space;
        } else {
          tag_.value.add(c);
        }
        break;
    }
  }

  void endValue() {
    if (tag_.attribute.view() == "lang") {
      tag_.lang = tag_.value;
      tag_.hasLang = true;
    } else if (tag_.attribute.view() == "xml:lang") {
      tag_.xmlLang = tag_.value;
      tag_.hasXmlLang = true;
    }
    tag_.value.size = 0;
    tag_.quote = 0;
  }

  void endTag() {
    state_ = State::Text;
    if (tag_.bang) return;
    if (tag_.end) return pop(tag_.name.view());
    const text::Element element = text::elementOf(tag_.name.view());
    if (element == text::Element::Raw) {
      state_ = State::Raw;
      rawName_ = tag_.name.view();
      rawMatched_ = 0;
      return;
    }
    if (element == text::Element::Void || tag_.last == '/') return;
    Frame frame = top();
    if (options_.followLang && (tag_.hasLang || tag_.hasXmlLang))
      frame.context = contextOf(tag_.hasXmlLang ? tag_.xmlLang.view() : tag_.lang.view());
    frame.unhyphenated = frame.unhyphenated || element == text::Element::Unhyphenated;
    frame.name = {};
    tag_.name.view().copy(frame.name.data(), frame.name.size() - 1);
    frames_.push_back(frame);
    framesChanged();
  }

  /// Closes the nearest open element of this name and those inside it.
  void pop(std::string_view name) {
    std::array<char, 13> key{};
    name.copy(key.data(), key.size() - 1);
    for (std::size_t k = frames_.size(); k-- > 1;) {
      if (frames_[k].name != key) continue;
      frames_.resize(k);
      framesChanged();
      return;
    }
  }

  void comment() {
    while (i_ < buffer_.size() && state_ == State::Comment) {
      const char c = buffer_[i_++];
      if (c == '>' && dashes_ >= 2) state_ = State::Text;
      dashes_ = c == '-' ? dashes_ + 1 : 0;
    }
  }

  /// The content of a raw element, up to "</" and its name and then white
  /// space, "/" or ">".
  void raw() {
    const char c = asciiLower(buffer_[i_]);
    const std::size_t target = 2 + rawName_.size();
    if (rawMatched_ == target) {
      if (isSpace(static_cast<unsigned char>(c)) || c == '/' || c == '>') {
        tag_ = Tag{};
        tag_.end = true;
        for (char n : rawName_) tag_.name.add(n);
        tag_.part = Tag::Part::Space;
        state_ = State::Tag;
        return;  // the tag reads this byte
      }
      rawMatched_ = 0;
    }
    ++i_;
    const char expected = rawMatched_ == 0   ? '<'
                          : rawMatched_ == 1 ? '/'
                                             : rawName_[rawMatched_ - 2];
    rawMatched_ = c == expected ? rawMatched_ + 1 : c == '<' ? 1 : 0;
  }

  TextOptions options_;
  bool html_;
  Hyphenator hyphenator_;
  std::array<Context, languageCount + 1> contexts_{};  // kOwn, then each language's

  std::string pending_;  // undecided input: a token, a partial sequence, a short lookahead
  State state_ = State::Text;
  std::vector<Frame> frames_;  // the open elements, the document itself first
  const Context* current_ = nullptr;
  bool skipping_ = false;  // inside a token over kMaxToken bytes
  Tag tag_;
  std::string rawName_;
  std::size_t rawMatched_ = 0;  // bytes of "</" + rawName_ matched so far
  int dashes_ = 0;              // "-" just before a possible "-->"

  // The pass in progress.
  std::string_view buffer_;
  bool final_ = false;
  std::string* out_ = nullptr;
  std::size_t i_ = 0, copied_ = 0, keep_ = kNoPosition;

  // The words of the token in progress, and what writes them.
  std::vector<text::Word> words_;
  text::WordWriter writer_;
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
