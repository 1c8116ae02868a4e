// Replacing a user's file with new content without destroying what the file
// was: the command's -o FILE, and every file of --in-place.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

/// What a file was when it was looked at: its identity, size and time of
/// last change. Another look that finds it different means that another
/// program wrote, truncated or replaced it meanwhile.
struct FileState {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modified = 0;  // nanoseconds since the epoch
  std::int64_t changed = 0;   // of the inode, as above

  static FileState of(const struct stat& info);
  friend bool operator==(const FileState&, const FileState&) = default;
};

/// A file's new content, written as it comes and put in place by commit()
/// only once it is complete. What FILE is decides how:
///
/// - a regular file (or a new one): the content goes to a temporary file
///   beside it (a short name in its folder), which commit() renames over
///   it, with the file's mode (less set-user-ID and set-group-ID) and, where
///   permitted, its owner and group;
/// - a regular file with more than one link: the content goes to a
///   temporary file, which commit() copies into the file itself, so that
///   every link sees it;
/// - a symbolic link: whatever it leads to, as above; the link stays;
/// - a FIFO, a device or another file that is not regular: written directly.
///
/// Until commit(), FILE is as it was; a Replacement destroyed, or a SIGINT,
/// SIGTERM or SIGHUP that ends the process, removes its temporary file.
///
/// Nothing that another program writes meanwhile is lost: a regular file
/// whose state at commit() is not `expected` (by default, its state when
/// the Replacement was made) is left as the other program left it, and
/// commit() throws RuntimeError naming it.
class Replacement {
 public:
  /// Throws RuntimeError (naming `path`) where the file cannot be written.
  explicit Replacement(std::string path, std::optional<FileState> expected = std::nullopt);
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  ~Replacement();

  /// Where to write the content.
  int fd() const { return fd_; }
  /// The file as the user named it, for messages.
  const std::string& path() const { return path_; }
  /// Puts the content in place; throws RuntimeError, leaving the file as it
  /// was, where it cannot (a full disk, say).
  void commit();

  /// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of every
  /// Replacement in progress before the process ends by the signal (exit
  /// status 130, 143, 129). Call once, early.
  static void removeOnSignals();

 private:
  enum class Kind { Rename, CopyBack, Direct };

  void copyBack();
  /// Throws where the file is no longer what it was expected to be.
  void checkUnchanged() const;

  std::string path_;       // as named
  std::string target_;     // the file itself, links followed
  std::string temporary_;  // empty: none
  Kind kind_ = Kind::Rename;
  int fd_ = -1;
  int target_fd_ = -1;  // CopyBack: the file itself
  int slot_ = -1;       // in the registry of temporary files that signals remove
  mode_t mode_ = 0;
  uid_t owner_ = 0;
  gid_t group_ = 0;
  bool existed_ = false;
  std::optional<FileState> expected_;  // regular files that existed
};

/// The message for a file that another program changed while hyph worked.
std::string changedMessage(const std::string& path);

}  // namespace cli
