// hyph: hyphenates words given as arguments, or running text (plain or HTML)
// or a list of words on standard input.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "catalogue/archive.hpp"
#include "engine/utf8.hpp"
#include "hyph/hyph.hpp"
#include "options.hpp"

namespace {

/// A failure while running (exit status 1).
struct RuntimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// The text of a file: UTF-8, or gzip when its name ends in ".gz", decoded
/// as the embedded data is.
std::u32string readTextFile(const std::string& path) {
  auto fail = [&path] { return RuntimeError("cannot read " + path + ": " + std::strerror(errno)); };
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) throw fail();
  std::string bytes;
  char block[1 << 16];
  std::size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
  const bool failed = std::ferror(file);
  const int error = errno;
  std::fclose(file);
  if (failed) {
    errno = error;
    throw fail();
  }
  if (path.ends_with(".gz")) bytes = hyph::detail::gunzip(path, bytes, hyph::detail::Members::Many);
  return hyph::detail::decodeUtf8(bytes);
}

/// The chosen language, with any table or minimum replaced as asked. Every
/// table is built here, before any output, so that a failure cannot cut the
/// output short.
hyph::Hyphenator makeHyphenator(const cli::Options& options) {
  const hyph::Hyphenator& base = hyph::languageHyphenator(options.language);
  hyph::CharMap chars = options.charsFile ? hyph::parseChars(readTextFile(*options.charsFile))
                                          : *hyph::hyphenatorCharMap(base);
  hyph::Patterns patterns = options.patternsFile
                                ? hyph::parsePatterns(readTextFile(*options.patternsFile))
                                : hyph::hyphenatorPatterns(base);
  hyph::Exceptions exceptions = options.exceptionsFile
                                    ? hyph::parseExceptions(readTextFile(*options.exceptionsFile))
                                    : hyph::hyphenatorExceptions(base);
  return hyph::Hyphenator(std::move(chars), std::move(patterns), std::move(exceptions),
                          options.leftMin.value_or(hyph::hyphenatorLeftMin(base)),
                          options.rightMin.value_or(hyph::hyphenatorRightMin(base)));
}

class Output {
 public:
  void write(std::string_view bytes) {
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
      fail();
  }
  void flush() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) fail();
  }

 private:
  [[noreturn]] static void fail() {
    throw RuntimeError(std::string("error writing standard output: ") + std::strerror(errno));
  }
};

/// Reads standard input in blocks, passing each to `consume`.
template <class Consume>
void readInput(Consume consume) {
  static char block[1 << 16];
  while (true) {
    const std::size_t got = std::fread(block, 1, sizeof block, stdin);
    if (got > 0) consume(std::string_view(block, got));
    if (got < sizeof block) {
      if (std::ferror(stdin))
        throw RuntimeError(std::string("error reading standard input: ") + std::strerror(errno));
      return;
    }
  }
}

std::string marked(const hyph::Hyphenator& h, std::string_view word, const std::string& separator) {
  std::string line;
  std::size_t start = 0;
  for (std::size_t position : hyph::breakPoints(h, word)) {
    line.append(word.substr(start, position - start));
    line += separator;
    start = position;
  }
  line.append(word.substr(start));
  return line;
}

int run(const cli::Options& options) {
  Output output;
  if (options.help) {
    output.write(cli::kUsage);
    output.flush();
    return 0;
  }
  if (options.version) {
    output.write("hyph " + std::string(hyph::version) + "\n");
    output.flush();
    return 0;
  }
  if (options.list) {
    for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage)) {
      char line[96];
      std::snprintf(line, sizeof line, "%-23s %-15s %lld %lld\n",
                    std::string(hyph::languageName(language)).c_str(),
                    std::string(hyph::languageAffix(language)).c_str(),
                    static_cast<long long>(hyph::languageLeftMin(language)),
                    static_cast<long long>(hyph::languageRightMin(language)));
      output.write(line);
    }
    output.flush();
    return 0;
  }

  const hyph::Hyphenator h = makeHyphenator(options);

  if (!options.arguments.empty()) {
    for (const std::string& word : options.arguments)
      output.write(marked(h, word, options.separator) + "\n");
  } else if (options.words) {
    std::string line;
    readInput([&](std::string_view block) {
      std::size_t start = 0;
      for (std::size_t end; (end = block.find('\n', start)) != std::string_view::npos;
           start = end + 1) {
        line.append(block.substr(start, end - start));
        output.write(marked(h, line, options.separator) + "\n");
        line.clear();
      }
      line.append(block.substr(start));
    });
    if (!line.empty()) output.write(marked(h, line, options.separator));
  } else {
    hyph::TextOptions textOptions;
    textOptions.separator = options.separator;
    textOptions.markup = options.html ? hyph::Markup::Html : hyph::Markup::Plain;
    hyph::TextHyphenator text(h, textOptions);
    std::string out;
    try {
      readInput([&](std::string_view block) {
        text.write(block, out);
        output.write(out);
        out.clear();
      });
    } catch (const RuntimeError&) {
      // Keep what was read: pass on the held-back tail, then report.
      text.finish(out);
      output.write(out);
      output.flush();
      throw;
    }
    text.finish(out);
    output.write(out);
  }
  output.flush();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
  try {
    return run(cli::parseOptions(argc, argv));
  } catch (const cli::UsageError& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "hyph: %s\n", e.what());
    return 2;
  } catch (const std::bad_alloc&) {
    std::fflush(stdout);
    std::fprintf(stderr, "hyph: out of memory\n");
    return 1;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "hyph: %s\n", e.what());
    return 1;
  }
}
