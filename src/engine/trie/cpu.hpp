// Processor features that the trie's lookup and automaton build use where
// they are there: SSE2 byte loads and stores, and the popcnt instruction.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hyph::detail {

/// Whether this processor has the popcnt instruction, for a lookup compiled
/// to use it where the build's target does not promise it.
inline bool cpuHasPopcount() {
#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
  __builtin_cpu_init();
  return __builtin_cpu_supports("popcnt");
#else
  return false;
#endif
}

// Where the build's target does not promise popcnt, the hot functions are
// compiled twice and the one with the instruction is chosen at run time.
#if defined(__x86_64__) && !defined(__POPCNT__) && defined(__GNUC__)
#define HYPH_POPCOUNT_DISPATCH 1
#define HYPH_WITH_POPCOUNT __attribute__((target("popcnt")))
#endif

#if defined(__SSE2__)
/// Unaligned 16-byte loads and stores of score bytes.
inline __m128i loadBytes(const std::uint8_t* from) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}
inline void storeBytes(std::uint8_t* to, __m128i bytes) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
}
#endif

}  // namespace hyph::detail
