// Build tool: compiles each language's data files into the tables that its
// words are looked up in, as constant data of the library.
//
//   compile_tables [--big-endian] [--blobs DIR] DATA_DIR OUTPUT_DIR AFFIX...
//
// For each language (by affix) it reads data/hyph-AFFIX.{chr,pat,hyp}.txt.gz,
// checks every line against the formats of the files, parses them as the
// library does at run time, and writes OUTPUT_DIR/tables-AFFIX.cpp, which
// holds the compiled block (tables_format.hpp) as one aligned byte array;
// OUTPUT_DIR/compiled_tables.cpp gives the block of each language by its
// enumerator. With --blobs, each language's tables are also written to
// files, for a build that loads its languages from them (the WebAssembly
// module's): DIR/AFFIX.tables in the packed form, gzipped, about a quarter of
// the compiled block's size on the wire (checked to give the very block
// again), and DIR/AFFIX.compiled, the block itself, which is ready sooner
// where size does not count (read from a disk); DIR/digests.txt gives each
// compiled file's digest (tablesDigest), "AFFIX HEX" a line. A line that
// breaks its file's format stops the tool with "FILE:LINE: reason" and
// status 1. The output depends on nothing but the files: the same bytes
// every run, and a file is only rewritten when its content changes.
#include <algorithm>
#include <bit>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <zlib.h>

#include "catalogue/gzip.hpp"
#include "engine/exception_table.hpp"
#include "engine/tables_format.hpp"
#include "engine/trie/patterns_access.hpp"
#include "engine/utf8.hpp"
#include "engine/word_tables.hpp"
#include "hyph/error.hpp"
#include "hyph/language.hpp"

namespace fs = std::filesystem;

namespace {

struct BadData : std::runtime_error {
  using std::runtime_error::runtime_error;
};

[[noreturn]] void bad(const fs::path& file, std::size_t line, const std::string& why) {
  throw BadData(file.string() + ":" + std::to_string(line) + ": " + why);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw BadData(path.string() + ": cannot be read");
  return {std::istreambuf_iterator<char>(in), {}};
}

/// Writes `text` to `path` unless it holds that already, so that an
/// unchanged output compiles nothing again.
void writeIfChanged(const fs::path& path, const std::string& text) {
  std::ifstream old(path, std::ios::binary);
  if (old && std::string{std::istreambuf_iterator<char>(old), {}} == text) return;
  old.close();
  std::ofstream out(path, std::ios::binary);
  out << text;
  if (!out.flush()) throw BadData(path.string() + ": cannot be written");
}

/// The lines of a data file's text, checked for what every data file keeps
/// to: UTF-8 without a byte-order mark, no control characters, every line
/// ended by a line feed, and no empty line.
std::vector<std::u32string> linesOf(const fs::path& file, const std::string& text) {
  std::vector<std::u32string> lines;
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  std::u32string line;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t number = lines.size() + 1;
    const hyph::detail::Decoded d = hyph::detail::decodeOne(p + i, text.size() - i);
    if (d.length == 1 && p[i] >= 0x80) bad(file, number, "not UTF-8");
    i += d.length;
    if (d.codePoint == 0xFEFF && i == d.length) bad(file, number, "a byte-order mark");
    if (d.codePoint == U'\n') {
      if (line.empty()) bad(file, number, "an empty line");
      lines.push_back(std::move(line));
      line.clear();
    } else if (d.codePoint < 0x20 || d.codePoint == 0x7F) {
      bad(file, number, "a control character");
    } else {
      line += d.codePoint;
    }
  }
  if (!line.empty()) bad(file, lines.size() + 1, "the last line has no line feed");
  return lines;
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

void checkPatterns(const fs::path& file, const std::vector<std::u32string>& lines) {
  std::map<std::u32string, std::size_t> seen;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::u32string& line = lines[n];
    std::u32string letters;
    for (std::size_t k = 0; k < line.size(); ++k) {
      if (isDigit(line[k])) {
        if (k + 1 < line.size() && isDigit(line[k + 1])) bad(file, n + 1, "two digits in a row");
        continue;
      }
      if (line[k] == U' ') bad(file, n + 1, "a space in a pattern");
      letters += line[k];
    }
    const auto dots = std::count(letters.begin(), letters.end(), U'.');
    if (letters.size() == static_cast<std::size_t>(dots))
      bad(file, n + 1, "a pattern without letters");
    if (letters.find(U'.', 1) < letters.size() - 1) bad(file, n + 1, "a '.' inside a pattern");
    if (auto [at, fresh] = seen.emplace(letters, n + 1); !fresh)
      bad(file, n + 1, "the same letters as line " + std::to_string(at->second));
  }
}

void checkExceptions(const fs::path& file, const std::vector<std::u32string>& lines) {
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::u32string& line = lines[n];
    if (std::any_of(line.begin(), line.end(), isDigit)) bad(file, n + 1, "a digit in an exception");
    if (line.find(U'.') != std::u32string::npos) bad(file, n + 1, "a '.' in an exception");
    if (line.find(U' ') != std::u32string::npos) bad(file, n + 1, "a space in an exception");
    if (line.find(U"--") != std::u32string::npos) bad(file, n + 1, "two hyphens in a row");
    if (line.find_first_not_of(U'-') == std::u32string::npos)
      bad(file, n + 1, "an exception without letters");
  }
}

void checkChars(const fs::path& file, const std::vector<std::u32string>& lines) {
  for (std::size_t n = 0; n < lines.size(); ++n)
    if (lines[n].size() < 2) bad(file, n + 1, "a letter without the forms that normalise to it");
}

/// One language's tables: the compiled block, and the packed one.
struct Compiled {
  std::vector<std::uint8_t> block, packed;
};

/// `bytes` as one gzip member, at zlib's best compression; the same bytes
/// every run (no time or name in the header).
std::string gzip(const std::vector<std::uint8_t>& bytes) {
  z_stream stream{};
  if (deflateInit2(&stream, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw BadData("zlib: cannot start compressing");
  std::string out(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
  stream.next_in = const_cast<Bytef*>(bytes.data());
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  const int status = deflate(&stream, Z_FINISH);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw BadData("zlib: cannot compress");
  return out;
}

/// The compiled block of one language's files, and with `packed` its packed
/// form too, which must give the same block again.
Compiled compileLanguage(const fs::path& data, const std::string& affix, std::endian order,
                         bool packed) {
  auto text = [&](const char* kind) {
    const fs::path file = data / ("hyph-" + affix + "." + kind + ".txt.gz");
    const std::string name = file.filename().string();
    try {
      return std::pair{file, hyph::detail::gunzip(name, readFile(file))};
    } catch (const hyph::Error& e) {
      throw BadData(file.string() + ": " + e.what());
    }
  };
  const auto [charsFile, chars] = text("chr");
  const auto [patternsFile, patterns] = text("pat");
  const auto [exceptionsFile, exceptions] = text("hyp");
  checkChars(charsFile, linesOf(charsFile, chars));
  checkPatterns(patternsFile, linesOf(patternsFile, patterns));
  checkExceptions(exceptionsFile, linesOf(exceptionsFile, exceptions));

  // Parsed as the library parses them at run time, so that the compiled
  // tables give the very breaks that the parsed ones do.
  const hyph::CharTable table = hyph::parseChars(hyph::detail::decodeUtf8(chars));
  const hyph::Deferred<hyph::Patterns> trie(hyph::parsePatterns(std::string_view(patterns)));
  const hyph::Exceptions words = hyph::parseExceptions(hyph::detail::decodeUtf8(exceptions));
  const auto tables = hyph::detail::assembleWordTables(
      table, nullptr, hyph::detail::TriePart::of(trie), hyph::detail::ExceptionsPart::of(words));
  Compiled compiled{hyph::detail::compileWordTables(*tables, order), {}};
  if (packed) {
    using namespace hyph::detail;
    compiled.packed = packWordTables(*tables, *flatOf(trie.get()).trie, order);
    // Read as a loader reads it: from memory aligned as a block must be.
    std::vector<std::uint64_t> aligned((compiled.packed.size() + 7) / 8);
    std::memcpy(aligned.data(), compiled.packed.data(), compiled.packed.size());
    const WordTables unpacked = unpackWordTables(
        {reinterpret_cast<const std::uint8_t*>(aligned.data()), compiled.packed.size()});
    if (compileWordTables(unpacked, order) != compiled.block)
      throw BadData(affix + ": the packed tables do not give the compiled ones again");
  }
  return compiled;
}

std::string identifierOf(const std::string& affix) {
  std::string out = "kTables_";
  for (char c : affix) out += c == '-' ? '_' : c;
  return out;
}

/// The C++ source of one block: an aligned byte array, as one string
/// literal (every byte an octal escape, so that none runs into the next).
std::string sourceOf(const std::string& affix, const std::vector<std::uint8_t>& block) {
  const std::string name = identifierOf(affix);
  std::string out = "// Generated by compile_tables from data/hyph-" + affix +
                    ".*.txt.gz; do not edit.\n"
                    "#include <cstdint>\n\nnamespace hyph::detail {\n\n"
                    "extern const unsigned char " +
                    name + "[];\nalignas(64) const unsigned char " + name + "[] =\n    \"";
  for (std::size_t k = 0; k < block.size(); ++k) {
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\%03o", block[k]);
    out += escape;
    if (k % 40 == 39 && k + 1 < block.size()) out += "\"\n    \"";
  }
  out += "\";\n\n}  // namespace hyph::detail\n";
  return out;
}

/// The enumerator of an affix.
std::string enumeratorOf(const std::string& affix) {
#define HYPH_AFFIX_TO_NAME(name, function, a, left, right) \
  if (affix == a) return #name;
  HYPH_LANGUAGES(HYPH_AFFIX_TO_NAME)
#undef HYPH_AFFIX_TO_NAME
  throw BadData("no language has the affix " + affix);
}

/// A language's block, by affix, and its size.
struct Block {
  std::string affix;
  std::size_t size;
};

/// The index of the blocks, by enumerator, every language in the order of
/// the enumeration (an empty block for those not compiled): an array of
/// addresses, which a position-independent program's loader has touched
/// while relocating it, so that the first lookup of a block costs no fault.
std::string indexOf(const std::vector<Block>& blocks) {
  std::string out =
      "// Generated by compile_tables; do not edit.\n"
      "#include \"catalogue/compiled_tables.hpp\"\n#include \"engine/first_use.hpp\"\n\n"
      "namespace hyph::detail {\n\n";
  for (const Block& block : blocks)
    out += "extern const unsigned char " + identifierOf(block.affix) + "[];\n";
  out +=
      "\nnamespace {\n\nstruct Compiled {\n  const unsigned char* data;\n  std::size_t "
      "size;\n};\n\n"
      "const Compiled kCompiled[] = {\n";
  const char* const affixes[] = {
#define HYPH_AFFIX_OF(name, function, affix, left, right) affix,
      HYPH_LANGUAGES(HYPH_AFFIX_OF)
#undef HYPH_AFFIX_OF
  };
  for (const char* affix : affixes) {
    const auto block = std::find_if(blocks.begin(), blocks.end(),
                                    [&](const Block& b) { return b.affix == affix; });
    out += block == blocks.end()
               ? "    {nullptr, 0},\n"
               : "    {" + identifierOf(affix) + ", " + std::to_string(block->size) + "},\n";
  }
  out +=
      "};\nstatic_assert(std::size(kCompiled) == languageCount);\n\n}  // namespace\n\n"
      "HYPH_FIRST_USE std::span<const std::uint8_t> compiledTables(Language language) {\n"
      "  const Compiled& compiled = kCompiled[fromEnum(language)];\n"
      "  return {compiled.data, compiled.size};\n}\n\n"
      "}  // namespace hyph::detail\n";
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::endian order = std::endian::little;
  std::optional<fs::path> blobs;
  while (!args.empty() && args.front().starts_with("--")) {
    if (args.front() == "--big-endian") {
      order = std::endian::big;
      args.erase(args.begin());
    } else if (args.front() == "--blobs" && args.size() > 1) {
      blobs = args[1];
      args.erase(args.begin(), args.begin() + 2);
    } else {
      break;
    }
  }
  if (args.size() < 2) {
    std::cerr
        << "usage: compile_tables [--big-endian] [--blobs DIR] DATA_DIR OUTPUT_DIR AFFIX...\n";
    return 2;
  }
  const fs::path data = args[0], output = args[1];
  try {
    fs::create_directories(output);
    if (blobs) fs::create_directories(*blobs);
    std::vector<Block> blocks;
    std::string digests;
    for (std::size_t i = 2; i < args.size(); ++i) {
      const std::string& affix = args[i];
      enumeratorOf(affix);
      const Compiled compiled = compileLanguage(data, affix, order, blobs.has_value());
      writeIfChanged(output / ("tables-" + affix + ".cpp"), sourceOf(affix, compiled.block));
      if (blobs) {
        writeIfChanged(*blobs / (affix + ".tables"), gzip(compiled.packed));
        writeIfChanged(*blobs / (affix + ".compiled"),
                       std::string(compiled.block.begin(), compiled.block.end()));
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx",
                      static_cast<unsigned long long>(hyph::detail::tablesDigest(compiled.block)));
        digests += affix + " " + hex + "\n";
      }
      blocks.push_back({affix, compiled.block.size()});
    }
    writeIfChanged(output / "compiled_tables.cpp", indexOf(blocks));
    if (blobs) writeIfChanged(*blobs / "digests.txt", digests);
  } catch (const std::exception& e) {
    std::cerr << e.what() << '\n';
    return 1;
  }
  return 0;
}
