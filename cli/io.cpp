#include "io.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

namespace cli {

namespace {

constexpr std::size_t kBlock = 1 << 16;

[[noreturn]] void fail(const std::string& what, const std::string& path) {
  throw RuntimeError(what + " " + path + ": " + std::strerror(errno));
}

std::string shown(const std::string& path) { return path == "-" ? "standard input" : path; }

/// Reads what is there, up to `size` bytes, retrying when interrupted.
std::size_t readSome(int fd, char* to, std::size_t size, const std::string& path) {
  while (true) {
    const ssize_t got = ::read(fd, to, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR) fail("cannot read", shown(path));
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
                const std::function<bool(std::string_view block, bool more)>& consume) {
  const Descriptor input{openInput(path)};
  const auto block = std::make_unique<char[]>(kBlock);
  while (const std::size_t got = readSome(input.fd, block.get(), kBlock, path))
    if (!consume(std::string_view(block.get(), got), got == kBlock)) return;
}

Output::Output(std::optional<std::string> path, std::optional<FileState> expected) {
  buffer_.reserve(kBlock);
  if (path) {
    file_.emplace(std::move(*path), expected);
    fd_ = file_->fd();
  }
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
    if (put < 0) fail("error writing", file_ ? file_->path() : "standard output");
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

void Output::commit() {
  flush();
  if (file_) file_->commit();
}

void guardStandardStreams() {
  // Opened the wrong way round, so that reading or writing them fails as
  // it would have (EBADF), and no file opened later takes their place.
  for (int fd : {0, 1, 2})
    if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF) {
      const int opened = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
      if (opened >= 0 && opened != fd) ::close(opened);
    }
}

}  // namespace cli
