// Searching runs of UTF-16 text for one or two code units, eight units at a
// time with SSE2 (part of every x86-64 processor), one at a time elsewhere.
// The XML reader spends most of a large file in runs of character data, CDATA
// and attribute values that only one or two characters can end, and counts
// rows only when it has to say where something failed.
#pragma once

#include <bit>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace xml {

// The first position in [first, last) holding a or b; last when there is none.
inline const char16_t* findEither(const char16_t* first, const char16_t* last, char16_t a, char16_t b) {
#if defined(__SSE2__)
    const __m128i wantA = _mm_set1_epi16(static_cast<short>(a));
    const __m128i wantB = _mm_set1_epi16(static_cast<short>(b));
    for (; last - first >= 8; first += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
        const __m128i hits = _mm_or_si128(_mm_cmpeq_epi16(block, wantA), _mm_cmpeq_epi16(block, wantB));
        if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)))
            return first + std::countr_zero(mask) / 2;
    }
#endif
    for (; first != last; ++first) {
        if (*first == a || *first == b) return first;
    }
    return last;
}

inline const char16_t* findUnit(const char16_t* first, const char16_t* last, char16_t unit) {
    return findEither(first, last, unit, unit);
}

// How many times unit occurs in [first, last).
inline std::size_t countUnit(const char16_t* first, const char16_t* last, char16_t unit) {
    std::size_t count = 0;
#if defined(__SSE2__)
    const __m128i want = _mm_set1_epi16(static_cast<short>(unit));
    while (last - first >= 8) {
        // Each of the eight 16-bit lanes counts its own matches (a match
        // compares as -1), for at most 0xFFFF blocks before they are added up.
        __m128i lanes = _mm_setzero_si128();
        for (std::size_t blocks = 0; blocks < 0xFFFF && last - first >= 8; ++blocks, first += 8) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(first));
            lanes = _mm_sub_epi16(lanes, _mm_cmpeq_epi16(block, want));
        }
        alignas(16) unsigned short counts[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(counts), lanes);
        for (unsigned short lane : counts) count += lane;
    }
#endif
    for (; first != last; ++first) count += *first == unit;
    return count;
}

}  // namespace xml
