// The command's file replacement (-o FILE, --in-place) over every kind of
// file that FILE may be, all inside a temporary folder of this process's own:
// committed, FILE (or what its links lead to) holds the new content and is
// still what it was (a link, a FIFO, a file with two names); not committed,
// it holds the old; either way no temporary file is left behind.
//
// Input: a byte for the kind of FILE, two for its mode, a byte of flags
// (bit 0: commit), then the content, written in pieces.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "io.hpp"
#include "replace.hpp"

namespace fs = std::filesystem;

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_replace: %s\n", what);
  std::abort();
}

/// The folder of this process, fuzz-replace-PID in the temporary folder.
/// libFuzzer may end the process without running destructors, so the
/// folders of processes that have ended are removed at the start.
const fs::path& folder() {
  static const fs::path made = [] {
    const fs::path temporary = fs::temp_directory_path();
    for (const auto& entry : fs::directory_iterator(temporary)) {
      const std::string name = entry.path().filename().string();
      if (!name.starts_with("fuzz-replace-")) continue;
      const pid_t pid = static_cast<pid_t>(std::atol(name.c_str() + 13));
      if (pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH) fs::remove_all(entry.path());
    }
    const fs::path mine = temporary / ("fuzz-replace-" + std::to_string(::getpid()));
    fs::remove_all(mine);
    fs::create_directory(mine);
    return mine;
  }();
  return made;
}

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void spit(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

enum Kind : std::uint8_t {
  kNone,
  kRegular,
  kLink,
  kDangling,
  kTwoNames,
  kChain,
  kLoop,
  kFolder,
  kFifo,
  kLinkToFolder,
  kKinds
};

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    if (put <= 0) fail("a write failed");
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const auto kind = static_cast<Kind>(data[0] % kKinds);
  const mode_t mode = static_cast<mode_t>(((data[1] << 8) | data[2]) & 07777) | 0600;
  const bool commit = data[3] & 1;
  // At most what a pipe holds, so that a FIFO's writer never waits.
  const std::string_view content(reinterpret_cast<const char*>(data + 4),
                                 std::min<std::size_t>(size - 4, 32768));

  const fs::path& dir = folder();
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
  const fs::path file = dir / "file", real = dir / "real", twin = dir / "twin";
  const std::string old = "old content\n";
  int reader = -1;
  switch (kind) {
    case kNone:
      break;
    case kRegular:
      spit(file, old);
      fs::permissions(file, static_cast<fs::perms>(mode));
      break;
    case kLink:
      spit(real, old);
      fs::create_symlink("real", file);
      break;
    case kDangling:
      fs::create_symlink("real", file);
      break;
    case kTwoNames:
      spit(file, old);
      fs::create_hard_link(file, twin);
      break;
    case kChain:
      spit(real, old);
      fs::create_symlink("real", dir / "middle");
      fs::create_symlink("middle", file);
      break;
    case kLoop:
      fs::create_symlink("file", file);
      break;
    case kFolder:
      fs::create_directory(file);
      break;
    case kFifo:
      if (::mkfifo(file.c_str(), 0600) != 0) fail("no FIFO");
      reader = ::open(file.c_str(), O_RDONLY | O_NONBLOCK);
      break;
    case kLinkToFolder:
      fs::create_directory(real);
      fs::create_symlink("real", file);
      break;
    case kKinds:
      break;
  }

  bool committed = false;
  try {
    cli::Replacement replacement(file.string());
    for (std::size_t at = 0; at < content.size(); at += 1 + at % 97)
      writeAll(replacement.fd(), content.substr(at, 1 + at % 97));
    if (commit) {
      replacement.commit();
      committed = true;
    }
  } catch (const cli::RuntimeError&) {
    if (kind != kLoop && kind != kFolder && kind != kLinkToFolder) fail("refused a file");
  }
  if (!committed && (kind == kLoop || kind == kFolder || kind == kLinkToFolder) && commit) {
    // Refused, as it must be.
  } else if (kind == kLoop || kind == kFolder || kind == kLinkToFolder) {
    if (committed) fail("wrote where no file can be");
  }

  const std::string expected = committed ? std::string(content) : old;
  switch (kind) {
    case kNone:
      if (committed != fs::exists(file)) fail("a new file appeared uncommitted, or not at all");
      if (committed && slurp(file) != content) fail("new file: wrong content");
      break;
    case kRegular:
      if (slurp(file) != expected) fail("regular file: wrong content");
      if (committed && (fs::status(file).permissions() & static_cast<fs::perms>(07777)) !=
                           static_cast<fs::perms>(mode & 01777))
        fail("regular file: mode not kept, or set-id bits kept");
      break;
    case kLink:
    case kChain:
      if (!fs::is_symlink(file)) fail("the link is gone");
      if (slurp(real) != expected) fail("the link's target: wrong content");
      break;
    case kDangling:
      if (!fs::is_symlink(file)) fail("the link is gone");
      if (committed != fs::exists(real)) fail("the link's target: made uncommitted, or not at all");
      if (committed && slurp(real) != content) fail("the link's new target: wrong content");
      break;
    case kTwoNames:
      if (slurp(file) != expected || slurp(twin) != expected) fail("two names: wrong content");
      if (fs::hard_link_count(file) != 2) fail("two names: a name was lost");
      break;
    case kFifo: {
      if (fs::status(file).type() != fs::file_type::fifo) fail("the FIFO is gone");
      std::string got(content.size() + 1, '\0');
      const ssize_t n = content.empty() ? 0 : ::read(reader, got.data(), got.size());
      if (n != static_cast<ssize_t>(content.size())) fail("the FIFO's reader missed the content");
      ::close(reader);
      break;
    }
    default:
      break;
  }
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.path().filename().string().starts_with(".hyph-")) fail("a temporary file was left");
  return 0;
}
