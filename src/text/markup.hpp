// The HTML around running text: tags, comments, the raw content of elements
// such as script, and the open elements, which say the language of their
// text and whether it is hyphenated at all.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pass.hpp"

namespace hyph::text {

/// Reads the markup of an HTML text, a byte at a time and across chunks,
/// and keeps the stack of open elements. The text between is the caller's
/// to read; it hands over at each "<".
class MarkupReader {
 public:
  enum class State { Text, Tag, Comment, Raw };

  /// An open element: its name (cut short, which is enough to match its end
  /// tag), its text's context, and whether its text is hyphenated. Every
  /// open element is kept, however deep, in these 16 bytes.
  struct Frame {
    std::array<char, 13> name{};
    bool unhyphenated = false;
    std::int16_t context = kOwnContext;
  };
  static_assert(sizeof(Frame) == 16);

  /// `contextOf` gives the context of a `lang` value; called only where
  /// `followLang`.
  MarkupReader(bool followLang, std::function<std::int16_t(std::string_view)> contextOf)
      : followLang_(followLang), contextOf_(std::move(contextOf)) {
    reset();
  }

  /// Back to the start of a document.
  void reset();

  State state() const { return state_; }
  /// The innermost open element (the document itself, when none is open).
  const Frame& top() const { return frames_.back(); }

  /// At a "<" of text: starts a tag or a comment; a lone "<" is text, and
  /// passed over. May stop the pass when the input ends too soon to tell.
  void open(Pass& pass);
  /// Reads on in a tag, a comment or a raw element, up to the text after
  /// it or to the end of the input.
  void read(Pass& pass);

 private:
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

    /// A new tag: only the sizes are reset, not the bytes behind them.
    void start(bool endTag, bool bangTag) {
      part = bangTag ? Part::Space : Part::Name;
      quote = 0;
      end = endTag;
      bang = bangTag;
      last = 0;
      name.size = attribute.size = value.size = lang.size = xmlLang.size = 0;
      hasLang = hasXmlLang = false;
    }
  };

  void tagByte(char c);
  void endValue();
  void endTag();
  void pop(std::string_view name);
  void comment(Pass& pass);
  void raw(Pass& pass);

  const bool followLang_;
  const std::function<std::int16_t(std::string_view)> contextOf_;
  State state_ = State::Text;
  std::vector<Frame> frames_;  // the open elements, the document itself first
  Tag tag_;
  std::string rawName_;
  std::size_t rawMatched_ = 0;  // bytes of "</" + rawName_ matched so far
  int dashes_ = 0;              // "-" just before a possible "-->"
};

}  // namespace hyph::text
