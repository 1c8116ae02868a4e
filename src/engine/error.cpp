#include "hyph/error.hpp"

namespace hyph {

Error::Error(const std::string& message) : std::runtime_error(message) {}
Error::Error(const char* message) : std::runtime_error(message) {}
// Out of line so that the vtable and type information live in the library.
Error::~Error() = default;

}  // namespace hyph
