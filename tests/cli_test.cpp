// Runs the built hyph command end to end.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <tuple>

#include "hyph/hyph.hpp"
#include "io.hpp"  // and the file replacement it uses

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
  // Each argument is running text: only runs of letters are words.
  EXPECT_EQ(run({"co-operation", "New York", "ASCII's", "two words"}).out,
            "co-op-er-a-tion\nNew York\nASCII's\ntwo words\n");
  // Languages by the names people use.
  EXPECT_EQ(run({"-l", "de", "Silbentrennung"}).out, "Sil-ben-tren-nung\n");
  EXPECT_EQ(run({"-l", "en_US", "hyphenation"}).out, "hy-phen-ation\n");
  EXPECT_EQ(run({"-l", "pt-BR", "computador"}).out, "com-pu-ta-dor\n");
  // HTML arguments are read as HTML.
  EXPECT_EQ(run({"--html", "hyphenation&amp;documentation"}).out,
            "hy-phen-ation&amp;doc-u-men-ta-tion\n");
}

TEST_F(Cli, LinesOfStandardInputAreRunningText) {
  for (const char* option : {"--words", "-"}) {
    const Result r = run({option}, "hyphenation\nHyphenation is\n\ntable\r\npresent\r\nassociate");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "hy-phen-ation\nHy-phen-ation is\n\nta-ble\r\npresent\r\nas-so-ciate");
  }
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

// A line is written as soon as it has arrived: the command answers the
// first line while its input is still open.
TEST_F(Cli, EachLineIsWrittenAsItArrives) {
  int in[2], out[2];
  ASSERT_EQ(::pipe(in), 0);
  ASSERT_EQ(::pipe(out), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::close(in[1]);
    ::close(out[0]);
    ::execl(HYPH_CLI_PATH, "hyph", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ASSERT_EQ(::write(in[1], "hyphenation\n", 12), 12);
  std::string got;
  pollfd ready{out[0], POLLIN, 0};
  while (got.find('\n') == std::string::npos && ::poll(&ready, 1, 20'000) == 1) {
    char buffer[64];
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    got.append(buffer, static_cast<std::size_t>(n));
  }
  EXPECT_EQ(got, "hy-phen-ation\n") << "no answer while the input stayed open";
  ::close(in[1]);
  int status = 0;
  ::waitpid(child, &status, 0);
  ::close(out[0]);
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Cli, FilesAndOutput) {
  const auto one = file("one.txt", "hyphenation\n");
  const auto two = file("two.txt", "documentation\n");
  EXPECT_EQ(run({"-f", one.string(), "--file=" + two.string()}).out,
            "hy-phen-ation\ndoc-u-men-ta-tion\n");
  EXPECT_EQ(run({"-f", one.string(), "-f", "-"}, "table\n").out, "hy-phen-ation\nta-ble\n");
  // -o replaces its file only once all is written, so it may be an input.
  const Result same = run({"-f", one.string(), "-o", one.string()});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");
  EXPECT_EQ(slurp(one), "hy-phen-ation\n");
  // A failure leaves the old file whole, and no temporary file behind.
  const auto kept = file("kept.txt", "old\n");
  const Result failed =
      run({"-f", one.string(), "-f", (dir_ / "absent").string(), "-o", kept.string()});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(slurp(kept), "old\n");
  std::size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir_)) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 6u);  // one, two, kept, and the stdin, stdout, stderr of run()
  EXPECT_EQ(run({"table", "-f", one.string()}).status, 2);
}

// -o FILE puts the new text where FILE's text was, and keeps what FILE is.
TEST_F(Cli, OutputKeepsWhatTheFileIs) {
  const std::string input = "hyphenation\n", output = "hy-phen-ation\n";
  // A symbolic link stays a link; its target gets the text.
  const auto real = file("real", "old\n");
  fs::create_symlink("real", dir_ / "link");
  ASSERT_EQ(run({"-o", (dir_ / "link").string()}, input).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir_ / "link"));
  EXPECT_EQ(slurp(real), output);
  // ... as does a link to a file yet to be made.
  fs::create_symlink("made", dir_ / "dangling");
  ASSERT_EQ(run({"-o", (dir_ / "dangling").string()}, input).status, 0);
  EXPECT_TRUE(fs::is_symlink(dir_ / "dangling"));
  EXPECT_EQ(slurp(dir_ / "made"), output);
  // A hard link's twin sees the new text, and may be the input.
  const auto twin = file("twin", "hyphenation\n");
  fs::create_hard_link(twin, dir_ / "other");
  ASSERT_EQ(run({"-f", twin.string(), "-o", (dir_ / "other").string()}).status, 0);
  EXPECT_EQ(slurp(twin), output);
  EXPECT_EQ(fs::hard_link_count(twin), 2u);
  // A FIFO is written into, not replaced.
  const fs::path fifo = dir_ / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::string read;
  std::thread reader([&] { read = slurp(fifo); });
  const Result toFifo = run({"-o", fifo.string()}, input);
  reader.join();
  EXPECT_EQ(toFifo.status, 0);
  EXPECT_EQ(read, output);
  EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
  // The mode is kept, less set-user-ID and set-group-ID: user text never
  // becomes a set-id program.
  for (const fs::perms mode : {fs::perms(0750), fs::perms(04755), fs::perms(02755)}) {
    const auto program = file("program", "old\n");
    fs::permissions(program, mode);
    ASSERT_EQ(run({"-o", program.string()}, input).status, 0);
    EXPECT_EQ(slurp(program), output);
    EXPECT_EQ(fs::status(program).permissions(), mode & fs::perms(0777));
  }
  // A name at the length limit: the temporary name beside it is short.
  const fs::path longName = dir_ / std::string(250, 'x');
  const Result longOne = run({"-o", longName.string()}, input);
  EXPECT_EQ(longOne.status, 0) << longOne.err;
  EXPECT_EQ(slurp(longName), output);
  // A folder is refused.
  const Result folder = run({"-o", dir_.string()}, input);
  EXPECT_EQ(folder.status, 1);
  EXPECT_EQ(folder.err, "hyph: cannot write " + dir_.string() + ": Is a directory\n");
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind(".hyph-", 0), 0u) << entry.path();
}

// An input the command cannot read (here, a closed standard input) is an
// error, and the file of -o stays as it was.
TEST_F(Cli, ClosedStandardStreamsAreErrors) {
  const auto kept = file("kept", "keep\n");
  const std::string command = quoted(HYPH_CLI_PATH) + " -o " + quoted(kept.string());
  for (const std::string& line : {command + " <&-", command + " -f - <&-"}) {
    const int raw = std::system((line + " 2>" + quoted((dir_ / "err").string())).c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 1) << line;
    EXPECT_EQ(slurp(dir_ / "err"), "hyph: cannot read standard input: Bad file descriptor\n");
    EXPECT_EQ(slurp(kept), "keep\n");
  }
  const int raw = std::system(
      (quoted(HYPH_CLI_PATH) + " hyphenation >&- 2>" + quoted((dir_ / "err").string())).c_str());
  EXPECT_EQ(WEXITSTATUS(raw), 1);
  EXPECT_EQ(slurp(dir_ / "err"), "hyph: error writing standard output: Bad file descriptor\n");
}

// SIGINT, SIGTERM or SIGHUP while the output is being written end the
// command by that signal, with FILE as it was and no temporary file left.
TEST_F(Cli, SignalsLeaveTheFileAsItWas) {
  const auto kept = file("kept", "keep\n");
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    int in[2];
    ASSERT_EQ(::pipe(in), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::dup2(in[0], 0);
      ::close(in[1]);
      ::signal(signal, SIG_DFL);
      ::execl(HYPH_CLI_PATH, "hyph", "-o", kept.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ASSERT_EQ(::write(in[1], "hyphenation\n", 12), 12);
    // Wait until the temporary file is there, then interrupt.
    auto temporaries = [&] {
      int count = 0;
      for (const auto& entry : fs::directory_iterator(dir_))
        count += entry.path().filename().string().rfind(".hyph-", 0) == 0;
      return count;
    };
    for (int i = 0; i < 2000 && temporaries() == 0; ++i) ::usleep(1000);
    EXPECT_EQ(temporaries(), 1);
    ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(in[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(temporaries(), 0);
    EXPECT_EQ(slurp(kept), "keep\n");
  }
}

TEST_F(Cli, InPlaceReplacesEachFileOnce) {
  std::string page = "<html lang=\"de\"><p>Silbentrennung</p><pre>Silbentrennung</pre>";
  for (int i = 0; i < 2000; ++i) page += "<p lang=\"en\">hyphenation, documentation</p>\n";
  const std::string hyphenated = hyph::hyphenateText(
      hyph::english_US(), page, {.separator = "\u00AD", .markup = hyph::Markup::Html});
  ASSERT_NE(hyphenated.find("Sil\u00ADben\u00ADtren\u00ADnung</p><pre>Silbentrennung"),
            std::string::npos);
  // Many files, one of them through a link, and named twice.
  std::vector<std::string> names;
  for (int i = 0; i < 12; ++i) names.push_back(file("page" + std::to_string(i) + ".html", page));
  fs::create_symlink("page0.html", dir_ / "link.html");
  names.push_back((dir_ / "link.html").string());
  names.push_back(names[1]);
  for (const char* jobs : {"-j1", "--jobs=3"}) {
    for (int i = 0; i < 12; ++i) file("page" + std::to_string(i) + ".html", page);
    std::vector<std::string> args{"--html", "--soft", "--in-place", jobs};
    args.insert(args.end(), names.begin(), names.end());
    const Result r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    for (int i = 0; i < 12; ++i) EXPECT_EQ(slurp(names[i]), hyphenated) << jobs << ' ' << i;
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.html"));
  }
  // A second run finds nothing to change, and leaves the files untouched.
  const auto before = fs::last_write_time(names[3]);
  fs::last_write_time(names[3], before - std::chrono::hours(1));
  EXPECT_EQ(run({"--html", "--soft", "-i", names[3]}).status, 0);
  EXPECT_EQ(fs::last_write_time(names[3]), before - std::chrono::hours(1));
  EXPECT_EQ(slurp(names[3]), hyphenated);

  // The first change may come late: what comes before it is kept.
  std::string late;
  while (late.size() < 200'000) late += "cat and dog\n";
  const auto lateFile = file("late.txt", late + "hyphenation\n" + late);
  EXPECT_EQ(run({"-i", lateFile.string()}).status, 0);
  EXPECT_TRUE(slurp(lateFile) == late + "hy-phen-ation\n" + late);

  EXPECT_EQ(run({"--in-place"}).err, "hyph: --in-place needs the FILEs to hyphenate\n");
  EXPECT_EQ(run({"--in-place", "-"}).status, 2);
  EXPECT_EQ(run({"--in-place", names[0], "-o", names[1]}).status, 2);
  EXPECT_EQ(run({"--in-place", "--jobs=0", names[0]}).err,
            "hyph: --jobs: must be at least 1: '0'\n");
  const Result jobsAlone = run({"-j", "2", "hyphenation"});
  EXPECT_EQ(jobsAlone.status, 2);
  EXPECT_EQ(jobsAlone.err, "hyph: --jobs works with --in-place only\n");
}

// What another program writes to a file while it is being replaced wins:
// the file is left as that program left it, and commit() says so.
TEST_F(Cli, ReplacementKeepsWhatAnotherProgramWroteMeanwhile) {
  const auto append = [](const fs::path& path) { std::ofstream(path, std::ios::app) << "more\n"; };
  const auto truncate = [](const fs::path& path) { fs::resize_file(path, 2); };
  const auto replace = [&](const fs::path& path) {
    spit(dir_ / "other", "theirs\n");
    fs::rename(dir_ / "other", path);
  };
  const std::pair<const char*, std::function<void(const fs::path&)>> changes[] = {
      {"old\nmore\n", append}, {"ol", truncate}, {"theirs\n", replace}};
  for (bool linked : {false, true}) {
    for (const auto& [after, change] : changes) {
      const fs::path path = file("file.txt", "old\n");
      if (linked) fs::create_hard_link(path, dir_ / "link.txt");
      {
        cli::Replacement replacement(path.string());
        ASSERT_EQ(::write(replacement.fd(), "new\n", 4), 4);
        change(path);
        try {
          replacement.commit();
          ADD_FAILURE() << "committed over a change: " << after;
        } catch (const cli::RuntimeError& e) {
          EXPECT_EQ(e.what(), path.string() + " changed while hyph worked on it; left as it is now");
        }
      }
      EXPECT_EQ(slurp(path), after) << linked;
      fs::remove(dir_ / "link.txt");
    }
  }
  // The state to keep may be taken before the replacement is made (as
  // --in-place does, before it reads the file).
  const fs::path path = file("file.txt", "old\n");
  struct stat info {};
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  append(path);
  {
    cli::Replacement late(path.string(), cli::FileState::of(info));
    EXPECT_THROW(late.commit(), cli::RuntimeError);
  }
  EXPECT_EQ(slurp(path), "old\nmore\n");
  // Unchanged, it is replaced.
  {
    cli::Replacement unchanged(path.string());
    ASSERT_EQ(::write(unchanged.fd(), "new\n", 4), 4);
    unchanged.commit();
  }
  EXPECT_EQ(slurp(path), "new\n");
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind(".hyph-", 0), 0u) << entry.path();
}

// Whether `pid` has `path` open.
bool hasOpen(pid_t pid, const fs::path& path) {
  std::error_code error;
  for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error))
    if (fs::read_symlink(fd.path(), error) == path) return true;
  return false;
}

// Lines appended, or a truncation, while hyph -i reads the file: the file is
// what the other program made of it, named on standard error, exit 1.
TEST_F(Cli, InPlaceLeavesAFileThatChangesWhileItIsRead) {
  std::string text;
  while (text.size() < 8'000'000) text += "hyphenation and documentation\n";
  for (bool truncating : {false, true}) {
    const fs::path path = file("growing.txt", text);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int err = ::open((dir_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(err, 2);
      ::execl(HYPH_CLI_PATH, "hyph", "-i", path.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    int status = 0;
    while (!hasOpen(child, path) && ::waitpid(child, &status, WNOHANG) == 0)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    std::string theirs = text;
    if (truncating) {
      fs::resize_file(path, 1'000'000);
      theirs.resize(1'000'000);
    } else {
      for (int i = 0; i < 10; ++i) {
        const std::string line = "line " + std::to_string(i) + "\n";
        std::ofstream(path, std::ios::app) << line;
        theirs += line;
      }
    }
    ::waitpid(child, &status, 0);
    if (slurp(path) == hyph::hyphenateText(hyph::english_US(), text, {.separator = "-"}))
      GTEST_SKIP() << "hyph finished before the file could be changed";
    EXPECT_EQ(WEXITSTATUS(status), 1) << truncating;
    EXPECT_EQ(slurp(dir_ / "err"),
              "hyph: " + path.string() + " changed while hyph worked on it; left as it is now\n");
    EXPECT_TRUE(slurp(path) == theirs) << truncating;
  }
}

// More workers than the system can start, under a limit on address space:
// the files are shared among those there are, and none fails for it.
TEST_F(Cli, InPlaceWithMoreJobsThanThreadsCanBeHad) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under the limit";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
  GTEST_SKIP() << "a sanitizer's shadow memory does not fit under the limit";
#endif
#endif
  std::vector<std::string> names;
  for (int i = 0; i < 400; ++i)
    names.push_back(file("f" + std::to_string(i) + ".txt", "hyphenation " + std::to_string(i)));
  for (const char* jobs : {"99999", "200"}) {
    for (int i = 0; i < 400; ++i) spit(names[static_cast<std::size_t>(i)], "hyphenation " + std::to_string(i));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const int err = ::open((dir_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(err, 2);
      const rlimit limit{1ull << 30, 1ull << 30};
      ::setrlimit(RLIMIT_AS, &limit);
      std::vector<char*> argv{const_cast<char*>("hyph"), const_cast<char*>("-i"),
                              const_cast<char*>("-j"), const_cast<char*>(jobs)};
      for (std::string& name : names) argv.push_back(name.data());
      argv.push_back(nullptr);
      ::execv(HYPH_CLI_PATH, argv.data());
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << jobs;
    EXPECT_EQ(slurp(dir_ / "err"), "") << jobs;
    for (int i = 0; i < 400; ++i)
      EXPECT_EQ(slurp(names[static_cast<std::size_t>(i)]), "hy-phen-ation " + std::to_string(i));
  }
}

// A file that fails is left as it was, with one line naming it; the others
// are done, and the exit status says that something failed.
TEST_F(Cli, InPlaceFailuresLeaveTheirFiles) {
  const auto small = file("small.txt", "hyphenation\n");
  std::string text;
  while (text.size() < 200'000) text += "hyphenation documentation\n";
  const auto large = file("large.txt", text);
  const auto absent = dir_ / "absent.txt";
  // Writes past 220 kB fail, as on a full disk.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int err = ::open((dir_ / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(err, 2);
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{220'000, 220'000};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::execl(HYPH_CLI_PATH, "hyph", "-j1", "--in-place", large.c_str(), absent.c_str(), dir_.c_str(),
            small.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(slurp(dir_ / "err"), "hyph: error writing " + large.string() + ": File too large\n" +
                                     "hyph: cannot read " + absent.string() +
                                     ": No such file or directory\n" + "hyph: cannot hyphenate " +
                                     dir_.string() + " in place: not a regular file\n");
  EXPECT_TRUE(slurp(large) == text);
  EXPECT_EQ(slurp(small), "hy-phen-ation\n");
  EXPECT_FALSE(fs::exists(absent));
  for (const auto& entry : fs::directory_iterator(dir_))
    EXPECT_NE(entry.path().filename().string().rfind(".hyph-", 0), 0u) << entry.path();
}

TEST_F(Cli, CompoundsAndCodeAsAsked) {
  const std::string line = "Backslash-Zeichen LC_CTYPE camelCase -wholename verrà\n";
  EXPECT_EQ(run({"-l", "de"}, line).out,
            "Back-slash-Zei-chen LC_CTY-PE ca-mel-Ca-se -who-le-na-me ver-rà\n");
  EXPECT_EQ(run({"-l", "de", "--compounds=hyphen", "--skip-code"}, line).out,
            "Backslash-Zeichen LC_CTYPE camelCase -wholename ver-rà\n");
  EXPECT_EQ(run({"-l", "de", "--compounds", "parts", "Backslash-Zeichen"}).out,
            "Back-slash-Zei-chen\n");
  // The command and the library agree on a word whose letters the
  // language's file lacks.
  EXPECT_EQ(run({"-l", "it", "verrà"}).out, "ver-rà\n");
  const Result bad = run({"--compounds=some", "word"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_EQ(bad.err, "hyph: --compounds: 'parts' or 'hyphen', not 'some'\n");
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
  // Words of one's own over the language's: theirs win, the rest as before.
  const auto mine = file("mine.hyp", "asso-ciate\nACME-corp\n");
  EXPECT_EQ(run({"--add-exceptions", mine.string(), "associate", "acmecorp", "table"}).out,
            "asso-ciate\nacme-corp\nta-ble\n");
  EXPECT_EQ(run({"--add-exceptions", (dir_ / "absent.hyp").string(), "table"}).status, 1);
  // Only the given table is replaced: English exceptions still apply.
  EXPECT_EQ(run({"--left", "1", "--right", "1", "table"}).out, "ta-ble\n");
  // Capitals and CR LF, as TeX reads them.
  const auto capitals = file("caps.hyp", "Ta-ble\r\nPRE-SENT\r\n");
  EXPECT_EQ(run({"--exceptions", capitals.string(), "table", "Table", "present"}).out,
            "ta-ble\nTa-ble\npre-sent\n");
  const auto tex = file("hyph-xx.tex",
                        "% patterns of my own\n\\patterns{\n1b 1c % two\n}\n"
                        "\\hyphenation{ab-ca}\n");
  EXPECT_EQ(run({"--patterns", tex.string(), "--left=1", "--right=1", "abcabc", "abca"}).out,
            "a-b-ca-b-c\nab-ca\n");
}

TEST_F(Cli, Dictionaries) {
  // A libhyphen dictionary in Latin-1, by path; words, text and HTML alike.
  const auto dic = file("hyph_xq_XQ.dic", "ISO8859-1\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n1b\n1\xFC\n");
  // libhyphen's rules: parts of compounds are broken, not the break before
  // a part's last letter.
  EXPECT_EQ(run({"--dictionary", dic.string(), "abüab", "ABAB-ABAB"}).out,
            "a-b-üa-b\nA-BAB-A-BAB\n");
  EXPECT_EQ(run({"--dictionary=" + dic.string(), "--html"}, "<p>abab <b>x</b></p>").out,
            "<p>a-ba-b <b>x</b></p>");
  // Text marked as another language is that language's, not the dictionary's.
  const auto hungarian = file("hyph_hu_HU.dic", "UTF-8\nLEFTHYPHENMIN 1\nRIGHTHYPHENMIN 1\n1b\n");
  EXPECT_EQ(run({"--dictionary=" + hungarian.string(), "--html"},
                "<p>abab <span lang=en>table</span> <span lang=hu>abab</span></p>")
                .out,
            "<p>a-ba-b <span lang=en>ta-ble</span> <span lang=hu>a-ba-b</span></p>");
  // By name, where HYPH_DICTIONARY_PATH says; listed with the system's.
  const std::string path = "HYPH_DICTIONARY_PATH=" + dir_.string();
  ::putenv(const_cast<char*>(path.c_str()));
  EXPECT_EQ(run({"--dictionary=xq", "abab"}).out, "a-ba-b\n");
  EXPECT_NE(run({"--list-dictionaries"}).out.find("xq_XQ                   " + dic.string() + "\n"),
            std::string::npos);
  const Result unknown = run({"--dictionary=xz", "abab"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err,
            "hyph: --dictionary: no dictionary 'xz' is installed (hyph --list-dictionaries shows "
            "them)\n");
  ::unsetenv("HYPH_DICTIONARY_PATH");
  const auto bad = file("bad.dic", "UTF-8\n1a\nb\xFF\n");
  const Result refused = run({"--dictionary", bad.string(), "abab"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "hyph: " + bad.string() +
                             ":3: not UTF-8, which the dictionary's first line names\n");
}

TEST_F(Cli, RefusedFilesNameTheirLineAndHyphenateNothing) {
  const std::tuple<std::string, int, std::string> cases[] = {
      {"12\n", 1, "two digits in a row in '12'"},
      {"a1b\na9999b\n", 2, "two digits in a row in 'a9999b'"},
      {"\\patterns{a1b\n", 1, "\\patterns{ is not closed"},
      {"\\patterns{a1b}\n\\foo\n", 2, "unknown TeX command \\foo"},
  };
  for (const auto& [contents, line, why] : cases) {
    const auto bad = file("bad.pat", contents);
    const Result r = run({"--patterns", bad.string(), "word"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "hyph: " + bad.string() + ":" + std::to_string(line) + ": " + why + "\n");
  }
  const Result binary = run({"--patterns", HYPH_CLI_PATH, "word"});
  EXPECT_EQ(binary.status, 1);
  EXPECT_EQ(binary.out, "");
  EXPECT_NE(binary.err.find("not a text file"), std::string::npos) << binary.err;
}

TEST_F(Cli, ListLicenseHelpAndVersion) {
  const Result list = run({"--list"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 73);
  EXPECT_NE(list.out.find("English_US              en-us           2 3  custom\n"),
            std::string::npos);
  EXPECT_NE(list.out.find("German_1996             de-1996         2 2  MIT\n"), std::string::npos);
  EXPECT_NE(list.out.find("Czech                   cs              2 3  GPL-2+\n"),
            std::string::npos);
  const Result license = run({"--license", "de"});
  EXPECT_EQ(license.status, 0);
  EXPECT_EQ(license.out, hyph::languageLicense(hyph::Language::German_1996));
  EXPECT_NE(license.out.find("MIT"), std::string::npos);
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
  EXPECT_EQ(run({"-l", "germn"}).err,
            "hyph: unknown language 'germn'; did you mean German_1996, German_1901, "
            "German_Swiss? (hyph --list shows them all)\n");
  const Result far = run({"-l", "xx"});
  EXPECT_EQ(far.status, 2);
  EXPECT_EQ(far.err, "hyph: unknown language 'xx' (hyph --list shows them all)\n");
  const Result number = run({"--left", "2x"});
  EXPECT_EQ(number.status, 2);
  EXPECT_EQ(number.err, "hyph: --left: not a whole number: '2x'\n");
  EXPECT_EQ(run({"--right", "99999999999999999999"}).err,
            "hyph: --right: out of range: '99999999999999999999'\n");
  EXPECT_EQ(run({"--left", "-1"}).err, "hyph: --left: must not be negative: '-1'\n");
  const Result missing = run({"--patterns"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "hyph: option '--patterns' needs a value\n");
  EXPECT_EQ(run({"--words", "x"}).status, 2);
  EXPECT_EQ(run({"--soft=yes"}).status, 2);
}

TEST_F(Cli, OptionsFollowGnuConventions) {
  EXPECT_EQ(run({"-lde", "Silbentrennung"}).out, "Sil-ben-tren-nung\n");
  EXPECT_EQ(run({"--lang=de", "Silbentrennung"}).out, "Sil-ben-tren-nung\n");
  EXPECT_EQ(run({"--lang", "de", "Silbentrennung"}).out, "Sil-ben-tren-nung\n");
  EXPECT_EQ(run({"Silbentrennung", "-l", "de"}).out, "Sil-ben-tren-nung\n");  // options anywhere
  EXPECT_EQ(run({"--", "-hyphenation", "--html"}).out, "-hy-phen-ation\n--html\n");
  const Result ambiguous = run({"--l", "de", "x"});
  EXPECT_EQ(ambiguous.status, 2);
  EXPECT_EQ(ambiguous.err,
            "hyph: option '--l' is ambiguous; it could be --language, --left, --list, "
            "--list-dictionaries or --license\n");
  EXPECT_EQ(run({"--html=yes"}).err, "hyph: option '--html' takes no value\n");
  EXPECT_EQ(run({"-l"}).err, "hyph: option '-l' needs a value\n");
  // Files are read in the order given, standard input among them.
  const auto a = file("a.txt", "table\n");
  const auto b = file("b.txt", "present\n");
  EXPECT_EQ(run({"-f", a.string(), "-", "-f", b.string()}, "hyphenation\n").out,
            "ta-ble\nhy-phen-ation\npresent\n");
}

TEST_F(Cli, RuntimeErrorsExitWithOne) {
  const std::string absent = (dir_ / "absent.pat").string();
  const Result unreadable = run({"--patterns", absent, "word"});
  EXPECT_EQ(unreadable.status, 1);
  EXPECT_EQ(unreadable.err, "hyph: cannot read " + absent + ": No such file or directory\n");
  EXPECT_EQ(unreadable.out, "");
  const auto corrupt = file("bad.pat.gz", "\x1F\x8B not gzip at all");
  const Result bad = run({"--patterns", corrupt.string(), "word"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err,
            "hyph: Could not decompress " + corrupt.string() + ": unknown compression method\n");
  const Result directory = run({"--exceptions", dir_.string(), "word"});
  EXPECT_EQ(directory.status, 1);
  EXPECT_EQ(directory.err, "hyph: cannot read " + dir_.string() + ": Is a directory\n");
}

}  // namespace
