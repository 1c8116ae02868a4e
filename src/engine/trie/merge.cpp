// Merging tries: the pointwise maximum of their scores, the union of their
// children.
#include <algorithm>
#include <span>
#include <type_traits>
#include <vector>

#include "hyph/error.hpp"
#include "patterns_access.hpp"

namespace hyph {

namespace {

/// A group of nodes to merge, by pointer: into the caller's tries at the
/// top, into the entries of the frame above further down (which stay put
/// while the group is merged).
using Group = std::vector<const Patterns*>;

/// The tries of a group that count: the empty ones left out, and one alone
/// when all share their whole structure (so that merging a trie with itself
/// gives the very trie). Other repeats are merged like any tries, which
/// idempotence makes harmless.
void distinct(Group& group) {
  std::erase_if(group, [](const Patterns* trie) { return trie->empty(); });
  if (group.size() > 1 && std::all_of(group.begin() + 1, group.end(), [&](const Patterns* trie) {
        return PatternsAccess::same(*trie, *group[0]);
      }))
    group.erase(group.begin() + 1, group.end());
}

/// Merges any number of tries at once, level by level and without
/// recursion: a frame gathers the children of a group of nodes, sorted by
/// letter, and each letter that more than one of them has is a group of
/// its own. Each node of the inputs is visited once, so the cost is the
/// total size times the log of a node's children, however many tries.
Patterns mergeAll(Group tries) {
  distinct(tries);
  if (tries.empty()) return Patterns();
  if (tries.size() == 1) return *tries.front();

  // A frame's merged children are written over its entries, which it reads
  // ahead of where it writes: a group's children come from two or more
  // entries, so the merged child goes at or before the group's first.
  struct Frame {
    Group group;
    std::vector<Patterns::Child> entries;  // the group's children, by letter
    std::size_t next = 0;                  // the first entry not yet read
    std::size_t written = 0;               // the merged children: entries[0, written)
    Scores scores;                         // the pointwise maximum of the group's
  };
  // The groups below point into the entries of the frames above, which must
  // therefore move, not copy, when the stack grows.
  static_assert(std::is_nothrow_move_constructible_v<Frame>);
  auto frameOf = [](Group group) {
    Frame frame{std::move(group), {}, 0, 0, {}};
    // A group of many tries is typically many small ones, each in memory
    // of its own: their loads are started a few tries ahead.
    const Group& nodes = frame.group;
    constexpr std::size_t kAhead = 8;
    frame.entries.reserve(nodes.size());
    for (std::size_t k = 0; k < nodes.size(); ++k) {
      if (k + 3 * kAhead < nodes.size()) PatternsAccess::prefetchNode(*nodes[k + 3 * kAhead]);
      if (k + 2 * kAhead < nodes.size()) PatternsAccess::prefetchChildren(*nodes[k + 2 * kAhead]);
      if (k + kAhead < nodes.size()) PatternsAccess::prefetchFirstChild(*nodes[k + kAhead]);
      PatternsAccess::appendChildren(*nodes[k], frame.entries);
      PatternsAccess::maxScoresInto(*nodes[k], frame.scores);
    }
    auto byLetter = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Tries often come in the order of their letters already.
    if (!std::is_sorted(frame.entries.begin(), frame.entries.end(), byLetter))
      std::stable_sort(frame.entries.begin(), frame.entries.end(), byLetter);
    return frame;
  };
  auto finish = [](Frame& frame) {
    std::vector<Patterns::Child>& children = frame.entries;
    children.erase(children.begin() + static_cast<std::ptrdiff_t>(frame.written), children.end());
    if (children.capacity() > 2 * children.size()) children.shrink_to_fit();
    return PatternsAccess::linked(std::move(frame.scores), std::move(children));
  };
  std::vector<Frame> stack;
  stack.push_back(frameOf(std::move(tries)));
  while (true) {
    Frame& frame = stack.back();
    auto& entries = frame.entries;
    bool descended = false;
    while (frame.next < entries.size()) {
      const char32_t letter = entries[frame.next].first;
      std::size_t end = frame.next + 1;
      while (end < entries.size() && entries[end].first == letter) ++end;
      if (end == frame.next + 1) {  // a letter of one node only: its subtrie as it is
        if (frame.written != frame.next) entries[frame.written] = std::move(entries[frame.next]);
        ++frame.written;
        ++frame.next;
        continue;
      }
      Group group;
      for (std::size_t k = frame.next; k < end; ++k) group.push_back(&entries[k].second);
      frame.next = end;
      distinct(group);
      if (group.size() <= 1) {
        Patterns only = group.empty() ? Patterns() : *group.front();
        entries[frame.written++] = {letter, std::move(only)};
        continue;
      }
      stack.push_back(frameOf(std::move(group)));  // invalidates `frame`, not its entries
      descended = true;
      break;
    }
    if (descended) continue;
    Patterns done = finish(frame);
    stack.pop_back();
    if (stack.empty()) return done;
    Frame& parent = stack.back();
    const char32_t letter = parent.entries[parent.next - 1].first;
    parent.entries[parent.written++] = {letter, std::move(done)};
  }
}

Group pointersTo(std::span<const Patterns> tries) {
  Group group;
  group.reserve(tries.size());
  for (const Patterns& trie : tries) group.push_back(&trie);
  return group;
}

}  // namespace

Patterns operator|(const Patterns& a, const Patterns& b) { return mergeAll({&a, &b}); }

// Merge is associative and commutative, so merging all at once gives the
// fold from the right that these are defined as.
Patterns mconcat(std::span<const Patterns> tries) { return mergeAll(pointersTo(tries)); }

Patterns sconcat(const Patterns& first, std::span<const Patterns> rest) {
  Group all = pointersTo(rest);
  all.insert(all.begin(), &first);
  return mergeAll(std::move(all));
}

Patterns stimes(std::int64_t count, const Patterns& trie) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return trie;  // merge is idempotent
}

}  // namespace hyph
