// --in-place: many files hyphenated on several threads, each replaced once
// its new content is complete.
#pragma once

#include <hyph/hyph.hpp>

#include <cstddef>
#include <string>
#include <vector>

namespace cli {

/// Hyphenates each file and replaces it, `jobs` files at a time; a file
/// named twice (or through two links) is done once, and a file whose text
/// would not change is left untouched. A file that fails stays as it was,
/// and its error is written on standard error; the others are done. While
/// standard error is a terminal and the work takes long, a progress line
/// is shown there. Returns the exit status: 1 if any file failed.
int hyphenateInPlace(const std::vector<std::string>& files, const hyph::Hyphenator& hyphenator,
                     const hyph::TextOptions& options, std::size_t jobs);

/// The processors this process may run on.
std::size_t processorCount();

}  // namespace cli
