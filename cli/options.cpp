#include "options.hpp"

#include <charconv>
#include <string_view>
#include <utility>

namespace cli {

const char* const kUsage =
    "Usage: hyph [OPTIONS] [WORD...]\n"
    "       hyph [OPTIONS] -f FILE... [-o OUTPUT]\n"
    "Hyphenates each WORD, or else the given files or standard input as running\n"
    "text, with the separator inserted at every break of every word. A word is\n"
    "a run of the language's letters; everything else is copied unchanged.\n"
    "\n"
    "  -l, --language=LANG   language by affix (en-us), enumerator name\n"
    "                        (English_US) or language tag (de, pt-BR, en_GB);\n"
    "                        default en-us; see --list\n"
    "  -s, --separator=TEXT  inserted at each break (default \"-\")\n"
    "      --soft            use U+00AD SOFT HYPHEN as the separator\n"
    "      --html            the input is HTML: markup passes unchanged, and lang\n"
    "                        attributes choose the language of their text\n"
    "      --ignore-lang     with --html, hyphenate all text in LANG\n"
    "      --min-word-length=N\n"
    "                        leave words of fewer than N letters whole\n"
    "      --skip-capitals   leave words written all in capitals whole (NASA)\n"
    "  -f, --file=FILE       hyphenate FILE (repeatable; - is standard input)\n"
    "  -o, --output=FILE     write to FILE, replaced only once all is written\n"
    "      --words           read standard input line by line (the default)\n"
    "      --patterns=FILE   use these patterns instead of the language's\n"
    "      --exceptions=FILE use these exception words instead of the language's\n"
    "      --chars=FILE      use this character map instead of the language's\n"
    "                        (plain or TeX format, UTF-8, or gzip; see hyph(1))\n"
    "      --left=N          least number of letters before the first break\n"
    "      --right=N         least number of letters after the last break\n"
    "      --list            list the languages: name, affix, minimums, licence\n"
    "      --license=LANG    show the licence of the language's patterns\n"
    "  -h, --help            show this help\n"
    "      --version         show the version (with --verbose, the install paths)\n"
    "      --verbose         say more\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or is\n"
    "refused, 2 for a mistake in the options.\n";

namespace {

/// A number of letters: 0 or more.
std::int64_t parseMinimum(std::string_view option, std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  auto refuse = [&](const char* why) {
    std::string message(option);
    message += ": ";
    message += why;
    message += ": '";
    message += text;
    message += "'";
    return UsageError(message);
  };
  if (text.empty() || (error != std::errc() && error != std::errc::result_out_of_range) ||
      at != end)
    throw refuse("not a whole number");
  if (error == std::errc::result_out_of_range) throw refuse("out of range");
  if (value < 0) throw refuse("must not be negative");
  return value;
}

}  // namespace

hyph::Language parseLanguage(const std::string& name) {
  if (const std::optional<hyph::Language> language = hyph::findLanguage(name)) return *language;
  throw UsageError(hyph::unknownLanguageMessage(name) + " (hyph --list shows them all)");
}

Options parseOptions(int argc, char** argv) {
  Options options;
  bool optionsEnded = false;
  bool words = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      // A lone "-" is standard input, as for --file.
      (arg == "-" ? options.files : options.arguments).emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // "--name=value", "--name value", "-x value" and "-xvalue".
    std::string name(arg);
    std::optional<std::string> inlineValue;
    if (arg.starts_with("--")) {
      if (const auto eq = arg.find('='); eq != std::string_view::npos) {
        name = std::string(arg.substr(0, eq));
        inlineValue = std::string(arg.substr(eq + 1));
      }
    } else if (arg.size() > 2) {
      name = std::string(arg.substr(0, 2));
      inlineValue = std::string(arg.substr(2));
    }
    auto value = [&]() -> std::string {
      if (inlineValue) return *std::exchange(inlineValue, std::nullopt);
      if (i + 1 >= argc) throw UsageError("option '" + name + "' needs a value");
      return argv[++i];
    };
    auto flag = [&](bool& target) {
      if (inlineValue) throw UsageError("option '" + name + "' takes no value");
      target = true;
    };

    if (name == "-l" || name == "--language") {
      options.language = parseLanguage(value());
    } else if (name == "-s" || name == "--separator") {
      options.separator = value();
    } else if (name == "--soft") {
      bool soft = false;
      flag(soft);
      options.separator = "\u00AD";
    } else if (name == "--words") {
      flag(words);
    } else if (name == "--html") {
      flag(options.html);
    } else if (name == "--ignore-lang") {
      flag(options.ignoreLang);
    } else if (name == "--min-word-length") {
      options.minWordLength = static_cast<std::size_t>(parseMinimum(name, value()));
    } else if (name == "--skip-capitals") {
      flag(options.skipCapitals);
    } else if (name == "-f" || name == "--file") {
      options.files.push_back(value());
    } else if (name == "-o" || name == "--output") {
      options.output = value();
    } else if (name == "--patterns") {
      options.patternsFile = value();
    } else if (name == "--exceptions") {
      options.exceptionsFile = value();
    } else if (name == "--chars") {
      options.charsFile = value();
    } else if (name == "--left") {
      options.leftMin = parseMinimum(name, value());
    } else if (name == "--right") {
      options.rightMin = parseMinimum(name, value());
    } else if (name == "--list") {
      flag(options.list);
    } else if (name == "--license") {
      options.license = parseLanguage(value());
    } else if (name == "-h" || name == "--help") {
      flag(options.help);
    } else if (name == "--version") {
      flag(options.version);
    } else if (name == "--verbose") {
      flag(options.verbose);
    } else {
      throw UsageError("unknown option '" + std::string(arg) + "' (hyph --help lists them)");
    }
  }
  if (words && options.html) throw UsageError("--words and --html exclude each other");
  if (words && (!options.arguments.empty() || !options.files.empty()))
    throw UsageError("--words reads standard input; give no WORD or FILE with it");
  if (!options.arguments.empty() && !options.files.empty())
    throw UsageError("give WORDs or files to hyphenate, not both");
  return options;
}

}  // namespace cli
