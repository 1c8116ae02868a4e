// What the trie's own sources see of a Patterns value: its linked node,
// and the flat form that every lookup reads.
//
// Tries can be as deep as their longest pattern, which a caller may make
// arbitrarily long, so nothing in the trie recurses along its depth: every
// walk keeps its own stack, and linked nodes are destroyed iteratively.
#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

#include "flat_trie.hpp"
#include "hyph/pattern.hpp"

namespace hyph {

namespace detail {

/// Starts loading the memory at `address`, where the compiler can.
inline void prefetch(const void* address) {
#if defined(__GNUC__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

}  // namespace detail

struct Patterns::Node {
  Scores scores;
  std::vector<Child> children;  // ascending by code point

  // The flat form of this subtrie, compiled on its first lookup. A flag of
  // its own rather than a Deferred: the compile reads the Patterns that
  // holds this node, which a build kept in the node would keep alive.
  mutable std::once_flag compileOnce;
  mutable std::shared_ptr<const detail::FlatTrie> compiled;

  Node(Scores s, std::vector<Child> c) : scores(std::move(s)), children(std::move(c)) {}
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;

  // Releasing a long chain through nested destructors would use stack in
  // proportion to its depth. Instead, subtries that only this node owns are
  // moved onto a local work list and released one at a time.
  ~Node() {
    std::vector<std::shared_ptr<const Node>> pending;
    auto takeUnshared = [&pending](std::vector<Child>& children) {
      // Each child is released as its count is read, while it is at hand:
      // the children of a node of many (a merge of many tries) lie far
      // apart in memory, so they are also fetched a few ahead.
      constexpr std::size_t kAhead = 8;
      for (std::size_t k = 0; k < children.size(); ++k) {
        if (k + kAhead < children.size()) detail::prefetch(children[k + kAhead].second.node_.get());
        auto& node = children[k].second.node_;
        if (node && node.use_count() == 1)
          pending.push_back(std::move(node));
        else
          node.reset();
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

struct PatternsAccess {
  static Patterns linked(Scores scores, std::vector<Patterns::Child> children) {
    Patterns out;
    if (!scores.empty() || !children.empty())
      out.node_ = std::make_shared<const Patterns::Node>(std::move(scores), std::move(children));
    return out;
  }
  /// parsePatterns with a choice of matching rule (see FlatTrie::Matching).
  static Patterns parse(std::u32string_view text, detail::FlatTrie::Matching matching);
  static Patterns flat(std::shared_ptr<const detail::FlatTrie> trie, std::uint32_t index) {
    Patterns out;
    const bool empty = trie->scoreLength(index) == 0 && trie->childCount(index) == 0;
    if (!empty) {
      out.flat_ = std::move(trie);
      out.index_ = index;
    }
    return out;
  }
  static const void* node(const Patterns& p) { return p.node_.get(); }
  /// The flat form of a linked trie, compiled by `compile` on first use.
  template <class Compile>
  static const detail::FlatTrie* compiled(const Patterns& p, Compile compile) {
    const Patterns::Node& node = *p.node_;
    std::call_once(node.compileOnce, [&] { node.compiled = compile(p); });
    return node.compiled.get();
  }
  static const detail::FlatTrie* flatTrie(const Patterns& p) { return p.flat_.get(); }
  static std::uint32_t index(const Patterns& p) { return p.index_; }
  static bool same(const Patterns& a, const Patterns& b) {
    return a.node_ == b.node_ && a.flat_ == b.flat_ && (!a.flat_ || a.index_ == b.index_);
  }
  static void appendChildren(const Patterns& p, std::vector<Patterns::Child>& out) {
    if (p.node_) {
      out.insert(out.end(), p.node_->children.begin(), p.node_->children.end());
    } else {
      const auto children = p.children();
      out.insert(out.end(), children.begin(), children.end());
    }
  }
  // Prefetches for a walk over many separately allocated tries, in the
  // order the walk's loads depend on one another: the node, its children,
  // the first child's node (whose count a copy of the child updates).
  static void prefetchNode(const Patterns& p) { detail::prefetch(p.node_.get()); }
  static void prefetchChildren(const Patterns& p) {
    if (p.node_) detail::prefetch(p.node_->children.data());
  }
  static void prefetchFirstChild(const Patterns& p) {
    if (p.node_ && !p.node_->children.empty())
      detail::prefetch(p.node_->children.front().second.node_.get());
  }
  /// Raises `into` to the pointwise maximum of itself and p's scores,
  /// lengthening it as needed.
  static void maxScoresInto(const Patterns& p, Scores& into) {
    const std::size_t count = p.node_   ? p.node_->scores.size()
                              : p.flat_ ? p.flat_->scoreLength(p.index_)
                                        : 0;
    if (into.size() < count) into.resize(count, 0);
    for (std::size_t k = 0; k < count; ++k) {
      const std::int64_t score =
          p.node_ ? p.node_->scores[k] : p.flat_->score(p.index_, static_cast<std::uint32_t>(k));
      into[k] = std::max(into[k], score);
    }
  }
  static std::vector<Patterns::Child> childList(const Patterns& p) {
    if (p.node_) return p.node_->children;
    const auto children = p.children();
    return {children.begin(), children.end()};
  }
};

namespace detail {

/// The digits of the pattern notation: ASCII "0" to "9", no others.
inline bool isPatternDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

/// The flat form of any trie, through its public interface: every distinct
/// subtrie (shared ones once) becomes one node of the general form.
std::shared_ptr<const FlatTrie> compile(const Patterns& root);

/// The flat form of `trie`, compiled first if it is linked.
FlatView flatOf(const Patterns& trie);

}  // namespace detail
}  // namespace hyph
