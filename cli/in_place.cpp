#include "in_place.hpp"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <system_error>
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
  /// `before`: the file's state before it was read, which it must still
  /// have when it is replaced.
  ChangedContent(const std::string& path, const FileState& before)
      : path_(path), before_(before) {}

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
    output_.emplace(path_, before_);
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
    if (left > 0) throw RuntimeError(changedMessage(path_));
  }

  const std::string& path_;
  const FileState before_;
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
  const FileState before = FileState::of(info);
  hyph::TextHyphenator text(hyphenator, options);
  ChangedContent content(path, before);
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
  // Whether or not there is anything to replace, a file that another
  // program changed meanwhile was not all hyphenated: say so.
  struct stat after {};
  if (::stat(path.c_str(), &after) != 0 || FileState::of(after) != before)
    throw RuntimeError(changedMessage(path));
  content.commit();  // checks again, as late as it can
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

  /// Names a file that failed, and why; allocates nothing, so that it can
  /// report running out of memory.
  void failed(std::string_view message, std::string_view more = {}) {
    const std::lock_guard lock(mutex_);
    std::fprintf(stderr, "%shyph: %.*s%.*s\n", shown_ ? "\r\033[K" : "",
                 static_cast<int>(message.size()), message.data(), static_cast<int>(more.size()),
                 more.data());
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

  // A file that ran out of memory, with other files in the work, is done
  // again once the others are: alone, it has all the room there is.
  std::vector<std::size_t> again;
  again.reserve(files.size());
  auto hyphenate = [&](std::size_t i, bool last) {
    try {
      hyphenateFile(files[i], hyphenator, options, bytes);
    } catch (const std::bad_alloc&) {
      if (!last) {
        const std::lock_guard lock(mutex);
        again.push_back(i);  // room reserved above
        return;
      }
      reporter.failed(files[i], ": out of memory");
      anyFailed = true;
    } catch (const std::exception& e) {
      reporter.failed(e.what());
      anyFailed = true;
    }
  };
  auto work = [&] {
    for (std::size_t i; (i = next.fetch_add(1)) < files.size();) {
      hyphenate(i, false);
      if (finished.fetch_add(1) + 1 == files.size()) {
        const std::lock_guard lock(mutex);
        allDone.notify_all();
      }
    }
  };

  // As many workers as asked for and as the system lets us start. Where a
  // limit on threads or on address space stops that short, half of those
  // started leave again before any work, so that the others have room for
  // theirs; this thread does the work if none could be started.
  bool go = false;
  std::size_t keep = 0;
  auto worker = [&](std::size_t index) {
    {
      std::unique_lock lock(mutex);
      allDone.wait(lock, [&] { return go; });
      if (index >= keep) return;
    }
    work();
  };
  const auto start = std::chrono::steady_clock::now();
  {
    std::vector<std::jthread> workers;
    const std::size_t wanted = std::min(jobs, files.size());
    bool shortOfRoom = false;
    try {
      workers.reserve(wanted);
      while (workers.size() < wanted) workers.emplace_back(worker, workers.size());
    } catch (const std::system_error&) {
      shortOfRoom = true;
    } catch (const std::bad_alloc&) {
      shortOfRoom = true;
    }
    {
      const std::lock_guard lock(mutex);
      keep = shortOfRoom ? workers.size() / 2 : workers.size();
      go = true;
    }
    allDone.notify_all();
    workers.resize(keep);  // joins those that leave
    if (workers.empty()) {
      work();
    } else {
      std::unique_lock lock(mutex);
      while (!allDone.wait_for(lock, std::chrono::milliseconds(250),
                               [&] { return finished.load() == files.size(); }))
        reporter.progress(finished, bytes, std::chrono::steady_clock::now() - start);
    }
  }
  std::sort(again.begin(), again.end());
  for (std::size_t i : again) hyphenate(i, true);
  reporter.finish();
  return anyFailed ? 1 : 0;
}

}  // namespace cli
