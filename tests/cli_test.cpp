// Runs the built hyph command end to end.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "hyph/hyph.hpp"

namespace {

namespace fs = std::filesystem;

struct Result {
  int status;
  std::string out, err;
};

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("hyph-cli-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path file(const std::string& name, std::string_view contents) {
    spit(dir_ / name, contents);
    return dir_ / name;
  }

  Result run(const std::vector<std::string>& args, std::string_view input = "") {
    spit(dir_ / "stdin", input);
    std::string command = quoted(HYPH_CLI_PATH);
    // Appended piece by piece: GCC 12 warns falsely on "literal" + std::string&&.
    for (const auto& arg : args) {
      command += ' ';
      command += quoted(arg);
    }
    for (const auto& [redirect, name] :
         {std::pair{" <", "stdin"}, {" >", "stdout"}, {" 2>", "stderr"}}) {
      command += redirect;
      command += quoted((dir_ / name).string());
    }
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir_ / "stdout"), slurp(dir_ / "stderr")};
  }

  fs::path dir_;
};

TEST_F(Cli, WordArgumentsOnePerLine) {
  const Result r = run({"hyphenation", "Documentation", "table", "cat"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "hy-phen-ation\nDoc-u-men-ta-tion\nta-ble\ncat\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(run({"-l", "German_1996", "-s", "=", "Silbentrennung"}).out, "Sil=ben=tren=nung\n");
  EXPECT_EQ(run({"--language=de-1996", "--soft", "Sanierungen"}).out,
            "Sa\u00ADnie\u00ADrun\u00ADgen\n");
  EXPECT_EQ(run({"-lru", "--", "бизнесмен", "--words"}).out, "биз-нес-мен\n--words\n");
}

TEST_F(Cli, WordsFromStandardInput) {
  const Result r = run({"--words"}, "hyphenation\nHyphenation is\n\ntable\r\nassociate");
  EXPECT_EQ(r.status, 0);
  // Each line is one word, spaces and carriage returns included.
  EXPECT_EQ(r.out, "hy-phen-ation\nHy-phen-ation is\n\ntable\r\nas-so-ciate");
}

TEST_F(Cli, RunningTextFromStandardInput) {
  const std::string text = "Hyphenation, documentation & association!\n\xE9\x80 42\n";
  const Result r = run({}, text);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "Hy-phen-ation, doc-u-men-ta-tion & as-so-ci-a-tion!\n\xE9\x80 42\n");

  // A large input streams through in blocks and matches the library.
  std::string big;
  for (int i = 0; big.size() < 3'000'000; ++i)
    big += "The documentation of hyphenation, paragraph " + std::to_string(i) + ".\n";
  const Result large = run({"-s", "\u00AD"}, big);
  EXPECT_EQ(large.status, 0);
  EXPECT_TRUE(large.out == hyph::hyphenateText(hyph::english_US(), big, "\u00AD"));
}

TEST_F(Cli, Html) {
  const Result r = run({"--html", "--soft"},
                       "<p title=\"hyphenation\">Hyphenation &amp; <code>hyphenation</code>"
                       "<!-- hyphenation --></p>");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out,
            "<p title=\"hyphenation\">Hy\u00ADphen\u00ADation &amp; <code>hyphenation</code>"
            "<!-- hyphenation --></p>");
}

TEST_F(Cli, CustomTables) {
  const auto patterns = file("my.pat", "1b\n1c\n");
  EXPECT_EQ(run({"--patterns", patterns.string(), "--left", "1", "--right", "1", "abcabc"}).out,
            "a-b-ca-b-c\n");
  // gzip, concatenated members allowed.
  gzFile gz = gzopen((dir_ / "my.pat.gz").c_str(), "wb");
  gzputs(gz, "1b\n");
  gzclose(gz);
  const std::string member = slurp(dir_ / "my.pat.gz");
  file("two.pat.gz", member + member);
  EXPECT_EQ(
      run({"--patterns", (dir_ / "two.pat.gz").string(), "--left=1", "--right=1", "abab"}).out,
      "a-ba-b\n");
  const auto exceptions = file("my.hyp", "abc-abc\n");
  EXPECT_EQ(run({"--patterns", patterns.string(), "--exceptions", exceptions.string(), "--left",
                 "1", "--right", "1", "abcabc", "ABCABC"})
                .out,
            "abc-abc\nABC-ABC\n");
  const auto chars = file("my.chr", "aX\nb\nc\n");
  EXPECT_EQ(run({"--patterns", patterns.string(), "--chars", chars.string(), "--left", "1",
                 "--right", "1", "XbcXbc", "ABC"})
                .out,
            "X-b-cX-b-c\nABC\n");
  // Only the given table is replaced: English exceptions still apply.
  EXPECT_EQ(run({"--left", "1", "--right", "1", "table"}).out, "ta-ble\n");
}

TEST_F(Cli, ListHelpAndVersion) {
  const Result list = run({"--list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 73);
  EXPECT_NE(list.out.find("English_US              en-us           2 3\n"), std::string::npos);
  EXPECT_NE(list.out.find("Serbocroatian_Latin     sh-latn         2 2\n"), std::string::npos);
  const Result help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: hyph"), std::string::npos);
  EXPECT_EQ(run({"--version"}).out, "hyph " + std::string(hyph::version) + "\n");
}

TEST_F(Cli, UsageErrorsExitWithTwo) {
  const Result unknown = run({"--frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "hyph: unknown option '--frobnicate' (hyph --help lists them)\n");
  EXPECT_EQ(unknown.out, "");
  const Result language = run({"-l", "englsh", "word"});
  EXPECT_EQ(language.status, 2);
  EXPECT_EQ(language.err,
            "hyph: unknown language 'englsh'; did you mean English_US, English_GB? (hyph --list "
            "shows them all)\n");
  const Result far = run({"-l", "xx"});
  EXPECT_EQ(far.status, 2);
  EXPECT_EQ(far.err, "hyph: unknown language 'xx' (hyph --list shows them all)\n");
  const Result number = run({"--left", "2x"});
  EXPECT_EQ(number.status, 2);
  EXPECT_EQ(number.err, "hyph: --left: not a whole number: '2x'\n");
  EXPECT_EQ(run({"--right", "99999999999999999999"}).status, 2);
  const Result missing = run({"--patterns"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "hyph: option '--patterns' needs a value\n");
  EXPECT_EQ(run({"--words", "x"}).status, 2);
  EXPECT_EQ(run({"--soft=yes"}).status, 2);
}

TEST_F(Cli, RuntimeErrorsExitWithOne) {
  const std::string absent = (dir_ / "absent.pat").string();
  const Result unreadable = run({"--patterns", absent, "word"});
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.err, "hyph: cannot read " + absent + ": No such file or directory\n");
  EXPECT_EQ(unreadable.out, "");
  const auto corrupt = file("bad.pat.gz", "not gzip at all");
  const Result bad = run({"--patterns", corrupt.string(), "word"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "hyph: Could not decompress " + corrupt.string() + ": incorrect header check\n");
  const Result directory = run({"--exceptions", dir_.string(), "word"});
  EXPECT_EQ(directory.status, 1);
  EXPECT_EQ(directory.err.rfind("hyph: cannot read " + dir_.string() + ": ", 0), 0u);
}

}  // namespace
