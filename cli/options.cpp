#include "options.hpp"

#include <getopt.h>

#include <algorithm>
#include <charconv>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

const char* const kUsage =
    "Usage: hyph [OPTIONS] [WORD...]\n"
    "       hyph [OPTIONS] -f FILE... [-o OUTPUT]\n"
    "       hyph [OPTIONS] --in-place FILE...\n"
    "Hyphenates each WORD, or else the given files or standard input as running\n"
    "text, with the separator inserted at every break of every word. A word is\n"
    "a run of the language's letters; everything else is copied unchanged.\n"
    "\n"
    "  -l, --language=LANG   language by affix (en-us), enumerator name\n"
    "                        (English_US) or language tag (de, pt-BR, en_GB);\n"
    "                        default en-us; see --list\n"
    "  -s, --separator=TEXT  inserted at each break (default \"-\")\n"
    "      --soft            use U+00AD SOFT HYPHEN as the separator (it cannot\n"
    "                        change the spelling: a dictionary's non-standard\n"
    "                        breaks are left out)\n"
    "      --html            the input is HTML: markup passes unchanged, and lang\n"
    "                        attributes choose the language of their text\n"
    "      --ignore-lang     with --html, hyphenate all text in LANG\n"
    "      --min-word-length=N\n"
    "                        leave words of fewer than N letters whole\n"
    "      --skip-capitals   leave words written all in capitals whole (NASA)\n"
    "      --compounds=HOW   words joined by a hyphen: break every part too\n"
    "                        (parts, the default) or at the hyphen only (hyphen)\n"
    "      --skip-code       leave code-like tokens whole (LC_CTYPE, camelCase,\n"
    "                        utf8proc, --option)\n"
    "  -f, --file=FILE       hyphenate FILE (repeatable; - is standard input)\n"
    "  -o, --output=FILE     write to FILE, replaced only once all is written\n"
    "  -i, --in-place        hyphenate each FILE given and replace it with the\n"
    "                        result once that is complete (the files may also\n"
    "                        be given with -f); a file that another program\n"
    "                        changes meanwhile is left as it left it (exit 1)\n"
    "  -j, --jobs=N          with --in-place, hyphenate N files at a time\n"
    "                        (default: one per processor)\n"
    "      --words           read standard input line by line (the default)\n"
    "      --dictionary=DICT use a libhyphen dictionary instead of the language:\n"
    "                        a hyph_*.dic FILE, or an installed one's name\n"
    "                        (hu_HU, hu; see --list-dictionaries)\n"
    "      --patterns=FILE   use these patterns instead of the language's\n"
    "      --exceptions=FILE use these exception words instead of the language's\n"
    "      --add-exceptions=FILE\n"
    "                        add these exception words to the language's (yours\n"
    "                        win where both list a word)\n"
    "      --chars=FILE      use this character map instead of the language's\n"
    "                        (plain or TeX format, UTF-8, or gzip; see hyph(1))\n"
    "      --left=N          least number of letters before the first break\n"
    "      --right=N         least number of letters after the last break\n"
    "      --list            list the languages: name, affix, minimums, licence\n"
    "      --list-dictionaries\n"
    "                        list the installed libhyphen dictionaries: name, file\n"
    "      --license=LANG    show the licence of the language's patterns\n"
    "  -h, --help            show this help\n"
    "      --version         show the version (with --verbose, the install paths)\n"
    "      --verbose         say more\n"
    "\n"
    "Exit status: 0 on success, 1 when a file cannot be read or written or is\n"
    "refused, 2 for a mistake in the options.\n";

namespace {

/// A whole number of at least `least`.
std::int64_t parseCount(std::string_view option, std::string_view text, std::int64_t least = 0) {
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
  if (value < least) throw refuse(least == 0 ? "must not be negative" : "must be at least 1");
  return value;
}

}  // namespace

hyph::Language parseLanguage(const std::string& name) {
  if (const std::optional<hyph::Language> language = hyph::findLanguage(name)) return *language;
  throw UsageError(hyph::unknownLanguageMessage(name) + " (hyph --list shows them all)");
}

namespace {

// The options, as getopt_long takes them. Short options are their letters;
// a long option without one is numbered from kLongOnly.
enum : int {
  kLongOnly = 256,
  kSoft,
  kWords,
  kHtml,
  kIgnoreLang,
  kMinWordLength,
  kSkipCapitals,
  kCompounds,
  kSkipCode,
  kDictionary,
  kPatterns,
  kExceptions,
  kAddExceptions,
  kChars,
  kLeft,
  kRight,
  kList,
  kListDictionaries,
  kLicense,
  kVersion,
  kVerbose,
};

constexpr option kLongOptions[] = {
    {"language", required_argument, nullptr, 'l'},
    {"separator", required_argument, nullptr, 's'},
    {"soft", no_argument, nullptr, kSoft},
    {"words", no_argument, nullptr, kWords},
    {"html", no_argument, nullptr, kHtml},
    {"ignore-lang", no_argument, nullptr, kIgnoreLang},
    {"min-word-length", required_argument, nullptr, kMinWordLength},
    {"skip-capitals", no_argument, nullptr, kSkipCapitals},
    {"compounds", required_argument, nullptr, kCompounds},
    {"skip-code", no_argument, nullptr, kSkipCode},
    {"file", required_argument, nullptr, 'f'},
    {"output", required_argument, nullptr, 'o'},
    {"in-place", no_argument, nullptr, 'i'},
    {"jobs", required_argument, nullptr, 'j'},
    {"dictionary", required_argument, nullptr, kDictionary},
    {"patterns", required_argument, nullptr, kPatterns},
    {"exceptions", required_argument, nullptr, kExceptions},
    {"add-exceptions", required_argument, nullptr, kAddExceptions},
    {"chars", required_argument, nullptr, kChars},
    {"left", required_argument, nullptr, kLeft},
    {"right", required_argument, nullptr, kRight},
    {"list", no_argument, nullptr, kList},
    {"list-dictionaries", no_argument, nullptr, kListDictionaries},
    {"license", required_argument, nullptr, kLicense},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {"verbose", no_argument, nullptr, kVerbose},
    {nullptr, 0, nullptr, 0},
};
// "-": words and "-" come back in order, as option 1; ":": a missing value
// comes back as ':', and getopt prints nothing.
constexpr const char* kShortOptions = "-:l:s:f:o:ij:h";

/// The name of the option at argv[index] as the user wrote it, for a message:
/// "--name" without its value, or "-x".
std::string writtenName(char** argv, int index, int shortOption) {
  if (shortOption > 0 && shortOption < kLongOnly &&
      std::string_view(argv[index]).substr(0, 2) != "--")
    return std::string("-") + static_cast<char>(shortOption);
  std::string_view arg = argv[index];
  return std::string(arg.substr(0, arg.find('=')));
}

/// The long options whose names start with `prefix` ("--lang" is
/// --language); more than one is ambiguous.
std::vector<std::string_view> longOptionsStartingWith(std::string_view prefix) {
  std::vector<std::string_view> found;
  for (const option& o : kLongOptions)
    if (o.name && std::string_view(o.name).starts_with(prefix)) found.emplace_back(o.name);
  return found;
}

}  // namespace

Options parseOptions(int argc, char** argv) {
  Options options;
  bool words = false;
  optind = 0;  // from the start, getopt's own state reset
  opterr = 0;
  while (true) {
    const int previous = optind == 0 ? 1 : optind;
    const int c = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
    if (c == -1) break;
    // The argument just read (for an option given as "-x value", the one
    // before the value).
    const int at = std::min(previous, argc - 1);
    switch (c) {
      case 1:  // a word, or "-": standard input, as for --file
        (std::string_view(optarg) == "-" ? options.files : options.arguments).emplace_back(optarg);
        break;
      case 'l':
        options.language = parseLanguage(optarg);
        break;
      case 's':
        options.separator = optarg;
        break;
      case kSoft:
        options.separator = "\u00AD";
        break;
      case kWords:
        words = true;
        break;
      case kHtml:
        options.html = true;
        break;
      case kIgnoreLang:
        options.ignoreLang = true;
        break;
      case kMinWordLength:
        options.minWordLength = static_cast<std::size_t>(parseCount("--min-word-length", optarg));
        break;
      case kSkipCapitals:
        options.skipCapitals = true;
        break;
      case kCompounds:
        if (std::string_view(optarg) == "parts")
          options.compounds = hyph::Compounds::EveryPart;
        else if (std::string_view(optarg) == "hyphen")
          options.compounds = hyph::Compounds::HyphensOnly;
        else
          throw UsageError("--compounds: 'parts' or 'hyphen', not '" + std::string(optarg) + "'");
        break;
      case kSkipCode:
        options.skipCode = true;
        break;
      case 'f':
        options.files.emplace_back(optarg);
        break;
      case 'o':
        options.output = optarg;
        break;
      case 'i':
        options.inPlace = true;
        break;
      case 'j':
        options.jobs = static_cast<std::size_t>(parseCount("--jobs", optarg, 1));
        break;
      case kDictionary:
        options.dictionary = optarg;
        break;
      case kPatterns:
        options.patternsFile = optarg;
        break;
      case kExceptions:
        options.exceptionsFile = optarg;
        break;
      case kAddExceptions:
        options.wordsFile = optarg;
        break;
      case kChars:
        options.charsFile = optarg;
        break;
      case kLeft:
        options.leftMin = parseCount("--left", optarg);
        break;
      case kRight:
        options.rightMin = parseCount("--right", optarg);
        break;
      case kList:
        options.list = true;
        break;
      case kListDictionaries:
        options.listDictionaries = true;
        break;
      case kLicense:
        options.license = parseLanguage(optarg);
        break;
      case 'h':
        options.help = true;
        break;
      case kVersion:
        options.version = true;
        break;
      case kVerbose:
        options.verbose = true;
        break;
      case ':':
        throw UsageError("option '" + writtenName(argv, at, optopt) + "' needs a value");
      default: {  // '?': unknown, ambiguous, or a value given to a flag
        const std::string name = writtenName(argv, at, optopt);
        if (name.starts_with("--")) {
          const auto matches = longOptionsStartingWith(std::string_view(name).substr(2));
          if (matches.size() > 1) {
            std::string message = "option '" + name + "' is ambiguous; it could be";
            for (std::size_t i = 0; i < matches.size(); ++i)
              message += (i == 0                    ? " --"
                          : i + 1 == matches.size() ? " or --"
                                                    : ", --") +
                         std::string(matches[i]);
            throw UsageError(message);
          }
          if (matches.size() == 1 && std::string_view(argv[at]).find('=') != std::string::npos)
            throw UsageError("option '--" + std::string(matches[0]) + "' takes no value");
        }
        throw UsageError("unknown option '" + std::string(argv[at]) + "' (hyph --help lists them)");
      }
    }
  }
  for (int i = optind; i < argc; ++i) options.arguments.emplace_back(argv[i]);  // after "--"
  if (words && options.html) throw UsageError("--words and --html exclude each other");
  if (words && (!options.arguments.empty() || !options.files.empty()))
    throw UsageError("--words reads standard input; give no WORD or FILE with it");
  if (options.inPlace) {
    // Every name is a file to replace.
    options.files.insert(options.files.end(), options.arguments.begin(), options.arguments.end());
    options.arguments.clear();
    if (options.files.empty()) throw UsageError("--in-place needs the FILEs to hyphenate");
    if (std::find(options.files.begin(), options.files.end(), "-") != options.files.end())
      throw UsageError("--in-place replaces files; standard input is not one");
    if (options.output) throw UsageError("--in-place and --output exclude each other");
    if (words) throw UsageError("--in-place and --words exclude each other");
  } else if (options.jobs) {
    throw UsageError("--jobs works with --in-place only");
  }
  if (!options.arguments.empty() && !options.files.empty())
    throw UsageError("give WORDs or files to hyphenate, not both");
  return options;
}

}  // namespace cli
