// The one exception type that the library throws on purpose.
#pragma once

#include <stdexcept>
#include <string>

#include "hyph/export.hpp"

namespace hyph {

/// Raised by every operation of the library that fails; `what()` is the exact
/// message of the failure, for example "Could not find hyph-en-us.pat.txt.gz".
/// Apart from this only `std::bad_alloc` can escape the library.
class HYPH_API Error : public std::runtime_error {
 public:
  /// An error with this message.
  explicit Error(const std::string& message);
  /// An error with this message.
  explicit Error(const char* message);
  ~Error() override;
  /// A copy, with the same message.
  Error(const Error&) = default;
  /// Takes the other's message.
  Error& operator=(const Error&) = default;
};

}  // namespace hyph
