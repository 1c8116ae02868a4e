// Parsing pattern text: a mutable trie built line by line, then frozen into
// the flat form that lookups read.
#include <algorithm>
#include <unordered_map>

#include "engine/utf8.hpp"
#include "patterns_access.hpp"

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
    digits_ = std::make_unique_for_overwrite<std::uint8_t[]>(sizeHint + 1);
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

  std::shared_ptr<const FlatTrie> freeze() {
    auto trie = std::make_shared<FlatTrie>();
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

    // Nodes are numbered breadth first, so that the top of the trie, which
    // every lookup walks, is compact, and each node's children are adjacent.
    // Alphabets of up to 512 symbols take the record form, larger ones the
    // general form, whose size does not grow with the alphabet.
    const std::size_t words = (symbols + 63) / 64 + 1;
    if (words <= FlatTrie::kMaxRecordWords)
      numberRecords(*trie, words, bySymbol, renumbered);
    else
      numberGeneral(*trie, bySymbol, renumbered);
    trie->buildAutomaton();
    return trie;
  }

 private:
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

  // The record form: node v's record and scores written as v is taken from
  // the queue, its children queued behind the rest.
  void numberRecords(FlatTrie& trie, std::size_t words, const std::vector<std::uint32_t>& bySymbol,
                     const std::vector<std::uint32_t>& renumbered) {
    const std::size_t nodes = nodes_.size();
    trie.recordWords = static_cast<std::uint32_t>(words);
    trie.cells.assign(nodes * words, 0);
    trie.scoreStarts.resize(nodes + 1);
    trie.digits.resize(digitCount_);  // every node's scores, each list once
    std::uint64_t* const cells = trie.cells.data();
    std::uint32_t* const starts = trie.scoreStarts.data();
    std::uint8_t* const digits = trie.digits.data();
    const std::uint8_t* const lineDigits = digits_.get();
    std::vector<std::uint32_t> queue(nodes);  // builder node of each new node
    std::uint32_t tail = 1;
    std::uint32_t at = 0;
    std::uint32_t maxLength = 0;
    for (std::size_t v = 0; v < nodes; ++v) {
      const BuildNode& built = nodes_[queue[v]];
      std::uint64_t* record = cells + v * words;
      record[0] = tail;
      auto add = [&](std::uint32_t symbol, std::uint32_t child) {
        record[1 + (symbol >> 6)] |= std::uint64_t{1} << (symbol & 63);
        queue[tail++] = child;
      };
      eachChild(queue[v], bySymbol, renumbered, add);
      starts[v] = at;
      std::copy_n(lineDigits + built.scoreStart, built.scoreLength, digits + at);
      at += built.scoreLength;
      maxLength = std::max(maxLength, built.scoreLength);
    }
    starts[nodes] = at;
    trie.maxScoreLength = maxLength;
  }

  // The general form, for alphabets too large for records.
  void numberGeneral(FlatTrie& trie, const std::vector<std::uint32_t>& bySymbol,
                     const std::vector<std::uint32_t>& renumbered) {
    const std::size_t nodes = nodes_.size();
    trie.nodes.resize(nodes);
    trie.edges.reserve(nodes - 1);
    std::vector<std::uint32_t> queue{0};  // builder node of each new node
    queue.reserve(nodes);
    for (std::size_t v = 0; v < queue.size(); ++v) {
      const std::uint32_t old = queue[v];
      const BuildNode& built = nodes_[old];
      FlatTrie::Node& node = trie.nodes[v];
      node.edgeBegin = static_cast<std::uint32_t>(trie.edges.size());
      node.scoreStart = built.scoreStart;
      node.scoreLength = built.scoreLength;
      trie.maxScoreLength = std::max(trie.maxScoreLength, built.scoreLength);
      auto add = [&](std::uint32_t symbol, std::uint32_t child) {
        trie.edges.push_back({symbol, static_cast<std::uint32_t>(queue.size())});
        queue.push_back(child);
      };
      eachChild(old, bySymbol, renumbered, add);
      node.edgeCount = static_cast<std::uint32_t>(trie.edges.size()) - node.edgeBegin;
    }
    trie.digits.assign(digits_.get(), digits_.get() + digitCount_);
    trie.buildDenseRows();
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
  PageTable<std::uint32_t> symbolOf_;     // code point -> symbol + 1 (in the builder's order)
  std::size_t cachedPage_ = kPagedLimit;  // the page last looked up, at cachedOffset_
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

Patterns parsePatterns(std::u32string_view text) {
  detail::FlatBuilder builder(text.size());
  std::size_t i = 0;
  builder.parse([text, &i](char32_t& c) {
    if (i == text.size()) return false;
    c = text[i++];
    return true;
  });
  return PatternsAccess::flat(builder.freeze(), 0);
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
