// The text form of a trie: "Patterns [] (fromList [...])".
#include <ostream>

#include "engine/show.hpp"
#include "hyph/pattern.hpp"

namespace hyph {

std::string showsPrec(std::int64_t precedence, const Patterns& trie, std::string_view rest) {
  std::string out;
  const bool parenthesise = precedence > 10;
  if (parenthesise) out += '(';

  // Each frame is a node whose children are being written; `next` is the
  // index of the next child to write.
  struct Frame {
    Patterns::Children children;
    std::size_t next;
  };
  auto open = [&out](const Patterns& node) {
    out += "Patterns ";
    detail::appendScores(out, node.scores());
    out += " (fromList [";
  };
  std::vector<Frame> stack;
  open(trie);
  stack.push_back({trie.children(), 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (frame.next > 0) out += ')';  // closes the previous "(key,child"
    if (frame.next == frame.children.size()) {
      out += "])";
      stack.pop_back();
      continue;
    }
    if (frame.next > 0) out += ',';
    const auto [letter, child] = frame.children[frame.next++];
    out += '(';
    detail::appendInteger(out, static_cast<std::int64_t>(letter));
    out += ',';
    open(child);
    stack.push_back({child.children(), 0});  // invalidates `frame`
  }

  if (parenthesise) out += ')';
  out += rest;
  return out;
}

std::string show(const Patterns& trie) { return showsPrec(0, trie); }

std::string showList(std::span<const Patterns> tries) {
  return detail::showSequence(tries, [](const Patterns& trie) { return show(trie); });
}

std::ostream& operator<<(std::ostream& out, const Patterns& trie) { return out << show(trie); }

}  // namespace hyph
