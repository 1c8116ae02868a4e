// Making a Hyphenator of a language, and the shared Hyphenator of each.
//
// A language's words are looked up in the tables that the build compiled
// into the library (constant data, ready at once and shared by every
// process), or, in a library built without them, in tables parsed from its
// embedded files on first use. Either way the Hyphenator's patterns,
// exceptions and character table, for callers that ask for them, are
// parsed from the embedded files on first use. A library without a
// language's data may be given its compiled tables at run time.
#include "catalogue/loader.hpp"

#include <array>
#include <atomic>
#include <bit>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "catalogue/compiled_tables.hpp"
#include "catalogue/gzip.hpp"
#include "engine/first_use.hpp"
#include "engine/hyphenator_access.hpp"
#include "engine/show.hpp"
#include "engine/tables_format.hpp"
#include "hyph/error.hpp"

namespace hyph {

namespace detail {

namespace {
std::atomic<int> creations[languageCount];
std::atomic<int> builds[languageCount][3];

[[maybe_unused]] void countBuild(Language language, Table table) {
  builds[fromEnum(language)][static_cast<int>(table)].fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// The Hyphenators of the languages given their tables at run time, each
// made once a time it is given them and never destroyed (a reference to an
// earlier one stays good).
std::atomic<const Hyphenator*> added[languageCount];

const Hyphenator* addedHyphenator(Language language) {
  return added[fromEnum(language)].load(std::memory_order_acquire);
}

int sharedCreations(Language language) { return creations[fromEnum(language)].load(); }
int tableBuilds(Language language, Table table) {
  return builds[fromEnum(language)][static_cast<int>(table)].load();
}

HYPH_FIRST_USE Hyphenator loadHyphenator(Language language, std::span<const EmbeddedFile> archive) {
  const std::int64_t left = languageLeftMin(language), right = languageRightMin(language);
  if (const Hyphenator* given = addedHyphenator(language)) return *given;
  if (!holdsLanguage(language)) {
    // A build that holds only some languages: every table of the others
    // refuses, naming the option. Made of its tables directly: one made to
    // build them from patterns would bring the pattern compiler into a
    // library that has no patterns to compile.
    auto refuse = [language] { return Error(notBuiltInMessage(language)); };
    using Words = std::shared_ptr<const WordTables>;
    auto tables = std::make_shared<HyphenatorAccess::Tables>(HyphenatorAccess::Tables{
        [refuse](char32_t) -> char32_t { throw refuse(); },
        Deferred<CharTable>::lazy([refuse]() -> CharTable { throw refuse(); }),
        Deferred<Patterns>::lazy([refuse]() -> Patterns { throw refuse(); }),
        Deferred<Exceptions>::lazy([refuse]() -> Exceptions { throw refuse(); }),
        Deferred<Words>::lazy([refuse]() -> Words { throw refuse(); })});
    return HyphenatorAccess::make(std::move(tables), left, right);
  }
#if defined(HYPH_NO_LANGUAGE_DATA)
  // Nothing to parse: a library without data (HYPH_LANGUAGES=none) leaves
  // the parsers of its files out.
  (void)archive;
  throw Error(notBuiltInMessage(language));
#else
  const std::string base = "hyph-" + std::string(languageAffix(language));
  auto read = [archive](std::string name) {
    return [archive, name = std::move(name)] { return readEmbeddedFile(name, archive); };
  };
  auto chars = Deferred<CharTable>::lazy([language, text = read(base + ".chr.txt.gz")] {
    countBuild(language, Table::Chars);
    return parseChars(text());
  });
  // The largest table: parsed straight from the inflated bytes, decoding as it goes.
  auto patterns = Deferred<Patterns>::lazy([language, archive, name = base + ".pat.txt.gz"] {
    countBuild(language, Table::Patterns);
    return parsePatterns(std::string_view(gunzip(name, findEmbeddedFile(name, archive))));
  });
  auto exceptions = Deferred<Exceptions>::lazy([language, text = read(base + ".hyp.txt.gz")] {
    countBuild(language, Table::Exceptions);
    return parseExceptions(text());
  });
  const std::span<const std::uint8_t> block = compiledTables(language);
  if (block.empty() || archive.data() != embeddedFiles().data())
    return Hyphenator(std::move(chars), std::move(patterns), std::move(exceptions), left, right);
  // The compiled tables, viewed in place: loading is taking their address.
  return HyphenatorAccess::ofWordTables(
      std::make_shared<const WordTables>(viewWordTables(block, Trust::Compiled)),
      std::move(patterns), std::move(exceptions), left, right);
#endif
}

namespace {

// The shared Hyphenator of each language, created on its first use and
// deliberately never destroyed, so that no use during static destruction can
// find it gone. Each has a once-only guard of its own, an atomic state
// (none, being made, made): code of the library's own that a fresh process
// runs for its first word, beside the rest of that road. Making one takes
// microseconds (its tables are read or built on first use, under guards of
// their own), so a thread that finds another making it yields until it is
// made, rather than waiting on the atomic: that wait would bring a clock
// and its error messages (printf) into the WebAssembly module.
struct Shared {
  enum : int { kNone, kMaking, kMade };
  std::atomic<int> state{kNone};
  const Hyphenator* hyphenator = nullptr;  // set before state becomes kMade
};
Shared sharedOnes[languageCount];

HYPH_FIRST_USE const Hyphenator& shared(Language language) {
  // Only a language that the library does not hold is ever given tables.
  if (const Hyphenator* given = addedHyphenator(language)) [[unlikely]]
    return *given;
  Shared& one = sharedOnes[fromEnum(language)];
  if (one.state.load(std::memory_order_acquire) == Shared::kMade) [[likely]]
    return *one.hyphenator;
  for (int seen = Shared::kNone;;) {
    if (one.state.compare_exchange_strong(seen, Shared::kMaking, std::memory_order_acquire)) {
      try {
        creations[fromEnum(language)].fetch_add(1, std::memory_order_relaxed);
        one.hyphenator = new Hyphenator(hyph::loadHyphenator(language));
      } catch (...) {
        one.state.store(Shared::kNone, std::memory_order_release);
        throw;
      }
      one.state.store(Shared::kMade, std::memory_order_release);
      return *one.hyphenator;
    }
    if (seen == Shared::kMade) return *one.hyphenator;
    while (one.state.load(std::memory_order_acquire) == Shared::kMaking)
      std::this_thread::yield();  // another thread makes it
    seen = Shared::kNone;
  }
}

}  // namespace
}  // namespace detail

Hyphenator loadHyphenator(Language language) {
  return detail::loadHyphenator(language, detail::embeddedFiles());
}

namespace {

// More than the largest language's tables take, many times over.
constexpr std::size_t kTablesLimit = std::size_t{256} << 20;

/// A copy of `bytes` in memory of our own, on a multiple of 8 bytes as a
/// block must be (left uninitialised, as it is all written at once), and
/// what owns it.
std::pair<std::shared_ptr<const void>, std::span<const std::uint8_t>> alignedCopy(
    std::span<const std::uint8_t> bytes) {
  std::shared_ptr<std::uint64_t[]> owned(new std::uint64_t[(bytes.size() + 7) / 8]);
  if (!bytes.empty()) std::memcpy(owned.get(), bytes.data(), bytes.size());
  const std::span<const std::uint8_t> copy(reinterpret_cast<const std::uint8_t*>(owned.get()),
                                           bytes.size());
  return {std::move(owned), copy};
}

/// A Hyphenator of a language's tables, trusting a compiled block that has
/// `digest`.
Hyphenator ofTables(Language language, std::shared_ptr<const void> owner,
                    std::span<const std::uint8_t> tables, std::optional<std::uint64_t> digest) {
  using namespace detail;
  const std::string name(languageName(language));
  // Gzipped (as the build writes them), then packed or compiled.
  const bool gzipped = tables.size() >= 2 && tables[0] == 0x1F && tables[1] == 0x8B;
  if (gzipped) {
    std::string bytes;
    try {
      bytes = gunzip("the tables", {reinterpret_cast<const char*>(tables.data()), tables.size()},
                     Members::One, kTablesLimit);
    } catch (const Error& e) {
      throw Error(std::string("Damaged hyphenation tables: ") + e.what());
    }
    std::tie(owner, tables) =
        alignedCopy({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  }
  WordTables view;
  if (isPackedBlock(tables)) {
    view = unpackWordTables(tables);  // of its own: the block is not needed after
  } else {
    const bool trusted = digest && !gzipped && detail::tablesDigest(tables) == *digest;
    view = viewWordTables(tables, trusted ? Trust::Compiled : Trust::Checked);
    view.owner = std::move(owner);
  }
  auto missing = [name](const char* what) {
    return [message = name + "'s " + what + " are not in its compiled tables"] {
      return Error(message);
    };
  };
  return HyphenatorAccess::ofWordTables(
      std::make_shared<const WordTables>(std::move(view)),
      Deferred<Patterns>::lazy([refuse = missing("patterns")]() -> Patterns { throw refuse(); }),
      Deferred<Exceptions>::lazy(
          [refuse = missing("exception words")]() -> Exceptions { throw refuse(); }),
      languageLeftMin(language), languageRightMin(language));
}

/// addLanguageTables, trusting a compiled block that has `digest`.
void addTables(Language language, std::shared_ptr<const void> owner,
               std::span<const std::uint8_t> tables, std::optional<std::uint64_t> digest) {
  if (detail::holdsLanguage(language)) {
    throw Error(std::string(languageName(language)) +
                " is built into this hyph library; its tables cannot be given");
  }
  auto hyphenator =
      std::make_unique<const Hyphenator>(ofTables(language, std::move(owner), tables, digest));
  // The one it replaces stays, for whoever holds a reference to it.
  detail::added[fromEnum(language)].store(hyphenator.release(), std::memory_order_release);
}

}  // namespace

void addLanguageTables(Language language, std::span<const std::uint8_t> tables) {
  auto [owner, copy] = alignedCopy(tables);
  addLanguageTables(language, std::move(owner), copy);
}

std::uint64_t tablesDigest(std::span<const std::uint8_t> tables) {
  return detail::tablesDigest(tables);
}

Hyphenator tablesHyphenator(Language language, std::span<const std::uint8_t> tables) {
  auto [owner, copy] = alignedCopy(tables);
  return ofTables(language, std::move(owner), copy, std::nullopt);
}

void addLanguageTables(Language language, std::shared_ptr<const void> owner,
                       std::span<const std::uint8_t> tables) {
  addTables(language, std::move(owner), tables, std::nullopt);
}

void addLanguageTables(Language language, std::shared_ptr<const void> owner,
                       std::span<const std::uint8_t> tables, std::uint64_t digest) {
  addTables(language, std::move(owner), tables, digest);
}

bool languageAvailable(Language language) {
  return detail::holdsLanguage(language) || detail::addedHyphenator(language) != nullptr;
}

HYPH_FIRST_USE const Hyphenator& languageHyphenator(Language language) {
  return detail::shared(language);
}

#define HYPH_SHARED_HYPHENATOR(name, function, affix, left, right) \
  const Hyphenator& function() { return detail::shared(Language::name); }
HYPH_LANGUAGES(HYPH_SHARED_HYPHENATOR)
#undef HYPH_SHARED_HYPHENATOR

}  // namespace hyph
