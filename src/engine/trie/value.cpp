// The linked form of a trie: the constructor, its accessors, structural
// equality, and insertPattern.
#include <algorithm>

#include "patterns_access.hpp"

namespace hyph {

namespace {

/// The first child whose letter is not below `letter`, in a linked node's
/// sorted children.
template <class Children>
auto findChild(Children& children, char32_t letter) {
  return std::lower_bound(
      children.begin(), children.end(), letter,
      [](const Patterns::Child& child, char32_t key) { return child.first < key; });
}

}  // namespace

Patterns::Patterns(Scores scores, const std::map<char32_t, Patterns>& children) {
  *this = PatternsAccess::linked(std::move(scores), {children.begin(), children.end()});
}

Scores Patterns::scores() const {
  if (node_) return node_->scores;
  if (!flat_) return {};
  const std::uint32_t count = flat_->scoreLength(index_);
  Scores out(count);
  for (std::uint32_t k = 0; k < count; ++k) out[k] = flat_->score(index_, k);
  return out;
}

Patterns::Children Patterns::children() const {
  Children range;
  if (node_) {
    range.node_ = node_;
    range.size_ = node_->children.size();
  } else if (flat_) {
    range.flat_ = flat_;
    range.begin_ = index_;
    range.size_ = flat_->childCount(index_);
  }
  return range;
}

Patterns::Child Patterns::Children::operator[](std::size_t i) const {
  if (node_) return node_->children[i];
  const detail::FlatTrie::Edge edge =
      flat_->childAt(static_cast<std::uint32_t>(begin_), static_cast<std::uint32_t>(i));
  return {flat_->letters[edge.symbol], PatternsAccess::flat(flat_, edge.node)};
}

std::optional<Patterns> Patterns::child(char32_t letter) const {
  if (node_) {
    const auto& children = node_->children;
    auto it = findChild(children, letter);
    if (it != children.end() && it->first == letter) return it->second;
    return std::nullopt;
  }
  if (!flat_) return std::nullopt;
  const std::uint32_t symbol = flat_->symbolOf(letter);
  if (symbol == detail::kNoSymbol) return std::nullopt;
  const std::uint32_t next = flat_->next(index_, symbol - 1);
  if (next == detail::FlatTrie::kNoChild) return std::nullopt;
  return PatternsAccess::flat(flat_, next);
}

bool Patterns::empty() const { return !node_ && !flat_; }

bool operator==(const Patterns& a, const Patterns& b) {
  std::vector<std::pair<Patterns, Patterns>> pending{{a, b}};
  while (!pending.empty()) {
    auto [x, y] = std::move(pending.back());
    pending.pop_back();
    if (PatternsAccess::same(x, y)) continue;
    if (x.scores() != y.scores()) return false;
    const auto xs = x.children();
    const auto ys = y.children();
    if (xs.size() != ys.size()) return false;
    for (std::size_t i = 0; i < xs.size(); ++i) {
      auto [xKey, xChild] = xs[i];
      auto [yKey, yChild] = ys[i];
      if (xKey != yKey) return false;
      pending.emplace_back(std::move(xChild), std::move(yChild));
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
    if (detail::isPatternDigit(pattern[i])) {
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
  std::u32string letters;
  for (char32_t c : pattern)
    if (!detail::isPatternDigit(c)) letters += c;
  Scores scores = scorePattern(pattern);

  // The existing nodes along the path; path[k] is reached by letters[0..k).
  std::vector<Patterns> path{trie};
  while (path.size() <= letters.size()) {
    std::optional<Patterns> next = path.back().child(letters[path.size() - 1]);
    if (!next) break;
    path.push_back(std::move(*next));
  }

  // Rebuild bottom-up: the target node, then new nodes for the missing part of
  // the path, then copies of the existing ancestors with one child replaced.
  Patterns rebuilt;
  if (path.size() == letters.size() + 1) {
    rebuilt = PatternsAccess::linked(std::move(scores), PatternsAccess::childList(path.back()));
  } else {
    rebuilt = PatternsAccess::linked(std::move(scores), {});
    for (std::size_t depth = letters.size() - 1; depth >= path.size(); --depth)
      rebuilt = PatternsAccess::linked({}, {{letters[depth], std::move(rebuilt)}});
  }
  for (std::size_t k = std::min(path.size(), letters.size()); k-- > 0;) {
    std::vector<Patterns::Child> children = PatternsAccess::childList(path[k]);
    auto it = findChild(children, letters[k]);
    if (it != children.end() && it->first == letters[k])
      it->second = std::move(rebuilt);
    else
      children.insert(it, {letters[k], std::move(rebuilt)});
    rebuilt = PatternsAccess::linked(path[k].scores(), std::move(children));
  }
  return rebuilt;
}

}  // namespace hyph
