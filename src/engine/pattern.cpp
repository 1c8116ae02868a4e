// The pattern trie: construction, parsing, lookup, merge and text form.
//
// Tries can be as deep as their longest pattern, which a caller may make
// arbitrarily long, so nothing here recurses along the depth of a trie: every
// walk keeps its own stack, and nodes are destroyed iteratively.
#include "hyph/pattern.hpp"

#include <algorithm>
#include <limits>
#include <ostream>

#include "hyph/error.hpp"
#include "show.hpp"
#include "utf8.hpp"

namespace hyph {

struct Patterns::Node {
  Scores scores;
  std::vector<Child> children;  // ascending by code point

  Node(Scores s, std::vector<Child> c) : scores(std::move(s)), children(std::move(c)) {}
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  // Releasing a long chain through nested destructors would use stack in
  // proportion to its depth. Instead, subtries that only this node owns are
  // moved onto a local work list and released one at a time.
  ~Node() {
    std::vector<std::shared_ptr<const Node>> pending;
    auto takeUnshared = [&pending](std::vector<Child>& children) {
      for (auto& child : children) {
        auto& node = child.second.node_;
        if (node && node.use_count() == 1) pending.push_back(std::move(node));
      }
    };
    takeUnshared(children);
    while (!pending.empty()) {
      std::shared_ptr<const Node> node = std::move(pending.back());
      pending.pop_back();
      // The node was created non-const; we are its last owner.
      takeUnshared(const_cast<Node&>(*node).children);
    }
  }
};

// The free functions below build nodes directly from sorted child vectors.
struct PatternsAccess {
  static Patterns make(Scores scores, std::vector<Patterns::Child> children) {
    if (scores.empty() && children.empty()) return Patterns();
    return Patterns(std::make_shared<const Patterns::Node>(std::move(scores), std::move(children)));
  }
  static const Patterns::Node* node(const Patterns& trie) { return trie.node_.get(); }
};

namespace {

const Scores kNoScores;

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

std::u32string lettersOf(std::u32string_view pattern) {
  std::u32string letters;
  letters.reserve(pattern.size());
  for (char32_t c : pattern)
    if (!isDigit(c)) letters += c;
  return letters;
}

/// Pointwise maximum; the result is as long as the longer list.
Scores maxScores(const Scores& a, const Scores& b) {
  const Scores& longer = a.size() >= b.size() ? a : b;
  const Scores& shorter = a.size() >= b.size() ? b : a;
  Scores out = longer;
  for (std::size_t i = 0; i < shorter.size(); ++i) out[i] = std::max(out[i], shorter[i]);
  return out;
}

template <class Children>
auto findChild(Children& children, char32_t letter) {
  return std::lower_bound(
      children.begin(), children.end(), letter,
      [](const Patterns::Child& child, char32_t key) { return child.first < key; });
}

}  // namespace

Patterns::Patterns(Scores scores, const std::map<char32_t, Patterns>& children) {
  std::vector<Child> sorted(children.begin(), children.end());
  *this = PatternsAccess::make(std::move(scores), std::move(sorted));
}

const Scores& Patterns::scores() const { return node_ ? node_->scores : kNoScores; }

std::span<const Patterns::Child> Patterns::children() const {
  if (!node_) return {};
  return node_->children;
}

const Patterns* Patterns::child(char32_t letter) const {
  if (!node_) return nullptr;
  auto it = findChild(node_->children, letter);
  return it != node_->children.end() && it->first == letter ? &it->second : nullptr;
}

bool Patterns::empty() const { return node_ == nullptr; }

bool operator==(const Patterns& a, const Patterns& b) {
  std::vector<std::pair<const Patterns*, const Patterns*>> pending{{&a, &b}};
  while (!pending.empty()) {
    auto [x, y] = pending.back();
    pending.pop_back();
    if (x->node_ == y->node_) continue;
    if (x->scores() != y->scores()) return false;
    auto xs = x->children();
    auto ys = y->children();
    if (xs.size() != ys.size()) return false;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      if (xs[i].first != ys[i].first) return false;
      pending.emplace_back(&xs[i].second, &ys[i].second);
    }
  }
  return true;
}

Scores scorePattern(std::u32string_view pattern) {
  Scores scores;
  scores.reserve(pattern.size() + 1);
  std::size_t i = 0;
  while (true) {
    if (i == pattern.size()) {
      scores.push_back(0);
      break;
    }
    if (isDigit(pattern[i])) {
      scores.push_back(pattern[i] - U'0');
      if (i + 1 == pattern.size()) break;
      i += 2;  // the code point after a digit is consumed with it, whatever it is
    } else {
      scores.push_back(0);
      i += 1;
    }
  }
  return scores;
}

Patterns insertPattern(std::u32string_view pattern, const Patterns& trie) {
  const std::u32string letters = lettersOf(pattern);
  Scores scores = scorePattern(pattern);

  // The existing nodes along the path; path[k] is reached by letters[0..k).
  std::vector<const Patterns*> path{&trie};
  while (path.size() <= letters.size()) {
    const Patterns* next = path.back()->child(letters[path.size() - 1]);
    if (!next) break;
    path.push_back(next);
  }

  // Rebuild bottom-up: the target node, then new nodes for the missing part of
  // the path, then copies of the existing ancestors with one child replaced.
  Patterns rebuilt;
  if (path.size() == letters.size() + 1) {
    const auto children = path.back()->children();
    rebuilt = PatternsAccess::make(std::move(scores), {children.begin(), children.end()});
  } else {
    rebuilt = PatternsAccess::make(std::move(scores), {});
    for (std::size_t depth = letters.size() - 1; depth >= path.size(); --depth)
      rebuilt = PatternsAccess::make({}, {{letters[depth], std::move(rebuilt)}});
  }
  for (std::size_t k = path.size(); k-- > 0;) {
    if (k == letters.size()) continue;  // this is the target, rebuilt above
    const Patterns& node = *path[k];
    std::vector<Patterns::Child> children(node.children().begin(), node.children().end());
    const char32_t letter = letters[k];
    auto it = findChild(children, letter);
    if (it != children.end() && it->first == letter)
      it->second = std::move(rebuilt);
    else
      children.insert(it, {letter, std::move(rebuilt)});
    rebuilt = PatternsAccess::make(node.scores(), std::move(children));
  }
  return rebuilt;
}

Patterns parsePatterns(std::u32string_view text) {
  // Built in one pass over the lines in a mutable trie of indices, then frozen
  // into immutable nodes. The first line with a given sequence of letters
  // keeps its scores, as if the lines were inserted from the last to the first.
  struct Building {
    Scores scores;
    bool hasPattern = false;
    std::vector<std::pair<char32_t, std::uint32_t>> children;
  };
  std::vector<Building> nodes(1);
  detail::forEachLine(text, [&nodes](std::u32string_view line) {
    std::uint32_t at = 0;
    for (char32_t c : line) {
      if (isDigit(c)) continue;
      auto& children = nodes[at].children;
      auto it = std::find_if(children.begin(), children.end(),
                             [c](const auto& child) { return child.first == c; });
      if (it != children.end()) {
        at = it->second;
      } else {
        const auto next = static_cast<std::uint32_t>(nodes.size());
        children.emplace_back(c, next);
        nodes.emplace_back();
        at = next;
      }
    }
    if (!nodes[at].hasPattern) {
      nodes[at].scores = scorePattern(line);
      nodes[at].hasPattern = true;
    }
  });

  // Children always have larger indices than their parents, so a backward
  // sweep freezes every child before its parent.
  std::vector<Patterns> frozen(nodes.size());
  for (std::size_t i = nodes.size(); i-- > 0;) {
    Building& node = nodes[i];
    std::sort(node.children.begin(), node.children.end());
    std::vector<Patterns::Child> children;
    children.reserve(node.children.size());
    for (auto [letter, index] : node.children)
      children.emplace_back(letter, std::move(frozen[index]));
    frozen[i] = PatternsAccess::make(std::move(node.scores), std::move(children));
    node.children = {};
  }
  return std::move(frozen[0]);
}

Scores lookupPattern(std::u32string_view word, const Patterns& trie) {
  const std::size_t m = word.size() + 2;
  auto padded = [&word, m](std::size_t i) { return i == 0 || i == m - 1 ? U'.' : word[i - 1]; };

  // result[j] scores gap j of the padded word. Gaps before its end start at 0
  // (every letter contributes a 0); gaps past it exist only where some pattern
  // reaches and take the largest such score.
  constexpr std::int64_t kUnset = std::numeric_limits<std::int64_t>::min();
  Scores result(m, 0);
  auto contribute = [&result, kUnset](std::size_t at, const Scores& scores) {
    if (result.size() < at + scores.size()) result.resize(at + scores.size(), kUnset);
    for (std::size_t k = 0; k < scores.size(); ++k)
      result[at + k] = std::max(result[at + k], scores[k]);
  };

  for (std::size_t i = 0; i < m; ++i) {
    const Patterns* node = &trie;
    for (std::size_t j = i;; ++j) {
      contribute(i, node->scores());
      if (j == m) break;
      node = node->child(padded(j));
      if (!node) break;
    }
  }
  contribute(m, trie.scores());

  auto impossible = [word](const char* what) {
    return Error(what + detail::encodeUtf8(word) + ")");
  };
  if (result.empty()) throw impossible("lookupPattern.scores0: Impossible (");
  if (result.size() == 1) throw impossible("lookupPattern.scores1: Impossible (");
  return Scores(result.begin() + 1, result.end() - 1);
}

namespace {

/// Merge without recursion: each frame merges the children of two nodes in
/// key order; a pair of children that both exist pushes a frame of its own.
Patterns mergeTries(const Patterns& a, const Patterns& b) {
  auto trivial = [](const Patterns& x, const Patterns& y, Patterns& out) {
    if (x.empty() || x == y) {
      out = y;
      return true;
    }
    if (y.empty()) {
      out = x;
      return true;
    }
    return false;
  };
  Patterns result;
  if (trivial(a, b, result)) return result;

  struct Frame {
    const Patterns* a;
    const Patterns* b;
    std::size_t i = 0, j = 0;
    std::vector<Patterns::Child> children;
  };
  std::vector<Frame> stack;
  stack.push_back({&a, &b, 0, 0, {}});
  while (true) {
    Frame& frame = stack.back();
    const auto as = frame.a->children();
    const auto bs = frame.b->children();
    bool descended = false;
    while (frame.i < as.size() || frame.j < bs.size()) {
      if (frame.j == bs.size() || (frame.i < as.size() && as[frame.i].first < bs[frame.j].first)) {
        frame.children.push_back(as[frame.i++]);
      } else if (frame.i == as.size() || bs[frame.j].first < as[frame.i].first) {
        frame.children.push_back(bs[frame.j++]);
      } else {
        const Patterns& x = as[frame.i].second;
        const Patterns& y = bs[frame.j].second;
        Patterns merged;
        if (trivial(x, y, merged)) {
          frame.children.emplace_back(as[frame.i].first, std::move(merged));
          ++frame.i, ++frame.j;
        } else {
          stack.push_back({&x, &y, 0, 0, {}});  // invalidates `frame`
          descended = true;
          break;
        }
      }
    }
    if (descended) continue;
    Patterns done = PatternsAccess::make(maxScores(frame.a->scores(), frame.b->scores()),
                                         std::move(frame.children));
    stack.pop_back();
    if (stack.empty()) return done;
    Frame& parent = stack.back();
    parent.children.emplace_back(parent.a->children()[parent.i].first, std::move(done));
    ++parent.i, ++parent.j;
  }
}

}  // namespace

Patterns operator|(const Patterns& a, const Patterns& b) { return mergeTries(a, b); }

Patterns mconcat(std::span<const Patterns> tries) {
  Patterns result;
  for (std::size_t k = tries.size(); k-- > 0;) result = tries[k] | result;
  return result;
}

Patterns sconcat(const Patterns& first, std::span<const Patterns> rest) {
  return first | mconcat(rest);
}

Patterns stimes(std::int64_t count, const Patterns& trie) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return trie;  // merge is idempotent
}

std::string showsPrec(std::int64_t precedence, const Patterns& trie, std::string_view rest) {
  std::string out;
  const bool parenthesise = precedence > 10;
  if (parenthesise) out += '(';

  // Each frame is a node whose children are being written; `next` is the
  // index of the next child to write.
  struct Frame {
    const Patterns* node;
    std::size_t next;
  };
  auto open = [&out](const Patterns& node) {
    out += "Patterns ";
    detail::appendScores(out, node.scores());
    out += " (fromList [";
  };
  std::vector<Frame> stack;
  open(trie);
  stack.push_back({&trie, 0});
  while (!stack.empty()) {
    Frame& frame = stack.back();
    const auto children = frame.node->children();
    if (frame.next > 0) out += ')';  // closes the previous "(key,child"
    if (frame.next == children.size()) {
      out += "])";
      stack.pop_back();
      continue;
    }
    if (frame.next > 0) out += ',';
    const Patterns::Child& child = children[frame.next++];
    out += '(';
    detail::appendInteger(out, static_cast<std::int64_t>(child.first));
    out += ',';
    open(child.second);
    stack.push_back({&child.second, 0});
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
