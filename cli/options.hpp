// The command's options and their parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <hyph/language.hpp>
#include <hyph/text.hpp>

namespace cli {

/// A mistake in how the command was called (exit status 2).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  hyph::Language language = hyph::Language::English_US;
  std::string separator = "-";
  bool html = false;
  std::size_t minWordLength = 0;
  bool skipCapitals = false, ignoreLang = false;
  hyph::Compounds compounds = hyph::Compounds::EveryPart;  // --compounds
  bool skipCode = false;                                   // --skip-code
  std::optional<std::string> patternsFile, exceptionsFile, charsFile;
  std::optional<std::string> wordsFile;  // --add-exceptions
  std::optional<std::string> dictionary;  // --dictionary: a file, or an installed one's name
  std::optional<std::int64_t> leftMin, rightMin;
  std::vector<std::string> files;      // -f: inputs, "-" for standard input
  std::optional<std::string> output;   // -o
  bool inPlace = false;                // --in-place: each of `files` replaced
  std::optional<std::size_t> jobs;     // -j: files at a time (default: processors)
  std::vector<std::string> arguments;  // words to hyphenate
  bool list = false, listDictionaries = false, help = false, version = false, verbose = false;
  std::optional<hyph::Language> license;
};

/// Parses argv; throws UsageError.
Options parseOptions(int argc, char** argv);

/// A language by any name that findLanguage takes; throws UsageError that
/// suggests the languages that were plausibly meant.
hyph::Language parseLanguage(const std::string& name);

extern const char* const kUsage;

}  // namespace cli
