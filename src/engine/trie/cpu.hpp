// The processor's SSE2 byte loads, stores and maxima, which the automaton's
// build and lookup use where they are there.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace hyph::detail {

#if defined(__SSE2__)
/// Unaligned 16-byte loads and stores of score bytes.
inline __m128i loadBytes(const std::uint8_t* from) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
}
inline void storeBytes(std::uint8_t* to, __m128i bytes) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), bytes);
}
#endif

/// 32 score bytes: in two SSE2 registers where there are, else an array.
struct Bytes32 {
#if defined(__SSE2__)
  __m128i low = _mm_setzero_si128();
  __m128i high = _mm_setzero_si128();

  static Bytes32 load(const std::uint8_t* from) { return {loadBytes(from), loadBytes(from + 16)}; }
  void store(std::uint8_t* to) const {
    storeBytes(to, low);
    storeBytes(to + 16, high);
  }
  /// Each byte the larger of this one and the other's.
  void raise(const Bytes32& other) {
    low = _mm_max_epu8(low, other.low);
    high = _mm_max_epu8(high, other.high);
  }
  bool equals(const std::uint8_t* stored) const {
    const __m128i same = _mm_and_si128(_mm_cmpeq_epi8(low, loadBytes(stored)),
                                       _mm_cmpeq_epi8(high, loadBytes(stored + 16)));
    return _mm_movemask_epi8(same) == 0xFFFF;
  }
#else
  std::uint8_t bytes[32] = {};

  static Bytes32 load(const std::uint8_t* from) {
    Bytes32 out;
    std::copy_n(from, 32, out.bytes);
    return out;
  }
  void store(std::uint8_t* to) const { std::copy_n(bytes, 32, to); }
  void raise(const Bytes32& other) {
    for (std::size_t k = 0; k < 32; ++k) bytes[k] = std::max(bytes[k], other.bytes[k]);
  }
  bool equals(const std::uint8_t* stored) const { return std::equal(bytes, bytes + 32, stored); }
#endif
};

}  // namespace hyph::detail
