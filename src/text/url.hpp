// Telling URLs and e-mail addresses in running text, which are copied whole.
#pragma once

#include <string_view>

namespace hyph::text {

/// Whether a token (a run without white space) is a URL ("scheme://...",
/// "www....") or an e-mail address ("name@host.domain"), whatever quotes or
/// brackets stand before it. `colon` and `at` say whether the token has a
/// ":" or an "@", which the caller has seen already.
bool isUrlOrAddress(std::string_view token, bool colon, bool at);

}  // namespace hyph::text
