#include "options.hpp"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace cli {

const char* const kUsage =
    "Usage: hyph [OPTIONS] [WORD...]\n"
    "Hyphenates each WORD, or else standard input as running text, with the\n"
    "separator inserted at every break.\n"
    "\n"
    "  -l, --language LANG   language by name (English_US) or affix (en-us);\n"
    "                        default en-us; see --list\n"
    "  -s, --separator TEXT  inserted at each break (default \"-\")\n"
    "      --soft            use U+00AD SOFT HYPHEN as the separator\n"
    "      --words           standard input holds one word per line\n"
    "      --html            standard input is HTML: markup passes unchanged\n"
    "      --patterns FILE   use these patterns instead of the language's\n"
    "      --exceptions FILE use these exceptions instead of the language's\n"
    "      --chars FILE      use this character map instead of the language's\n"
    "                        (FILEs are UTF-8 text, or gzip when named *.gz)\n"
    "      --left N          least number of letters before the first break\n"
    "      --right N         least number of letters after the last break\n"
    "      --list            list the languages: name, affix, left and right minimum\n"
    "  -h, --help            show this help\n"
    "      --version         show the version\n";

namespace {

std::int64_t parseNumber(std::string_view option, std::string_view text) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end)
    throw UsageError(std::string(option) + ": not a whole number: '" + std::string(text) + "'");
  return value;
}

}  // namespace

hyph::Language parseLanguage(const std::string& name) {
  if (const std::optional<hyph::Language> language = hyph::findLanguage(name)) return *language;
  std::string message = "unknown language '" + name + "'";
  std::string close;
  for (hyph::Language language : hyph::languagesLike(name))
    close += (close.empty() ? "" : ", ") + std::string(hyph::languageName(language));
  if (!close.empty()) message += "; did you mean " + close + "?";
  throw UsageError(message + " (hyph --list shows them all)");
}

Options parseOptions(int argc, char** argv) {
  Options options;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      options.arguments.emplace_back(arg);
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
      flag(options.words);
    } else if (name == "--html") {
      flag(options.html);
    } else if (name == "--patterns") {
      options.patternsFile = value();
    } else if (name == "--exceptions") {
      options.exceptionsFile = value();
    } else if (name == "--chars") {
      options.charsFile = value();
    } else if (name == "--left") {
      options.leftMin = parseNumber(name, value());
    } else if (name == "--right") {
      options.rightMin = parseNumber(name, value());
    } else if (name == "--list") {
      flag(options.list);
    } else if (name == "-h" || name == "--help") {
      flag(options.help);
    } else if (name == "--version") {
      flag(options.version);
    } else {
      throw UsageError("unknown option '" + std::string(arg) + "' (hyph --help lists them)");
    }
  }
  if (options.words && options.html) throw UsageError("--words and --html exclude each other");
  if (options.words && !options.arguments.empty())
    throw UsageError("--words reads standard input; give no WORD arguments with it");
  return options;
}

}  // namespace cli
