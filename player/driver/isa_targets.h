// The function attributes that build a render loop for one instruction set.
// Only the functions carrying them use its instructions, so the library
// still starts on any x86-64 processor.
#pragma once

#if defined(__x86_64__)
#include <immintrin.h>

#define KVT_AVX2 __attribute__((target("avx2")))
#define KVT_AVX512 __attribute__((target("avx512f,avx512bw")))

// GCC 12's AVX-512 headers fill unused lanes from a deliberately
// uninitialised value, which -O3 reports in every includer.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#endif
