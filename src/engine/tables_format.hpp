// The compiled form of a Hyphenator's WordTables: one block of bytes holding
// every array that a lookup reads, as fixed-width integers at fixed offsets,
// without pointers, so that a lookup reads them in place: from constant data
// of the library, or from a file loaded into memory.
//
// The block starts with a directory of 32-bit words: a magic number, the
// format's version, flags, the alphabet's size, the automaton's reach, the
// code of ".", then for each section its offset in bytes from the block's
// start and its number of elements. Every section starts on a multiple of 8
// bytes, and so must the block. A block is written for one byte order and
// read on a machine of that order; the magic number tells a block of the
// other. The same tables give the same block on every platform.
#pragma once

#include <bit>
#include <cstdint>
#include <span>
#include <vector>

#include "word_tables.hpp"

namespace hyph::detail {

inline constexpr std::uint32_t kTablesMagic = 0x62747968;  // "hytb" on a little-endian machine
inline constexpr std::uint32_t kPackedMagic = 0x6b707968;  // "hypk"
inline constexpr std::uint32_t kTablesVersion = 5;

/// The compiled form of `tables`, for a machine of byte order `order`.
/// Refuses, with hyph::Error, tables that it cannot hold: a mapping that is
/// a function rather than a table, or patterns without an automaton.
std::vector<std::uint8_t> compileWordTables(const WordTables& tables,
                                            std::endian order = std::endian::native);

/// How far a block is trusted: one that this library's build compiled is
/// read as it is; any other is checked first, so that no lookup of any word
/// can read outside it.
enum class Trust { Compiled, Checked };

/// The tables of a block, viewed in place; the block must outlive them.
/// Throws hyph::Error "Damaged hyphenation tables: ..." for a checked block
/// that is not one, is of another version or byte order, or whose arrays do
/// not hold together.
WordTables viewWordTables(std::span<const std::uint8_t> block, Trust trust = Trust::Checked);

/// The most words of 64 bases that a reader's search for free slots tries
/// in placing a packed trie again, in all: the nodes past it come with
/// their bases. Every built-in language's trie is placed within it.
inline constexpr std::size_t kPlacingBudget = std::size_t{1} << 18;

/// The packed form of the same tables, for sending: what the compiled form
/// is worked out of, as small numbers. The trie breadth first (each node's
/// number of children and whether it has scores, its children, its scores;
/// then the bases of the nodes that a reader's search for free slots would
/// not find within `placingBudget`), the alphabet, the character table's
/// cells and the exceptions as an exception file gives them; gzipped, about
/// a quarter of the compiled form. `trie` is the double array that `tables`
/// view, with its scores. Refuses what compileWordTables refuses, and what
/// it cannot write: scores of another length than their pattern's,
/// exceptions of a hyphen or a line's end.
std::vector<std::uint8_t> packWordTables(const WordTables& tables, const FlatTrie& trie,
                                         std::endian order = std::endian::native,
                                         std::size_t placingBudget = kPlacingBudget);

/// A digest of a block's bytes (hyph::tablesDigest).
std::uint64_t tablesDigest(std::span<const std::uint8_t> block);

/// Whether a block is in the packed form, by its magic number.
bool isPackedBlock(std::span<const std::uint8_t> block);

/// The tables of a packed block: the trie placed again and its automaton
/// built, and the fold, the filter and the exception table worked out as a
/// build works them out (`owner` keeps them). Always checked: throws
/// hyph::Error "Damaged hyphenation tables: ..." for a block that does not
/// describe tables.
WordTables unpackWordTables(std::span<const std::uint8_t> block);

}  // namespace hyph::detail
