#include "io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {

namespace {

constexpr std::size_t kBlock = 1 << 16;

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  throw RuntimeError(what + " " + path + ": " + std::strerror(errno));
}

/// Reads what is there, up to `size` bytes, retrying when interrupted.
std::size_t readSome(int fd, char* to, std::size_t size, const std::string& path) {
  while (true) {
    const ssize_t got = ::read(fd, to, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) fail("cannot read", path);
  }
}

struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd > 2) ::close(fd);
  }
};

int openInput(const std::string& path) {
  if (path == "-") return 0;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) fail("cannot read", path);
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    fail("cannot read", path);
  }
  return fd;
}

}  // namespace

std::string readWholeFile(const std::string& path, std::size_t limit) {
  const Descriptor input{openInput(path)};
  std::string bytes;
  while (true) {
    const std::size_t size = bytes.size();
    bytes.resize(size + kBlock);
    const std::size_t got = readSome(input.fd, bytes.data() + size, kBlock, path);
    bytes.resize(size + got);
    if (got == 0) return bytes;
    if (bytes.size() > limit)
      throw RuntimeError(path + ": larger than the limit of " + std::to_string(limit >> 20) +
                         " MiB");
  }
}

void readBlocks(const std::string& path,
                const std::function<void(std::string_view block, bool more)>& consume) {
  const Descriptor input{openInput(path)};
  static char block[kBlock];
  while (const std::size_t got = readSome(input.fd, block, sizeof block, path))
    consume(std::string_view(block, got), got == sizeof block);
}

Output::Output(std::optional<std::string> path) : path_(std::move(path)) {
  buffer_.reserve(kBlock);
  if (!path_) return;
  // Beside the target, so that the rename stays within one file system.
  temporary_ = *path_ + ".hyph-XXXXXX";
  fd_ = ::mkstemp(temporary_.data());
  if (fd_ < 0) fail("cannot write", *path_);
  // mkstemp makes the file private; give it the mode the target has, or
  // that a new file gets.
  struct stat target {};
  mode_t mode;
  if (::stat(path_->c_str(), &target) == 0) {
    mode = target.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd_, mode);
}

Output::~Output() {
  if (!path_) return;
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void Output::write(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBlock) flush();
  if (bytes.size() >= kBlock)
    writeAll(bytes);
  else
    buffer_ += bytes;
}

void Output::flush() {
  writeAll(buffer_);
  buffer_.clear();
}

void Output::writeAll(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) fail("error writing", path_ ? *path_ : "standard output");
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

void Output::commit() {
  flush();
  if (!path_) return;
  if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
    fd_ = -1;
    fail("error writing", *path_);
  }
  fd_ = -1;
  if (::rename(temporary_.c_str(), path_->c_str()) != 0) fail("cannot write", *path_);
  temporary_.clear();
}

}  // namespace cli
