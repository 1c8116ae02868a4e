#include "in_place.hpp"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "io.hpp"

namespace cli {

namespace {

/// A file's new content, which goes to its replacement only from the first
/// byte that differs from the old: a file with nothing to change (one
/// hyphenated before) is only read. Fed the input and the output as they
/// come, it holds the input that the output has not yet reached (the word
/// that the hyphenator holds back, and a block).
class ChangedContent {
 public:
  explicit ChangedContent(const std::string& path) : path_(path) {}

  void input(std::string_view bytes) {
    if (!output_) pending_ += bytes;
  }
  void output(std::string_view bytes) {
    if (!output_) {
      if (bytes.size() <= pending_.size() && pending_.compare(0, bytes.size(), bytes) == 0) {
        pending_.erase(0, bytes.size());
        same_ += bytes.size();
        return;
      }
      start();
    }
    output_->write(bytes);
  }
  /// Replaces the file, if anything changed.
  void commit() {
    if (!output_ && !pending_.empty()) start();  // the output stopped short
    if (output_) output_->commit();
  }

 private:
  void start() {
    pending_ = std::string();
    output_.emplace(path_);
    copySame();
  }

  /// The bytes that the output shares with the file, read again from it.
  void copySame() {
    std::uint64_t left = same_;
    readBlocks(path_, [&](std::string_view block, bool) {
      const std::size_t size =
          static_cast<std::size_t>(std::min<std::uint64_t>(left, block.size()));
      output_->write(block.substr(0, size));
      left -= size;
      return left > 0;
    });
    if (left > 0) throw RuntimeError(path_ + ": changed while it was read");
  }

  const std::string& path_;
  std::string pending_;
  std::uint64_t same_ = 0;
  std::optional<Output> output_;
};

/// Hyphenates one file into its replacement; `done` counts the bytes read.
void hyphenateFile(const std::string& path, const hyph::Hyphenator& hyphenator,
                   const hyph::TextOptions& options, std::atomic<std::uint64_t>& done) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    throw RuntimeError("cannot read " + path + ": " + std::strerror(errno));
  if (!S_ISREG(info.st_mode))
    throw RuntimeError("cannot hyphenate " + path + " in place: not a regular file");
  hyph::TextHyphenator text(hyphenator, options);
  ChangedContent content(path);
  std::string out;
  readBlocks(path, [&](std::string_view block, bool) {
    content.input(block);
    text.write(block, out);
    content.output(out);
    out.clear();
    done.fetch_add(block.size(), std::memory_order_relaxed);
    return true;
  });
  text.finish(out);
  content.output(out);
  content.commit();
}

/// The files to do: each once, however often or by whatever link it is
/// named. A name that cannot be looked at is kept, to fail with its reason.
std::vector<std::string> distinctFiles(const std::vector<std::string>& files) {
  std::set<std::pair<dev_t, ino_t>> seen;
  std::vector<std::string> distinct;
  for (const std::string& file : files) {
    struct stat info {};
    if (::stat(file.c_str(), &info) == 0 && !seen.emplace(info.st_dev, info.st_ino).second)
      continue;
    distinct.push_back(file);
  }
  return distinct;
}

/// Standard error, shared by the workers: failures, and the progress line
/// that they interrupt.
class Reporter {
 public:
  explicit Reporter(std::size_t total) : total_(total), terminal_(::isatty(2) == 1) {}

  void failed(const std::string& message) {
    const std::lock_guard lock(mutex_);
    std::fprintf(stderr, "%shyph: %s\n", shown_ ? "\r\033[K" : "", message.c_str());
    shown_ = false;
  }

  /// Shows the progress line, once the work has taken a second.
  void progress(std::size_t files, std::uint64_t bytes, std::chrono::duration<double> elapsed) {
    if (!terminal_ || elapsed.count() < 1.0) return;
    const std::lock_guard lock(mutex_);
    std::fprintf(stderr, "\rhyph: %zu of %zu files, %.1f MB/s\033[K", files, total_,
                 static_cast<double>(bytes) / 1e6 / elapsed.count());
    shown_ = true;
  }

  void finish() {
    const std::lock_guard lock(mutex_);
    if (shown_) std::fputs("\r\033[K", stderr);
    shown_ = false;
  }

 private:
  std::mutex mutex_;
  const std::size_t total_;
  const bool terminal_;
  bool shown_ = false;
};

}  // namespace

std::size_t processorCount() {
  cpu_set_t set;
  if (::sched_getaffinity(0, sizeof set, &set) == 0)
    return static_cast<std::size_t>(CPU_COUNT(&set));
  return std::max(1u, std::thread::hardware_concurrency());
}

int hyphenateInPlace(const std::vector<std::string>& names, const hyph::Hyphenator& hyphenator,
                     const hyph::TextOptions& options, std::size_t jobs) {
  const std::vector<std::string> files = distinctFiles(names);
  Reporter reporter(files.size());
  std::atomic<std::size_t> next{0}, finished{0};
  std::atomic<std::uint64_t> bytes{0};
  std::atomic<bool> anyFailed{false};
  std::mutex mutex;
  std::condition_variable allDone;

  auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
      try {
        hyphenateFile(files[i], hyphenator, options, bytes);
      } catch (const std::bad_alloc&) {
        reporter.failed(files[i] + ": out of memory");
        anyFailed = true;
      } catch (const std::exception& e) {
        reporter.failed(e.what());
        anyFailed = true;
      }
      if (finished.fetch_add(1) + 1 == files.size()) {
        const std::lock_guard lock(mutex);
        allDone.notify_all();
      }
    }
  };

  const auto start = std::chrono::steady_clock::now();
  {
    std::vector<std::jthread> workers;
    for (std::size_t j = 1; j < std::min(jobs, files.size()); ++j) workers.emplace_back(work);
    std::jthread last(work);
    std::unique_lock lock(mutex);
    while (!allDone.wait_for(lock, std::chrono::milliseconds(250),
                             [&] { return finished.load() == files.size(); }))
      reporter.progress(finished, bytes, std::chrono::steady_clock::now() - start);
  }
  reporter.finish();
  return anyFailed ? 1 : 0;
}

}  // namespace cli
