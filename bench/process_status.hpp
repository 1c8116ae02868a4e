// Reads a memory figure of this process from /proc/self/status.
#pragma once

#include <fstream>
#include <string>
#include <string_view>

namespace bench {

/// The value in KiB of a field such as "VmRSS" (resident now) or "VmHWM"
/// (peak resident), or -1 where the file or field is missing.
inline long processStatusKb(std::string_view field) {
  std::ifstream status("/proc/self/status");
  const std::string prefix = std::string(field) + ":";
  for (std::string line; std::getline(status, line);)
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  return -1;
}

}  // namespace bench
