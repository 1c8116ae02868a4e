// The first word in a fresh process, for every language: the time from the
// process's first use of hyph (the language's shared Hyphenator) to the end
// of its first hyphenate(), in a process started for that alone.
//
//   hyph_first_word [RUNS]       every language, RUNS processes each
//                                (default 9): the median of each, their
//                                median and the slowest, in microseconds
//   hyph_first_word --child N W  one process's time, in nanoseconds, for
//                                the language of ordinal N and the word W
//
// A word of the language's own letters is passed on the command line, so
// that the child reads nothing but what the first word needs.
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "hyph/hyph.hpp"
#include "letters.hpp"

extern char** environ;

namespace {

long long now() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<long long>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

/// The UTF-8 form of a word of the language's own letters, to pass on
/// the command line.
std::string wordOf(hyph::Language language) {
  const std::u32string word = bench::lettersOf(language);
  std::string bytes;
  for (char32_t c : word) {  // UTF-8
    if (c < 0x80) {
      bytes += static_cast<char>(c);
    } else if (c < 0x800) {
      bytes += static_cast<char>(0xC0 | (c >> 6));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      bytes += static_cast<char>(0xE0 | (c >> 12));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      bytes += static_cast<char>(0xF0 | (c >> 18));
      bytes += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return bytes;
}

long long child(const char* ordinal, const char* word) {
  const hyph::Language language = hyph::toEnum(std::atoll(ordinal));
  const long long start = now();
  const hyph::Hyphenator& h = hyph::languageHyphenator(language);
  const std::vector<std::string> pieces = hyph::hyphenate(h, std::string_view(word));
  const long long took = now() - start;
  if (pieces.empty()) std::abort();
  return took;
}

long long spawnChild(const char* self, const std::string& tag, const std::string& word) {
  int pipes[2];
  if (pipe(pipes) != 0) std::abort();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipes[1], 1);
  posix_spawn_file_actions_addclose(&actions, pipes[0]);
  std::vector<std::string> args{self, "--child", tag, word};
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, self, &actions, nullptr, argv.data(), environ) != 0) std::abort();
  close(pipes[1]);
  char buffer[64] = {};
  const ssize_t got = read(pipes[0], buffer, sizeof buffer - 1);
  close(pipes[0]);
  int status;
  waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return std::atoll(buffer);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") {
    std::printf("%lld\n", child(argv[2], argv[3]));
    return 0;
  }
  const int runs = argc > 1 ? std::atoi(argv[1]) : 9;
  std::vector<std::pair<double, std::string>> medians;
  for (hyph::Language language : hyph::enumFrom(hyph::firstLanguage)) {
    const std::string tag(hyph::languageAffix(language));
    const std::string word = wordOf(language);
    std::vector<long long> times;
    for (int run = 0; run < runs; ++run)
      times.push_back(spawnChild(argv[0], std::to_string(hyph::fromEnum(language)), word));
    std::sort(times.begin(), times.end());
    const double median = static_cast<double>(times[times.size() / 2]) / 1000;
    medians.emplace_back(median, tag);
    std::printf("first_word_us %s %.1f\n", tag.c_str(), median);
  }
  std::sort(medians.begin(), medians.end());
  std::printf("first_word_median_us %.1f\n", medians[medians.size() / 2].first);
  std::printf("first_word_slowest_us %.1f %s\n", medians.back().first,
              medians.back().second.c_str());
}
