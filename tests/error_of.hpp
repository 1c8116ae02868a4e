// Test helper: the message of the hyph::Error that a call throws.
#pragma once

#include <string>

#include "hyph/error.hpp"

namespace hyph::testing {

/// The message of the hyph::Error that `call()` throws, or "no error".
std::string errorOf(auto&& call) {
  try {
    call();
  } catch (const Error& e) {
    return e.what();
  }
  return "no error";
}

}  // namespace hyph::testing
