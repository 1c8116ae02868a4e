// The general form of the flat trie, and compiling linked tries into it.
#include <algorithm>
#include <unordered_map>

#include "patterns_access.hpp"

namespace hyph {
namespace detail {

std::shared_ptr<const FlatTrie> compile(const Patterns& root) {
  struct Key {
    const void* owner;
    std::uint32_t index;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      return std::hash<const void*>()(k.owner) ^ (std::size_t{k.index} * 0x9E3779B97F4A7C15ull);
    }
  };
  auto keyOf = [](const Patterns& p) {
    if (const auto* flat = PatternsAccess::flatTrie(p)) return Key{flat, PatternsAccess::index(p)};
    return Key{PatternsAccess::node(p), 0};
  };

  std::unordered_map<Key, std::uint32_t, KeyHash> seen;
  std::vector<Patterns> order{root};
  seen.emplace(keyOf(root), 0);
  std::vector<std::vector<std::pair<char32_t, std::uint32_t>>> edges;
  std::vector<Scores> scores;
  std::vector<char32_t> letters;
  for (std::size_t v = 0; v < order.size(); ++v) {
    const Patterns node = order[v];  // a copy: `order` grows below
    scores.push_back(node.scores());
    std::vector<std::pair<char32_t, std::uint32_t>> out;
    for (const auto& [letter, child] : node.children()) {
      auto [it, fresh] = seen.emplace(keyOf(child), static_cast<std::uint32_t>(order.size()));
      if (fresh) order.push_back(child);
      out.emplace_back(letter, it->second);
      letters.push_back(letter);
    }
    edges.push_back(std::move(out));
  }

  auto trie = std::make_shared<FlatTrie>();
  std::sort(letters.begin(), letters.end());
  letters.erase(std::unique(letters.begin(), letters.end()), letters.end());
  trie->letters = letters;
  trie->buildAlphabet();
  const std::size_t nodes = order.size();
  trie->nodes.resize(nodes);
  for (std::size_t v = 0; v < nodes; ++v) {
    trie->nodes[v].edgeBegin = static_cast<std::uint32_t>(trie->edges.size());
    for (auto [letter, child] : edges[v])
      trie->edges.push_back({trie->symbolOf(letter) - 1, child});
    trie->nodes[v].edgeCount = static_cast<std::uint32_t>(edges[v].size());
  }
  trie->buildDenseRows();
  for (const Scores& list : scores)
    for (std::int64_t value : list) trie->narrow = trie->narrow && value >= 0 && value <= 255;
  for (std::size_t v = 0; v < nodes; ++v) {
    const Scores& list = scores[v];
    trie->nodes[v].scoreStart =
        static_cast<std::uint32_t>(trie->narrow ? trie->digits.size() : trie->wideScores.size());
    trie->nodes[v].scoreLength = static_cast<std::uint32_t>(list.size());
    trie->maxScoreLength = std::max(trie->maxScoreLength, static_cast<std::uint32_t>(list.size()));
    for (std::int64_t value : list) {
      if (trie->narrow)
        trie->digits.push_back(static_cast<std::uint8_t>(value));
      else
        trie->wideScores.push_back(value);
    }
  }
  return trie;
}

namespace {

std::shared_ptr<const FlatTrie> emptyTrie() {
  static const std::shared_ptr<const FlatTrie> empty = compile(Patterns());
  return empty;
}

}  // namespace

FlatView flatOf(const Patterns& trie) {
  if (const FlatTrie* flat = PatternsAccess::flatTrie(trie))
    return {flat, PatternsAccess::index(trie)};
  if (!PatternsAccess::node(trie)) return {emptyTrie().get(), 0};
  return {PatternsAccess::compiled(trie, compile), 0};
}

}  // namespace detail
}  // namespace hyph
