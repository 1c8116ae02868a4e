#include "markup.hpp"

#include "html.hpp"

namespace hyph::text {

void MarkupReader::reset() {
  state_ = State::Text;
  frames_.assign(1, Frame{});
}

void MarkupReader::open(Pass& pass) {
  const std::string_view rest = pass.buffer.substr(pass.i);
  if (rest.size() < 2 && !pass.final) return pass.needMore(pass.i);
  const char next = rest.size() > 1 ? rest[1] : '\0';
  if (next == '!' && rest.size() < 4 && !pass.final && std::string_view("<!--").starts_with(rest))
    return pass.needMore(pass.i);
  if (rest.starts_with("<!--")) {
    state_ = State::Comment;
    dashes_ = 0;
    pass.i += 4;
    return;
  }
  const bool end = next == '/';
  if (!(isAsciiAlpha(next) || end || next == '!' || next == '?')) {
    ++pass.i;  // a lone "<" is text
    return;
  }
  tag_.start(end, next == '!' || next == '?');
  state_ = State::Tag;
  pass.i += end ? 2 : 1;
}

void MarkupReader::read(Pass& pass) {
  switch (state_) {
    case State::Text:
      return;
    case State::Tag:
      while (pass.i < pass.buffer.size() && state_ == State::Tag) tagByte(pass.buffer[pass.i++]);
      return;
    case State::Comment:
      return comment(pass);
    case State::Raw:
      return raw(pass);
  }
}

void MarkupReader::tagByte(char c) {
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

void MarkupReader::endValue() {
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

void MarkupReader::endTag() {
  state_ = State::Text;
  if (tag_.bang) return;
  if (tag_.end) return pop(tag_.name.view());
  const Element element = elementOf(tag_.name.view());
  if (element == Element::Raw) {
    state_ = State::Raw;
    rawName_ = tag_.name.view();
    rawMatched_ = 0;
    return;
  }
  if (element == Element::Void || tag_.last == '/') return;
  Frame frame = top();
  if (followLang_ && (tag_.hasLang || tag_.hasXmlLang))
    frame.context = contextOf_(tag_.hasXmlLang ? tag_.xmlLang.view() : tag_.lang.view());
  frame.unhyphenated = frame.unhyphenated || element == Element::Unhyphenated;
  frame.name = {};
  tag_.name.view().copy(frame.name.data(), frame.name.size() - 1);
  frames_.push_back(frame);
}

/// Closes the nearest open element of this name and those inside it.
void MarkupReader::pop(std::string_view name) {
  std::array<char, 13> key{};
  name.copy(key.data(), key.size() - 1);
  for (std::size_t k = frames_.size(); k-- > 1;) {
    if (frames_[k].name != key) continue;
    frames_.resize(k);
    return;
  }
}

void MarkupReader::comment(Pass& pass) {
  while (pass.i < pass.buffer.size() && state_ == State::Comment) {
    const char c = pass.buffer[pass.i++];
    if (c == '>' && dashes_ >= 2) state_ = State::Text;
    dashes_ = c == '-' ? dashes_ + 1 : 0;
  }
}

/// The content of a raw element, up to "</" and its name and then white
/// space, "/" or ">".
void MarkupReader::raw(Pass& pass) {
  while (pass.i < pass.buffer.size() && state_ == State::Raw) {
    const char c = asciiLower(pass.buffer[pass.i]);
    const std::size_t target = 2 + rawName_.size();
    if (rawMatched_ == target) {
      if (isSpace(static_cast<unsigned char>(c)) || c == '/' || c == '>') {
        tag_.start(true, false);
        for (char n : rawName_) tag_.name.add(n);
        tag_.part = Tag::Part::Space;
        state_ = State::Tag;
        return;  // the tag reads this byte
      }
      rawMatched_ = 0;
    }
    ++pass.i;
    const char expected = rawMatched_ == 0   ? '<'
                          : rawMatched_ == 1 ? '/'
                                             : rawName_[rawMatched_ - 2];
    rawMatched_ = c == expected ? rawMatched_ + 1 : c == '<' ? 1 : 0;
  }
}

}  // namespace hyph::text
