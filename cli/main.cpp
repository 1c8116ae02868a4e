// hyph: hyphenates words given as arguments, or running text (plain or HTML)
// from files or standard input.
#include <hyph/hyph.hpp>

#include <cstdio>
#include <new>
#include <string>

#include "in_place.hpp"
#include "io.hpp"
#include "options.hpp"

namespace {

/// A dictionary's file: `name` itself where it is a file's path (it names a
/// directory or a .dic file, or such a file exists), else the installed
/// dictionary of that name.
std::string dictionaryPath(const std::string& name) {
  if (name.find('/') != std::string::npos || name.ends_with(".dic") || name.ends_with(".dic.gz"))
    return name;
  if (const std::optional<std::string> path = hyph::findDictionary(name)) return *path;
  if (std::FILE* file = std::fopen(name.c_str(), "rb")) {
    std::fclose(file);
    return name;
  }
  throw cli::UsageError("--dictionary: no dictionary '" + name +
                        "' is installed (hyph --list-dictionaries shows them)");
}

hyph::Hyphenator dictionaryHyphenator(const std::string& name) {
  const std::string path = dictionaryPath(name);
  const std::string bytes = cli::readWholeFile(path, hyph::maxUserFileBytes);
  return hyph::readDictionary({path, bytes});
}

/// The chosen language, with any table or minimum replaced as asked. Every
/// file is read here, and the tables that words are looked up in made,
/// before any output, so that a refused file cannot cut the output short.
hyph::Hyphenator makeHyphenator(const cli::Options& options) {
  const hyph::Hyphenator base = options.dictionary ? dictionaryHyphenator(*options.dictionary)
                                                   : hyph::languageHyphenator(options.language);
  hyph::CustomTables custom;
  custom.leftMin = options.leftMin;
  custom.rightMin = options.rightMin;
  std::string chars, patterns, exceptions, words;  // the files' bytes, which `custom` views
  auto read = [](const std::optional<std::string>& path, std::string& bytes,
                 std::optional<hyph::UserFile>& file) {
    if (!path) return;
    bytes = cli::readWholeFile(*path, hyph::maxUserFileBytes);
    file = hyph::UserFile{*path, bytes};
  };
  read(options.charsFile, chars, custom.chars);
  read(options.patternsFile, patterns, custom.patterns);
  read(options.exceptionsFile, exceptions, custom.exceptions);
  read(options.wordsFile, words, custom.words);
  hyph::Hyphenator h = hyph::customHyphenator(base, custom);
  // A word long enough for any minimums needs the tables: made now (for a
  // built-in language's own, they are ready in the library).
  (void)hyph::breakPoints(h, std::u32string(64, U'a'));
  return h;
}

void listDictionaries(cli::Output& output) {
  for (const hyph::InstalledDictionary& d : hyph::installedDictionaries()) {
    char line[64];
    std::snprintf(line, sizeof line, "%-23s ", d.name.c_str());
    output.write(std::string(line) + d.path + "\n");
  }
}

void listLanguages(cli::Output& output) {
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage)) {
    char line[160];
    std::snprintf(line, sizeof line, "%-23s %-15s %lld %lld  %s\n",
                  std::string(hyph::languageName(language)).c_str(),
                  std::string(hyph::languageAffix(language)).c_str(),
                  static_cast<long long>(hyph::languageLeftMin(language)),
                  static_cast<long long>(hyph::languageRightMin(language)),
                  hyph::languageLicenseName(language).c_str());
    output.write(line);
  }
}

/// Hyphenates one input, writing as it goes; a line that has arrived is
/// written out at once, however the rest of the input comes.
void hyphenateInput(const std::string& path, const hyph::Hyphenator& h,
                    const hyph::TextOptions& textOptions, cli::Output& output) {
  hyph::TextHyphenator text(h, textOptions);
  std::string out;
  try {
    cli::readBlocks(path, [&](std::string_view block, bool more) {
      text.write(block, out);
      output.write(out);
      out.clear();
      if (!more) output.flush();
      return true;
    });
  } catch (const cli::RuntimeError&) {
    // Keep what was read: pass on the held-back tail, then report.
    text.finish(out);
    output.write(out);
    output.flush();
    throw;
  }
  text.finish(out);
  output.write(out);
}

hyph::TextOptions textOptionsOf(const cli::Options& options) {
  hyph::TextOptions textOptions;
  textOptions.separator = options.separator;
  textOptions.markup = options.html ? hyph::Markup::Html : hyph::Markup::Plain;
  textOptions.minWordLength = options.minWordLength;
  textOptions.skipCapitals = options.skipCapitals;
  textOptions.compounds = options.compounds;
  textOptions.skipCode = options.skipCode;
  textOptions.followLang = !options.ignoreLang;
  textOptions.language = options.language;  // its text uses the tables given
  if (options.dictionary) {
    // A dictionary's text is that of the language its name says (hyph_hu_HU.dic),
    // if hyph has one; text marked as another language uses that language.
    std::string name = options.dictionary->substr(options.dictionary->rfind('/') + 1);
    for (const char* suffix : {".gz", ".dic"})
      if (name.ends_with(suffix)) name.resize(name.size() - std::string_view(suffix).size());
    if (name.starts_with("hyph_")) name.erase(0, 5);
    textOptions.language = hyph::findLanguage(name);
  }
  return textOptions;
}

int run(const cli::Options& options) {
  cli::Output output(options.output);
  if (options.help) {
    output.write(cli::kUsage);
  } else if (options.version) {
    output.write("hyph " + std::string(hyph::version) + "\n");
    if (options.verbose)
      for (const auto& [name, path] : {std::pair{"programs", hyph::binDir()},
                                       {"libraries", hyph::libDir()},
                                       {"dynamic libraries", hyph::dynLibDir()},
                                       {"data", hyph::dataDir()},
                                       {"auxiliary programs", hyph::libexecDir()},
                                       {"configuration", hyph::sysconfDir()}})
        output.write(std::string(name) + ": " + path + "\n");
  } else if (options.list) {
    listLanguages(output);
  } else if (options.listDictionaries) {
    listDictionaries(output);
  } else if (options.license) {
    output.write(hyph::languageLicense(*options.license));
  } else if (options.inPlace) {
    return cli::hyphenateInPlace(options.files, makeHyphenator(options), textOptionsOf(options),
                                 options.jobs.value_or(cli::processorCount()));
  } else {
    const hyph::Hyphenator h = makeHyphenator(options);
    const hyph::TextOptions textOptions = textOptionsOf(options);
    if (!options.arguments.empty()) {
      // Each argument is running text of its own, on a line of its own.
      for (const std::string& argument : options.arguments)
        output.write(hyph::hyphenateText(h, argument, textOptions) + "\n");
    } else if (options.files.empty()) {
      hyphenateInput("-", h, textOptions, output);
    } else {
      for (const std::string& file : options.files) hyphenateInput(file, h, textOptions, output);
    }
  }
  output.commit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  cli::guardStandardStreams();
  cli::Replacement::removeOnSignals();
  try {
    return run(cli::parseOptions(argc, argv));
  } catch (const cli::UsageError& e) {
    std::fprintf(stderr, "hyph: %s\n", e.what());
    return 2;
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "hyph: out of memory\n");
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hyph: %s\n", e.what());
    return 1;
  }
}
