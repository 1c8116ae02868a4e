#include "replace.hpp"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "io.hpp"

namespace cli {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
  throw RuntimeError(what + " " + path + ": " + std::strerror(error));
}

// The temporary files in progress, for the signal handler to remove. A slot
// holds the name of one Replacement's file (which outlives its slot) or null;
// atomics of pointers are lock-free, so the handler may read them.
std::array<std::atomic<const char*>, 256> temporaries{};

int reserveSlot(const char* name) {
  for (std::size_t slot = 0; slot < temporaries.size(); ++slot) {
    const char* none = nullptr;
    if (temporaries[slot].compare_exchange_strong(none, name)) return static_cast<int>(slot);
  }
  return -1;  // more files at once than slots: this one is not removed on a signal
}

void releaseSlot(int slot) {
  if (slot >= 0) temporaries[static_cast<std::size_t>(slot)].store(nullptr);
}

extern "C" void removeTemporariesAndDie(int signal) {
  for (const auto& slot : temporaries)
    if (const char* name = slot.load()) ::unlink(name);
  ::signal(signal, SIG_DFL);
  ::raise(signal);
}

/// Blocks the signals that remove temporary files, so that a file is never
/// created without being in the registry.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&held, signal);
    ::pthread_sigmask(SIG_BLOCK, &held, &before_);
  }
  ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &before_, nullptr); }

 private:
  sigset_t before_;
};

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

/// A link in a sticky, world-writable folder (/tmp) is followed only when
/// its owner is the folder's or ours, as Linux's protected_symlinks has the
/// kernel do for open(): otherwise anyone could point our output anywhere.
bool mayFollow(const std::string& link, const struct stat& linkInfo) {
  struct stat folder {};
  if (::stat(folderOf(link).c_str(), &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) && (folder.st_mode & S_IWOTH);
  return !shared || linkInfo.st_uid == folder.st_uid || linkInfo.st_uid == ::geteuid();
}

/// The file that `path` leads to, its symbolic links followed one by one;
/// `info` is its status, `exists` false for a file still to be created.
std::string resolve(const std::string& path, struct stat& info, bool& exists) {
  std::string current = path;
  for (int hops = 0;; ++hops) {
    if (::lstat(current.c_str(), &info) != 0) {
      if (errno != ENOENT) fail("cannot write", path, errno);
      exists = false;
      return current;
    }
    if (!S_ISLNK(info.st_mode)) {
      exists = true;
      return current;
    }
    if (hops == 40) fail("cannot write", path, ELOOP);
    if (!mayFollow(current, info)) fail("cannot write", path, EACCES);
    char target[PATH_MAX];
    const ssize_t size = ::readlink(current.c_str(), target, sizeof target);
    if (size < 0) fail("cannot write", path, errno);
    if (static_cast<std::size_t>(size) == sizeof target) fail("cannot write", path, ENAMETOOLONG);
    const std::string next(target, static_cast<std::size_t>(size));
    current = next.front() == '/' ? next : folderOf(current) + "/" + next;
  }
}

mode_t newFileMode() {
  static const mode_t mode = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
  }();
  return mode;
}

constexpr mode_t kSetIds = S_ISUID | S_ISGID;

void writeAllAt(int fd, const char* bytes, std::size_t size, off_t at, const std::string& path) {
  while (size > 0) {
    const ssize_t put = ::pwrite(fd, bytes, size, at);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) fail("error writing", path, errno);
    bytes += put;
    at += put;
    size -= static_cast<std::size_t>(put);
  }
}

}  // namespace

FileState FileState::of(const struct stat& info) {
  auto nanoseconds = [](const timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
  };
  return {info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim),
          nanoseconds(info.st_ctim)};
}

std::string changedMessage(const std::string& path) {
  return path + " changed while hyph worked on it; left as it is now";
}

Replacement::Replacement(std::string path, std::optional<FileState> expected)
    : path_(std::move(path)) {
  struct stat info {};
  target_ = resolve(path_, info, existed_);
  if (existed_ && S_ISDIR(info.st_mode)) fail("cannot write", path_, EISDIR);
  if (existed_ && !S_ISREG(info.st_mode)) {
    kind_ = Kind::Direct;
    fd_ = ::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd_ < 0) fail("cannot write", path_, errno);
    return;
  }
  if (existed_) {
    expected_ = expected ? *expected : FileState::of(info);
    // The new content goes where the user may write, and only there.
    if (::faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
      fail("cannot write", path_, errno);
    mode_ = info.st_mode & 07777 & ~kSetIds;
    owner_ = info.st_uid;
    group_ = info.st_gid;
    if (info.st_nlink > 1) {
      kind_ = Kind::CopyBack;
      // Open now, so that a file we may not write fails before any work.
      target_fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC);
      if (target_fd_ < 0) fail("cannot write", path_, errno);
    }
  } else {
    mode_ = newFileMode();
  }

  // A short name in the target's folder: renaming stays within one file
  // system, and a name at the length limit still has room beside it.
  const std::string folder = folderOf(target_);
  temporary_ = (folder == "." ? std::string() : folder + "/") + ".hyph-XXXXXX";
  const SignalsHeld held;
  fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    fail("cannot write", path_, error);
  }
  if (kind_ == Kind::CopyBack) {
    // Only read back by commit(): nothing to remove if the process dies.
    ::unlink(temporary_.c_str());
    temporary_.clear();
    return;
  }
  slot_ = reserveSlot(temporary_.c_str());
  if (existed_ && (owner_ != ::geteuid() || group_ != ::getegid()))
    (void)::fchown(fd_, owner_, group_);  // kept where permitted
  // After fchown, which may clear set-id bits; mkostemp made the file private.
  ::fchmod(fd_, mode_);
}

Replacement::~Replacement() {
  if (fd_ >= 0) ::close(fd_);
  if (target_fd_ >= 0) ::close(target_fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  releaseSlot(slot_);
}

void Replacement::commit() {
  switch (kind_) {
    case Kind::Direct: {
      const int fd = fd_;
      fd_ = -1;
      if (::close(fd) != 0) fail("error writing", path_, errno);
      return;
    }
    case Kind::Rename: {
      const int fd = fd_;
      fd_ = -1;
      if (::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        fail("error writing", path_, error);
      }
      if (::close(fd) != 0) fail("error writing", path_, errno);
      checkUnchanged();
      if (::rename(temporary_.c_str(), target_.c_str()) != 0) fail("cannot write", path_, errno);
      temporary_.clear();
      releaseSlot(slot_);
      slot_ = -1;
      return;
    }
    case Kind::CopyBack:
      copyBack();
      return;
  }
}

void Replacement::checkUnchanged() const {
  if (!expected_) return;
  struct stat now {};
  if (::lstat(target_.c_str(), &now) != 0 || FileState::of(now) != *expected_)
    throw RuntimeError(changedMessage(path_));
}

void Replacement::copyBack() {
  checkUnchanged();
  struct stat content {
  }, old{};
  if (::fstat(fd_, &content) != 0 || ::fstat(target_fd_, &old) != 0)
    fail("error writing", path_, errno);
  // Room first: a full disk must fail before the file is touched.
  if (content.st_size > old.st_size) {
    if (const int error = ::posix_fallocate(target_fd_, 0, content.st_size)) {
      (void)::ftruncate(target_fd_, old.st_size);
      fail("error writing", path_, error);
    }
  }
  std::vector<char> block(1 << 16);
  for (off_t at = 0;;) {
    const ssize_t got = ::pread(fd_, block.data(), block.size(), at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) fail("error writing", path_, errno);
    if (got == 0) break;
    writeAllAt(target_fd_, block.data(), static_cast<std::size_t>(got), at, path_);
    at += got;
  }
  if (::ftruncate(target_fd_, content.st_size) != 0) fail("error writing", path_, errno);
  if ((old.st_mode & kSetIds) != 0) ::fchmod(target_fd_, old.st_mode & 07777 & ~kSetIds);
  if (::fsync(target_fd_) != 0) fail("error writing", path_, errno);
  const int fd = target_fd_;
  target_fd_ = -1;
  if (::close(fd) != 0) fail("error writing", path_, errno);
}

void Replacement::removeOnSignals() {
  struct sigaction action {};
  action.sa_handler = removeTemporariesAndDie;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction before {};
    ::sigaction(signal, nullptr, &before);
    if (before.sa_handler == SIG_IGN) continue;  // nohup and the like: keep ignoring it
    ::sigaction(signal, &action, nullptr);
  }
}

}  // namespace cli
