// Parsing pattern text: a mutable trie built line by line, then frozen into
// the flat form that lookups read.
#include <algorithm>
#include <bit>
#include <unordered_map>

#include "engine/utf8.hpp"
#include "patterns_access.hpp"
#include "slot_allocator.hpp"

namespace hyph {
namespace detail {
namespace {

/// Builds the flat form of a pattern file line by line, in one pass: a
/// mutable trie whose nodes keep their children as sibling lists in code
/// point order, frozen into the flat form at the end. Pattern files are
/// nearly sorted, so a line mostly repeats the previous line's path, then
/// appends children after the last ones; both are found without a search.
class FlatBuilder {
 public:
  /// `sizeHint`: the length of the text, which bounds the number of nodes
  /// and of scores.
  explicit FlatBuilder(std::size_t sizeHint = 0) {
    nodes_.reserve(sizeHint + 1);
    digits_.reset(new std::uint8_t[sizeHint + 1]);  // left uninitialised, as they are written first
    addNode(0, 0);
    path_.push_back(0);
    letters_.push_back(0);
  }

  /// Adds the lines of a text whose code points `next(c)` gives one by one
  /// (false at the end); lines end at U+000A, and a last line without one
  /// counts.
  template <class Next>
  void parse(Next next) {
    // The line being read: its letters so far (depth), and whether they are
    // a prefix of the previous line's, whose path path_ and letters_ still
    // hold beyond depth.
    std::size_t depth = 0;
    std::size_t previousDepth = 0;
    bool following = true;
    bool skipScore = false;
    bool open = false;
    std::uint8_t* const digits = digits_.get();
    std::size_t lineStart = digitCount_;
    std::size_t end = digitCount_;
    auto endLine = [&] {
      if (!skipScore) digits[end++] = 0;
      // The earliest line with these letters wins; a later one's scores go.
      if (BuildNode& node = nodes_[path_[depth]]; node.scoreLength == 0) {
        node.scoreStart = static_cast<std::uint32_t>(lineStart);
        node.scoreLength = static_cast<std::uint32_t>(end - lineStart);
        lineStart = end;
      } else {
        end = lineStart;
      }
      skipScore = false;
      previousDepth = depth;
      depth = 0;
      following = true;
      open = false;
    };
    for (char32_t c; next(c);) {
      if (c == U'\n') {
        endLine();
        continue;
      }
      open = true;
      // Scores follow scorePattern: a digit scores the gap and consumes the
      // code point after it, whatever it is.
      const bool digit = isPatternDigit(c);
      if (skipScore) {
        skipScore = false;
      } else {
        digits[end++] = digit ? static_cast<std::uint8_t>(c - U'0') : 0;
        skipScore = digit;
      }
      if (digit) continue;
      if (following && depth < previousDepth && letters_[depth] == c) {
        ++depth;
        continue;
      }
      following = false;
      const std::uint32_t child = childOf(path_[depth], c);
      ++depth;
      if (depth == path_.size()) {
        path_.push_back(child);
        letters_.push_back(c);
      } else {
        path_[depth] = child;
      }
      letters_[depth - 1] = c;
    }
    if (open) endLine();
    digitCount_ = end;
  }

  std::shared_ptr<const FlatTrie> freeze(FlatTrie::Matching matching = FlatTrie::Matching::Every) {
    auto trie = std::make_shared<FlatTrie>();
    trie->matching = matching;
    const std::size_t symbols = letterOf_.size();

    // Symbols renumbered in ascending code point order.
    std::vector<std::uint32_t> bySymbol(symbols);
    for (std::uint32_t s = 0; s < symbols; ++s) bySymbol[s] = s;
    std::sort(bySymbol.begin(), bySymbol.end(),
              [this](std::uint32_t a, std::uint32_t b) { return letterOf_[a] < letterOf_[b]; });
    std::vector<std::uint32_t> renumbered(symbols);
    trie->letters.resize(symbols);
    for (std::uint32_t s = 0; s < symbols; ++s) {
      renumbered[bySymbol[s]] = s;
      trie->letters[s] = letterOf_[bySymbol[s]];
    }
    trie->buildAlphabet();
    pack(*trie, bySymbol, renumbered);
    return trie;
  }

 private:
  static constexpr std::uint32_t kLeaf = ~std::uint32_t{0};

  // Calls add(symbol, child) for the children of builder node `node`, in
  // symbol order: sibling lists are in code point order, and so are the
  // symbols.
  template <class Add>
  void eachChild(std::uint32_t node, const std::vector<std::uint32_t>& bySymbol,
                 const std::vector<std::uint32_t>& renumbered, Add& add) const {
    if (node == 0) {
      for (std::uint32_t s = 0; s < bySymbol.size(); ++s)
        if (const std::uint32_t child = rootChild_[bySymbol[s]]; child != 0) add(s, child);
    } else {
      for (std::uint32_t c = nodes_[node].firstChild; c != 0; c = nodes_[c].nextSibling)
        add(renumbered[nodes_[c].symbol], c);
    }
  }

  // The double array: nodes taken breadth first, each node's children placed
  // by the allocator; then each slot's check, base and scores, and the
  // automaton.
  void pack(FlatTrie& trie, const std::vector<std::uint32_t>& bySymbol,
            const std::vector<std::uint32_t>& renumbered) {
    const std::size_t nodes = nodes_.size();
    const auto symbols = static_cast<std::uint32_t>(bySymbol.size());
    // Breadth first, each node's children placed as it is taken from the
    // queue: that is the order of the automaton's build, and it puts the
    // root and the nodes near it, which every lookup reads, together at the
    // front.
    struct Taken {
      std::uint32_t node, slot, base;
    };
    std::vector<Taken> queue{{0, 0, kLeaf}};
    queue.reserve(nodes);
    std::vector<std::uint32_t> parents(1, 0);  // by slot
    SlotAllocator allocator;
    std::vector<std::uint32_t> codes, children;
    for (std::size_t q = 0; q < queue.size(); ++q) {
      codes.clear();
      children.clear();
      auto add = [&](std::uint32_t symbol, std::uint32_t child) {
        codes.push_back(symbol + 1);
        children.push_back(child);
      };
      eachChild(queue[q].node, bySymbol, renumbered, add);
      if (codes.empty()) continue;
      const std::uint32_t base = allocator.place(codes);
      const std::uint32_t slot = queue[q].slot;
      queue[q].base = base;
      if (parents.size() < allocator.size()) parents.resize(allocator.size(), 0);
      for (std::size_t i = 0; i < codes.size(); ++i) {
        queue.push_back({children[i], base + codes[i], kLeaf});
        parents[base + codes[i]] = slot;
      }
    }
    // Past the last slot taken: the base of every leaf, whose codes all land
    // in free slots, and room for a step from any base.
    const auto dead = static_cast<std::uint32_t>(allocator.size());
    const std::size_t total = std::size_t{dead} + symbols + 1;
    if (total >= WideSlot::kMaxSlots) throw std::bad_alloc();  // more than 32 bits number
    trie.doubleArray = true;
    trie.wide = symbols > CompactSlot::kMaxSymbols || total > CompactSlot::kMaxSlots;
    if (!kWideSlots && trie.wide) refuseWideSlots();
    trie.slotCount = static_cast<std::uint32_t>(total);
    trie.slots.assign(total * (trie.wide ? 2 : 1), 0);
    parents.resize(total, 0);

    // Scores, slot by slot; free slots have none.
    {
      std::vector<std::uint32_t> nodeAt(total, kLeaf);
      for (const Taken& taken : queue) nodeAt[taken.slot] = taken.node;
      trie.scoreStarts.resize(total + 1);
      trie.digits.resize(digitCount_);
      std::uint32_t at = 0;
      for (std::size_t slot = 0; slot < total; ++slot) {
        trie.scoreStarts[slot] = at;
        if (nodeAt[slot] == kLeaf) continue;
        const BuildNode& built = nodes_[nodeAt[slot]];
        std::copy_n(digits_.get() + built.scoreStart, built.scoreLength, trie.digits.data() + at);
        at += built.scoreLength;
        trie.maxScoreLength = std::max(trie.maxScoreLength, built.scoreLength);
      }
      trie.scoreStarts[total] = at;
      trie.digits.resize(at);
      trie.digits.shrink_to_fit();
      digits_.reset();
    }

    // Check and base of every node; the automaton fills in links and
    // outputs, breadth first, parents before children.
    std::vector<std::uint32_t> order(queue.size());
    for (std::size_t q = 0; q < queue.size(); ++q) {
      const Taken& taken = queue[q];
      order[q] = taken.slot;
      const std::uint32_t base = taken.base == kLeaf ? dead : taken.base;
      const std::uint32_t check = taken.node == 0 ? 0 : renumbered[nodes_[taken.node].symbol] + 1;
      if (kWideSlots && trie.wide)
        WideSlot::set(trie.slots.data() + 2 * std::size_t{taken.slot}, check, 0, base, 0);
      else
        CompactSlot::set(trie.slots.data() + taken.slot, check, 0, base, 0);
    }
    queue = {};
    nodes_ = {};  // the builder's nodes are done with: their memory goes before the automaton's
    trie.buildAutomaton(order, std::move(parents));
  }

  std::uint32_t addNode(std::uint32_t symbol, char32_t letter) {
    nodes_.push_back({0, 0, 0, symbol, letter, 0, 0});
    return static_cast<std::uint32_t>(nodes_.size() - 1);
  }

  std::uint32_t symbolFor(char32_t c) {
    std::uint32_t* cell;
    if (c < kPagedLimit) {
      const std::size_t page = c >> 8;
      if (page != cachedPage_) {
        cachedPage_ = page;
        cachedOffset_ = symbolOf_.offsetOf(page);
      }
      cell = symbolOf_.data() + cachedOffset_ + (c & 255);
    } else {
      cell = &outside_[c];
    }
    if (*cell == 0) {
      letterOf_.push_back(c);
      rootChild_.push_back(0);
      *cell = static_cast<std::uint32_t>(letterOf_.size());
    }
    return *cell - 1;
  }

  // The child of `node` on letter `c`, added if missing. Sibling lists are
  // kept in code point order.
  std::uint32_t childOf(std::uint32_t node, char32_t c) {
    if (node == 0) {
      const std::uint32_t symbol = symbolFor(c);
      if (rootChild_[symbol] == 0) rootChild_[symbol] = addNode(symbol, c);
      return rootChild_[symbol];
    }
    BuildNode& parent = nodes_[node];
    if (parent.lastChild != 0) {
      const char32_t last = nodes_[parent.lastChild].letter;
      if (last == c) return parent.lastChild;
      if (last > c) return insertBefore(node, c);
    }
    // After every child so far: appended.
    const std::uint32_t child = addNode(symbolFor(c), c);
    BuildNode& after = nodes_[node];  // addNode may have moved the nodes
    if (after.lastChild == 0)
      after.firstChild = child;
    else
      nodes_[after.lastChild].nextSibling = child;
    after.lastChild = child;
    if (!index_.empty()) indexChild(node, c, child);
    return child;
  }

  // childOf for a letter below the node's last child: a search of the list,
  // or of the index once lists have been searched so much that the text is
  // evidently not sorted.
  std::uint32_t insertBefore(std::uint32_t node, char32_t c) {
    if (!index_.empty()) {
      if (const std::uint32_t found = indexed(node, c); found != 0) return found;
    }
    std::uint32_t previous = 0;
    std::uint32_t at = nodes_[node].firstChild;
    while (nodes_[at].letter < c) {
      previous = at;
      at = nodes_[at].nextSibling;  // the last child's letter is above c
      ++searched_;
    }
    if (nodes_[at].letter == c) {
      if (index_.empty() && searched_ > 4 * nodes_.size() + 4096) buildIndex();
      return at;
    }
    const std::uint32_t child = addNode(symbolFor(c), c);
    nodes_[child].nextSibling = at;
    if (previous == 0)
      nodes_[node].firstChild = child;
    else
      nodes_[previous].nextSibling = child;
    if (!index_.empty()) indexChild(node, c, child);
    return child;
  }

  // The index: an open-addressing table from (parent, letter) to the child,
  // for the children of every node but the root.
  static std::size_t indexSlot(std::uint32_t node, char32_t c, std::size_t mask) {
    const std::uint64_t key = (std::uint64_t{node} << 32) | c;
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
  }
  std::uint32_t indexed(std::uint32_t node, char32_t c) const {
    const std::size_t mask = index_.size() - 1;
    for (std::size_t at = indexSlot(node, c, mask);; at = (at + 1) & mask) {
      if (index_[at].node == node && index_[at].letter == c) return index_[at].child;
      if (index_[at].node == 0) return 0;
    }
  }
  void indexChild(std::uint32_t node, char32_t c, std::uint32_t child) {
    if (3 * ++indexed_ > 2 * index_.size()) return buildIndex();  // rebuilt larger, with the child
    const std::size_t mask = index_.size() - 1;
    std::size_t at = indexSlot(node, c, mask);
    while (index_[at].node != 0) at = (at + 1) & mask;
    index_[at] = {node, c, child};
  }
  void buildIndex() {
    std::size_t size = 1024;
    while (size < 2 * nodes_.size()) size *= 2;
    index_.assign(size, {0, 0, 0});
    indexed_ = 0;
    for (std::uint32_t node = 1; node < nodes_.size(); ++node)
      for (std::uint32_t c = nodes_[node].firstChild; c != 0; c = nodes_[c].nextSibling)
        indexChild(node, nodes_[c].letter, c);
  }

  static constexpr char32_t kPagedLimit = 0x110000;
  PageTableBuilder<std::uint32_t> symbolOf_;  // code point -> symbol + 1 (in the builder's order)
  std::size_t cachedPage_ = kPagedLimit;      // the page last looked up, at cachedOffset_
  std::size_t cachedOffset_ = 0;
  std::unordered_map<char32_t, std::uint32_t> outside_;
  std::vector<char32_t> letterOf_;
  std::vector<std::uint32_t> rootChild_;  // by symbol

  struct BuildNode {
    std::uint32_t firstChild;  // children as a sibling list; 0 ends it
    std::uint32_t lastChild;
    std::uint32_t nextSibling;
    std::uint32_t symbol;
    char32_t letter;
    std::uint32_t scoreStart;
    std::uint32_t scoreLength;  // 0 for a node that no line ends at
  };
  std::vector<BuildNode> nodes_;
  struct IndexEntry {
    std::uint32_t node;  // 0: a free slot (the root is not indexed)
    char32_t letter;
    std::uint32_t child;
  };
  std::vector<IndexEntry> index_;  // empty until the lists have been searched a lot
  std::size_t indexed_ = 0;
  std::size_t searched_ = 0;  // sibling steps in list searches so far
  // Every line's scores, back to back; no more than the text's length.
  std::unique_ptr<std::uint8_t[]> digits_;
  std::size_t digitCount_ = 0;

  // The path of the line being read (path_[0] is the root) and its letters:
  // letters_[k] leads from path_[k] to path_[k + 1].
  std::vector<std::uint32_t> path_;
  std::vector<char32_t> letters_;
};

}  // namespace
}  // namespace detail

Patterns PatternsAccess::parse(std::u32string_view text, detail::FlatTrie::Matching matching) {
  detail::FlatBuilder builder(text.size());
  std::size_t i = 0;
  builder.parse([text, &i](char32_t& c) {
    if (i == text.size()) return false;
    c = text[i++];
    return true;
  });
  return flat(builder.freeze(matching), 0);
}

Patterns parsePatterns(std::u32string_view text) {
  return PatternsAccess::parse(text, detail::FlatTrie::Matching::Every);
}

Patterns parsePatterns(std::string_view utf8) {
  detail::FlatBuilder builder(utf8.size());
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  std::size_t i = 0;
  builder.parse([p, size = utf8.size(), &i](char32_t& c) {
    if (i == size) return false;
    if (p[i] < 0x80) {
      c = p[i++];
    } else {
      const detail::Decoded d = detail::decodeOne(p + i, size - i);
      c = d.codePoint;
      i += d.length;
    }
    return true;
  });
  return PatternsAccess::flat(builder.freeze(), 0);
}

}  // namespace hyph
