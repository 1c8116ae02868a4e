// The command's files: reading inputs as they arrive, and an output that
// replaces its file only once everything is written.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "replace.hpp"

namespace cli {

/// A failure while running (exit status 1).
struct RuntimeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// The whole of a file of at most `limit` bytes (a pattern, exception or
/// character file); a larger one is refused with a message that names it.
std::string readWholeFile(const std::string& path, std::size_t limit);

/// Reads a file, or standard input for "-", in blocks as they arrive:
/// calls consume(block, more) for each, where `more` is false when the
/// block was all that had arrived (so that output can be shown now), until
/// the end or until it returns false.
void readBlocks(const std::string& path,
                const std::function<bool(std::string_view block, bool more)>& consume);

/// Makes any of standard input, output and error that the process was
/// started without fail when used (rather than be taken by the next file
/// opened, which would then be read or written in its place). Call first.
void guardStandardStreams();

/// Standard output, or the file of -o, which commit() replaces only once
/// everything is written (see Replacement): a failure leaves the old file
/// as it was, and the output may replace one of the inputs.
class Output {
 public:
  /// `expected`: what FILE must still be when it is replaced (see
  /// Replacement).
  explicit Output(std::optional<std::string> path,
                  std::optional<FileState> expected = std::nullopt);

  void write(std::string_view bytes);
  /// Hands what was written to the system, so that a reader sees it now.
  void flush();
  /// Puts FILE's new content in place; without it, FILE stays as it was.
  void commit();

 private:
  void writeAll(std::string_view bytes);

  std::optional<Replacement> file_;
  int fd_ = 1;
  std::string buffer_;
};

}  // namespace cli
