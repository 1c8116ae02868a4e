// Merging tries: the pointwise maximum of their scores, the union of their
// children.
#include <algorithm>

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

/// Merge without recursion: each frame merges the children of two nodes in
/// key order; a pair of children that both exist pushes a frame of its own.
Patterns mergeTries(const Patterns& a, const Patterns& b) {
  auto trivial = [](const Patterns& x, const Patterns& y, Patterns& out) {
    if (x.empty() || PatternsAccess::same(x, y)) {
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
    Patterns a, b;
    std::vector<Patterns::Child> as, bs;
    std::size_t i = 0, j = 0;
    std::vector<Patterns::Child> children;
  };
  auto frameOf = [](const Patterns& x, const Patterns& y) {
    return Frame{x, y, PatternsAccess::childList(x), PatternsAccess::childList(y), 0, 0, {}};
  };
  std::vector<Frame> stack;
  stack.push_back(frameOf(a, b));
  while (true) {
    Frame& frame = stack.back();
    bool descended = false;
    while (frame.i < frame.as.size() || frame.j < frame.bs.size()) {
      const auto& as = frame.as;
      const auto& bs = frame.bs;
      if (frame.j == bs.size() || (frame.i < as.size() && as[frame.i].first < bs[frame.j].first)) {
        frame.children.push_back(as[frame.i++]);
      } else if (frame.i == as.size() || bs[frame.j].first < as[frame.i].first) {
        frame.children.push_back(bs[frame.j++]);
      } else {
        Patterns merged;
        if (trivial(as[frame.i].second, bs[frame.j].second, merged)) {
          frame.children.emplace_back(as[frame.i].first, std::move(merged));
          ++frame.i, ++frame.j;
        } else {
          Frame next = frameOf(as[frame.i].second, bs[frame.j].second);
          stack.push_back(std::move(next));  // invalidates `frame`
          descended = true;
          break;
        }
      }
    }
    if (descended) continue;
    Patterns done = PatternsAccess::linked(maxScores(frame.a.scores(), frame.b.scores()),
                                           std::move(frame.children));
    stack.pop_back();
    if (stack.empty()) return done;
    Frame& parent = stack.back();
    parent.children.emplace_back(parent.as[parent.i].first, std::move(done));
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

}  // namespace hyph
