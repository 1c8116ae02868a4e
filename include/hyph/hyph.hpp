// The whole public API of hyph.
#pragma once

#include "hyph/char_table.hpp"
#include "hyph/deferred.hpp"
#include "hyph/dictionary.hpp"
#include "hyph/error.hpp"
#include "hyph/exceptions.hpp"
#include "hyph/hyphenator.hpp"
#include "hyph/language.hpp"
#include "hyph/paths.hpp"
#include "hyph/pattern.hpp"
#include "hyph/reader.hpp"
#include "hyph/scores.hpp"
#include "hyph/text.hpp"
#include "hyph/version.hpp"
