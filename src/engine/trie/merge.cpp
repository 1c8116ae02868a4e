// Merging tries: the pointwise maximum of their scores, the union of their
// children.
#include <algorithm>
#include <vector>

#include "hyph/error.hpp"
#include "patterns_access.hpp"

namespace hyph {

namespace {

/// Pointwise maximum; the result is as long as the longer list.
Scores maxScores(const Scores& a, const Scores& b) {
  const Scores& longer = a.size() >= b.size() ? a : b;
  const Scores& shorter = a.size() >= b.size() ? b : a;
  Scores out = longer;
  for (std::size_t i = 0; i < shorter.size(); ++i) out[i] = std::max(out[i], shorter[i]);
  return out;
}

/// The tries of a group that count: the empty ones left out, and one alone
/// when all share their whole structure (so that merging a trie with itself
/// gives the very trie). Other repeats are merged like any tries, which
/// idempotence makes harmless.
void distinct(std::vector<Patterns>& group) {
  std::erase_if(group, [](const Patterns& trie) { return trie.empty(); });
  if (group.size() > 1 && std::all_of(group.begin() + 1, group.end(), [&](const Patterns& trie) {
        return PatternsAccess::same(trie, group[0]);
      }))
    group.resize(1);
}

/// Merges any number of tries at once, level by level and without
/// recursion: a frame gathers the children of a group of nodes, sorted by
/// letter, and each letter that more than one of them has is a group of
/// its own. Each node of the inputs is visited once, so the cost is the
/// total size times the log of a node's children, however many tries.
Patterns mergeAll(std::vector<Patterns> tries) {
  distinct(tries);
  if (tries.empty()) return Patterns();
  if (tries.size() == 1) return tries.front();

  struct Frame {
    std::vector<Patterns> group;
    std::vector<Patterns::Child> entries;  // the group's children, by letter
    std::size_t next = 0;
    std::vector<Patterns::Child> children;  // merged so far
  };
  auto frameOf = [](std::vector<Patterns> group) {
    Frame frame{std::move(group), {}, 0, {}};
    for (const Patterns& node : frame.group) PatternsAccess::appendChildren(node, frame.entries);
    auto byLetter = [](const auto& a, const auto& b) { return a.first < b.first; };
    // Tries often come in the order of their letters already.
    if (!std::is_sorted(frame.entries.begin(), frame.entries.end(), byLetter))
      std::stable_sort(frame.entries.begin(), frame.entries.end(), byLetter);
    return frame;
  };
  std::vector<Frame> stack;
  stack.push_back(frameOf(std::move(tries)));
  while (true) {
    Frame& frame = stack.back();
    bool descended = false;
    while (frame.next < frame.entries.size()) {
      const char32_t letter = frame.entries[frame.next].first;
      std::size_t end = frame.next + 1;
      while (end < frame.entries.size() && frame.entries[end].first == letter) ++end;
      if (end == frame.next + 1) {  // a letter of one node only: its subtrie as it is
        frame.children.push_back(std::move(frame.entries[frame.next++]));
        continue;
      }
      std::vector<Patterns> group;
      for (std::size_t k = frame.next; k < end; ++k) group.push_back(frame.entries[k].second);
      distinct(group);
      if (group.size() <= 1) {
        frame.children.emplace_back(letter, group.empty() ? Patterns() : group.front());
        frame.next = end;
        continue;
      }
      frame.next = end;
      stack.push_back(frameOf(std::move(group)));  // invalidates `frame`
      descended = true;
      break;
    }
    if (descended) continue;
    Scores scores;
    for (const Patterns& node : frame.group) scores = maxScores(scores, node.scores());
    Patterns done = PatternsAccess::linked(std::move(scores), std::move(frame.children));
    stack.pop_back();
    if (stack.empty()) return done;
    Frame& parent = stack.back();
    parent.children.emplace_back(parent.entries[parent.next - 1].first, std::move(done));
  }
}

}  // namespace

Patterns operator|(const Patterns& a, const Patterns& b) { return mergeAll({a, b}); }

// Merge is associative and commutative, so merging all at once gives the
// fold from the right that these are defined as.
Patterns mconcat(std::span<const Patterns> tries) {
  return mergeAll(std::vector<Patterns>(tries.begin(), tries.end()));
}

Patterns sconcat(const Patterns& first, std::span<const Patterns> rest) {
  std::vector<Patterns> all{first};
  all.insert(all.end(), rest.begin(), rest.end());
  return mergeAll(std::move(all));
}

Patterns stimes(std::int64_t count, const Patterns& trie) {
  if (count < 1) throw Error("stimes: positive multiplier expected");
  return trie;  // merge is idempotent
}

}  // namespace hyph
