// Build tool: the Unicode data that the text layer uses, from utf8proc, as
// compact C++ tables, for builds that leave utf8proc out (WebAssembly,
// where its full tables would be most of the module):
//
//   hyph_unicode_tables OUT.inc
//
// - the class of every code point (capital, small or other letter, mark,
//   wide space, or nothing of these), in blocks of 128 shared between the
//   ranges that are alike, two classes a byte;
// - the canonical combining class of every mark that has one, as runs of
//   code points of one class;
// - the pairs that compose canonically (NFC), exclusions left out, each
//   column as its steps from the one before (most are small: gzip, on the
//   wire, takes half of what it takes of the plain columns);
// - the full canonical decomposition of every code point that has one,
//   but those that their pair decomposes to as well (the first and the
//   second of the pair decomposed in turn), which a reader finds by the
//   pair, and those of one character that composes with no mark (the
//   compatibility ideographs), which no mark after it composes with either;
// - the simple upper and lower case of every letter that has one, as runs of
//   letters one or two apart whose case is the same distance away (a seventh
//   of the pairs).
// Hangul syllables are left to their rule: no mark composes with them.
#include <utf8proc.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr std::uint32_t kLimit = 0x110000;
constexpr std::uint32_t kBlock = 128;

/// The classes, as unicode_tables.cpp reads them.
enum : std::uint8_t { kNone, kCapital, kSmall, kLetter, kMark, kWideSpace };

std::uint8_t classOf(std::uint32_t c) {
  switch (utf8proc_category(static_cast<utf8proc_int32_t>(c))) {
    case UTF8PROC_CATEGORY_LU:
    case UTF8PROC_CATEGORY_LT:
      return kCapital;
    case UTF8PROC_CATEGORY_LL:
      return kSmall;
    case UTF8PROC_CATEGORY_LM:
    case UTF8PROC_CATEGORY_LO:
      return kLetter;
    case UTF8PROC_CATEGORY_MN:
    case UTF8PROC_CATEGORY_MC:
    case UTF8PROC_CATEGORY_ME:
      return kMark;
    case UTF8PROC_CATEGORY_ZS:
    case UTF8PROC_CATEGORY_ZL:
    case UTF8PROC_CATEGORY_ZP:
      return kWideSpace;
    default:
      return kNone;
  }
}

bool hangul(std::uint32_t c) { return c >= 0xAC00 && c <= 0xD7A3; }

std::vector<std::uint32_t> decomposition(std::uint32_t c) {
  utf8proc_int32_t out[32];
  utf8proc_int32_t boundclass = 0;
  const utf8proc_ssize_t n = utf8proc_decompose_char(
      static_cast<utf8proc_int32_t>(c), out, 32,
      static_cast<utf8proc_option_t>(UTF8PROC_DECOMPOSE | UTF8PROC_STABLE), &boundclass);
  if (n <= 0) return {c};
  return {out, out + n};
}

std::vector<std::uint32_t> nfc(std::vector<std::uint32_t> text) {
  std::vector<utf8proc_int32_t> buffer(text.begin(), text.end());
  const utf8proc_ssize_t n = utf8proc_normalize_utf32(
      buffer.data(), static_cast<utf8proc_ssize_t>(buffer.size()),
      static_cast<utf8proc_option_t>(UTF8PROC_COMPOSE | UTF8PROC_STABLE));
  if (n < 0) return text;
  return {buffer.begin(), buffer.begin() + n};
}

struct CaseRun {
  std::uint32_t from, count, stride;
  std::int64_t distance;
};

/// The pairs (sorted) as runs: a run goes on while its letters are `stride`
/// apart, with no other letter of a pair between them, and their cases the
/// same distance away.
std::vector<CaseRun> caseRuns(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& pairs) {
  std::vector<CaseRun> runs;
  for (const auto& [from, to] : pairs) {
    const std::int64_t distance = std::int64_t{to} - from;
    if (!runs.empty()) {
      CaseRun& run = runs.back();
      const std::uint32_t gap = from - run.from;
      if (run.distance == distance && run.count < 0xFFFF &&
          (run.count == 1 ? gap == 1 || gap == 2 : gap == run.stride * run.count)) {
        if (run.count == 1) run.stride = gap;
        ++run.count;
        continue;
      }
    }
    runs.push_back({from, 1, 1, distance});
  }
  return runs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hyph_unicode_tables OUT.inc\n");
    return 2;
  }
  // Classes: blocks of kBlock, each kept once.
  // (Keyed by the classes packed in words, eight a word.)
  std::map<std::array<std::uint64_t, kBlock / 8>, std::uint16_t> blockNumbers;
  std::vector<std::vector<std::uint8_t>> blocks;
  std::vector<std::uint16_t> blockOf;
  for (std::uint32_t start = 0; start < kLimit; start += kBlock) {
    std::vector<std::uint8_t> block(kBlock);
    std::array<std::uint64_t, kBlock / 8> key{};
    for (std::uint32_t k = 0; k < kBlock; ++k) {
      block[k] = classOf(start + k);
      key[k / 8] |= std::uint64_t{block[k]} << (k % 8 * 8);
    }
    const auto [at, added] = blockNumbers.try_emplace(key, static_cast<std::uint16_t>(blocks.size()));
    if (added) blocks.push_back(block);
    blockOf.push_back(at->second);
  }
  // Combining classes, decompositions and compositions.
  std::vector<std::uint32_t> classes;  // code point << 8 | class
  std::map<std::uint32_t, std::vector<std::uint32_t>> decompositions;
  std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> pairs;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> upper, lower;
  for (std::uint32_t c = 0; c < kLimit; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    const auto toUpper = static_cast<std::uint32_t>(utf8proc_toupper(static_cast<utf8proc_int32_t>(c)));
    if (toUpper != c) upper.emplace_back(c, toUpper);
    const auto toLower = static_cast<std::uint32_t>(utf8proc_tolower(static_cast<utf8proc_int32_t>(c)));
    if (toLower != c) lower.emplace_back(c, toLower);
    const std::uint8_t ccc = utf8proc_get_property(static_cast<utf8proc_int32_t>(c))->combining_class;
    if (ccc != 0) classes.push_back(c << 8 | ccc);
    if (hangul(c)) continue;
    const std::vector<std::uint32_t> d = decomposition(c);
    if (d.size() == 1 && d[0] == c) continue;
    decompositions[c] = d;
    if (d.size() < 2 || nfc(d) != std::vector<std::uint32_t>{c}) continue;
    // The pair it composes from: one of its characters taken out, the rest
    // composing to one character that composes with it to this one.
    for (std::size_t j = d.size(); j-- > 0;) {
      std::vector<std::uint32_t> rest = d;
      rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(j));
      const std::vector<std::uint32_t> first = nfc(rest);
      if (first.size() == 1 && nfc({first[0], d[j]}) == std::vector<std::uint32_t>{c}) {
        pairs.emplace_back(first[0], d[j], c);
        break;
      }
    }
  }
  std::sort(pairs.begin(), pairs.end());
  // The decompositions that a reader makes of the pairs (as unicode_tables.cpp
  // does: the table first, then the pair, else the character itself), left
  // out of the table where they are the very same; until none changes.
  std::map<std::uint32_t, std::pair<std::uint32_t, std::uint32_t>> pairOf;
  for (const auto& [first, second, composed] : pairs) pairOf[composed] = {first, second};
  std::map<std::uint32_t, std::vector<std::uint32_t>> table = decompositions;
  for (const auto& [composed, pair] : pairOf) table.erase(composed);
  std::function<void(std::uint32_t, std::vector<std::uint32_t>&)> expand =
      [&](std::uint32_t c, std::vector<std::uint32_t>& to) {
        if (const auto at = table.find(c); at != table.end()) {
          to.insert(to.end(), at->second.begin(), at->second.end());
        } else if (const auto pair = pairOf.find(c); pair != pairOf.end()) {
          expand(pair->second.first, to);
          expand(pair->second.second, to);
        } else {
          to.push_back(c);
        }
      };
  for (bool changed = true; changed;) {
    changed = false;
    for (const auto& [c, d] : decompositions) {
      std::vector<std::uint32_t> made;
      expand(c, made);
      if (made != d) {
        table[c] = d;
        changed = true;
      }
    }
  }
  // A character that decomposes to one other, neither of them the first of
  // a pair nor a mark, composes with no mark either way.
  std::set<std::uint32_t> firsts;
  for (const auto& [first, second, composed] : pairs) firsts.insert(first);
  auto starter = [](std::uint32_t c) {
    return utf8proc_get_property(static_cast<utf8proc_int32_t>(c))->combining_class == 0;
  };
  std::erase_if(table, [&](const auto& entry) {
    const auto& [c, d] = entry;
    return d.size() == 1 && !firsts.count(c) && !firsts.count(d[0]) &&
           !decompositions.count(d[0]) && starter(c) && starter(d[0]);
  });
  std::vector<std::uint32_t> decomposed, pool;
  std::vector<std::uint16_t> starts;
  for (const auto& [c, d] : table) {
    decomposed.push_back(c);
    starts.push_back(static_cast<std::uint16_t>(pool.size()));
    pool.insert(pool.end(), d.begin(), d.end());
  }
  starts.push_back(static_cast<std::uint16_t>(pool.size()));

  std::FILE* out = std::fopen(argv[1], "w");
  if (!out) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(out, "// Made by hyph_unicode_tables from utf8proc %s (Unicode %s); do not edit.\n",
               utf8proc_version(), utf8proc_unicode_version());
  std::fprintf(out, "constexpr std::uint32_t kClassBlock = %u;\n", kBlock);
  auto list = [&](const char* type, const char* name, const auto& values, auto value) {
    std::fprintf(out, "constexpr %s %s[] = {", type, name);
    std::size_t k = 0;
    for (const auto& v : values) std::fprintf(out, "%s%s", k++ % 12 == 0 ? "\n  " : " ", value(v).c_str());
    std::fprintf(out, "\n};\n");
  };
  auto number = [](auto v) { return std::to_string(v) + ","; };
  if (blocks.size() > 256) {
    std::fprintf(stderr, "hyph_unicode_tables: %zu blocks, more than a byte numbers\n", blocks.size());
    return 1;
  }
  list("std::uint8_t", "kClassBlockOf", blockOf, number);
  std::vector<std::uint8_t> packed;
  for (const auto& block : blocks)
    for (std::uint32_t k = 0; k < kBlock; k += 2)
      packed.push_back(static_cast<std::uint8_t>(block[k] | block[k + 1] << 4));
  list("std::uint8_t", "kClassBlocks", packed, number);
  // Runs of marks of one class: the first's code point << 8 | the class, and
  // how many there are.
  std::vector<std::uint32_t> classRuns;
  std::vector<std::uint8_t> classRunLengths;
  for (const std::uint32_t entry : classes) {
    if (!classRuns.empty() && (classRuns.back() & 0xFF) == (entry & 0xFF) &&
        (classRuns.back() >> 8) + classRunLengths.back() == entry >> 8 &&
        classRunLengths.back() < 0xFF) {
      ++classRunLengths.back();
      continue;
    }
    classRuns.push_back(entry);
    classRunLengths.push_back(1);
  }
  list("std::uint32_t", "kCombiningRuns", classRuns, number);
  list("std::uint8_t", "kCombiningRunLengths", classRunLengths, number);
  list("std::uint32_t", "kDecomposed", decomposed, number);
  list("std::uint16_t", "kDecompositionStarts", starts, number);
  list("std::uint32_t", "kDecompositions", pool, number);
  // The pairs (in order), a column at a time: the firsts, the seconds and
  // what they compose to, each value as its step from the one before.
  std::vector<std::int32_t> steps;
  for (const int column : {0, 1, 2}) {
    std::int64_t previous = 0;
    for (const auto& pair : pairs) {
      const std::int64_t value = column == 0   ? std::get<0>(pair)
                                 : column == 1 ? std::get<1>(pair)
                                               : std::get<2>(pair);
      steps.push_back(static_cast<std::int32_t>(value - previous));
      previous = value;
    }
  }
  std::fprintf(out, "constexpr std::size_t kComposedPairCount = %zu;\n", pairs.size());
  list("std::int32_t", "kComposedPairSteps", steps, number);
  auto run = [](const CaseRun& r) {
    return "{" + std::to_string(r.from) + ", " + std::to_string(r.count) + ", " +
           std::to_string(r.stride) + ", " + std::to_string(r.distance) + "},";
  };
  list("CaseRun", "kUpperCases", caseRuns(upper), run);
  list("CaseRun", "kLowerCases", caseRuns(lower), run);
  if (std::fclose(out) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  std::fprintf(stderr,
               "hyph_unicode_tables: %zu blocks, %zu marks, %zu decompositions (%zu in the "
               "table), %zu pairs\n",
               blocks.size(), classes.size(), decompositions.size(), decomposed.size(),
               pairs.size());
  return 0;
}
