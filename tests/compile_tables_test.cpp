// The build step that compiles the languages' tables: bad data stops it at
// its line, and its output is the same, byte for byte, run after run.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "catalogue_helpers.hpp"

namespace {

namespace fs = std::filesystem;

struct ToolRun {
  int status;
  std::string output;
};

ToolRun compileTables(const fs::path& data, const fs::path& out, const std::string& affixes) {
  const std::string command = std::string(HYPH_COMPILE_TABLES_PATH) + " " + data.string() + " " +
                              out.string() + " " + affixes + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  while (const std::size_t got = fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, got);
  const int status = pclose(pipe);
  return {WEXITSTATUS(status), output};
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class CompileTables : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("hyph-compile-tables-" + std::to_string(::getpid()));
    fs::create_directories(dir_ / "data");
    reset();
  }
  /// The English files as they are.
  void reset() {
    for (const char* kind : {"chr", "hyp", "pat"})
      fs::copy_file(fs::path(HYPH_DATA_DIR) / (std::string("hyph-en-us.") + kind + ".txt.gz"),
                    dir_ / "data" / (std::string("hyph-en-us.") + kind + ".txt.gz"),
                    fs::copy_options::overwrite_existing);
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& kind, const std::string& text) {
    std::ofstream(dir_ / "data" / ("hyph-en-us." + kind + ".txt.gz"), std::ios::binary)
        << hyph::testing::gzip(text);
  }
  std::string file(const std::string& kind) const {
    return (dir_ / "data" / ("hyph-en-us." + kind + ".txt.gz")).string();
  }

  fs::path dir_;
};

TEST_F(CompileTables, SameOutputEveryRun) {
  ASSERT_EQ(compileTables(dir_ / "data", dir_ / "a", "en-us").status, 0);
  ASSERT_EQ(compileTables(dir_ / "data", dir_ / "b", "en-us").status, 0);
  for (const char* name : {"tables-en-us.cpp", "compiled_tables.cpp"}) {
    EXPECT_FALSE(slurp(dir_ / "a" / name).empty());
    EXPECT_EQ(slurp(dir_ / "a" / name), slurp(dir_ / "b" / name)) << name;
  }
}

TEST_F(CompileTables, BadDataStopsItAtItsLine) {
  const struct {
    const char* kind;
    std::string text;
    std::string why;
  } cases[] = {
      {"pat", "hy3ph\nhe2n\na12b\n", ":3: two digits in a row"},
      {"pat", "hy3ph\n\nhe2n\n", ":2: an empty line"},
      {"pat", "hy3ph\nh.e2n\n", ":2: a '.' inside a pattern"},
      {"pat", "hy3ph\nhe2n\nh1y3ph\n", ":3: the same letters as line 1"},
      {"pat", "hy3ph\nhe2n", ":2: the last line has no line feed"},
      {"pat",
       "hy3ph\nhe\xff"
       "2n\n",
       ":2: not UTF-8"},
      {"pat", "\xef\xbb\xbfhy3ph\n", ":1: a byte-order mark"},
      {"pat", "hy3ph\r\n", ":1: a control character"},
      {"hyp", "ta-ble\nas-so1-ciate\n", ":2: a digit in an exception"},
      {"hyp", "ta--ble\n", ":1: two hyphens in a row"},
      {"chr", "aA\nb\n", ":2: a letter without the forms that normalise to it"},
  };
  for (const auto& c : cases) {
    reset();
    write(c.kind, c.text);
    const ToolRun run = compileTables(dir_ / "data", dir_ / "out", "en-us");
    EXPECT_EQ(run.status, 1) << c.why;
    EXPECT_EQ(run.output, file(c.kind) + c.why + "\n");
  }
  reset();
  std::ofstream(file("pat"), std::ios::binary) << "\x1f\x8b not gzip";
  const ToolRun corrupt = compileTables(dir_ / "data", dir_ / "out", "en-us");
  EXPECT_EQ(corrupt.status, 1);
  EXPECT_EQ(corrupt.output, file("pat") +
                                ": Could not decompress hyph-en-us.pat.txt.gz: unknown compression "
                                "method\n");
}

}  // namespace
