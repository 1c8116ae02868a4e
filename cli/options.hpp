// Command-line options of hyph and their parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "hyph/language.hpp"

namespace cli {

/// A mistake in how the command was called (exit status 2).
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct Options {
  hyph::Language language = hyph::Language::English_US;
  std::string separator = "-";
  bool words = false;  // standard input holds one word per line
  bool html = false;
  std::optional<std::string> patternsFile, exceptionsFile, charsFile;
  std::optional<std::int64_t> leftMin, rightMin;
  bool list = false, help = false, version = false;
  std::vector<std::string> arguments;  // words to hyphenate
};

/// Parses argv; throws UsageError.
Options parseOptions(int argc, char** argv);

/// A language by enumerator name (any case) or affix; throws UsageError that
/// names the closest languages.
hyph::Language parseLanguage(const std::string& name);

extern const char* const kUsage;

}  // namespace cli
