// Reading the hyphenation dictionaries of libhyphen (hyph_*.dic), which
// LibreOffice, Hunspell's users and pyphen have installed, and finding the
// installed ones by name.
//
//   const std::string bytes = readFile("/usr/share/hyphen/hyph_de_DE.dic");
//   const hyph::Hyphenator de = hyph::readDictionary({"hyph_de_DE.dic", bytes});
//   hyph::hyphenate(de, "Silbentrennung");  // "Sil", "ben", "tren", "nung"
//
// A dictionary names its encoding on its first line (UTF-8, ISO8859-1 to -16,
// KOI8-R, KOI8-U, TIS-620, microsoft-cp1250 to -cp1252); words reach and
// leave the Hyphenator as UTF-8 or code points whatever it is. Then, one a
// line: patterns ("hy3ph"), "%" or "#" comments, and the keywords
// LEFTHYPHENMIN, RIGHTHYPHENMIN, COMPOUNDLEFTHYPHENMIN,
// COMPOUNDRIGHTHYPHENMIN (each with a number), NOHYPHEN (a comma-separated
// list of strings that no break may touch) and NEXTLEVEL, which ends the
// compound level's patterns and starts the word level's.
//
// The Hyphenator breaks words as libhyphen 2.8.8's hnj_hyphen_hyphenate3
// breaks them lower-cased, to the letter: each position is scored by the
// longest pattern prefix that ends there, as its automaton scores it (not
// by every pattern that ends there, as TeX does); a word falls into parts at
// the compound level's breaks (for a dictionary without NEXTLEVEL, at
// hyphens and apostrophes), each part broken by the word level and kept
// the compound minimums away from its joins; no break touches a NOHYPHEN
// string. Its minimums are the dictionary's (2 where it gives none), and a
// caller's minimums apply only where they are larger, as with libhyphen.
// Letters are matched without regard to case (each pattern letter's upper
// case maps to it). Words of the user's own (withWords) go on top, as on
// any Hyphenator.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hyph/export.hpp"
#include "hyph/hyphenator.hpp"
#include "hyph/reader.hpp"

namespace hyph {

/// The Hyphenator of a libhyphen dictionary, given its bytes (gzip-compressed
/// or not). Throws hyph::Error "FILE:LINE: what is wrong" for an unknown
/// encoding, a byte that is not a character of it, a NUL byte, a line of
/// more than 64 KiB, a rule that cannot be read, a keyword without its
/// number, a second NEXTLEVEL, a file without a pattern, and a file of more
/// than maxUserFileBytes.
HYPH_API Hyphenator readDictionary(const UserFile& file);

/// The directories searched for installed dictionaries, in order: those that
/// the HYPH_DICTIONARY_PATH environment variable lists (separated by ':'),
/// then /usr/local/share/hyphen, /usr/share/hyphen and
/// /usr/share/myspell/dicts, where LibreOffice and Hunspell look.
HYPH_API std::vector<std::string> dictionaryDirectories();

/// An installed dictionary: its name ("hu_HU", from hyph_hu_HU.dic) and path.
struct InstalledDictionary {
  std::string name;  ///< The file's name between "hyph_" and ".dic".
  std::string path;  ///< Where it is.
};

/// The dictionaries in dictionaryDirectories(), by name, each name once (the
/// first directory's); links to the same file are listed under each name.
HYPH_API std::vector<InstalledDictionary> installedDictionaries();

/// The path of the installed dictionary that `name` means: "hu_HU", "hu-HU"
/// or "hu" (hyph_hu_HU.dic where there is no hyph_hu.dic; the first in
/// name order otherwise), case aside. Nothing when none is installed.
HYPH_API std::optional<std::string> findDictionary(std::string_view name);

}  // namespace hyph
