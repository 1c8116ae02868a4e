// HYPH_FIRST_USE marks the functions that a process runs for its first word
// in a built-in language (taking the language's compiled tables, one
// lookup). GCC groups them in the .text.hot section, so that a fresh process
// faults in few pages of code for its first word; elsewhere it does nothing.
#pragma once

#if defined(__GNUC__) && !defined(__clang__)
#define HYPH_FIRST_USE [[gnu::hot]]
#else
#define HYPH_FIRST_USE
#endif
