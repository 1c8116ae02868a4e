// The pattern trie: construction, parsing, lookup, merge and text form.
//
// A trie takes one of two forms. Parsing builds the flat form (FlatTrie) in
// one pass over the text; the constructor, insertPattern and merge build
// linked nodes, which may have flat subtries, and which are compiled to the
// flat form on their first lookup. Tries can be as deep as their longest
// pattern, which a caller may make arbitrarily long, so nothing here recurses
// along the depth of a trie: every walk keeps its own stack, and linked nodes
// are destroyed iteratively.
#include "hyph/pattern.hpp"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <ostream>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "flat_trie.hpp"
#include "hyph/error.hpp"
#include "show.hpp"
#include "small_buffer.hpp"
#include "utf8.hpp"

namespace hyph {

struct Patterns::Node {
  Scores scores;
  std::vector<Child> children;  // ascending by code point

  // The flat form of this subtrie, compiled on its first lookup.
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

struct PatternsAccess {
  static Patterns linked(Scores scores, std::vector<Patterns::Child> children) {
    Patterns out;
    if (!scores.empty() || !children.empty())
      out.node_ = std::make_shared<const Patterns::Node>(std::move(scores), std::move(children));
    return out;
  }
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
  static std::vector<Patterns::Child> childList(const Patterns& p) {
    if (p.node_) return p.node_->children;
    const auto children = p.children();
    return {children.begin(), children.end()};
  }
};

namespace detail {
namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

/// Builds the alphabet page table of `letters` (ascending).
void buildAlphabet(FlatTrie& trie) {
  for (std::size_t symbol = 0; symbol < trie.letters.size(); ++symbol) {
    const char32_t c = trie.letters[symbol];
    const std::size_t page = c >> 8;
    if (page >= trie.pageIndex.size()) trie.pageIndex.resize(page + 1, 0);
    if (trie.pageIndex[page] == 0) {
      trie.symbolCells.resize(trie.symbolCells.size() + 256, 0);
      trie.pageIndex[page] = static_cast<std::uint32_t>(trie.symbolCells.size() >> 8);
    }
    trie.symbolCells[((std::size_t{trie.pageIndex[page]} - 1) << 8) | (c & 255)] =
        static_cast<std::uint32_t>(symbol + 1);
  }
}

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
      const bool digit = isDigit(c);
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
    buildAlphabet(*trie);

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
        if (page >= pages_.size()) pages_.resize(page + 1);
        if (pages_[page].empty()) pages_[page].assign(256, 0);
        cachedPage_ = page;
        cachedCells_ = pages_[page].data();
      }
      cell = cachedCells_ + (c & 255);
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
  std::vector<std::vector<std::uint32_t>> pages_;  // code point -> symbol + 1
  std::size_t cachedPage_ = kPagedLimit;           // the page last looked up
  std::uint32_t* cachedCells_ = nullptr;
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

/// The flat form of any trie, through its public interface: every distinct
/// subtrie (shared ones once) becomes one node.
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
  buildAlphabet(*trie);
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
        static_cast<std::uint32_t>(trie->narrow ? trie->digits.size() : trie->wide.size());
    trie->nodes[v].scoreLength = static_cast<std::uint32_t>(list.size());
    trie->maxScoreLength = std::max(trie->maxScoreLength, static_cast<std::uint32_t>(list.size()));
    for (std::int64_t value : list) {
      if (trie->narrow)
        trie->digits.push_back(static_cast<std::uint8_t>(value));
      else
        trie->wide.push_back(value);
    }
  }
  return trie;
}

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

namespace {

/// Whether this processor has the popcnt instruction, for a lookup compiled
/// to use it where the build's target does not promise it.
bool cpuHasPopcount() {
#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt");
#else
  return false;
#endif
}

/// How a trie's records are read: several bitmap words; one; one with the
/// output number in it; or that with resolved rows for the busiest fail
/// states.
enum class Layout { Words, OneWord, Packed, Resolved };

/// The state after `state` on the symbol plus one `symbol` (0 for a code
/// point that no pattern has), failure links followed.
template <Layout kLayout>
[[gnu::always_inline]] inline std::uint32_t step(const FlatTrie& trie, std::uint32_t state,
                                                 std::uint32_t symbol) {
  constexpr bool kOneWord = kLayout != Layout::Words;
  if (symbol == FlatTrie::kNone) return 0;
  --symbol;
  const std::uint64_t* cells = trie.cells.data();
  const std::size_t words = kOneWord ? 2 : trie.recordWords;
  const std::uint32_t word = kOneWord ? 0 : symbol >> 6;
  const std::uint64_t bit = std::uint64_t{1} << (symbol & 63);
  auto childOf = [&](const std::uint64_t* record, std::uint64_t bits) {
    auto rank = static_cast<std::uint32_t>(std::popcount(bits & (bit - 1)));
    if constexpr (!kOneWord)
      for (std::uint32_t k = 0; k < word; ++k)
        rank += static_cast<std::uint32_t>(std::popcount(record[1 + k]));
    return static_cast<std::uint32_t>(record[0]) + rank;
  };
  if constexpr (kLayout == Layout::Resolved) {
    // The child, if there is one, and the fail state's resolved answer,
    // picked without a branch: which of the two it is cannot be predicted.
    const std::uint64_t* record = cells + std::size_t{state} * 2;
    const std::uint64_t bits = record[1];
    const auto link = static_cast<std::uint32_t>(record[0] >> 32);
    const std::uint32_t row = link & FlatTrie::kFailLink ? 0 : link;
    const std::uint32_t resolved = trie.resolved[std::size_t{row} + symbol];
    const std::uint32_t child = childOf(record, bits);
    const std::uint32_t has = 0u - static_cast<std::uint32_t>((bits >> symbol) & 1);
    const std::uint32_t next = (child & has) | (resolved & ~has);
    if (next != FlatTrie::kUnresolved) return next;
    state = link & ~FlatTrie::kFailLink;  // a deep fail state: the long way from there
  }
  while (true) {
    const std::uint64_t* record = cells + std::size_t{state} * words;
    const std::uint64_t bits = record[1 + word];
    if (bits & bit) return childOf(record, bits);
    const auto link = static_cast<std::uint32_t>(record[0] >> 32);
    if (!(link & FlatTrie::kFailLink))
      return trie.resolved[std::size_t{link} + symbol];  // never kUnresolved
    if (state == 0) return 0;
    state = link & ~FlatTrie::kFailLink;
  }
}

/// The output number of `state`.
template <Layout kLayout>
[[gnu::always_inline]] inline std::uint32_t outputOf(const FlatTrie& trie, std::uint32_t state) {
  if constexpr (kLayout == Layout::Words || kLayout == Layout::OneWord)
    return trie.outputs[state];
  else
    return static_cast<std::uint32_t>(trie.cells[std::size_t{state} * 2 + 1] >>
                                      FlatTrie::kPackedSymbols);
}

#if defined(__SSE2__)
/// Unaligned 16-byte loads and stores of score bytes.
inline __m128i loadBytes(const std::uint8_t* from) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}
inline void storeBytes(std::uint8_t* to, __m128i bytes) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
}

/// The scores of the kWindow gaps up to the one after the current code
/// point, in two registers that slide by one gap per code point.
class SlidingScores {
 public:
  /// Takes in the window of the state just reached and moves on by one gap;
  /// returns the score of the gap that leaves, which no later window reaches.
  std::uint8_t slide(const std::uint8_t* window) {
    static_assert(FlatTrie::kWindow == 32);
    low_ = _mm_max_epu8(low_, loadBytes(window));
    high_ = _mm_max_epu8(high_, loadBytes(window + 16));
    const auto leaving = static_cast<std::uint8_t>(_mm_cvtsi128_si32(low_));
    low_ = _mm_or_si128(_mm_srli_si128(low_, 1), _mm_slli_si128(high_, 15));
    high_ = _mm_srli_si128(high_, 1);
    return leaving;
  }
  /// Stores the kWindow gaps still held.
  void store(std::uint8_t* to) const {
    storeBytes(to, low_);
    storeBytes(to + 16, high_);
  }
  /// Bit k: the low bit of the k-th gap still held.
  std::uint32_t oddGaps() const {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(low_, 7))) |
           static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi16(high_, 7))) << 16;
  }

 private:
  __m128i low_ = _mm_setzero_si128();
  __m128i high_ = _mm_setzero_si128();
};
#endif

/// The automaton's pass over a padded word, into bytes.
template <Layout kLayout>
[[gnu::always_inline]] inline std::size_t scoreThroughAutomaton(const FlatTrie& trie,
                                                                const std::uint32_t* padded,
                                                                std::size_t m,
                                                                std::uint8_t* result) {
  // Scores are never negative here, so every gap can start at 0: those of
  // the padded word must, and those past it are written by whatever reaches
  // them before they count. An output's window may start before the word;
  // those entries land in the first kWindow - 1 bytes of `result`.
  constexpr std::size_t kWindow = FlatTrie::kWindow;
  std::fill(result, result + digitsRoom(trie, m), 0);
  std::uint8_t* gaps = result + kWindow - 1;

  // One pass: after each code point, the state is the longest suffix of what
  // was read that is a path of the trie, and its output holds the scores of
  // every path that ends there: a window that ends at the gap after that code
  // point. No later window reaches the window's first gap, so that gap is
  // final once the window is in.
  const std::uint8_t* windows = trie.windows.data();
  std::uint32_t state = 0;
#if defined(__SSE2__)
  SlidingScores scores;
#endif
  for (std::size_t j = 0; j < m; ++j) {
    state = step<kLayout>(trie, state, padded[j]);
    // Every state has a window (the root's is empty), so there is no branch.
    const std::uint8_t* window = windows + std::size_t{outputOf<kLayout>(trie, state)} * kWindow;
#if defined(__SSE2__)
    result[j + 1] = scores.slide(window);  // gap j + 2 - kWindow
#else
    std::uint8_t* to = result + j + 1;  // gap j + 2 - kWindow
    for (std::size_t k = 0; k < kWindow; ++k) to[k] = std::max(to[k], window[k]);
#endif
  }
#if defined(__SSE2__)
  scores.store(result + m + 1);
#endif

  std::size_t length = m;
  if (const std::uint32_t rootLength = trie.scoreLength(0); rootLength != 0) {
    const std::uint8_t* scores = trie.digits.data() + trie.scoreStarts[0];
    for (std::size_t i = 0; i <= m; ++i)
      for (std::size_t k = 0; k < rootLength; ++k) gaps[i + k] = std::max(gaps[i + k], scores[k]);
    length = m + rootLength;
  }
  // Only the last window can reach past the padded word, by one gap.
  return std::max(length, m + trie.reaches[outputOf<kLayout>(trie, state)]);
}

/// oddGaps for one of the layouts.
template <Layout kLayout>
[[gnu::always_inline]] inline std::uint32_t oddGapsThroughAutomaton(const FlatTrie& trie,
                                                                    const std::uint32_t* padded,
                                                                    std::size_t m) {
#if defined(__SSE2__)
  // As above, but the word is short enough for all its gaps to be in the
  // registers at the end, so nothing is stored.
  constexpr std::size_t kWindow = FlatTrie::kWindow;
  const std::uint8_t* windows = trie.windows.data();
  std::uint32_t state = 0;
  SlidingScores scores;
  for (std::size_t j = 0; j < m; ++j) {
    state = step<kLayout>(trie, state, padded[j]);
    scores.slide(windows + std::size_t{outputOf<kLayout>(trie, state)} * kWindow);
  }
  // Bit k of the mask is the low bit of gap m + 2 - kWindow + k.
  return scores.oddGaps() >> (kWindow - 2 - m);
#else
  std::uint8_t result[FlatTrie::kWindow + kShortWord + 1 + 256];
  scoreThroughAutomaton<kLayout>(trie, padded, m, result);
  std::uint32_t odd = 0;
  for (std::size_t g = 0; g < m; ++g)
    odd |= std::uint32_t{result[FlatTrie::kWindow - 1 + g] & 1u} << g;
  return odd;
#endif
}

#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
#define HYPH_POPCOUNT_DISPATCH 1
template <Layout kLayout>
__attribute__((target("popcnt"))) std::size_t scoreWithPopcount(const FlatTrie& trie,
                                                                const std::uint32_t* padded,
                                                                std::size_t m,
                                                                std::uint8_t* result) {
  return scoreThroughAutomaton<kLayout>(trie, padded, m, result);
}
template <Layout kLayout>
__attribute__((target("popcnt"))) std::uint32_t oddGapsWithPopcount(const FlatTrie& trie,
                                                                    const std::uint32_t* padded,
                                                                    std::size_t m) {
  return oddGapsThroughAutomaton<kLayout>(trie, padded, m);
}
#endif

/// Calls `run` with the trie's layout as a template argument.
template <class Run>
decltype(auto) withLayout(const FlatTrie& trie, Run run) {
  if (trie.recordWords != 2) return run(std::integral_constant<Layout, Layout::Words>());
  if (!trie.packedOutputs) return run(std::integral_constant<Layout, Layout::OneWord>());
  if (trie.resolved.empty()) return run(std::integral_constant<Layout, Layout::Packed>());
  return run(std::integral_constant<Layout, Layout::Resolved>());
}

}  // namespace

std::size_t scoreDigits(const FlatTrie& trie, const std::uint32_t* padded, std::size_t m,
                        std::uint8_t* result) {
  return withLayout(trie, [&](auto layout) {
#ifdef HYPH_POPCOUNT_DISPATCH
    if (trie.hardwarePopcount) return scoreWithPopcount<layout()>(trie, padded, m, result);
#endif
    return scoreThroughAutomaton<layout()>(trie, padded, m, result);
  });
}

std::uint32_t oddGaps(const FlatTrie& trie, const std::uint32_t* padded, std::size_t m) {
  return withLayout(trie, [&](auto layout) {
#ifdef HYPH_POPCOUNT_DISPATCH
    if (trie.hardwarePopcount) return oddGapsWithPopcount<layout()>(trie, padded, m);
#endif
    return oddGapsThroughAutomaton<layout()>(trie, padded, m);
  });
}

std::size_t scorePadded(FlatView view, const std::uint32_t* padded, std::size_t m,
                        std::int64_t* result, std::size_t starts) {
  const FlatTrie& trie = *view.trie;
  // Gaps of the padded word start at 0 (every letter contributes one); gaps
  // past its end exist only where some pattern reaches, and take the largest
  // score that reaches them.
  std::fill(result, result + m, 0);
  std::fill(result + m, result + m + trie.maxScoreLength, std::numeric_limits<std::int64_t>::min());
  std::size_t length = m;
  auto contribute = [&](std::size_t at, std::uint32_t node) {
    const std::uint32_t count = trie.scoreLength(node);
    if (count == 0) return;
    length = std::max(length, at + count);
    if (trie.narrow) {
      const std::uint8_t* scores = trie.digits.data() + trie.scoreStart(node);
      for (std::uint32_t k = 0; k < count; ++k)
        result[at + k] = std::max<std::int64_t>(result[at + k], scores[k]);
    } else {
      const std::int64_t* scores = trie.wide.data() + trie.scoreStart(node);
      for (std::uint32_t k = 0; k < count; ++k)
        result[at + k] = std::max(result[at + k], scores[k]);
    }
  };
  const bool rootScores = trie.scoreLength(view.root) != 0;
  if (trie.automaton && view.root == 0) {
    detail::SmallBuffer<std::uint8_t, 128> digits(digitsRoom(trie, m));
    length = scoreDigits(trie, padded, m, digits.data());
    std::copy_n(digits.data() + FlatTrie::kWindow - 1, length, result);
    return length;
  }
  for (std::size_t i = 0; i < m; ++i) {
    if (rootScores) contribute(i, view.root);
    if (i >= starts) continue;
    std::uint32_t node = view.root;
    for (std::size_t j = i; j < m && padded[j] != FlatTrie::kNone; ++j) {
      const std::uint32_t next = trie.next(node, padded[j] - 1);
      if (next == FlatTrie::kNone) break;
      node = next - 1;
      contribute(i, node);
    }
  }
  if (rootScores) contribute(m, view.root);
  return length;
}

namespace {

/// A state's output while the automaton is built: the suffix's window with
/// the state's own scores over it, held in registers where there are SSE2
/// ones, so that it is hashed and compared without a trip through memory.
class Window {
 public:
  static constexpr std::size_t k = FlatTrie::kWindow;

  /// `suffix` (k scores) with `length` scores from `own` put over its gaps
  /// from `at` on, at + length <= k. The digits of `[begin, end)`, which
  /// hold `own`, may be read around it.
  Window(const std::uint8_t* suffix, const std::uint8_t* own, std::size_t at, std::size_t length,
         const std::uint8_t* begin, const std::uint8_t* end) {
#if defined(__SSE2__)
    static_assert(k == 32);
    low_ = loadBytes(suffix);
    high_ = loadBytes(suffix + 16);
    // The k digits that line up with the window, those that are not own
    // scores masked off; a copy where the window would reach past either
    // end of the digits.
    std::uint8_t spare[2 * k];
    const auto offset = static_cast<std::size_t>(own - begin);
    const std::uint8_t* from;
    if (offset >= at && offset - at + k <= static_cast<std::size_t>(end - begin)) {
      from = own - at;
    } else {
      std::fill_n(spare, sizeof spare, 0);
      std::copy_n(own, length, spare + k);
      from = spare + k - at;
    }
    const __m128i first = _mm_set1_epi8(static_cast<char>(at));
    const __m128i last = _mm_set1_epi8(static_cast<char>(at + length));
    const __m128i lowIndex = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i highIndex = _mm_add_epi8(lowIndex, _mm_set1_epi8(16));
    auto inside = [&](__m128i index) {
      return _mm_andnot_si128(_mm_cmplt_epi8(index, first), _mm_cmplt_epi8(index, last));
    };
    low_ = _mm_max_epu8(low_, _mm_and_si128(loadBytes(from), inside(lowIndex)));
    high_ = _mm_max_epu8(high_, _mm_and_si128(loadBytes(from + 16), inside(highIndex)));
#else
    (void)begin;
    (void)end;
    std::copy_n(suffix, k, bytes_);
    for (std::size_t i = 0; i < length; ++i) bytes_[at + i] = std::max(bytes_[at + i], own[i]);
#endif
  }

  std::size_t hash() const {
    std::uint64_t h = 0;
    for (std::size_t i = 0; i < 4; ++i) h = (h ^ word(i)) * 0x9E3779B97F4A7C15ull;
    // The low bits pick the slot, so the high ones are folded in.
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    return static_cast<std::size_t>(h ^ (h >> 33));
  }

  bool equals(const std::uint8_t* stored) const {
#if defined(__SSE2__)
    const __m128i same = _mm_and_si128(_mm_cmpeq_epi8(low_, loadBytes(stored)),
                                       _mm_cmpeq_epi8(high_, loadBytes(stored + 16)));
    return _mm_movemask_epi8(same) == 0xFFFF;
#else
    return std::equal(bytes_, bytes_ + k, stored);
#endif
  }

  void store(std::uint8_t* to) const {
#if defined(__SSE2__)
    storeBytes(to, low_);
    storeBytes(to + 16, high_);
#else
    std::copy_n(bytes_, k, to);
#endif
  }

 private:
#if defined(__SSE2__)
  std::uint64_t word(std::size_t i) const {
    const __m128i half = i < 2 ? low_ : high_;
    return static_cast<std::uint64_t>(
        _mm_cvtsi128_si64(i % 2 == 0 ? half : _mm_unpackhi_epi64(half, half)));
  }
  __m128i low_;
  __m128i high_;
#else
  std::uint64_t word(std::size_t i) const {
    std::uint64_t w;
    std::memcpy(&w, bytes_ + 8 * i, 8);
    return w;
  }
  std::uint8_t bytes_[k];
#endif
};

/// Numbers distinct outputs (a window and whether it reaches its last gap):
/// an open-addressing table over the outputs stored so far.
class OutputNumbering {
 public:
  OutputNumbering(std::vector<std::uint8_t>& windows, std::vector<std::uint8_t>& reaches)
      : windows_(windows), reaches_(reaches), count_(reaches.size()) {
    slots_.assign(1024, 0);
    hashes_.resize(count_);
  }

  /// The number of the output, stored anew if it is new; nullopt when there
  /// are more outputs than a 16-bit number can name.
  [[gnu::always_inline]] std::optional<std::uint16_t> number(const Window& window,
                                                             std::uint8_t reaches) {
    constexpr std::size_t k = FlatTrie::kWindow;
    if (4 * count_ >= 3 * slots_.size()) grow();
    const std::size_t mask = slots_.size() - 1;
    const std::size_t hash = window.hash();
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
      const std::uint32_t slot = slots_[at];
      if (slot == 0) {
        if (count_ > std::numeric_limits<std::uint16_t>::max()) return std::nullopt;
        windows_.resize(windows_.size() + k);
        window.store(windows_.data() + windows_.size() - k);
        reaches_.push_back(reaches);
        hashes_.push_back(hash);
        slots_[at] = static_cast<std::uint32_t>(count_++) + 1;
        return static_cast<std::uint16_t>(count_ - 1);
      }
      if (reaches_[slot - 1] == reaches &&
          window.equals(windows_.data() + std::size_t{slot - 1} * k))
        return static_cast<std::uint16_t>(slot - 1);
    }
  }

 private:
  void grow() {
    std::vector<std::uint32_t> old = std::move(slots_);
    slots_.assign(old.size() * 2, 0);
    const std::size_t mask = slots_.size() - 1;
    for (std::uint32_t slot : old) {
      if (slot == 0) continue;
      std::size_t at = hashes_[slot - 1] & mask;
      while (slots_[at] != 0) at = (at + 1) & mask;
      slots_[at] = slot;
    }
  }

  std::vector<std::uint8_t>& windows_;
  std::vector<std::uint8_t>& reaches_;
  std::vector<std::uint32_t> slots_;  // an output's number plus one, or 0
  std::vector<std::size_t> hashes_;   // by number; the first outputs' are not needed
  std::size_t count_;
};

// Which fail states get resolved rows, for resolveFailStates: none unless
// the trie has one bitmap word and states that fit 16 bits.
std::vector<std::uint8_t> chooseRows(const FlatTrie& trie,
                                     const std::vector<std::uint8_t>& depths) {
  const std::size_t count = trie.nodeCount();
  if (trie.recordWords != 2 || count >= FlatTrie::kUnresolved) return {};
  // links[v]: how many states fail to v (the root counts one more: it is
  // always a fail state).
  const std::uint64_t* cells = trie.cells.data();
  auto failOf = [cells](std::size_t v) { return static_cast<std::uint32_t>(cells[2 * v] >> 32); };
  std::vector<std::uint32_t> links(count, 0);
  links[0] = 1;
  for (std::size_t v = 1; v < count; ++v) ++links[failOf(v)];
  std::vector<std::uint8_t> chosen(count, 0);
  // Rows pay where misses land often: a step that must go the long way also
  // mispredicts. So rows go as deep as needed to take in nine fail states of
  // ten, when that costs no more than the records themselves.
  const std::size_t rowBytes = trie.letters.size() * sizeof(std::uint16_t);
  const std::size_t budget = count * 16;
  std::vector<std::size_t> byDepth(FlatTrie::kWindow, 0);  // fail states by depth
  std::size_t targets = 0;
  // Depths ascend in breadth-first order, so each is counted in a register;
  // branches on whether a state is a fail state would not predict.
  for (std::size_t v = 0, run = 0; v <= count; ++v) {
    if (v == count || (v != 0 && depths[v] != depths[v - 1])) {
      byDepth[depths[v - 1]] = run;
      targets += run;
      run = 0;
      if (v == count) break;
    }
    run += links[v] != 0;
  }
  std::size_t depth = 0;
  std::size_t rows = 0;
  while (depth < byDepth.size() && 10 * rows < 9 * targets) rows += byDepth[depth++];
  if ((rows + 1) * rowBytes <= budget) {
    for (std::size_t v = 0; v < count; ++v) chosen[v] = links[v] != 0 && depths[v] < depth;
    return chosen;
  }
  // A larger trie has more fail states than that, and most take few links:
  // rows then go to the states that most states fail to, the most linked
  // first, until they take in four links of five, within half the records'
  // size. statesAt[k] counts the states that take k links (the last level:
  // at least that many, taking linksAbove in all); most take none or one,
  // so those with one are counted in a register.
  constexpr std::uint32_t kLevels = 1024;
  std::vector<std::size_t> statesAt(kLevels + 1, 0);
  std::size_t ones = 0;
  std::size_t linksAbove = 0;
  for (std::size_t v = 0; v < count; ++v) {
    const std::uint32_t k = links[v];
    ones += k == 1;
    if (k > 1) {
      ++statesAt[std::min(k, kLevels)];
      if (k >= kLevels) linksAbove += k;
    }
  }
  statesAt[1] = ones;
  std::uint32_t threshold = kLevels + 1;
  std::size_t covered = 0;
  rows = 0;
  for (std::uint32_t level = kLevels; level > 0 && 5 * covered < 4 * count; --level) {
    if ((rows + statesAt[level] + 1) * rowBytes > budget / 2) break;
    rows += statesAt[level];
    covered += level == kLevels ? linksAbove : level * statesAt[level];
    threshold = level;
  }
  for (std::size_t v = 0; v < count; ++v) chosen[v] = std::min(links[v], kLevels) >= threshold;
  // A row is its fail state's with the state's own children over it, so the
  // fail states of chosen ones are chosen too.
  chosen[0] = 1;
  for (std::size_t v = count; v-- > 1;) chosen[failOf(v)] |= chosen[v];
  return chosen;
}

// Gives the chosen fail states resolved rows and turns every fail state in
// the records into a link (see FlatTrie).
void resolveFailStates(FlatTrie& trie, const std::vector<std::uint8_t>& depths) {
  const std::size_t count = trie.nodeCount();
  const std::size_t symbols = trie.letters.size();
  std::uint64_t* cells = trie.cells.data();
  const std::size_t words = trie.recordWords;
  auto failOf = [&](std::size_t v) { return static_cast<std::uint32_t>(cells[v * words] >> 32); };
  auto setLink = [&](std::size_t v, std::uint32_t link) {
    cells[v * words] = (cells[v * words] & 0xFFFFFFFFu) | (std::uint64_t{link} << 32);
  };
  const std::vector<std::uint8_t> chosen = chooseRows(trie, depths);
  if (chosen.empty()) {
    for (std::size_t v = 0; v < count; ++v) setLink(v, FlatTrie::kFailLink | failOf(v));
    return;
  }
  // rowOf[v]: the number of v's row, 0 for none; row 0 holds only
  // kUnresolved. There are fewer rows than states, so 16 bits number them.
  // Breadth first, so a state's fail state (shallower, and chosen too) has
  // its row already.
  std::vector<std::uint16_t> rowOf(count, 0);
  const auto rows = static_cast<std::size_t>(std::count(chosen.begin(), chosen.end(), 1));
  auto& resolved = trie.resolved;
  resolved.assign((rows + 1) * symbols, 0);  // the root's row: 0 where it has no child
  std::fill_n(resolved.begin(), symbols, FlatTrie::kUnresolved);
  std::uint16_t* const table = resolved.data();
  std::uint16_t number = 0;
  for (std::size_t v = 0; v < count; ++v) {
    if (!chosen[v]) continue;
    rowOf[v] = ++number;
    std::uint16_t* row = table + std::size_t{number} * symbols;
    if (v != 0) std::copy_n(table + std::size_t{rowOf[failOf(v)]} * symbols, symbols, row);
    auto child = static_cast<std::uint16_t>(cells[v * words]);
    for (std::uint64_t bits = cells[v * words + 1]; bits != 0; bits &= bits - 1)
      row[std::countr_zero(bits)] = child++;
  }
  for (std::size_t v = 0; v < count; ++v) {
    const std::uint32_t fail = failOf(v);
    const std::uint32_t row = rowOf[fail];
    setLink(v, row != 0 ? row * static_cast<std::uint32_t>(symbols) : FlatTrie::kFailLink | fail);
  }
}

// The automaton's construction, for buildAutomaton.
[[gnu::always_inline]] inline void buildAutomatonOf(FlatTrie& trie) {
  constexpr std::size_t kWindow = FlatTrie::kWindow;
  const std::size_t count = trie.nodeCount();
  const std::size_t words = trie.recordWords;
  std::uint64_t* cells = trie.cells.data();
  auto giveUp = [&] {  // lookups walk from every position instead
    for (std::size_t v = 0; v < count; ++v) cells[v * words] &= 0xFFFFFFFFu;
    // Assigning {} would keep the capacity: these give the memory back.
    trie.outputs = std::vector<std::uint16_t>();
    trie.windows = std::vector<std::uint8_t>();
    trie.reaches = std::vector<std::uint8_t>();
  };
  auto advance = [&trie, cells, words](std::uint32_t state, std::uint32_t symbol) {
    if (words == 2) {  // the usual layout, without next()'s loop over words
      const std::uint64_t bit = std::uint64_t{1} << symbol;
      while (true) {
        const std::uint64_t* record = cells + std::size_t{state} * 2;
        if (record[1] & bit)
          return static_cast<std::uint32_t>(record[0]) +
                 static_cast<std::uint32_t>(std::popcount(record[1] & (bit - 1)));
        if (state == 0) return std::uint32_t{0};
        state = static_cast<std::uint32_t>(record[0] >> 32);
      }
    }
    while (true) {
      if (const std::uint32_t child = trie.next(state, symbol); child != FlatTrie::kNone)
        return child - 1;
      if (state == 0) return std::uint32_t{0};
      state = trie.linkOf(state);  // while building: the fail state itself
    }
  };
  std::vector<std::uint8_t> depths(count, 0);
  auto& outputs = trie.outputs;
  auto& windows = trie.windows;
  auto& reaches = trie.reaches;
  outputs.assign(count, 0);
  windows.assign(kWindow, 0);  // output 0: nothing
  reaches.assign(1, 0);
  OutputNumbering numbering(windows, reaches);
  for (std::uint32_t v = 0; v < count; ++v) {
    // Nodes are numbered breadth first, so everything on v's fail chain is
    // already built.
    const std::uint64_t* record = cells + std::size_t{v} * words;
    const auto first = static_cast<std::uint32_t>(record[0]);
    const std::uint32_t fail = trie.linkOf(v);
    const std::size_t depth = depths[v];
    std::uint32_t child = first;
    for (std::uint32_t w = 0; w + 1 < words; ++w) {
      for (std::uint64_t bits = record[w + 1]; bits != 0; bits &= bits - 1, ++child) {
        if (depth + 1 >= kWindow) return giveUp();
        const std::uint32_t symbol = w * 64 + static_cast<std::uint32_t>(std::countr_zero(bits));
        depths[child] = static_cast<std::uint8_t>(depth + 1);
        const std::uint32_t childFail = v == 0 ? 0 : advance(fail, symbol);
        cells[std::size_t{child} * words] |= std::uint64_t{childFail} << 32;
      }
    }
    if (v == 0) continue;  // the root's scores count separately
    // The output of v: its own scores, which start at the first letter of
    // its path, over the output of its fail node, whose path ends where v's
    // does. Scores are never negative here, so 0 is the neutral entry.
    const std::uint16_t suffix = outputs[fail];
    const std::size_t ownLength = trie.scoreLength(v);
    if (ownLength == 0) {
      outputs[v] = suffix;
      continue;
    }
    if (ownLength > depth + 1) return giveUp();
    const std::uint8_t* digits = trie.digits.data();
    const Window window(windows.data() + std::size_t{suffix} * kWindow,
                        digits + trie.scoreStarts[v], kWindow - 1 - depth, ownLength, digits,
                        digits + trie.digits.size());
    const auto reach = static_cast<std::uint8_t>(reaches[suffix] | (ownLength == depth + 1));
    const std::optional<std::uint16_t> number = numbering.number(window, reach);
    if (!number) return giveUp();
    outputs[v] = *number;
  }
  windows.shrink_to_fit();  // grown while building
  resolveFailStates(trie, depths);
  if (words == 2 && trie.letters.size() <= FlatTrie::kPackedSymbols) {
    for (std::size_t v = 0; v < count; ++v)
      cells[v * 2 + 1] |= std::uint64_t{outputs[v]} << FlatTrie::kPackedSymbols;
    outputs = std::vector<std::uint16_t>();
    trie.packedOutputs = true;
  }
  trie.automaton = true;
}

#ifdef HYPH_POPCOUNT_DISPATCH
__attribute__((target("popcnt"))) void buildAutomatonPopcount(FlatTrie& trie) {
  buildAutomatonOf(trie);
}
#endif

}  // namespace

void FlatTrie::buildAutomaton() {
  if (!recordWords || !narrow) return;
  hardwarePopcount = cpuHasPopcount();
#ifdef HYPH_POPCOUNT_DISPATCH
  if (hardwarePopcount) return buildAutomatonPopcount(*this);
#endif
  buildAutomatonOf(*this);
}

SymbolFold::SymbolFold(const CharMap& chars, const FlatTrie& trie) {
  auto addPage = [&](std::size_t page) {
    if (page >= pageIndex.size()) pageIndex.resize(page + 1, 0);
    if (pageIndex[page] != 0) return;
    symbolCells.resize(symbolCells.size() + 256);
    pageIndex[page] = static_cast<std::uint32_t>(symbolCells.size() >> 8);
    std::uint32_t* cells = symbolCells.data() + symbolCells.size() - 256;
    for (char32_t low = 0; low < 256; ++low)
      cells[low] = trie.symbolOf(chars(static_cast<char32_t>(page << 8) | low));
  };
  addPage(0);
  chars.forEachPage(addPage);
  for (std::size_t page = 0; page < trie.pageIndex.size(); ++page)
    if (trie.pageIndex[page] != 0) addPage(page);
}

Patterns parsePatternsUtf8(std::string_view bytes) {
  FlatBuilder builder(bytes.size());
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t i = 0;
  builder.parse([p, size = bytes.size(), &i](char32_t& c) {
    if (i == size) return false;
    if (p[i] < 0x80) {
      c = p[i++];
    } else {
      const Decoded d = decodeOne(p + i, size - i);
      c = d.codePoint;
      i += d.length;
    }
    return true;
  });
  return PatternsAccess::flat(builder.freeze(), 0);
}

}  // namespace detail

namespace {

/// Pointwise maximum; the result is as long as the longer list.
Scores maxScores(const Scores& a, const Scores& b) {
  const Scores& longer = a.size() >= b.size() ? a : b;
  const Scores& shorter = a.size() >= b.size() ? b : a;
  Scores out = longer;
  for (std::size_t i = 0; i < shorter.size(); ++i) out[i] = std::max(out[i], shorter[i]);
  return out;
}

auto findChild(std::vector<Patterns::Child>& children, char32_t letter) {
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
    auto it = std::lower_bound(children.begin(), children.end(), letter,
                               [](const Child& child, char32_t key) { return child.first < key; });
    if (it != children.end() && it->first == letter) return it->second;
    return std::nullopt;
  }
  if (!flat_) return std::nullopt;
  const std::uint32_t symbol = flat_->symbolOf(letter);
  if (symbol == detail::FlatTrie::kNone) return std::nullopt;
  const std::uint32_t next = flat_->next(index_, symbol - 1);
  if (next == detail::FlatTrie::kNone) return std::nullopt;
  return PatternsAccess::flat(flat_, next - 1);
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
    if (detail::isDigit(pattern[i])) {
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
    if (!detail::isDigit(c)) letters += c;
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

Scores lookupPattern(std::u32string_view word, const Patterns& trie) {
  const detail::FlatView view = detail::flatOf(trie);
  const std::size_t m = word.size() + 2;
  detail::SmallBuffer<std::uint32_t, 64> padded(m);
  const std::uint32_t dot = view.trie->symbolOf(U'.');
  padded[0] = padded[m - 1] = dot;
  for (std::size_t i = 0; i < word.size(); ++i) padded[i + 1] = view.trie->symbolOf(word[i]);
  detail::SmallBuffer<std::int64_t, 80> result(m + view.trie->maxScoreLength);
  const std::size_t length = detail::scorePadded(view, padded.data(), m, result.data(), m);

  // The full list has at least the m gaps of the padded word; both guards
  // protect that invariant.
  auto impossible = [word](const char* what) {
    return Error(what + detail::encodeUtf8(word) + ")");
  };
  if (length == 0) throw impossible("lookupPattern.scores0: Impossible (");
  if (length == 1) throw impossible("lookupPattern.scores1: Impossible (");
  return Scores(result.data() + 1, result.data() + length - 1);
}

namespace {

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
